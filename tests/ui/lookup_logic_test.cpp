// The lookup's rules without a window: the visible-field list, the
// statements it sends, and the labels, visibility and widths of its columns.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/encoding.h"
#include "data/dataset_fixture.h"
#include "support/scripted_presenter.h"
#include "ui/lookup_logic.h"

using namespace mero;
using namespace mero::base::literals;

namespace {

base::LookupRequest Request(std::string table, std::string filter = {}, std::string visible = {},
                            std::string order = {}, std::string key = {}) {
  base::LookupRequest r;
  r.table = std::move(table);
  r.filter = std::move(filter);
  r.visibleFields = std::move(visible);
  r.orderField = std::move(order);
  r.keyField = std::move(key);
  return r;
}

TEST(LookupLogic, TheStatementsOfTheUnitLookup) {
  const std::string filter = " (toner_uid='maria') and (TON=1) ";
  const ui::LookupLogic logic(Request("UORG", filter, "ID;Name;LOCID;AD_GROUP", "ID", "ID"));
  EXPECT_EQ(logic.ProbeSQL(), "select c1.* from UORG c1  where 1=2");
  EXPECT_EQ(logic.SearchSQL("ID", link::ftString, "12"),
            "select c1.* from UORG c1  where  (toner_uid='maria') and (TON=1)  AND  (ID = '12') order by  ID");
  EXPECT_EQ(logic.SearchSQL("ID", link::ftString, ""),
            "select c1.* from UORG c1  where  (toner_uid='maria') and (TON=1)  order by  ID");
}

TEST(LookupLogic, TheSearchByTheSortFieldsKind) {
  struct Case {
    const char* field;
    link::TFieldType type;
    const char* typed;
    const char* expected;
  };
  const std::string base = "select c1.* from UPV_Printers c1  where 1=1 ";
  const std::vector<Case> cases = {
      {"", link::ftString, "abc", ""},
      {"DSC", link::ftString, "", " order by  DSC"},
      {"DSC", link::ftString, "HP/", " AND  (DSC LIKE '%HP%') order by  DSC"},
      {"DSC", link::ftMemo, "a", " AND  (DSC = 'a') order by  DSC"},
      {"DSC", link::ftFixedChar, "a", " AND  (DSC = 'a') order by  DSC"},
      {"DSC", link::ftWideString, "a", " AND  (DSC = 'a') order by  DSC"},
      {"ID", link::ftInteger, "12", " AND  (ID=12) order by  ID"},
      {"ID", link::ftSmallint, "12", " AND  (ID=12) order by  ID"},
      {"ID", link::ftLargeint, "12", " AND  (ID=12) order by  ID"},
      {"PRICE", link::ftFloat, "7", " AND  (PRICE=7) order by  PRICE"},
      {"ID", link::ftInteger, "abc", " order by  ID"},
      {"DT", link::ftDateTime, "10/05/2005", " order by  DT"},
      {"DT", link::ftDate, "5", " order by  DT"},
      {"FLAG", link::ftBoolean, "1", " order by  FLAG"},
  };
  const ui::LookupLogic logic(Request("UPV_Printers"));
  for (const Case& c : cases)
    EXPECT_EQ(logic.SearchSQL(c.field, c.type, c.typed), base + c.expected) << c.field << " " << c.typed;
}

TEST(LookupLogic, VisibleFieldsAreParsedIntoUpperCasedNamesAndLabels) {
  struct Case {
    const char* text;
    std::vector<std::string> names;
    std::vector<std::string> labels;
  };
  const std::vector<Case> cases = {
      {"", {}, {}},
      {"ID;Name;LOCID", {"ID", "NAME", "LOCID"}, {"", "", ""}},
      {"id:Code;dsc:Unit name;", {"ID", "DSC"}, {"Code", "Unit name"}},
      {" Name : Who ;;locid:", {"NAME", "LOCID"}, {"Who", ""}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> names, labels;
    for (const ui::LookupField& f : ui::ParseVisibleFields(c.text)) names.push_back(f.name), labels.push_back(f.label);
    EXPECT_EQ(names, c.names) << c.text;
    EXPECT_EQ(labels, c.labels) << c.text;
  }
}

TEST(LookupLogic, KeyFieldDefaultsToIDAndIsTheFirstOfAList) {
  EXPECT_EQ(ui::LookupLogic(Request("T")).KeyField(), "ID");
  const ui::LookupLogic two(Request("T", {}, {}, {}, "CODE;YEAR"));
  EXPECT_EQ(two.KeyField(), "CODE");
  EXPECT_EQ(two.KeyFields(), "CODE;YEAR");
}

// A query's columns as the probe returns them.
class LookupColumns : public ::testing::Test {
 protected:
  void Open(const std::string& visible, const std::string& order = {}) {
    logic = std::make_unique<ui::LookupLogic>(Request("T", {}, visible, order));
    ds.OpenWith({"ID,1,10", "DSC,1,80", "NAME,1,20", "PRICE,6,0", "DT,11,0"}, {});
    logic->ApplyLabels(ds);
  }
  std::vector<std::string> Labels() { return logic->SortLabels(ds); }

  test::MemDataSet ds;
  std::unique_ptr<ui::LookupLogic> logic;
};

TEST_F(LookupColumns, WithoutAListEveryFieldShowsUnderItsLabel) {
  Open("");
  EXPECT_EQ(Labels(), (std::vector<std::string>{"ΚΩΔ"_gr, "ΠΕΡΙΓΡΑΦΗ"_gr, "NAME", "PRICE", "DT"}));
  EXPECT_EQ(logic->StartLabel(ds), "ΚΩΔ"_gr);
  EXPECT_EQ(ds.FieldByName("DSC").DisplayWidth(), 25);
  EXPECT_EQ(ds.FieldByName("NAME").DisplayWidth(), 20);
  EXPECT_EQ(ds.FieldByName("PRICE").DisplayFormat(), "#,###.00");
  EXPECT_EQ(ds.FieldByName("NAME").DisplayFormat(), "");
}

TEST_F(LookupColumns, AListHidesTheOthersAndNamesItsLabelsAndAMissingNameHidesNothingMore) {
  Open("dsc:Unit;MISSING;price", "PRICE");
  EXPECT_EQ(Labels(), (std::vector<std::string>{"Unit", "PRICE"}));
  EXPECT_FALSE(ds.FieldByName("ID").Visible());
  EXPECT_EQ(logic->StartLabel(ds), "PRICE");
}

TEST_F(LookupColumns, TheSortBoxStartsOnTheFirstEntryWhenTheOrderFieldIsMissing) {
  Open("NAME;ID", "NOSUCH");
  EXPECT_EQ(Labels(), (std::vector<std::string>{"ΚΩΔ"_gr, "NAME"}));
  EXPECT_EQ(logic->StartLabel(ds), "ΚΩΔ"_gr);
}

TEST(ShowLookup, UpperCasesTableAndKeyAndTheFilterUnlessItKeepsItsCase) {
  struct Case {
    bool keepCase;
    const char* expectedFilter;
  };
  for (const Case c : {Case{false, " (TONER_UID='MARIA') "}, Case{true, " (toner_uid='maria') "}}) {
    ui::SetLookupKeepsFilterCase(c.keepCase);
    test::ScriptedPresenter presenter;
    presenter.AnswerLookup("7");
    EXPECT_EQ(ui::ShowLookup("id", "uorg", "", "ID;Name", "Name", "Τμήμα"_gr, " (toner_uid='maria') "), "7");
    ASSERT_EQ(presenter.AllShown().size(), 1u);
    const base::LookupRequest& r = presenter.AllShown()[0].lookup;
    EXPECT_EQ(r.table, "UORG");
    EXPECT_EQ(r.keyField, "ID");
    EXPECT_EQ(r.visibleFields, "ID;Name");
    EXPECT_EQ(r.orderField, "Name");
    EXPECT_EQ(r.caption, "Τμήμα"_gr);
    EXPECT_EQ(r.filter, c.expectedFilter);
  }
  ui::SetLookupKeepsFilterCase(false);
  test::ScriptedPresenter presenter;
  presenter.CancelLookup();
  EXPECT_EQ(ui::ShowLookup("ID", "UORG", "3", "", "", "", ""), "3");
}

}  // namespace
