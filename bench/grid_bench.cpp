// The data grid, each figure beside a baseline in the same program:
// - a 10,000-row × 15-column list from the demo server shown in a TKZDBGrid
//   (the select sent, the model filled, the first paint done offscreen),
//   against opening the same query into the dataset alone;
// - scrolling a grid by one page and painting it, over 100,000 rows against
//   1,000 rows;
// - a title-click sort of 100,000 rows with the repaint, against
//   SortOnFields alone.

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <memory>
#include <stdexcept>
#include <string>

#include "base/runtime.h"
#include "bench_ratio.h"
#include "bench_socket.h"
#include "bench_table.h"
#include "data/memory_dataset.h"
#include "data/remote/client_dataset.h"
#include "link/client/client_socket.h"
#include "support/server_process.h"
#include "ui/data_grid.h"

using namespace mero;

namespace {

// Fifteen columns: the table's ten and five computed from them.
const char* const kListSelect =
    "select ID, N1, X1, X2, X3, X4, T1, T2, T3, D1, N1 + 1 as N2, X1 * 2 as X5, T1 || '-' as T4, "
    "ID * 3 as N3, X2 + X3 as X6 from BENCH_ROWS where ID <= 10000";
const char* const kAllSelect = "select * from BENCH_ROWS";
constexpr int kListRows = 10000;


link::TLinkClientSocket& Socket() { return bench::BenchSocket(); }

std::unique_ptr<data::TLinkClientDataSet> ListQuery(const char* sql) {
  auto q = std::make_unique<data::TLinkClientDataSet>("QGRID");
  q->SetLinkClientSocket(&Socket());
  q->SetSQLText(sql);
  return q;
}

std::unique_ptr<ui::TKZDBGrid> ShownGrid() {
  auto grid = std::make_unique<ui::TKZDBGrid>();
  grid->resize(1000, 600);
  grid->show();
  QApplication::processEvents();
  return grid;
}

void Paint(ui::TKZDBGrid& grid) {
  grid.View()->viewport()->repaint();
  grid.View()->horizontalHeader()->viewport()->repaint();
}

void BM_GridShowsList(benchmark::State& state) {
  auto q = ListQuery(kListSelect);
  auto grid = ShownGrid();
  grid->SetDataSet(q.get());
  for (auto _ : state) {
    q->Close();
    q->Open();
    Paint(*grid);
    if (grid->Model()->rowCount() != kListRows || grid->Model()->columnCount() != 15) {
      state.SkipWithError("wrong shape");
    }
  }
  grid->SetDataSet(nullptr);
}

void BM_OpenListAlone(benchmark::State& state) {
  auto q = ListQuery(kListSelect);
  for (auto _ : state) {
    q->Close();
    q->Open();
    if (q->RecordCount() != kListRows) state.SkipWithError("wrong row count");
  }
}

// The server's 100,000 rows, fetched once, held in memory.
data::TLinkDataSet& AllRows() {
  static std::unique_ptr<data::TLinkDataSet> rows = [] {
    auto q = ListQuery(kAllSelect);
    q->Open();
    auto copy = std::make_unique<data::TLinkDataSet>("ROWS");
    copy->CopyShownRows(*q);
    return copy;
  }();
  return *rows;
}

std::unique_ptr<data::TLinkDataSet> FirstRows(int n) {
  data::TLinkDataSet& all = AllRows();
  all.SetFilter("ID <= " + std::to_string(n));
  all.SetFiltered(true);
  auto rows = std::make_unique<data::TLinkDataSet>("ROWS");
  rows->CopyShownRows(all);
  all.SetFiltered(false);
  return rows;
}

void BM_GridScrollPage(benchmark::State& state) {
  std::unique_ptr<data::TLinkDataSet> rows = FirstRows(static_cast<int>(state.range(0)));
  auto grid = ShownGrid();
  grid->SetDataSet(rows.get());
  Paint(*grid);
  QScrollBar* bar = grid->View()->verticalScrollBar();
  for (auto _ : state) {
    int next = bar->value() + bar->pageStep();
    if (next > bar->maximum()) next = 0;
    bar->setValue(next);
    Paint(*grid);
  }
  grid->SetDataSet(nullptr);
}

void BM_GridTitleClickSort(benchmark::State& state) {
  std::unique_ptr<data::TLinkDataSet> rows = FirstRows(bench::kBenchRows);
  auto grid = ShownGrid();
  grid->SetDataSet(rows.get());
  Paint(*grid);
  const int column = 6;  // T1
  for (auto _ : state) {
    grid->TitleClick(column);
    Paint(*grid);
  }
  grid->SetDataSet(nullptr);
}

void BM_SortOnFieldsAlone(benchmark::State& state) {
  std::unique_ptr<data::TLinkDataSet> rows = FirstRows(bench::kBenchRows);
  bool descending = false;
  for (auto _ : state) {
    rows->SortOnFields({"T1"}, {descending});
    descending = !descending;
  }
}

}  // namespace

BENCHMARK(BM_GridShowsList)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_OpenListAlone)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_GridScrollPage)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_GridTitleClickSort)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_SortOnFieldsAlone)->Unit(benchmark::kMillisecond)->Repetitions(5);

int main(int argc, char** argv) {
  base::KeepFreedMemory();
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int status = bench::RunAndReport(argc, argv,
                                         {{"BM_GridShowsList", "BM_OpenListAlone", 1.3},
                                          {"BM_GridScrollPage/100000", "BM_GridScrollPage/1000", 1.5},
                                          {"BM_GridTitleClickSort", "BM_SortOnFieldsAlone", 1.5}});
  Socket().Close();
  return status;
}
