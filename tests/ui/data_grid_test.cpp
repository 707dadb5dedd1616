// The table model over datasets and the data grid on the offscreen platform:
// the model against Qt's model checker, the cursor and the view following
// each other, the grid's keys, editing, footer, sort and print.

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <sstream>

#include "base/encoding.h"
#include "base/runtime.h"
#include "base/screen_rules.h"
#include "data/dataset_fixture.h"
#include "support/scripted_presenter.h"
#include "support/screenshot.h"
#include "support/temp_dir.h"
#include "ui/data_grid.h"
#include "ui/dataset_table_model.h"
#include "ui/qt_text.h"
#include "ui/report_output.h"
#include "ui/visible_fields_dialog.h"

using namespace mero;
using namespace mero::base::literals;
using test::F;
using test::I;
using test::MemDataSet;
using test::T;

namespace {

const std::vector<std::string> kFields = {"ID,3,0", "NAME,1,20", "AMOUNT,6,0"};

std::vector<test::Row> Rows(int n) {
  std::vector<test::Row> rows;
  for (int i = 1; i <= n; ++i) rows.push_back({I(i), T("row" + std::to_string(i)), F(i * 1.5)});
  return rows;
}

QString Cell(const QAbstractItemModel& m, int row, int column) { return m.index(row, column).data().toString(); }

std::vector<QString> ColumnTexts(const QAbstractItemModel& m, int column) {
  std::vector<QString> out;
  for (int r = 0; r < m.rowCount(); ++r) out.push_back(Cell(m, r, column));
  return out;
}

// Installs a printer that keeps what it was handed.
class RecordingPrinter : public ui::ReportPrinter {
 public:
  RecordingPrinter() { ui::SetReportPrinter(this); }
  ~RecordingPrinter() override { ui::SetReportPrinter(nullptr); }
  void Print(const ui::TMyRpt& definition, data::TDataSet& ds) override {
    printed.push_back(definition);
    dataSets.push_back(&ds);
  }
  std::vector<ui::TMyRpt> printed;
  std::vector<data::TDataSet*> dataSets;
};

TEST(DataSetTableModel, PassesTheModelCheckerOverEveryOperation) {
  MemDataSet ds;
  ds.OpenWith(kFields, Rows(5));
  ui::DataSetTableModel model;
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  model.SetDataSet(&ds);
  ASSERT_EQ(model.rowCount(), 5);
  ASSERT_EQ(model.columnCount(), 3);

  ds.Close();
  EXPECT_EQ(model.rowCount(), 0);
  EXPECT_EQ(model.columnCount(), 0);
  ds.OpenWith(kFields, Rows(5));
  EXPECT_EQ(model.rowCount(), 5);

  ds.First();
  ds.Next();
  ds.Insert();  // before row 2
  EXPECT_EQ(model.rowCount(), 6);
  EXPECT_EQ(Cell(model, 1, 1), "");
  EXPECT_EQ(Cell(model, 2, 1), "row2");
  ds.FieldByName("NAME").SetAsString("inserted");
  EXPECT_EQ(Cell(model, 1, 1), "inserted");
  ds.Cancel();
  EXPECT_EQ(ColumnTexts(model, 1), (std::vector<QString>{"row1", "row2", "row3", "row4", "row5"}));

  ds.Append();
  ds.FieldByName("ID").SetAsInteger(9);
  ds.FieldByName("NAME").SetAsString("appended");
  ds.FieldByName("AMOUNT").SetAsFloat(100);
  ds.Post();
  EXPECT_EQ(Cell(model, 5, 1), "appended");

  ds.First();
  ds.Delete();
  EXPECT_EQ(model.rowCount(), 5);
  EXPECT_EQ(Cell(model, 0, 1), "row2");

  ds.SortOnFields({"ID"}, {true});
  EXPECT_EQ(Cell(model, 0, 1), "appended");

  ds.SetFilter("AMOUNT > 5");
  ds.SetFiltered(true);
  EXPECT_EQ(ColumnTexts(model, 1), (std::vector<QString>{"appended", "row5", "row4"}));
  // An edit that the filter refuses takes the row out of view.
  ds.First();
  ds.Next();
  ds.Edit();
  ds.FieldByName("AMOUNT").SetAsFloat(1);
  ds.Post();
  EXPECT_EQ(ColumnTexts(model, 1), (std::vector<QString>{"appended", "row4"}));
  ds.SetFiltered(false);

  ds.Close();
  ds.OpenWith(kFields, Rows(2));
  EXPECT_EQ(ColumnTexts(model, 1), (std::vector<QString>{"row1", "row2"}));
}

TEST(DataSetTableModel, OneResetForEachOpenCloseAndSort) {
  MemDataSet ds;
  ui::DataSetTableModel model;
  model.SetDataSet(&ds);
  int resets = 0;
  QObject::connect(&model, &QAbstractItemModel::modelReset, [&resets] { ++resets; });
  ds.OpenWith(kFields, Rows(3));
  EXPECT_EQ(resets, 1);
  ds.SortOnFields({"ID"}, {true});  // the same rows in another order
  EXPECT_EQ(resets, 2);
  EXPECT_EQ(ColumnTexts(model, 1), (std::vector<QString>{"row3", "row2", "row1"}));
  ds.Close();
  EXPECT_EQ(resets, 3);
  ds.OpenWith(kFields, Rows(3));
  EXPECT_EQ(resets, 4);
  EXPECT_EQ(ColumnTexts(model, 1), (std::vector<QString>{"row1", "row2", "row3"}));
  ds.SortOnFields({"ID"}, {true});
  EXPECT_EQ(resets, 5);
  EXPECT_EQ(ColumnTexts(model, 1), (std::vector<QString>{"row3", "row2", "row1"}));
}

TEST(DataSetTableModel, ReadsInPlaceWithoutMovingTheCursorAndTheEditedRowThroughItsFields) {
  MemDataSet ds;
  ds.OpenWith(kFields, Rows(3));
  ds.FieldByName("AMOUNT").SetDisplayFormat("#0.00");
  ds.Last();
  int scrolls = 0;
  ds.AfterScroll = [&scrolls] { ++scrolls; };
  ui::DataSetTableModel model;
  model.SetDataSet(&ds);
  EXPECT_EQ(Cell(model, 0, 2), "1,50");
  EXPECT_EQ(model.index(0, 2).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight, Qt::AlignRight);
  ds.Edit();
  ds.FieldByName("NAME").SetAsString("changed");
  EXPECT_EQ(Cell(model, 2, 1), "changed");
  EXPECT_EQ(Cell(model, 1, 1), "row2");
  EXPECT_EQ(ds.RecNo(), 3);
  EXPECT_EQ(scrolls, 0);
}

TEST(DataSetTableModel, TheCursorAndTheModelsRowFollowEachOther) {
  MemDataSet ds;
  ds.OpenWith(kFields, Rows(4));
  ui::DataSetTableModel model;
  model.SetDataSet(&ds);
  std::vector<int> moved;
  QObject::connect(&model, &ui::DataSetTableModel::CurrentRowMoved, [&moved](int row) { moved.push_back(row); });
  ds.Next();
  ds.Next();
  EXPECT_EQ(moved, (std::vector<int>{1, 2}));
  EXPECT_EQ(model.CurrentRow(), 2);

  // Moving from the model posts the pending edit first.
  ds.Edit();
  ds.FieldByName("NAME").SetAsString("edited");
  ASSERT_TRUE(model.MoveToRow(0));
  EXPECT_EQ(ds.State(), data::dsBrowse);
  EXPECT_EQ(ds.FieldByName("ID").AsInteger(), 1);
  EXPECT_EQ(Cell(model, 2, 1), "edited");
}

TEST(DataSetTableModel, AFailedPostKeepsTheRowAndShowsTheErrorOnce) {
  test::ScriptedPresenter presenter;
  MemDataSet ds;
  ds.OpenWith(kFields, Rows(3));
  ds.FieldByName("NAME").SetRequired(true);
  ui::DataSetTableModel model;
  model.SetDataSet(&ds);
  ds.Last();
  ds.Insert();
  ds.FieldByName("ID").SetAsInteger(7);
  const int inserted = model.CurrentRow();
  EXPECT_FALSE(model.MoveToRow(0));
  EXPECT_EQ(ds.State(), data::dsInsert);
  EXPECT_EQ(model.CurrentRow(), inserted);
  EXPECT_EQ(model.rowCount(), 4);
  ASSERT_EQ(presenter.AllShown().size(), 1u);
  EXPECT_NE(presenter.AllShown()[0].text.find("NAME"), std::string::npos) << presenter.AllShown()[0].text;
}

TEST(DataSetTableModel, SetDataEditsTheRowAndABadValueIsRefused) {
  test::ScriptedPresenter presenter;
  MemDataSet ds;
  ds.OpenWith(kFields, Rows(3));
  ui::DataSetTableModel model;
  model.SetDataSet(&ds);
  EXPECT_TRUE(model.setData(model.index(1, 1), "new name"));
  EXPECT_EQ(ds.State(), data::dsEdit);
  EXPECT_EQ(ds.RecNo(), 2);
  EXPECT_EQ(Cell(model, 1, 1), "new name");
  EXPECT_FALSE(model.setData(model.index(1, 2), "not a number"));
  EXPECT_EQ(presenter.AllShown().size(), 1u);
  ds.Post();
  EXPECT_EQ(test::Column(ds, "NAME")[1], "new name");
}

TEST(DataSetTableModel, TheColourHookSeesTheRowsValuesNotTheCursor) {
  MemDataSet ds;
  ds.OpenWith(kFields, Rows(3));
  ui::DataSetTableModel model;
  model.SetDataSet(&ds);
  model.SetDrawDataCell([](const ui::RowValues& row, const data::TField&, ui::CellStyle& style) {
    if (row.Value("AMOUNT").AsDouble() > 2) style.background = 0xFF0000;
    if (row.Text("NAME") == "row1") style.bold = true;
  });
  EXPECT_FALSE(model.index(0, 0).data(Qt::BackgroundRole).isValid());
  EXPECT_TRUE(model.index(0, 0).data(Qt::FontRole).value<QFont>().bold());
  EXPECT_EQ(model.index(1, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(255, 0, 0));
  EXPECT_EQ(ds.RecNo(), 1);
}

class GridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ds_.OpenWith(kFields, Rows(5));
    grid_.SetSelected({"NAME\t10\tΌνομα"_gr, "AMOUNT\t8\tΠοσό"_gr, "ID\t4\tΚωδ"_gr});
    grid_.SetDataSet(&ds_);
    grid_.resize(500, 300);
    grid_.show();
    QApplication::processEvents();
  }
  QTableView& View() { return *grid_.View(); }
  void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(View().focusWidget() != nullptr ? View().focusWidget() : &View(), static_cast<Qt::Key>(key),
                    mods);
    QApplication::processEvents();
  }

  MemDataSet ds_;
  ui::TKZDBGrid grid_;
};

