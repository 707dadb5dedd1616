// The user context of the printer windows against the demo data, and the
// colours of their cells.

#include <gtest/gtest.h>

#include "base/clock.h"

#include "base/encoding.h"
#include "data/database_error.h"
#include "printers/cell_colours.h"
#include "printers/printer_context.h"
#include "printers_fixture.h"
#include "ui/dataset_table_model.h"

namespace mero::printers {
namespace {

using namespace base::literals;
using test::ScriptedPresenter;

TEST(CellColours, EachAttributeHasItsColourAndTheRestKeepTheWindowColour) {
  EXPECT_EQ(ModelColourBrush(0), kSilver);
  EXPECT_EQ(ModelColourBrush(3), kAqua);
  EXPECT_EQ(ModelColourBrush(4), kAqua);
  EXPECT_EQ(ModelColourBrush(1), std::nullopt);
  EXPECT_EQ(TonerColourBrush("M"), kFuchsia);
  EXPECT_EQ(TonerColourBrush("C"), kAqua);
  EXPECT_EQ(TonerColourBrush("Y"), kYellow);
  EXPECT_EQ(TonerColourBrush("K"), kSilver);
  EXPECT_EQ(TonerColourBrush("k"), std::nullopt) << "the comparison keeps case";
  EXPECT_EQ(ConsumableKindBrush("Ink"), kAqua);
  EXPECT_EQ(ConsumableKindBrush("Toner"), kYellow);
  EXPECT_EQ(ConsumableKindBrush("TONER"), std::nullopt);
  EXPECT_EQ(PrinterKindBrush("I"), kAqua);
  EXPECT_EQ(PrinterKindBrush("L"), kGrey);
  EXPECT_EQ(PrinterKindBrush(""), std::nullopt);
  // The bands of the cost per page: each bound belongs to the higher band.
  const struct {
    double x;
    CellColour colour;
  } bands[] = {{-1, std::nullopt}, {0, std::nullopt}, {0.01, kLime}, {9.99, kLime}, {10, kAqua},
               {29.9, kAqua},      {30, kSilver},      {59.9, kSilver}, {60, kFuchsia}, {500, kFuchsia}};
  for (const auto& b : bands) EXPECT_EQ(CostPerPageBrush(b.x), b.colour) << b.x;

  EXPECT_EQ(RequirementBrush("CLC_Q3", base::Variant::Null()), kGrey);
  EXPECT_EQ(RequirementBrush("CLC_YPOL", base::Variant::Null()), std::nullopt) << "nothing to compare";
  EXPECT_EQ(RequirementBrush("CLC_YPOL", base::Variant::Integer(0)), kLime);
  EXPECT_EQ(RequirementBrush("CLC_YPOL", base::Variant::Double(-1)), kFuchsia);
  EXPECT_EQ(RequirementBrush("QTY", base::Variant::Integer(0)), std::nullopt);

  ui::CellStyle style;
  Paint(style, std::nullopt);
  EXPECT_FALSE(style.background || style.foreground);
  Paint(style, kLime);
  EXPECT_EQ(style.background, kLime);
  EXPECT_EQ(style.foreground, kBlack);
}

TEST(RequirementSelect, NamesTheContractInEachOfItsFivePlaces) {
  EXPECT_EQ(RequirementSelect(2),
            "select   F_UP_REQ_Q(1,2, CID,PRID) CLC_Q1,  F_UP_REQ_Q(2,2, CID,PRID) CLC_Q2,  "
            "F_UP_REQ_Q(3,2, CID,PRID) CLC_Q3,  F_UP_REQ_Q(4,2, CID,PRID) CLC_Q4,  "
            "(v.QTY-F_UP_REQ_Q(3,2, CID,PRID)) CLC_YPOL,  v.* from UPV_CONS_REQ v where 1=1 ");
}

using PrinterContext = test::PrintersTest;

TEST_F(PrinterContext, TheServerAnswersForTheUserParametersDateAndBudget) {
  EXPECT_EQ(CurrentUser(), "maria");
  EXPECT_FALSE(IsSuperUser());
  EXPECT_EQ(ParamInt("UP_CURRENT_SYMBID"), 2);
  EXPECT_EQ(ParamInt("MAX_DELT_ITEMS"), 10);
  EXPECT_EQ(ParamInt("NO_SUCH_KEY"), 0);
  EXPECT_EQ(ParamText("NO_SUCH_KEY"), "");
  EXPECT_EQ(ServerToday(), base::Today());
  EXPECT_EQ(RequirementSelect(), RequirementSelect(2));

  const UnitBudget b = ReadUnitBudget("0.02.02", "2");
  EXPECT_DOUBLE_EQ(b.Ordered, 985);
  EXPECT_DOUBLE_EQ(b.Limit, 1000);
  EXPECT_DOUBLE_EQ(b.Allotted, 1200);
  EXPECT_DOUBLE_EQ(b.Balance, 215);
  const UnitBudget none = ReadUnitBudget("0.02.02", "9");
  EXPECT_EQ(none.Ordered + none.Limit + none.Allotted + none.Balance, 0);

  LoginAs("ADMIN", "admin");
  EXPECT_TRUE(IsSuperUser());
}

TEST_F(PrinterContext, ChoosingAUnitOffersTheUsersUnitsOrEveryUnitToASuperUser) {
  presenter_.AnswerLookup("0.04.02");
  EXPECT_EQ(ChooseUnit(), "0.04.02");
  presenter_.CancelLookup();
  EXPECT_EQ(ChooseUnit(), "");
  LoginAs("ADMIN", "admin");
  presenter_.AnswerLookup("0.01");
  EXPECT_EQ(ChooseUnit(), "0.01");

  const auto& shown = presenter_.AllShown();
  ASSERT_EQ(shown.size(), 3u);
  const base::LookupRequest& r = shown[0].lookup;
  EXPECT_EQ(r.table, "UORG");
  EXPECT_EQ(r.keyField, "ID");
  EXPECT_EQ(r.visibleFields, "ID;Name;LOCID;AD_GROUP");
  EXPECT_EQ(r.orderField, "ID");
  EXPECT_EQ(r.caption, "Τμήμα/Διεύθυνση"_gr);
  EXPECT_EQ(r.filter, " (toner_uid='maria') and (TON=1) ");
  EXPECT_TRUE(r.readOnly) << "a lookup to choose changes nothing";
  EXPECT_EQ(shown[2].lookup.filter, " (TON=1) ");
}

TEST_F(PrinterContext, ADeliveryPointIsAskedOnlyWhenThereIsAChoice) {
  // 0.04.01's printers have no delivery point: the message, and the action stops.
  EXPECT_EQ(CountDeliveryPoints("0.04.01"), 0);
  EXPECT_THROW(ChooseDeliveryPoint("0.04.01"), data::EAbort);
  ASSERT_EQ(presenter_.Texts().size(), 1u);
  EXPECT_EQ(presenter_.Texts()[0], "Δεν υπάρχουν σημεία παράδοσης για τους εκτυπωτές που διαχειρίζεστε!"_gr);

  // 0.04.02 has one: taken without asking.
  EXPECT_EQ(CountDeliveryPoints("0.04.02"), 1);
  const std::string one = ChooseDeliveryPoint("0.04.02");
  EXPECT_EQ(one, OtherSelect("select DELPID from UP_PRINTERS where ORGID='0.04.02' and DELPID<>'-'"));
  EXPECT_EQ(presenter_.AllShown().size(), 1u);

  // 0.02.02 has several: the lookup, limited to them.
  ASSERT_GT(CountDeliveryPoints("0.02.02"), 1);
  presenter_.AnswerLookup("002");
  EXPECT_EQ(ChooseDeliveryPoint("0.02.02"), "002");
  const base::LookupRequest& r = presenter_.AllShown().back().lookup;
  EXPECT_EQ(r.table, "UDELIVERY");
  EXPECT_EQ(r.visibleFields, "ID;NAME;ADDR1");
  EXPECT_EQ(r.caption, "Σημείο Παράδοσης"_gr);
  EXPECT_EQ(r.filter, " ID in (select delpID from UPV_Printers where ORGID='0.02.02') and (id<>'-') ");
  EXPECT_TRUE(r.readOnly);
}

}  // namespace
}  // namespace mero::printers
