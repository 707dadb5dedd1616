// The in-memory dataset on 100,000 rows:
// - SortOnFields on (text, integer) against std::stable_sort of the same keys
//   extracted into a vector (limit 2.0);
// - Locate of the last row, by an integer and by a text key: ns per row scanned;
// - walking every row with First/Next, reading two fields, with and without
//   a filter and with a view attached: ns per row;
// - an insert posted and deleted again near the top, with a view that
//   follows rows, with and without a filter (the visible rows kept up);
// - filling: decoding a row payload and appending the rows to a dataset (what
//   the remote dataset does at open) against the decode alone (limit 1.5).

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "base/date_time.h"
#include "base/encoding.h"
#include "base/runtime.h"
#include "bench_ratio.h"
#include "data/memory_dataset.h"
#include "link/codec/result_set.h"
#include "link/codec/result_set_encoder.h"
#include "list_payload.h"

using namespace mero;
using namespace mero::base::literals;

namespace {

constexpr int kRows = 100000;

// The filling steps of the in-memory dataset, as the remote dataset uses them.
class BenchDataSet : public data::TLinkDataSet {
 public:
  using TLinkCustomDataset::AppendRows;
  using TLinkCustomDataset::EmptyRows;
  using TLinkCustomDataset::PrepareFieldList;
};

// Sorting and locating: an id, a name from a pool of 5,000 in mixed case
// (so that many rows tie on the name) and a quantity with ties of its own.
const std::vector<std::string> kSortFields = {"ID,3,0", "NAME,1,30", "QTY,3,0"};

const std::string& SortPayload() {
  static const std::string payload = [] {
    std::mt19937 rng(11);
    const std::vector<std::string> stems = {"Τόνερ"_gr, "toner", "Drum", "Μελάνι"_gr, "ribbon", "Fuser"};
    std::vector<std::string> pool;
    for (int i = 0; i < 5000; ++i) {
      std::string name = stems[static_cast<std::size_t>(i) % stems.size()] + " " + std::to_string(rng() % 100000);
      if (i % 3 == 0) {
        for (char& c : name) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
      }
      pool.push_back(std::move(name));
    }
    std::string out;
    link::ResultSetEncoder enc(out);
    for (int i = 0; i < kRows; ++i) {
      enc.AddInt(i + 1);
      enc.AddText(pool[rng() % pool.size()]);
      enc.AddInt(static_cast<std::int64_t>(rng() % 50));
      enc.EndRow();
    }
    enc.Finish();
    return out;
  }();
  return payload;
}

void FillSortRows(BenchDataSet& ds) {
  ds.SetFastFields(kSortFields);
  ds.PrepareFieldList();
  link::RowSet rows(link::FieldDefsFromFastFields(kSortFields));
  link::DecodeRows(SortPayload(), 0, rows);
  ds.AppendRows(rows);
  ds.Open();
}

void BM_SortOnFields(benchmark::State& state) {
  BenchDataSet ds;
  FillSortRows(ds);
  for (auto _ : state) {
    state.PauseTiming();
    ds.SortOnFields({}, {});  // back to the order of arrival
    state.ResumeTiming();
    ds.SortOnFields({"NAME", "QTY"}, {false, false});
  }
}
BENCHMARK(BM_SortOnFields)->Unit(benchmark::kMillisecond)->Repetitions(5);

// The same keys taken out of the rows, sorted by the same rule: the name
// with ASCII letters folded, then the quantity; ties keep their order.
struct SortKey {
  std::string name;
  std::int32_t qty;
};

void BM_StableSortKeys(benchmark::State& state) {
  BenchDataSet ds;
  FillSortRows(ds);
  std::vector<SortKey> keys;
  keys.reserve(kRows);
  for (ds.First(); !ds.Eof(); ds.Next()) {
    keys.push_back({ds.FieldByName("NAME").AsString(), ds.FieldByName("QTY").AsInteger()});
  }
  static const std::array<unsigned char, 256> fold = [] {
    std::array<unsigned char, 256> t{};
    for (int c = 0; c < 256; ++c) {
      t[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    }
    return t;
  }();
  auto less = [](const SortKey& a, const SortKey& b) {
    const std::size_t n = std::min(a.name.size(), b.name.size());
    for (std::size_t i = 0; i < n; ++i) {
      const unsigned char x = fold[static_cast<unsigned char>(a.name[i])];
      const unsigned char y = fold[static_cast<unsigned char>(b.name[i])];
      if (x != y) return x < y;
    }
    if (a.name.size() != b.name.size()) return a.name.size() < b.name.size();
    return a.qty < b.qty;
  };
  std::vector<SortKey> work;
  for (auto _ : state) {
    state.PauseTiming();
    work = keys;
    state.ResumeTiming();
    std::stable_sort(work.begin(), work.end(), less);
    benchmark::DoNotOptimize(work.data());
  }
}
BENCHMARK(BM_StableSortKeys)->Unit(benchmark::kMillisecond)->Repetitions(5);

// Locate of the last row: every row is scanned.
void BM_LocateLast(benchmark::State& state) {
  BenchDataSet ds;
  FillSortRows(ds);
  ds.Last();
  const bool byText = state.range(0) == 1;
  // Names repeat; the last row gets one of its own so that the scan cannot
  // stop earlier. The text key is matched ignoring case.
  ds.Edit();
  ds.FieldByName("NAME").SetAsString("last row of all");
  ds.Post();
  const base::Variant wanted = byText ? base::Variant::Text("LAST ROW OF ALL") : base::Variant::Integer(kRows);
  const char* field = byText ? "NAME" : "ID";
  const unsigned options = byText ? unsigned{data::loCaseInsensitive} : 0u;
  for (auto _ : state) {
    ds.First();
    const bool found = ds.Locate(field, wanted, options);
    benchmark::DoNotOptimize(found);
  }
  if (ds.RecNo() != kRows) state.SkipWithError("Locate did not reach the last row");
  state.counters["ns_per_row"] =
      benchmark::Counter(kRows, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_LocateLast)->Arg(0)->Arg(1)->ArgNames({"text"})->Unit(benchmark::kMicrosecond)->Repetitions(5);

// A view that counts what it hears, so that attaching it costs what a real
// one would.
class CountingView : public data::DataSetObserver {
 public:
  void DataSetChanged(data::TDataSet&) override { ++heard; }
  void RowInserted(data::TDataSet&, int) override { ++heard; }
  void RowRemoved(data::TDataSet&, int) override { ++heard; }
  void RowChanged(data::TDataSet&, int) override { ++heard; }
  void RecordChanged(data::TDataSet&, const data::TField*) override { ++heard; }
  void CursorMoved(data::TDataSet&) override { ++heard; }
  void StateChanged(data::TDataSet&) override { ++heard; }
  long heard = 0;
};

// Walking every row, as an export or a sum does: arg filtered 1 sets a filter
// that half of the rows pass.
void BM_WalkRows(benchmark::State& state) {
  BenchDataSet ds;
  FillSortRows(ds);
  CountingView view;
  ds.AddObserver(&view);
  const bool filtered = state.range(0) == 1;
  if (filtered) {
    ds.SetFilter("QTY < 25");
    ds.SetFiltered(true);
  }
  data::TField& id = ds.FieldByName("ID");
  data::TField& qty = ds.FieldByName("QTY");
  std::int64_t rows = 0;
  for (auto _ : state) {
    std::int64_t sum = 0;
    rows = 0;
    for (ds.First(); !ds.Eof(); ds.Next()) {
      sum += id.AsInteger() + qty.AsInteger();
      ++rows;
    }
    benchmark::DoNotOptimize(sum);
  }
  ds.RemoveObserver(&view);
  if (rows == 0 || (!filtered && rows != kRows)) state.SkipWithError("the walk did not visit the rows");
  state.counters["ns_per_row"] =
      benchmark::Counter(kRows, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_WalkRows)->Arg(0)->Arg(1)->ArgNames({"filtered"})->Unit(benchmark::kMillisecond)->Repetitions(5);

// Insert, post and delete near the top of the list: the row notifications and,
// with a filter, the visible rows shifted behind the new row.
void BM_InsertPostDeleteFollowed(benchmark::State& state) {
  BenchDataSet ds;
  FillSortRows(ds);
  CountingView view;
  ds.AddObserver(&view);
  if (state.range(0) == 1) {
    ds.SetFilter("QTY < 25");
    ds.SetFiltered(true);
  }
  ds.First();
  ds.Next();
  data::TField& id = ds.FieldByName("ID");
  data::TField& qty = ds.FieldByName("QTY");
  for (auto _ : state) {
    ds.Insert();
    id.SetAsInteger(0);
    qty.SetAsInteger(1);
    ds.Post();
    ds.Delete();
  }
  ds.RemoveObserver(&view);
  if (ds.RecordCount() != kRows || view.heard == 0) state.SkipWithError("the rows or the view went wrong");
}
BENCHMARK(BM_InsertPostDeleteFollowed)
    ->Arg(0)
    ->Arg(1)
    ->ArgNames({"filtered"})
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5);

// Filling: the rows of a typical list (bench/list_payload.h).
using bench::kListFields;
using bench::ListPayload;

void BM_DecodeRows(benchmark::State& state) {
  link::RowSet rows(link::FieldDefsFromFastFields(kListFields));
  for (auto _ : state) {
    const link::RowsDecoded r = link::DecodeRows(ListPayload(), 0, rows);
    benchmark::DoNotOptimize(r.rowsAdded);
  }
}
BENCHMARK(BM_DecodeRows)->Unit(benchmark::kMillisecond)->Repetitions(5);

void BM_DecodeAndAppendRows(benchmark::State& state) {
  BenchDataSet ds;
  ds.SetFastFields(kListFields);
  ds.PrepareFieldList();
  ds.Open();
  link::RowSet rows(link::FieldDefsFromFastFields(kListFields));
  for (auto _ : state) {
    ds.EmptyRows();
    link::DecodeRows(ListPayload(), 0, rows);
    const std::size_t added = ds.AppendRows(rows);
    benchmark::DoNotOptimize(added);
  }
  if (ds.RecordCount() != kRows) state.SkipWithError("the rows did not all arrive");
}
BENCHMARK(BM_DecodeAndAppendRows)->Unit(benchmark::kMillisecond)->Repetitions(5);

// The append alone, for the record: the rows of one decoded payload.
void BM_AppendRows(benchmark::State& state) {
  BenchDataSet ds;
  ds.SetFastFields(kListFields);
  ds.PrepareFieldList();
  ds.Open();
  link::RowSet rows(link::FieldDefsFromFastFields(kListFields));
  link::DecodeRows(ListPayload(), 0, rows);
  for (auto _ : state) {
    ds.EmptyRows();
    const std::size_t added = ds.AppendRows(rows);
    benchmark::DoNotOptimize(added);
  }
}
BENCHMARK(BM_AppendRows)->Unit(benchmark::kMillisecond)->Repetitions(5);

}  // namespace

int main(int argc, char** argv) {
  base::KeepFreedMemory();  // as the client program does at start
  return bench::RunAndReport(
      argc, argv, {{"BM_SortOnFields", "BM_StableSortKeys", 2.0}, {"BM_DecodeAndAppendRows", "BM_DecodeRows", 1.5}});
}