TEST_F(GridTest, ShowsTheLayoutsColumnsWithTheirWidthsAndTitles) {
  const QAbstractItemModel& m = *View().model();
  ASSERT_EQ(m.columnCount(), 3);
  EXPECT_EQ(m.headerData(0, Qt::Horizontal).toString(), QString::fromUtf8("Όνομα"));
  EXPECT_EQ(View().columnWidth(0), 67);
  EXPECT_EQ(View().columnWidth(2), 31);
  EXPECT_EQ(ds_.FieldByName("NAME").DisplayLabel(), "Όνομα"_gr);
  test::Screenshot(&grid_, "data_grid");
}

TEST_F(GridTest, EnterMovesToTheNextCellAndOnToTheNextRow) {
  View().setFocus();
  View().setCurrentIndex(View().model()->index(0, 1));
  Key(Qt::Key_Return);
  EXPECT_EQ(View().currentIndex().column(), 2);
  Key(Qt::Key_Return);
  EXPECT_EQ(View().currentIndex().row(), 1);
  EXPECT_EQ(View().currentIndex().column(), 0);
  EXPECT_EQ(ds_.RecNo(), 2);
}

TEST_F(GridTest, EditingACellWritesTheFieldAndEnterGoesOn) {
  test::ScriptedPresenter presenter;
  View().setFocus();
  View().setCurrentIndex(View().model()->index(2, 0));
  View().edit(View().currentIndex());
  auto* editor = View().findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->selectAll();
  QTest::keyClicks(editor, "typed");
  QTest::keyClick(editor, Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_EQ(ds_.State(), data::dsEdit);
  EXPECT_EQ(ds_.FieldByName("NAME").AsString(), "typed");
  EXPECT_EQ(View().currentIndex().column(), 1);
  // Leaving the row posts it.
  View().setCurrentIndex(View().model()->index(0, 0));
  QApplication::processEvents();
  EXPECT_EQ(ds_.State(), data::dsBrowse);
  EXPECT_EQ(test::Column(ds_, "NAME")[2], "typed");
}

TEST(GridCheckColumn, ATextFieldShowsAndTakesItsTwoTextsAsACheckBox) {
  MemDataSet ds;
  ds.OpenWith({"ID,3,0", "GEN,1,1"}, {{I(1), T("1")}, {I(2), T("0")}, {I(3), T("x")}});
  ui::TKZDBGrid grid;
  grid.SetSelected({"ID\t4\tID", "GEN\t1\tGen"});
  grid.SetCheckColumn({"gen", "1", "0"});
  grid.SetDataSet(&ds);
  const QAbstractItemModel& m = *grid.View()->model();
  const QModelIndex first = m.index(0, 1);
  EXPECT_TRUE(m.flags(first) & Qt::ItemIsUserCheckable);
  EXPECT_FALSE(m.flags(first) & Qt::ItemIsEditable);
  EXPECT_EQ(first.data(Qt::CheckStateRole), Qt::Checked);
  EXPECT_EQ(m.index(1, 1).data(Qt::CheckStateRole), Qt::Unchecked);
  EXPECT_EQ(m.index(2, 1).data(Qt::CheckStateRole), Qt::Unchecked) << "any other text is not checked";
  EXPECT_FALSE(first.data(Qt::DisplayRole).isValid()) << "the text itself is not drawn";

  ASSERT_TRUE(grid.Model()->setData(m.index(1, 1), Qt::Checked, Qt::CheckStateRole));
  EXPECT_EQ(ds.FieldByName("GEN").AsString(), "1");
  ASSERT_TRUE(grid.Model()->setData(m.index(1, 1), Qt::Unchecked, Qt::CheckStateRole));
  EXPECT_EQ(ds.FieldByName("GEN").AsString(), "0");
}

TEST(GridDateColumn, AColumnLaidOutForAWholeDateShowsItWhole) {
  MemDataSet ds;
  ds.OpenWith({"NAME,1,20", "DTIN,9,0", "DTX,9,0"}, {{T("a"), base::Variant::Date(46000), base::Variant::Date(46000)}});
  ui::TKZDBGrid grid;
  grid.SetSelected({"NAME\t10\tName", "DTIN\t10\tIn", "DTX\t3\tX"});
  grid.SetDataSet(&ds);
  QTableView& view = *grid.View();
  EXPECT_EQ(view.columnWidth(0), 67) << "text keeps the width of its characters";
  EXPECT_GT(view.columnWidth(1), view.fontMetrics().horizontalAdvance(QStringLiteral("00/00/0000")));
  EXPECT_EQ(view.columnWidth(2), std::max(base::CharsToPixels(3), view.horizontalHeader()->minimumSectionSize()))
      << "a column laid out narrow stays narrow";
}

TEST_F(GridTest, CtrlDelDeletesOnlyWhenConfirmed) {
  test::ScriptedPresenter presenter;
  View().setFocus();
  View().setCurrentIndex(View().model()->index(1, 0));
  presenter.SetNextAnswer(base::ModalResult::Cancel);
  Key(Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_EQ(ds_.RecordCount(), 5);
  presenter.SetNextAnswer(base::ModalResult::OK);
  Key(Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_EQ(ds_.RecordCount(), 4);
  EXPECT_EQ(test::Column(ds_, "ID"), (std::vector<std::string>{"1", "3", "4", "5"}));
  ASSERT_EQ(presenter.AllShown().size(), 2u);
  EXPECT_EQ(presenter.AllShown()[0].text, base::Utf8ToWin1253(ui::kDeleteRowQuestion));
  EXPECT_EQ(presenter.AllShown()[0].kind, base::mkQuestion);
}

TEST_F(GridTest, AltF12HandsTheDefinitionToThePrinter) {
  RecordingPrinter printer;
  grid_.SetzSumFields("AMOUNT;ID");
  grid_.SetzRPTTitle("Κατάλογος"_gr);
  grid_.UpdateFooter();
  View().setColumnWidth(0, 100);
  View().setFocus();
  Key(Qt::Key_F12, Qt::AltModifier);
  ASSERT_EQ(printer.printed.size(), 1u);
  const ui::TMyRpt& r = printer.printed[0];
  EXPECT_EQ(printer.dataSets[0], &ds_);
  ASSERT_EQ(r.selected.size(), 3u);
  struct Expect {
    std::string field, title;
    char kind;
    int width, alignment;
  } expect[] = {{"NAME", "Όνομα"_gr, 'C', 17, 1}, {"AMOUNT", "Ποσό"_gr, 'N', 10, 2}, {"ID", "Κωδ"_gr, 'N', 5, 2}};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(r.selected[i].fieldName, expect[i].field);
    EXPECT_EQ(r.selected[i].title, expect[i].title);
    EXPECT_EQ(r.selected[i].kind, expect[i].kind);
    EXPECT_EQ(r.selected[i].width, expect[i].width) << expect[i].field;
    EXPECT_EQ(r.selected[i].alignment, expect[i].alignment);
  }
  EXPECT_EQ(r.titleLines, (std::vector<std::string>{"Κατάλογος"_gr}));
  EXPECT_EQ(r.sumNames, (std::vector<std::string>{"AMOUNT", "ID"}));
  EXPECT_EQ(r.sumTexts, (std::vector<std::string>{"22,5", "15"}));
}

TEST_F(GridTest, CtrlDoubleClickOnAnEmptyListSaysThereIsNothingToPrint) {
  test::ScriptedPresenter presenter;
  RecordingPrinter printer;
  ds_.First();
  while (!ds_.IsEmpty()) ds_.Delete();
  QTest::mouseDClick(View().viewport(), Qt::LeftButton, Qt::ControlModifier, QPoint(10, 10));
  EXPECT_TRUE(printer.printed.empty());
  ASSERT_EQ(presenter.AllShown().size(), 1u);
  EXPECT_EQ(presenter.AllShown()[0].text, "Δεν υπάρχουν στοιχεία για εκτύπωση!"_gr);
}

TEST_F(GridTest, APlainDoubleClickRunsTheWindowsHandler) {
  int clicks = 0;
  grid_.OnDblClick = [&clicks] { ++clicks; };
  QTest::mouseDClick(View().viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
  EXPECT_EQ(clicks, 1);
}

TEST_F(GridTest, TitleClicksSortAndTheSwitchTurnsThemOff) {
  QHeaderView* header = View().horizontalHeader();
  auto click = [&](int column) {
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    QApplication::processEvents();
  };
  click(2);
  click(2);
  EXPECT_EQ(grid_.History().Entries(), (std::vector<std::string>{"ID;1"}));
  EXPECT_EQ(Cell(*View().model(), 0, 2), "5");
  grid_.SetTitleButtons(false);
  click(0);
  EXPECT_EQ(grid_.History().Entries().size(), 1u);
}

TEST_F(GridTest, TheFooterShowsSumsUnderTheirColumnsAndFollowsTheWidths) {
  ds_.Next();
  int scrolls = 0;
  ds_.AfterScroll = [&scrolls] { ++scrolls; };
  grid_.SetzSumFields("AMOUNT;ID;GHOSTLESS_NOT_SHOWN");
  grid_.SetzSumFields("AMOUNT;ID");
  QApplication::processEvents();
  ASSERT_TRUE(grid_.Footer()->isVisible());
  EXPECT_EQ(grid_.FooterText(0), "");
  EXPECT_EQ(grid_.FooterText(1), "22,5");
  EXPECT_EQ(grid_.FooterText(2), "15");
  EXPECT_EQ(ds_.RecNo(), 2);
  EXPECT_EQ(scrolls, 0);

  // The footer strip paints each text at its column's place.
  auto amountAt = [&]() {
    const QImage image = grid_.Footer()->grab().toImage();
    const int start = View().horizontalHeader()->sectionViewportPosition(1) + View().viewport()->x();
    return start;
  };
  const int before = amountAt();
  View().setColumnWidth(0, 200);
  QApplication::processEvents();
  EXPECT_EQ(amountAt(), before + 200 - 67);
  test::Screenshot(&grid_, "data_grid_footer");
}

TEST_F(GridTest, ShiftDoubleClickOpensTheFieldVisibilityWindow) {
  bool seen = false;
  QTimer::singleShot(0, [&seen] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    seen = true;
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("Μεταβολή Εμφάνισης"));
    auto* grid = dialog->findChild<ui::TKZDBGrid*>();
    ASSERT_NE(grid, nullptr);
    const QAbstractItemModel& m = *grid->View()->model();
    EXPECT_EQ(m.headerData(0, Qt::Horizontal).toString(), QString::fromUtf8("Ορατό"));
    EXPECT_EQ(m.headerData(1, Qt::Horizontal).toString(), QString::fromUtf8("Περιγραφή Πεδίου"));
    test::Screenshot(dialog, "visible_fields");
    // Hide AMOUNT (the third field) and rename ID.
    grid->Model()->setData(m.index(2, 0), Qt::Unchecked, Qt::CheckStateRole);
    grid->Model()->setData(m.index(0, 1), QString::fromUtf8("Κωδικός"));
    dialog->findChild<QPushButton*>("OK")->click();
  });
  QTest::mouseDClick(View().viewport(), Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 10));
  ASSERT_TRUE(seen);
  EXPECT_FALSE(ds_.FieldByName("AMOUNT").Visible());
  EXPECT_EQ(ds_.FieldByName("ID").DisplayLabel(), "Κωδικός"_gr);
  ASSERT_EQ(View().model()->columnCount(), 2);
  EXPECT_EQ(View().model()->headerData(1, Qt::Horizontal).toString(), QString::fromUtf8("Κωδικός"));
}

