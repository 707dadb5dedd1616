// The consumables requirement view against the demo data: its select for the
// three values it opens with, the quantities the server counts for units
// 0.02.02 and 0.04.02, the colours of what remains, and the window.

#include "printers/requirement_view.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <string>

#include "base/encoding.h"
#include "data/remote/application_dataset.h"
#include "data/remote/query_utils.h"
#include "printers/printer_context.h"
#include "printers/requirement_view_window.h"
#include "grid_cells.h"
#include "printers_fixture.h"
#include "support/screenshot.h"
#include "ui/data_grid.h"
#include "ui/dialog_driving.h"

namespace mero::printers {
namespace {

using namespace base::literals;

using RequirementViewTest = test::PrintersTest;

TEST_F(RequirementViewTest, TheSelectLimitsByTheValuesItWasOpenedWith) {
  const std::string head = RequirementSelect(2);
  const struct {
    const char* unit;
    const char* printer;
    const char* consumable;
    std::string sql;
    int rows;
  } cases[] = {
      {"", "", "", head + " order by ID", 86},
      {" ", " ", " ", head + " order by ID", 86},
      {"0.02.02", "", "", head + " AND  (v.orgID = '0.02.02') order by ID", 13},
      {"", "P008", "", head + " AND  (v.prID = 'P008') order by ID", 2},
      {"", "", "13", head + " AND  (v.CID=13) order by ID", 2},
      {"", "", "x", head + " order by ID", 86},
      {"0.02.02", "P008", "1", head + " AND  (v.orgID = '0.02.02') AND  (v.prID = 'P008') AND  (v.CID=1) order by ID",
       1},
      {"0.02.02", "P032", "", head + " AND  (v.orgID = '0.02.02') AND  (v.prID = 'P032') order by ID", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sql);
    RequirementView view(c.unit, c.printer, c.consumable);
    EXPECT_EQ(view.SearchSQL(view.InitialInput()), c.sql);
    EXPECT_EQ(view.RunQuery(view.InitialInput()), c.rows);
  }
}

// Every row's computed quantities against what F_UP_REQ_Q gives on another
// connection; the rows listed by printer and consumable.
std::vector<std::string> CheckFigures(RequirementView& view,
                                      const std::function<std::string(const std::string&)>& other) {
  std::vector<std::string> rows;
  data::TKZLINK& q = view.Query();
  for (q.First(); !q.Eof(); q.Next()) {
    const std::string prid = q.FieldByName("PRID").AsString();
    const std::string cid = q.FieldByName("CID").AsString();
    SCOPED_TRACE(prid + "/" + cid);
    for (const char* kind : {"1", "2", "3", "4"}) {
      const std::string server =
          other(std::string("select F_UP_REQ_Q(") + kind + ",2," + cid + ",'" + prid + "') from DUAL");
      EXPECT_EQ(q.FieldByName(std::string("CLC_Q") + kind).AsString(), server) << kind;
    }
    EXPECT_EQ(q.FieldByName("CLC_YPOL").AsFloat(), q.FieldByName("QTY").AsFloat() - q.FieldByName("CLC_Q3").AsFloat());
    rows.push_back(prid + "/" + cid + " " + q.FieldByName("QTY").AsString() + "-" + q.FieldByName("CLC_Q3").AsString() +
                   "=" + q.FieldByName("CLC_YPOL").AsString());
  }
  return rows;
}

TEST_F(RequirementViewTest, TheFiguresOfTheDemoUnitsAreTheServers) {
  auto other = [this](const std::string& sql) { return OtherSelect(sql); };
  RequirementView grammateia("0.02.02", "", "");
  ASSERT_EQ(grammateia.RunQuery(grammateia.InitialInput()), 13);
  // Requisition 1 delivered two CF259A to P008 and one TK-1160 to P011;
  // requisition 3, sent, carries three black inks for P012 against two.
  EXPECT_EQ(CheckFigures(grammateia, other),
            (std::vector<std::string>{"P008/1 2-2=0", "P009/3 2-1=1", "P009/4 1-1=0", "P009/5 1-1=0", "P009/6 1-1=0",
                                      "P010/12 2-2=0", "P011/32 2-1=1", "P012/8 2-3=-1", "P012/9 1-1=0",
                                      "P012/10 1-1=0", "P012/11 1-0=1", "P008/2 1-0=1", "P010/13 1-0=1"}));

  RequirementView fysiki("0.04.02", "", "");
  ASSERT_EQ(fysiki.RunQuery(fysiki.InitialInput()), 14);
  // Requisition 7 carries CF259A for P033 twice, genuine and compatible.
  EXPECT_EQ(
      CheckFigures(fysiki, other),
      (std::vector<std::string>{"P032/33 2-2=0", "P032/34 1-1=0", "P032/35 1-1=0", "P032/36 1-1=0", "P033/1 2-4=-2",
                                "P034/15 2-1=1", "P034/16 1-0=1", "P034/17 1-0=1", "P034/18 1-0=1", "P035/24 2-1=1",
                                "P035/25 1-1=0", "P035/26 1-1=0", "P035/27 1-1=0", "P033/2 1-0=1"}));
}

// The background the grid gives a cell; nullopt for the window colour.
TEST_F(RequirementViewTest, TheWindowShowsTheValuesReadOnlyAndColoursWhatRemains) {
  TxConsReqF w("0.02.02", "", "");
  EXPECT_EQ(w.windowTitle(), QString::fromUtf8("Αναλώσιμα"));
  const char* hints[] = {"OrgID", "PrinterID", "CID"};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_TRUE(w.Box(i)->isReadOnly()) << i;
    EXPECT_EQ(w.Box(i)->toolTip(), hints[i]);
  }
  EXPECT_EQ(w.Box(0)->text(), "0.02.02");
  w.show();
  ASSERT_EQ(w.CountBox()->text(), "13");

