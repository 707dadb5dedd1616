// The requisition register: its search, colours, sums, the delete rule and
// the editor it opens, against the demo data, and its window offscreen.

#include "printers/requisition_register.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTableView>
#include <QToolButton>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/clock.h"
#include "base/encoding.h"
#include "base/message_seam.h"
#include "base/number_format.h"
#include "data/dataset_utils.h"
#include "data/remote/application_dataset.h"
#include "data/remote/query_utils.h"
#include "data/search_condition.h"
#include "printers/cell_colours.h"
#include "printers/printer_context.h"
#include "printers/requisition_register_window.h"
#include "grid_cells.h"
#include "printers_fixture.h"
#include "support/screenshot.h"
#include "ui/data_grid.h"
#include "ui/dialog_driving.h"
#include "ui/period_edit.h"
#include "ui/qt_text.h"

namespace mero::printers {
namespace {

using namespace base::literals;

constexpr base::TDateTime k15Mar2023 = 45000;
constexpr base::TDateTime k25Mar2023 = 45010;

TEST(RegisterSearch, EachBoxAddsItsConditionInThePanelsOrder) {
  const std::string head = "select * from UP_Delt dp where 1=1 ";
  const std::string tail = " order by dp.ID ";
  using Fill = std::function<void(RegisterSearch&)>;
  const struct Case {
    const char* what;
    Fill fill;
    std::string conditions;  // between head and tail
  } cases[] = {
      {"nothing", [](RegisterSearch&) {}, ""},
      {"orderer", [](RegisterSearch& b) { b.orderer = "maria"; }, " AND  (dp.orderPID = 'maria')"},
      {"orderer, containing", [](RegisterSearch& b) { b.orderer = "ar/"; }, " AND  (dp.orderPID LIKE '%ar%')"},
      {"stage", [](RegisterSearch& b) { b.stage = "1"; }, " AND  (dp.STATE=1)"},
      {"stages", [](RegisterSearch& b) { b.stage = "0^1"; }, " AND  ( (dp.STATE=0) OR (dp.STATE=1)) "},
      {"stage of letters", [](RegisterSearch& b) { b.stage = "ab"; }, ""},
      {"unit", [](RegisterSearch& b) { b.unit = "0.02.02"; }, " AND  (dp.ORGID = '0.02.02')"},
      // A range never asks for rows without the date.
      {"entry range",
       [](RegisterSearch& b) {
         b.entered = {k15Mar2023, k25Mar2023};
       },
       " AND ( (dp.DTIN>='15/03/2023') AND (dp.DTIN<='25/03/2023') )"},
      {"finalisation range, later date first",
       [](RegisterSearch& b) {
         b.finalised = {k25Mar2023, k15Mar2023};
       },
       " AND ( (dp.DTFIN>='15/03/2023') AND (dp.DTFIN<='25/03/2023') )"},
      {"one dispatch day",
       [](RegisterSearch& b) {
         b.sent = {k15Mar2023, 0};
       },
       " AND (dp.DTSENT='15/03/2023')"},
      {"no receipt date",
       [](RegisterSearch& b) {
         b.received = {data::kNoDatePeriod, 0};
       },
       " AND  (dp.DTRECEIVED IS NULL) "},
      {"any closing date",
       [](RegisterSearch& b) {
         b.closed = {data::kAnyDatePeriod, 0};
       },
       " AND  (dp.DTCLOSED IS NOT NULL) "},
      {"every box, in order",
       [](RegisterSearch& b) {
         b.unit = "0.01";
         b.stage = "9";
         b.closed = b.received = b.sent = b.finalised = {k15Mar2023, 0};
         b.entered = {k15Mar2023, k15Mar2023};
         b.orderer = "maria";
       },
       " AND  (dp.orderPID = 'maria') AND (dp.DTIN='15/03/2023') AND (dp.DTFIN='15/03/2023')"
       " AND (dp.DTSENT='15/03/2023') AND (dp.DTRECEIVED='15/03/2023') AND (dp.DTCLOSED='15/03/2023')"
       " AND  (dp.STATE=9) AND  (dp.ORGID = '0.01')"},
  };
  for (const Case& c : cases) {
    RegisterSearch boxes;
    c.fill(boxes);
    EXPECT_EQ(RegisterSearchSQL(boxes), head + c.conditions + tail) << c.what;
  }
}

TEST(RegisterSearch, EveryStageHasItsColour) {
  const struct {
    int state;
    CellColour colour;
  } stages[] = {{0, kFuchsia}, {1, kGrey},        {2, kYellow}, {3, std::nullopt}, {4, kLime},        {5, std::nullopt},
                {6, kAqua},    {7, std::nullopt}, {8, kAqua},   {9, kGreen},       {10, std::nullopt}};
  for (const auto& s : stages) EXPECT_EQ(StageColour(s.state), s.colour) << s.state;
}

// What the register asked the editor to do.
struct EditorCall {
  int id;
  std::string contract;
};

class Register : public test::PrintersTest {
 protected:
  // The editor as the register sees it: a new requisition is written to the
  // database (as the editor saves one) and 0 comes back; an existing one
  // gets a comment and its ID comes back.
  RequisitionEditorOpener Editor() {
    return [this](int id, const std::string& contract) {
      calls.push_back({id, contract});
      if (id == 0) {
        const int newId = data::SelectInt("select SEQ_UP_Delt.NextVal from DUAL");
        data::ExecSQLCommit("insert into UP_DELT (ID, NODELT, SID, ORGID, DELPID, ORDERPID, STATE, DTIN) values (" +
                            std::to_string(newId) + ", 99, 2, '0.02.02', '002', " + base::QuotedStr(CurrentUser()) +
                            ", 1, trunc(sysdate))");
        created = newId;
        return 0;
      }
      data::ExecSQLCommit("update UP_DELT set COMM='changed' where ID=" + std::to_string(id));
      return id;
    };
  }

