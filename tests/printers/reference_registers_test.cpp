// The four registers of reference data against the demo data: the select of
// each set of boxes and the rows it gives, the colours of the contract's
// consumables, and windows that list without ever editing.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QColor>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "data/remote/application_dataset.h"
#include "data/remote/query_utils.h"
#include "printers/contract_consumables_register.h"
#include "printers/delivery_points_register.h"
#include "printers/printer_models_register.h"
#include "printers/reference_registers_window.h"
#include "printers/units_register.h"
#include "grid_cells.h"
#include "printers_fixture.h"
#include "support/screenshot.h"
#include "ui/data_grid.h"
#include "ui/dialog_driving.h"
#include "ui/qt_text.h"

namespace mero::printers {
namespace {

using namespace base::literals;

// Boxes typed, check box, the select they give and its rows in the demo.
struct Case {
  std::vector<std::string> texts;
  bool checked;
  std::string sql;
  int rows;
};

void ExpectCases(ReferenceList& list, const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    const ListInput input{c.texts, c.checked};
    SCOPED_TRACE(c.sql);
    EXPECT_EQ(list.SearchSQL(input), c.sql);
    EXPECT_EQ(list.RunQuery(input), c.rows);
    EXPECT_EQ(list.Count(), c.rows);
  }
}

// The texts of one column down the list.
std::vector<std::string> Column(ReferenceList& list, const char* field) {
  std::vector<std::string> values;
  data::TKZLINK& q = list.Query();
  for (q.First(); !q.Eof(); q.Next()) values.push_back(q.FieldByName(field).AsString());
  return values;
}

using ReferenceRegisters = test::PrintersTest;

TEST_F(ReferenceRegisters, DeliveryPointsLeaveOutThePlaceholderAndSearchTheDescription) {
  DeliveryPointsRegister r;
  const std::string head = "select * from UDELIVERY where 1=1 and (id<>'-') ";
  ExpectCases(
      r, {
             {{""}, false, head + " order by ID", 6},
             {{"   "}, false, head + " order by ID", 6},
             {{"αποθήκη/"_gr}, false, head + " AND  (UPPER(NAME) LIKE '%ΑΠΟΘΉΚΗ%') order by ID"_gr, 2},
             {{"Παράρτημα Πειραιά"_gr}, false, head + " AND  (UPPER(NAME) = 'ΠΑΡΆΡΤΗΜΑ ΠΕΙΡΑΙΆ') order by ID"_gr, 1},
             {{"Χωρίς="_gr}, false, head + " AND  (UPPER(NAME) LIKE 'ΧΩΡΊΣ%') order by ID"_gr, 0},
         });
  EXPECT_EQ(r.RunQuery(r.InitialInput()), 6);
  EXPECT_EQ(Column(r, "ID"), (std::vector<std::string>{"001", "002", "003", "004", "005", "006"}));
}

TEST_F(ReferenceRegisters, UnitsOpenWithTheTonerUnitsAndATypedCodeListsThatUnit) {
  UnitsRegister r;
  ASSERT_TRUE(r.Check());
  EXPECT_EQ(r.Check()->caption, "Μόνο Toner"_gr);
  EXPECT_TRUE(r.InitialInput().checked);
  const std::string head = "select * from UORG where 1=1";
  ExpectCases(r,
              {
                  {{""}, true, head + " AND (TONER_UID is not NULL) order by ID", 7},
                  {{""}, false, head + " order by ID", 15},
                  {{" "}, false, head + " order by ID", 15},
                  {{"0.02.02"}, true, head + " AND  (ID = '0.02.02') AND (TONER_UID is not NULL) order by ID", 1},
                  {{"0.02.02"}, false, head + " AND  (ID = '0.02.02') order by ID", 1},
                  {{"0.02.02="}, false, head + " AND  (ID LIKE '0.02.02%') order by ID", 3},
                  {{"0.02.02.01"}, true, head + " AND  (ID = '0.02.02.01') AND (TONER_UID is not NULL) order by ID", 0},
              });
  r.RunQuery({{"0.02.02"}, false});
  EXPECT_EQ(Column(r, "ID"), std::vector<std::string>{"0.02.02"});
  r.RunQuery(r.InitialInput());
  EXPECT_EQ(Column(r, "ID"),
            (std::vector<std::string>{"0.01", "0.02.01", "0.02.02", "0.03.01", "0.03.02", "0.04.01", "0.04.02"}));
}

TEST_F(ReferenceRegisters, PrinterModelsSearchUpperCasedAndTheKindBoxTakesTheLetter) {
  PrinterModelsRegister r;
  const std::string head = "select * from UPV_PR_MODELS v where 1=1 ";
  ExpectCases(
      r, {
             {{"", "", ""}, false, head + " order by SNAME, FullName", 12},
             {{" ", "", " "}, false, head + " order by SNAME, FullName", 12},
             {{"brother hl=", "", ""},
              false,
              head + " AND  (UPPER(v.FULLNAME) LIKE 'BROTHER HL%') order by SNAME, FullName",
              2},
             {{"", "hp", ""}, false, head + " AND  (UPPER(v.SNAME) = 'HP') order by SNAME, FullName", 4},
             {{"", "", "i"}, false, head + " AND  (UPPER(v.IL) = 'I') order by SNAME, FullName", 4},
             {{"laserjet/", "hp", "l"},
              false,
              head + " AND  (UPPER(v.FULLNAME) LIKE '%LASERJET%') AND  (UPPER(v.SNAME) = 'HP') AND  (UPPER(v.IL) = "
                     "'L') order by SNAME, FullName",
              3},
         });
  // Ordered by maker, then name; the counts come from the view.
  r.RunQuery(r.InitialInput());
  EXPECT_EQ(Column(r, "ID").front(), "BRL2350");
  data::TKZLINK& q = r.Query();
  ASSERT_TRUE(q.Locate("ID", base::Variant::Text("BRL2350"), 0));
  EXPECT_EQ(q.FieldByName("PR_CNT").AsInteger(), 5);
  EXPECT_EQ(q.FieldByName("CONS_NT").AsInteger(), 3);
}

TEST_F(ReferenceRegisters, ContractConsumablesAreTheLinesOfTheCurrentContractParameter) {
  ContractConsumablesRegister r;
  const std::string head = "select * from UPV_SYMBD v where 1=1 and v.MID=2";
  ExpectCases(
      r, {
             {{"", "", ""}, false, head + " order by ItemAA", 32},
             {{" ", " ", " "}, false, head + " order by ItemAA", 32},
             {{"toner=", "", ""}, false, head + " AND  (UPPER(v.Code) LIKE 'TONER%') order by ItemAA", 19},
             {{"τύμπανο="_gr, "", ""}, false, head + " AND  (UPPER(v.Code) LIKE 'ΤΎΜΠΑΝΟ%') order by ItemAA"_gr, 1},
             {{"", "brother", ""}, false, head + " AND  (UPPER(v.MAN_SNAME) = 'BROTHER') order by ItemAA", 6},
             {{"", "", "ink"}, false, head + " AND  (UPPER(v.C_CTYPE) = 'INK') order by ItemAA", 12},
             {{"", "hp", "toner"},
              false,
              head + " AND  (UPPER(v.MAN_SNAME) = 'HP') AND  (UPPER(v.C_CTYPE) = 'TONER') order by ItemAA",
              8},
         });
  r.RunQuery(r.InitialInput());
  const std::vector<std::string> items = Column(r, "ITEMAA");
  EXPECT_EQ(items.front(), "1");
  EXPECT_EQ(items.back(), "32");

  // The contract named by the parameter, not the one open today: the
  // parameter is read at the next login.
  AdminExec("update UP_OVPARAMS set PVALN=1 where PNM='UP_CURRENT_SYMBID'");
  LoginAs("MARIA", "maria");
  ContractConsumablesRegister previous;
  EXPECT_EQ(previous.SearchSQL(previous.InitialInput()),
            "select * from UPV_SYMBD v where 1=1 and v.MID=1 order by ItemAA");
  EXPECT_EQ(previous.RunQuery(previous.InitialInput()), 8);
  EXPECT_EQ(Column(previous, "ID").front(), "101");
}

TEST(ContractConsumableColours, BlackIsGreyHereAndTonerIsGrey) {
  const struct {
    const char* value;
    CellColour letter;
    CellColour kind;
  } cases[] = {
      {"C", kAqua, std::nullopt},           {"M", kFuchsia, std::nullopt},     {"Y", kYellow, std::nullopt},
      {"K", kGrey, std::nullopt},           {"k", std::nullopt, std::nullopt}, {"", std::nullopt, std::nullopt},
      {"Toner", std::nullopt, kGrey},       {"Ink", std::nullopt, kYellow},    {"TONER", std::nullopt, std::nullopt},
      {"Drum", std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ContractColourLetter(c.value), c.letter) << c.value;
    EXPECT_EQ(ContractConsumableKind(c.value), c.kind) << c.value;
  }
  // The workbench paints the same letter silver and toner yellow.
  EXPECT_NE(ContractColourLetter("K"), TonerColourBrush("K"));
  EXPECT_NE(ContractConsumableKind("Toner"), ConsumableKindBrush("Toner"));
}

// The background the grid gives a cell; nullopt for the window colour.
TEST_F(ReferenceRegisters, TheContractWindowColoursItsRowsAsTheDemoLinesAre) {
  TxFSymbDF w;
  w.show();
  ASSERT_EQ(w.CountBox()->text(), "32");
  // Rows by ItemAA - 1: 1 HP black toner, 5 cyan, 6 yellow, 7 magenta,
  // 9 black ink, 14 a drum.
  const struct {
    int row;
    CellColour colour;
    CellColour kind;
  } rows[] = {
      {0, kGrey, kGrey},    {4, kAqua, kGrey},   {5, kYellow, kGrey},
      {6, kFuchsia, kGrey}, {8, kGrey, kYellow}, {13, kGrey, std::nullopt},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(test::CellBackground(*w.Grid(), r.row, "C_COL"), r.colour) << r.row;
    EXPECT_EQ(test::CellBackground(*w.Grid(), r.row, "C_CTYPE"), r.kind) << r.row;
    EXPECT_EQ(test::CellBackground(*w.Grid(), r.row, "CODE"), std::nullopt) << r.row;
  }
  // The page count in its format, the titles from the layout.
  data::TKZLINK& q = w.Logic().Query();
  q.First();
  EXPECT_EQ(q.FieldByName("C_PAGECNT").DisplayText(), "3.000");
  EXPECT_EQ(q.FieldByName("C_PAGECNT").DisplayLabel(), "Αρ.Σελ"_gr);
  EXPECT_EQ(q.FieldByName("CODE").DisplayLabel(), "Αναλώσιμο Σύμβασης"_gr);
  test::Screenshot(&w, "register_contract_consumables");
  w.done(QDialog::Rejected);
}

// What no edit may start through: the dataset, the grid's cells, a key
// typed on the grid and Ctrl+Del (which asks nothing).
void ExpectReadOnly(TReferenceListF& w, test::ScriptedPresenter& presenter) {
  data::TKZLINK& q = w.Logic().Query();
  ASSERT_GT(q.NonEmptyCount(), 0);
  const int rows = q.RecordCount();
  EXPECT_TRUE(q.ReadOnly());
  EXPECT_ANY_THROW(q.Edit());
  EXPECT_ANY_THROW(q.Insert());
  EXPECT_TRUE(q.Fields(0).ReadOnly());
  ui::DataSetTableModel* model = w.Grid()->Model();
  for (int c = 0; c < model->columnCount(); ++c)
    EXPECT_FALSE(model->flags(model->index(0, c)) & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable)) << c;
  EXPECT_FALSE(model->setData(model->index(0, 1), "X"));
  QTableView* view = w.Grid()->View();
  view->setFocus();
  view->setCurrentIndex(model->index(0, 1));
  QTest::keyClicks(view, "xy");
  QTest::keyClick(view, Qt::Key_F2);
  QTest::keyClick(view, Qt::Key_Delete, Qt::ControlModifier);
  QTest::keyClick(view, Qt::Key_Insert);
  EXPECT_EQ(q.State(), data::dsBrowse);
  EXPECT_EQ(q.RecordCount(), rows);
  EXPECT_TRUE(presenter.AllShown().empty()) << presenter.AllShown().front().text;
}