  // Rows in the order of the figures above: P008/1 nothing left, P011/32
  // one left, P012/8 one too many, P008/2 nothing counted yet.
  const struct {
    int row;
    CellColour used;
    CellColour left;
  } rows[] = {
      {0, kAqua, kLime},
      {6, kAqua, std::nullopt},
      {7, kAqua, kFuchsia},
      {11, kGrey, std::nullopt},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(test::CellBackground(*w.Grid(), r.row, "CLC_Q3"), r.used) << r.row;
    EXPECT_EQ(test::CellBackground(*w.Grid(), r.row, "CLC_YPOL"), r.left) << r.row;
    EXPECT_EQ(test::CellBackground(*w.Grid(), r.row, "QTY"), std::nullopt) << r.row;
  }
  test::Screenshot(&w, "requirement_view");
  data::TKZLINK& q = w.Logic().Query();
  q.First();
  EXPECT_EQ(q.FieldByName("S_UP").DisplayLabel(), "Τμή Μον"_gr);
  EXPECT_EQ(q.FieldByName("CLC_YPOL").DisplayFormat(), "#0");
  EXPECT_FALSE(q.FieldByName("CLC_Q1").Visible());
  EXPECT_TRUE(q.ReadOnly());
  EXPECT_ANY_THROW(q.Edit());

  // F7 reads the figures again: a requirement raised meanwhile leaves
  // something to order.
  AdminExec("update UP_CONS_REQ set QTY=5 where PRID='P008' and CID=1");
  QTest::keyClick(w.Grid()->View(), Qt::Key_F7);
  EXPECT_EQ(w.CountBox()->text(), "13");
  q.First();
  EXPECT_EQ(q.FieldByName("CLC_YPOL").AsFloat(), 3);
  EXPECT_EQ(test::CellBackground(*w.Grid(), 0, "CLC_YPOL"), std::nullopt);
  EXPECT_TRUE(presenter_.AllShown().empty());
  w.done(QDialog::Rejected);
}

TEST_F(RequirementViewTest, AUnitWhosePrintersAreAllBelowItListsNothing) {
  // 0.04 keeps its one printer in the units below it for this test.
  AdminExec("update UP_PRINTERS set ORGID='0.04.01' where ID='P026'");
  RequirementView faculty("0.04", "", "");
  EXPECT_EQ(faculty.RunQuery(faculty.InitialInput()), 0);
  RequirementView below("0.04.01", "", "");
  EXPECT_GT(below.RunQuery(below.InitialInput()), 0);
}

TEST_F(RequirementViewTest, OpenShowsTheWindowModally) {
  std::string count;
  test::ModalSteps<TxConsReqF> steps([&](TxConsReqF& w) {
    count = w.CountBox()->text().toStdString();
    QTest::keyClick(w.Grid()->View(), Qt::Key_Escape);
  });
  OpenRequirementView("0.04.02", "P033", "");
  EXPECT_TRUE(steps.Ran());
  EXPECT_EQ(count, "2");
}

}  // namespace
}  // namespace mero::printers