  // The IDs the list shows, in order.
  static std::vector<int> Ids(data::TKZLINK& list) {
    std::vector<int> ids;
    for (list.First(); !list.Eof(); list.Next()) ids.push_back(list.FieldByName("ID").AsInteger());
    list.First();
    return ids;
  }

  // The background of a cell of the grid (by field), nothing for the
  // window colour.
  std::vector<EditorCall> calls;
  int created = 0;
};

TEST_F(Register, OpensWithTheUsersRequisitionsColouredByStageAndSummed) {
  TxFDeltioPF window(Editor());
  window.EnteredBox->SetPeriod({k15Mar2023, k25Mar2023});  // cleared at opening
  window.show();

  EXPECT_EQ(window.windowTitle(), ui::ToQString("Δελτία Παραγγελίας Αναλωσίμων"_gr));
  EXPECT_EQ(window.OrdererBox->text(), "maria");
  EXPECT_TRUE(window.OrdererBox->isReadOnly()) << "an ordinary user sees only his own requisitions";
  for (ui::TKZDTPREdit* box :
       {window.EnteredBox, window.FinalisedBox, window.SentBox, window.ReceivedBox, window.ClosedBox})
    EXPECT_EQ(box->GetPeriod(), ui::Period{}) << box->objectName().toStdString();

  data::TKZLINK& list = window.Logic().List();
  EXPECT_EQ(Ids(list), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 11}));
  EXPECT_EQ(window.CountBox->text(), "9");
  EXPECT_EQ(OtherSelect("select count(*) from UP_DELT where ORDERPID='maria'"), "9");
  EXPECT_TRUE(list.ReadOnly());
  EXPECT_TRUE(list.FieldByName("COMM").ReadOnly());
  EXPECT_FALSE(window.Grid->Model()->flags(window.Grid->Model()->index(0, 0)) & Qt::ItemIsEditable);

  // Each STATE cell by the stage the database gave the requisition.
  const std::vector<std::optional<unsigned>> expected = {kGreen,       kAqua, kLime,   kGrey, kFuchsia,
                                                         std::nullopt, kAqua, kYellow, kGreen};
  for (int row = 0; row < static_cast<int>(expected.size()); ++row) {
    EXPECT_EQ(test::CellBackground(*window.Grid, row, "STATE"), expected[static_cast<std::size_t>(row)]) << row;
    EXPECT_EQ(test::CellBackground(*window.Grid, row, "ORGID"), std::nullopt) << "only the stage is coloured";
  }