TEST_F(ReferenceRegisters, EveryWindowListsWhenShownAndOnF7AndNeverEdits) {
  const struct {
    const char* shot;
    std::function<std::unique_ptr<TReferenceListF>()> make;
    const char* caption;
    const char* count;
  } windows[] = {
      {"register_delivery_points", [] { return std::make_unique<TUDelPF>(); }, "Σημεία Παράδοσης", "6"},
      {"register_units", [] { return std::make_unique<TUOrg1F>(); }, "Μονάδες", "7"},
      {"register_models", [] { return std::make_unique<TxPrModelsF>(); }, "Μοντέλα Εκτυπωτών", "12"},
      {"register_contract_consumables", [] { return std::make_unique<TxFSymbDF>(); }, "Αναλώσιμα Σύμβασης", "32"},
  };
  for (const auto& entry : windows) {
    SCOPED_TRACE(entry.caption);
    std::unique_ptr<TReferenceListF> w = entry.make();
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8(entry.caption));
    EXPECT_EQ(w->SearchButton()->toolTip(), QString::fromUtf8("Ανεύρεση"));
    EXPECT_TRUE(w->CountBox()->text().isEmpty());
    w->show();
    EXPECT_EQ(w->CountBox()->text(), entry.count);
    ExpectReadOnly(*w, presenter_);
    // F7 and the button search again with what the boxes hold.
    w->Box(0)->setText("--");
    QTest::keyClick(w->Grid()->View(), Qt::Key_F7);
    EXPECT_EQ(w->CountBox()->text(), "0");
    w->Box(0)->clear();
    w->SearchButton()->click();
    EXPECT_EQ(w->CountBox()->text(), entry.count);
    if (std::string(entry.shot) != "register_contract_consumables") test::Screenshot(w.get(), entry.shot);
    w->done(QDialog::Rejected);
  }
  EXPECT_TRUE(presenter_.AllShown().empty());
}

