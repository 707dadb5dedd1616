// The string grid: its column rules, the numeric key filter, the formatted
// text, the print job and its default file, and the grid routines.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/encoding.h"
#include "base/file_routines.h"
#include "base/runtime.h"
#include "host_window.h"
#include "support/screenshot.h"
#include "support/scripted_presenter.h"
#include "support/temp_dir.h"
#include "ui/grid_routines.h"
#include "ui/qt_text.h"
#include "ui/string_grid.h"

using namespace mero;
using namespace mero::base::literals;

namespace {

TEST(StringGridRules, FlagsPastTheLastColumnReadClearAndNumbersShowFormatted) {
  ui::ColumnFlagTable table;
  EXPECT_TRUE(table.Set(369, {true, true, true, "#,##0.00"}));
  EXPECT_FALSE(table.Set(370, {true, true, true, "x"}));
  EXPECT_TRUE(table.At(369).sum);
  EXPECT_FALSE(table.At(370).isNum);
  EXPECT_FALSE(table.At(-1).al);

  const ui::ColumnFlags money{false, true, true, "#,##0.00"};
  struct Case {
    const char* text;
    ui::ColumnFlags flags;
    bool fixed;
    const char* shown;
  };
  const Case cases[] = {
      {"1234,5", money, false, "1.234,50"},
      {"1.234,5", money, false, "1.234,50"},
      {"", money, false, "0,00"},
      {"abc", money, false, "0,00"},
      {"Ποσό", money, true, "Ποσό"},
      {"1234,5", {false, true, false, ""}, false, "1234,5"},
      {"1234,5", {true, false, false, "#,##0.00"}, false, "1234,5"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ui::CellDisplayText(base::Utf8ToWin1253(c.text), c.flags, c.fixed), base::Utf8ToWin1253(c.shown))
        << c.text;
  }
  EXPECT_TRUE(ui::RightAligned({true, false, false, ""}));
  EXPECT_TRUE(ui::RightAligned({false, true, false, ""}));
  EXPECT_FALSE(ui::RightAligned({}));
  for (char c : std::string("0123456789+,-")) EXPECT_TRUE(ui::NumericCharAllowed(c)) << c;
  for (char c : std::string(". a/")) EXPECT_FALSE(ui::NumericCharAllowed(c)) << c;
}

struct GridWindow {
  ui::TKZSG* grid = new ui::TKZSG;
  test::HostWindow window{"TKZSG", {grid}};

  GridWindow() {
    grid->SetColCount(3);
    grid->SetRowCount(3);
    grid->SetCell(0, 0, "Κωδ"_gr);
    grid->SetCell(1, 0, "Ποσό"_gr);
    grid->SetCell(2, 0, "Σχόλιο"_gr);
    grid->SetCell(0, 1, "7");
    grid->SetCell(1, 1, "1234,5");
    grid->SetCell(2, 1, "πρώτη"_gr);
    grid->SetFlags(1, {false, true, true, "#,##0.00"});
    grid->SetzRPTTitle("Κατάσταση"_gr);
    grid->setColumnWidth(1, 100);
    grid->setFocus();
  }
};

TEST(StringGrid, ANumericColumnTakesOnlyNumberCharactersAndEditingMarksTheGrid) {
  GridWindow w;
  test::Screenshot(&w.window, "string_grid");
  EXPECT_FALSE(w.grid->Modified());
  w.grid->setCurrentCell(2, 1);
  QTest::keyClick(w.grid, Qt::Key_F2);
  ASSERT_NE(w.grid->indexWidget(w.grid->currentIndex()), nullptr);
  ASSERT_TRUE(w.grid->indexWidget(w.grid->currentIndex())->hasFocus())
      << QApplication::focusWidget()->metaObject()->className();
  QTest::keyClicks(QApplication::focusWidget(), "-12,5x.");
  EXPECT_EQ(qobject_cast<QLineEdit*>(QApplication::focusWidget())->text().toStdString(), "-12,5");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  QApplication::processEvents();  // the editor commits from a queued call
  EXPECT_EQ(w.grid->Cell(1, 2), "-12,5");
  EXPECT_TRUE(w.grid->Modified());

  w.grid->setCurrentCell(2, 2);
  QTest::keyClick(w.grid, Qt::Key_F2);
  QTest::keyClicks(QApplication::focusWidget(), "x.");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  QApplication::processEvents();  // the editor commits from a queued call
  EXPECT_EQ(w.grid->Cell(2, 2), "x.");
  EXPECT_EQ(w.grid->CharWidth(1), 15);
}

TEST(StringGrid, CtrlDoubleClickHandsTheJobToTheInstalledPrinter) {
  GridWindow w;
  std::vector<ui::StringGridPrintJob> jobs;
  ui::SetStringGridPrinter([&](const ui::StringGridPrintJob& job) { jobs.push_back(job); });
  const QPoint cell = w.grid->visualRect(w.grid->model()->index(1, 1)).center();
  QTest::mouseDClick(w.grid->viewport(), Qt::LeftButton, Qt::ControlModifier, cell);
  ui::SetStringGridPrinter(nullptr);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].title, "Κατάσταση"_gr);
  EXPECT_EQ(jobs[0].columns, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(jobs[0].sumColumns, std::vector<int>{1});
  EXPECT_EQ(jobs[0].fixedRows, 1);
  ASSERT_EQ(jobs[0].rows.size(), 3u);
  EXPECT_EQ(jobs[0].rows[1], (std::vector<std::string>{"7", "1234,5", "πρώτη"_gr}));
}