  // The footer: the values with two decimals, the quantities in the general
  // number format.
  window.Grid->UpdateFooter();
  const auto sum = [](const char* field) {
    return data::SelectFloat(std::string("select sum(") + field + ") from UP_DELT where ORDERPID='maria'");
  };
  EXPECT_EQ(window.Grid->Sums().TextOf("QTYTOT"), base::FloatToStr(sum("QTYTOT")));
  EXPECT_EQ(window.Grid->Sums().TextOf("QTYDELIV"), base::FloatToStr(sum("QTYDELIV")));
  EXPECT_EQ(window.Grid->Sums().TextOf("VALTOT"), base::FormatFloat("#0.00", sum("VALTOT")));
  EXPECT_EQ(window.Grid->Sums().TextOf("VALDELIV"), base::FormatFloat("#0.00", sum("VALDELIV")));
  EXPECT_GT(sum("VALTOT"), sum("VALDELIV"));
  test::Screenshot(&window, "requisition_register");
  window.done(QDialog::Rejected);
}

TEST_F(Register, SearchesTheDatabaseWithTheBoxesAndLeavesUndatedRowsOutOfARange) {
  TxFDeltioPF window(Editor());
  window.show();
  data::TKZLINK& list = window.Logic().List();
  const base::TDateTime today = base::Today();

  const struct Case {
    const char* what;
    std::function<void()> fill;
    std::vector<int> ids;
  } cases[] = {
      {"stage 1", [&] { window.StageBox->setText("1"); }, {4}},
      {"letters in the stage box", [&] { window.StageBox->setText("x"); }, {1, 2, 3, 4, 5, 6, 7, 8, 11}},
      {"a unit", [&] { window.UnitBox->setText("0.04.02"); }, {6, 7, 8}},
      // The draft (4) and the void one (5) have no finalisation date.
      {"any finalisation in a wide range",
       [&] {
         window.FinalisedBox->SetPeriod({today - 1000, today + 1000});
       },
       {1, 2, 3, 6, 7, 8, 11}},
      {"entered in the last 25 days",
       [&] {
         window.EnteredBox->SetPeriod({today - 25, today});
       },
       {3, 4, 5, 7, 8}},
      {"never received",
       [&] {
         window.ReceivedBox->SetPeriod({ui::kNoDatePeriod, 0});
       },
       {3, 4, 5, 7, 8}},
      {"received and closed in a range",
       [&] {
         window.ReceivedBox->SetPeriod({today - 1000, today});
         window.ClosedBox->SetPeriod({today - 1000, today});
       },
       {1, 11}},
      {"sent on one day",
       [&] {
         window.SentBox->SetPeriod({today - 8, 0});
       },
       {3}},
  };
  for (const Case& c : cases) {
    window.StageBox->clear();
    window.UnitBox->clear();
    for (ui::TKZDTPREdit* box :
         {window.EnteredBox, window.FinalisedBox, window.SentBox, window.ReceivedBox, window.ClosedBox})
      box->SetPeriod({});
    c.fill();
    QTest::keyClick(window.Grid->View(), Qt::Key_F7);
    EXPECT_EQ(Ids(list), c.ids) << c.what << ": " << window.Logic().LastSQL();
    EXPECT_EQ(window.CountBox->text().toInt(), static_cast<int>(c.ids.size())) << c.what;
  }
  window.done(QDialog::Rejected);
}

TEST_F(Register, ASuperUserMaySearchEveryOrderer) {
  LoginAs("ADMIN", "admin");
  TxFDeltioPF window(Editor());
  window.show();
  EXPECT_EQ(window.OrdererBox->text(), "admin");
  EXPECT_FALSE(window.OrdererBox->isReadOnly());
  EXPECT_EQ(Ids(window.Logic().List()), (std::vector<int>{10}));
  window.OrdererBox->clear();
  window.FindButton->click();
  EXPECT_EQ(window.Logic().RowCount(), 11);
  window.done(QDialog::Rejected);
}