TEST_F(ReferenceRegisters, TheUnitsCheckBoxSearchesAgainAndEnterInTheBoxSearches) {
  TUOrg1F w;
  w.show();
  ASSERT_TRUE(w.CheckBox()->isChecked());
  EXPECT_EQ(w.CountBox()->text(), "7");
  QTest::mouseClick(w.CheckBox(), Qt::LeftButton);
  EXPECT_FALSE(w.CheckBox()->isChecked());
  EXPECT_EQ(w.CountBox()->text(), "15");
  EXPECT_EQ(w.Logic().LastSQL(), "select * from UORG where 1=1 order by ID");
  w.Box(0)->setFocus();
  QTest::keyClicks(w.Box(0), "0.04.02");
  QTest::keyClick(w.Box(0), Qt::Key_Return);
  EXPECT_EQ(w.CountBox()->text(), "1");
  QTest::mouseClick(w.CheckBox(), Qt::LeftButton);
  EXPECT_EQ(w.CountBox()->text(), "1");
  EXPECT_EQ(w.Logic().LastSQL(),
            "select * from UORG where 1=1 AND  (ID = '0.04.02') AND (TONER_UID is not NULL) order by ID");
  w.done(QDialog::Rejected);
}

TEST_F(ReferenceRegisters, OpenShowsTheWindowModallyUntilEsc) {
  bool seen = false;
  test::ModalSteps<TUDelPF> steps([&](TUDelPF& w) {
    seen = w.isModal() && w.CountBox()->text() == "6";
    QTest::keyClick(w.Grid()->View(), Qt::Key_Escape);
  });
  OpenDeliveryPoints();
  EXPECT_TRUE(steps.Ran());
  EXPECT_TRUE(seen);
}

}  // namespace
}  // namespace mero::printers