TEST(GridPrint, TheDefaultPrinterWritesAsciiTxtAndSaysWhere) {
  test::TempDir dir;
  base::Rt().expImpOverride = dir.Path().string();
  test::ScriptedPresenter presenter;
  MemDataSet ds;
  ds.OpenWith(kFields, {{I(1), T("Άλφα"_gr), F(1.5)}, {I(2), T("b'c"), F(2)}});
  ds.Next();
  int scrolls = 0;
  ds.AfterScroll = [&scrolls] { ++scrolls; };
  ui::TKZDBGrid grid;
  grid.SetSelected({"NAME\t10\tName", "AMOUNT\t8\tAmount"});
  grid.SetDataSet(&ds);
  grid.Print();
  std::ifstream in(dir.File("ascii.txt"), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  // Each value is followed by the separator, texts without their quotes.
  EXPECT_EQ(text.str(), "Άλφα"_gr + "\t1,5\t\r\nb'c\t2\t\r\n");
  EXPECT_EQ(scrolls, 0);
  EXPECT_EQ(ds.RecNo(), 2);
  EXPECT_TRUE(static_cast<bool>(ds.AfterScroll));
  ASSERT_EQ(presenter.AllShown().size(), 1u);
  EXPECT_NE(presenter.AllShown()[0].text.find(dir.File("ascii.txt")), std::string::npos);
  base::Rt().expImpOverride.clear();
}

TEST(GridHint, AHintIsCutToSixHundredPixels) {
  QStringList lines;
  for (int i = 0; i < 100; ++i) lines << QString::number(i);
  const QString cut = ui::CutHintToHeight(lines.join('\n'), 14);
  EXPECT_EQ(cut.split('\n').size(), 600 / 14);
  EXPECT_EQ(ui::CutHintToHeight("short", 14), "short");
}

}  // namespace