TEST_F(Register, DeletesOnlyDraftsAndVoidOnesAndOnlyWhenConfirmed) {
  TxFDeltioPF window(Editor());
  window.show();
  data::TKZLINK& list = window.Logic().List();
  const auto select = [&](int id) { ASSERT_TRUE(list.Locate("ID", base::Variant::Integer(id), 0)); };
  const auto held = [this](int id) {
    const std::string n = std::to_string(id);
    return OtherSelect("select count(*) from UP_DELT where ID=" + n) + "/" +
           OtherSelect("select count(*) from UP_DELTD where MID=" + n);
  };
  ASSERT_EQ(held(4), "1/1");
  ASSERT_EQ(held(5), "1/1");

  // Finalised (8): refused before anything is asked or sent.
  select(8);
  window.DeleteButton->click();
  ASSERT_EQ(presenter_.Texts(), std::vector<std::string>{"Δεν μπορεί να γίνει διαγραφή του δελτίου!"_gr});
  EXPECT_EQ(held(8), "1/4");

  // The draft (4): not confirmed, kept; confirmed, lines and header go.
  select(4);
  presenter_.SetNextAnswer(base::ModalResult::Cancel);
  window.DeleteButton->click();
  EXPECT_EQ(presenter_.Texts().back(), "Επιβεβαίωση Διαγραφής?"_gr);
  EXPECT_EQ(held(4), "1/1");
  presenter_.SetNextAnswer(base::ModalResult::OK);
  window.DeleteButton->click();
  EXPECT_EQ(held(4), "0/0");

  // The void one (5), and the list is searched again.
  select(5);
  presenter_.SetNextAnswer(base::ModalResult::OK);
  window.DeleteButton->click();
  EXPECT_EQ(held(5), "0/0");
  EXPECT_EQ(Ids(list), (std::vector<int>{1, 2, 3, 6, 7, 8, 11}));
  EXPECT_EQ(window.CountBox->text(), "7");
  EXPECT_EQ(presenter_.AllShown().size(), 4u);

  // An empty list deletes nothing and asks nothing.
  window.StageBox->setText("3");
  window.Find();
  ASSERT_EQ(window.Logic().RowCount(), 0);
  window.DeleteButton->click();
  EXPECT_EQ(presenter_.AllShown().size(), 4u);
  window.done(QDialog::Rejected);
}

TEST_F(Register, NewAndChangeOpenTheEditorAndSearchAgain) {
  // A contract other than the demo's shows what the new buttons pass.
  SetUserContextSource([] { return UserContext{"maria", "7"}; });
  TxFDeltioPF window(Editor());
  window.show();
  data::TKZLINK& list = window.Logic().List();

  // Both new buttons: the editor on a new requisition under the contract
  // open now; the list again, not positioned on the new row.
  for (QToolButton* button : {window.NewButton, window.NewButton2}) {
    ASSERT_TRUE(list.Locate("ID", base::Variant::Integer(3), 0));
    calls.clear();
    button->click();
    ASSERT_EQ(calls.size(), 1u) << button->objectName().toStdString();
    EXPECT_EQ(calls[0].id, 0);
    EXPECT_EQ(calls[0].contract, "7");
    const std::vector<int> ids = Ids(list);
    EXPECT_EQ(ids.back(), created) << "the new requisition is listed";
    EXPECT_EQ(data::FieldStr(list, "ID"), "1") << "and the list is not positioned on it";
    EXPECT_EQ(window.CountBox->text().toInt(), static_cast<int>(ids.size()));
  }

  // Change: the editor on the current row with no contract; the list again,
  // on that row, showing what the editor saved.
  calls.clear();
  ASSERT_TRUE(list.Locate("ID", base::Variant::Integer(6), 0));
  window.ChangeButton->click();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].id, 6);
  EXPECT_EQ(calls[0].contract, "");
  EXPECT_EQ(data::FieldStr(list, "ID"), "6");
  EXPECT_EQ(data::FieldStr(list, "COMM"), "changed");

  // A double click on a row is a change of that row.
  ASSERT_TRUE(list.Locate("ID", base::Variant::Integer(2), 0));
  QTableView* view = window.Grid->View();
  const QRect cell = view->visualRect(view->model()->index(1, 0));
  test::DoubleClick(view->viewport(), cell.center());
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1].id, 2);
  EXPECT_EQ(data::FieldStr(list, "ID"), "2");

  // Nothing to change in an empty list.
  window.StageBox->setText("3");
  window.Find();
  window.ChangeButton->click();
  EXPECT_EQ(calls.size(), 2u);
  window.done(QDialog::Rejected);
}

}  // namespace
}  // namespace mero::printers