TEST(StringGrid, TheDefaultPrinterWritesTheCellsToAsciiTxtAndSaysWhere) {
  test::TempDir dir;
  base::Rt().expImpOverride = dir.Path().string();
  test::ScriptedPresenter presenter;
  GridWindow w;
  w.grid->PrintGrid();
  base::Rt().expImpOverride.clear();
  const std::string path = dir.Path().string() + "/ascii.txt";
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  EXPECT_EQ(content.str(), "Κωδ\tΠοσό\tΣχόλιο\r\n7\t1234,5\tπρώτη\r\n\t\t\r\n"_gr);
  EXPECT_EQ(presenter.Texts(), std::vector<std::string>{"Τα στοιχεία γράφτηκαν στο αρχείο : "_gr + path});
}

TEST(StringGrid, ShiftDoubleClickShowsTheColumnViewer) {
  GridWindow w;
  std::vector<std::string> rows;
  QTimer::singleShot(0, [&] {
    auto* viewer = qobject_cast<ui::TKZSGVF*>(QApplication::activeModalWidget());
    ASSERT_NE(viewer, nullptr);
    test::Screenshot(viewer, "string_grid_columns");
    QTableWidget* t = viewer->Table();
    for (int i = 0; i < t->columnCount(); ++i) rows.push_back(t->horizontalHeaderItem(i)->text().toStdString());
    for (int i = 0; i < t->columnCount(); ++i) rows.push_back(t->item(1, i)->text().toStdString());
    viewer->reject();
  });
  const QPoint cell = w.grid->visualRect(w.grid->model()->index(1, 0)).center();
  QTest::mouseDClick(w.grid->viewport(), Qt::LeftButton, Qt::ShiftModifier, cell);
  EXPECT_EQ(rows, (std::vector<std::string>{"AA", "AL", "IsNum", "DispFmt", "CWid", "1", "0", "1", "#,##0.00", "15"}));
}

TEST(GridRoutines, ListToGridClearGridRowsAndDeleteEmptyRows) {
  GridWindow w;
  ui::TKZSG& g = *w.grid;
  ui::ListToGrid({" a ;b", "c;;d;e", ""}, g, ";");
  EXPECT_EQ(g.ColCount(), 4);
  EXPECT_EQ(g.RowCount(), 4);
  EXPECT_EQ(g.Cell(0, 0), "Κωδ"_gr);
  EXPECT_EQ(g.Cell(0, 1), "a");
  EXPECT_EQ(g.Cell(2, 1), "");
  EXPECT_EQ(g.Cell(1, 2), "");
  EXPECT_EQ(g.Cell(3, 2), "e");

  g.SetRowCount(6);
  g.SetCell(0, 5, "z");
  ui::DeleteEmptyRows(g);
  EXPECT_EQ(g.RowCount(), 4);
  EXPECT_EQ(g.Cell(0, 3), "z");
  EXPECT_EQ(g.Cell(0, 0), "Κωδ"_gr);

  ui::ClearGridRows(g, 2);
  EXPECT_EQ(g.RowCount(), 3);
  EXPECT_EQ(g.Cell(0, 1), "a");
  EXPECT_EQ(g.Cell(0, 2), "");
  ui::ClearGridRows(g, 0);
  EXPECT_EQ(g.RowCount(), 2);
  EXPECT_EQ(g.Cell(0, 0), "");
  ui::DeleteEmptyRows(g);
  EXPECT_EQ(g.RowCount(), 2);
}

TEST(GridRoutines, CheckAllSetsEveryMark) {
  QListWidget list;
  for (const char* text : {"a", "b", "c"}) {
    auto* item = new QListWidgetItem(text, &list);
    item->setCheckState(Qt::Unchecked);
  }
  list.item(1)->setCheckState(Qt::Checked);
  ui::CheckAll(list, true);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(list.item(i)->checkState(), Qt::Checked);
  ui::CheckAll(list, false);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(list.item(i)->checkState(), Qt::Unchecked);
}

}  // namespace
