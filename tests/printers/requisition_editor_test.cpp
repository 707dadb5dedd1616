// The requisition editor's rules against the real server with the demo data:
// the stages, the lines, adding from the contract, finalising against the
// budget, the numbers, and what other sessions see.

#include "printers/requisition_editor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "base/clock.h"
#include "base/encoding.h"
#include "data/database_error.h"
#include "data/field.h"
#include "data/remote/query_utils.h"
#include "printers/printer_context.h"
#include "printers_fixture.h"
#include "support/server_process.h"

namespace mero::printers {
namespace {

using namespace base::literals;
using base::ModalResult;
using test::ScriptedPresenter;
namespace texts = editor_texts;

const char* const kHeaderFields[] = {"DELIV_S", "COMM", "ACTV", "DTARRIVED", "DTRECEIVED", "DTCLOSED", "ORGID"};
const char* const kLineFields[] = {"CODE", "QTY", "QTYDEL", "PRID", "UP"};

template <std::size_t N>
std::set<std::string> Editable(data::TDataSet& ds, const char* const (&names)[N]) {
  std::set<std::string> out;
  for (const char* name : names)
    if (!ds.FieldByName(name).ReadOnly()) out.insert(name);
  return out;
}

class RequisitionEditorTest : public test::PrintersTest {
 protected:
  // A change made as the administrator on a session of its own, committed.
  // A number as the other session reads it (the screen's decimal comma).
  double Num(const std::string& sql) {
    std::string text = OtherSelect(sql);
    std::replace(text.begin(), text.end(), ',', '.');
    return std::stod(text);
  }
  // The first column of every row, read on that session.
  std::vector<std::string> AdminColumn(const std::string& sql) {
    if (!other_) other_ = test::LoginOwnSocket(server_.Port(), "ADMIN", "admin");
    data::TKZLINK q("OTHER");
    q.SetLinkClientSocket(other_.get());
    q.SetSQLText(sql);
    q.Open();
    std::vector<std::string> out;
    for (q.First(); !q.Eof(); q.Next()) out.push_back(q.Fields(0).AsString());
    return out;
  }
  // Parameters are read once per login: set them, then log in again.
  void SetParamsAndLogin(const std::string& assignments, const std::string& user = "MARIA",
                         const std::string& password = "maria") {
    AdminExec(assignments);
    LoginAs(user, password);
  }
  void SetParam(const std::string& key, int value) {
    AdminExec("update UP_OVPARAMS set PVALN=" + std::to_string(value) + " where PNM='" + key + "'");
  }

  std::unique_ptr<RequisitionEditor> Open(int id) {
    auto editor = std::make_unique<RequisitionEditor>(EditorOpening{id, "2", {}, {}});
    EXPECT_TRUE(editor->Show()) << id;
    return editor;
  }
  // A new requisition of 0.02.02, delivered to 002, through the opening steps.
  std::unique_ptr<RequisitionEditor> OpenNew() {
    presenter_.AnswerLookup("0.02.02");
    presenter_.AnswerLookup("002");
    std::optional<EditorOpening> opening = PrepareRequisitionEditor(0, "9");
    EXPECT_TRUE(opening.has_value());
    auto editor = std::make_unique<RequisitionEditor>(*opening);
    EXPECT_TRUE(editor->Show());
    return editor;
  }
  // Adds the contract line for the printer through the two lookups.
  void Add(RequisitionEditor& editor, const std::string& printer, const std::string& contractLine) {
    presenter_.AnswerLookup(printer);
    presenter_.AnswerLookup(contractLine);
    editor.AddConsumable();
  }
  std::string Select(const std::string& sql) { return OtherSelect(sql); }
  std::vector<std::string> Texts() const { return presenter_.Texts(); }
  bool Shown(const char* utf8) const {
    const std::vector<std::string> t = presenter_.Texts();
    return std::find(t.begin(), t.end(), Gr(utf8)) != t.end();
  }
  std::string LimitText(int max) const {
    return Gr(texts::kMaxItemsHead) + std::to_string(max) + Gr(texts::kMaxItemsTail);
  }
};

// What the editor allows in each stage, for every demo requisition, with the
// stage read back from the database.
TEST_F(RequisitionEditorTest, EachStageAllowsItsOwnFieldsAndActions) {
  using S = std::set<std::string>;
  const struct {
    int id;
    int state;
    S header;
    S lines;
    bool finalise;
    const char* add;   // the refusal of an add; nullptr: the printer lookup opens
    const char* mark;  // the refusal of mark-all; nullptr: the question is asked
  } cases[] = {
      {4, 1, {"COMM", "DELIV_S"}, {"CODE", "QTY"}, true, nullptr, texts::kNotInDelivery},
      {8, 2, {"COMM"}, {}, false, texts::kNoChanges, texts::kNotInDelivery},
      {3, 4, {"COMM", "DTARRIVED"}, {}, false, texts::kNoChanges, texts::kNotInDelivery},
      {7, 6, {"COMM", "DTRECEIVED"}, {}, false, texts::kNoChanges, texts::kNotInDelivery},
      {6, 7, {"COMM"}, {"QTYDEL"}, false, texts::kNoChanges, texts::kNotInDelivery},
      {2, 8, {"COMM", "DTCLOSED"}, {"QTYDEL"}, false, texts::kNoChanges, nullptr},
      {1, 9, {"COMM"}, {}, false, texts::kNoChanges, texts::kNotInDelivery},
      {5, 0, {"COMM"}, {}, false, texts::kNoChanges, texts::kNotInDelivery},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("requisition " + std::to_string(c.id));
    ASSERT_EQ(Select("select STATE from UP_DELT where ID=" + std::to_string(c.id)), std::to_string(c.state));
    auto editor = Open(c.id);
    EXPECT_EQ(editor->State(), c.state);
    EXPECT_EQ(Editable(editor->Header(), kHeaderFields), c.header);
    EXPECT_EQ(Editable(editor->Lines(), kLineFields), c.lines);
    EXPECT_EQ(editor->FinaliseEnabled(), c.finalise);
    const std::string lines = Select("select count(*) from UP_DELTD where MID=" + std::to_string(c.id));
    EXPECT_EQ(std::to_string(editor->LineCount()), lines);

    const std::size_t before = presenter_.AllShown().size();
    if (c.add == nullptr) presenter_.CancelLookup();
    editor->AddConsumable();
    ASSERT_EQ(presenter_.AllShown().size(), before + 1);
    const ScriptedPresenter::Shown& added = presenter_.AllShown().back();
    if (c.add == nullptr) {
      EXPECT_EQ(added.ask, ScriptedPresenter::Ask::Lookup);
    } else {
      EXPECT_EQ(added.text, Gr(c.add));
    }
    if (c.mark == nullptr) presenter_.SetNextAnswer(ModalResult::Cancel);
    editor->MarkAllDelivered();
    EXPECT_EQ(presenter_.AllShown().back().text, Gr(c.mark != nullptr ? c.mark : texts::kMarkAllAsk));
    EXPECT_EQ(Select("select count(*) from UP_DELTD where MID=" + std::to_string(c.id)), lines);
  }
  EXPECT_EQ(Select("select sum(QTYDEL) from UP_DELTD where MID=2"), "2") << "nothing marked without a yes";

  // A new row: every header field, no lines, adding refused, marking silent.
  auto fresh = OpenNew();
  EXPECT_TRUE(fresh->Inserting());
  EXPECT_EQ(Editable(fresh->Header(), kHeaderFields).size(), std::size(kHeaderFields));
  EXPECT_EQ(fresh->LineCount(), 0);
  EXPECT_FALSE(fresh->FinaliseEnabled());
  fresh->AddConsumable();
  EXPECT_EQ(presenter_.AllShown().back().text, Gr(texts::kSaveFirst));
  const std::size_t before = presenter_.AllShown().size();
  fresh->MarkAllDelivered();
  EXPECT_EQ(presenter_.AllShown().size(), before);
}

TEST_F(RequisitionEditorTest, ASuperUserMayEnterTheLaterDatesInEveryStageAndTheServerKeepsTheirOrder) {
  LoginAs("ADMIN", "admin");
  auto editor = Open(4);
  EXPECT_TRUE(editor->SuperUser());
  EXPECT_EQ(Editable(editor->Header(), kHeaderFields),
            (std::set<std::string>{"COMM", "DELIV_S", "DTARRIVED", "DTRECEIVED", "DTCLOSED"}));
  // An arrival before the dispatch: the server's refusal in its own words,
  // and the row stays as typed, in edit, for the user to put right.
  editor->Header().Edit();
  editor->Header().FieldByName("DTARRIVED").SetAsDateTime(base::Today());
  EXPECT_THROW(editor->PostHeader(), data::EAbort);
  ASSERT_FALSE(presenter_.AllShown().empty());
  EXPECT_NE(presenter_.AllShown().back().text.find("ORA-20007"), std::string::npos)
      << presenter_.AllShown().back().text;
  EXPECT_EQ(editor->Header().State(), data::dsEdit);
  EXPECT_EQ(editor->Header().FieldByName("DTARRIVED").AsDateTime(), base::Today());
  EXPECT_EQ(Select("select DTARRIVED from UP_DELT where ID=4"), "<null>");
  editor->Header().FieldByName("DTARRIVED").Clear();
  editor->Header().FieldByName("COMM").SetAsString("ok");
  editor->PostHeader();
  EXPECT_EQ(Select("select COMM from UP_DELT where ID=4"), "ok");
  EXPECT_EQ(editor->Header().State(), data::dsBrowse);
}

TEST_F(RequisitionEditorTest, OpeningChecksTheOpenContractTheUnitAndItsAllotment) {
  // The contract open now is the one a new requisition takes, whatever the
  // caller knew of.
  AdminExec("update UP_SYMB set DTTOLIM=DTFMLIM-1 where ID=2");
  EXPECT_THROW(CheckOrderingContract(), data::EAbort);
  EXPECT_EQ(Texts().back(), Gr(texts::kNoContract));
  AdminExec("update UP_SYMB set DTFMLIM=" + std::to_string(static_cast<int>(base::Today()) - 3) +
            ", DTTOLIM=" + std::to_string(static_cast<int>(base::Today()) + 3) + " where ID=1");
  EXPECT_EQ(CheckOrderingContract(), "1");
  AdminExec("update UP_SYMB set DTFMLIM=" + std::to_string(static_cast<int>(base::Today()) - 3) +
            ", DTTOLIM=" + std::to_string(static_cast<int>(base::Today()) + 3) + " where ID=2");
  EXPECT_THROW(CheckOrderingContract(), data::EAbort);
  EXPECT_EQ(Texts().back(), Gr(texts::kManyContracts));
  EXPECT_THROW(PrepareRequisitionEditor(0, "2"), data::EAbort) << "no unit is asked for";
  EXPECT_EQ(presenter_.AllShown().back().ask, ScriptedPresenter::Ask::Message);
  AdminExec("update UP_SYMB set DTTOLIM=DTFMLIM-1 where ID=1");

  // A cancelled unit or delivery point opens nothing.
  presenter_.CancelLookup();
  EXPECT_FALSE(PrepareRequisitionEditor(0, "2").has_value());
  presenter_.AnswerLookup("0.02.02");
  presenter_.CancelLookup();
  EXPECT_FALSE(PrepareRequisitionEditor(0, "2").has_value());

  // 0.04.02 has ordered beyond its allotment; its one delivery point is
  // taken without asking.
  ASSERT_GT(Num("select VORD1 from UORGN where ORGID='0.04.02' and SID='2'"),
            Num("select VANAL from UORGN where ORGID='0.04.02' and SID='2'"));
  presenter_.AnswerLookup("0.04.02");
  EXPECT_THROW(PrepareRequisitionEditor(0, "2"), data::EAbort);
  EXPECT_EQ(Texts().back(), Gr(texts::kOverAllotmentStop));

  SetParamsAndLogin("update UP_OVPARAMS set PVALN=1 where PNM='ALLOW_OVER_ANAL'");
  presenter_.AnswerLookup("0.04.02");
  presenter_.SetNextAnswer(ModalResult::Cancel);
  EXPECT_THROW(PrepareRequisitionEditor(0, "2"), data::EAbort);
  EXPECT_EQ(Texts().back(), Gr(texts::kOverAllotmentAsk));
  presenter_.AnswerLookup("0.04.02");
  presenter_.SetNextAnswer(ModalResult::OK);
  const std::optional<EditorOpening> opening = PrepareRequisitionEditor(0, "2");
  ASSERT_TRUE(opening.has_value());
  EXPECT_EQ(opening->unit, "0.04.02");
  EXPECT_EQ(opening->point, "005");
  EXPECT_EQ(opening->contract, "2");
}

TEST_F(RequisitionEditorTest, ANewRequisitionTakesItsDefaultsAndANumberAndIsReadBackWhenSaved) {
  AdminExec("update UP_SYMB set DTTOLIM=DTFMLIM-1 where ID=2");
  AdminExec("update UP_SYMB set DTFMLIM=" + std::to_string(static_cast<int>(base::Today())) +
            ", DTTOLIM=" + std::to_string(static_cast<int>(base::Today()) + 3) + " where ID=1");
  auto editor = OpenNew();
  data::TKZLINK& h = editor->Header();
  EXPECT_EQ(h.State(), data::dsInsert);
  EXPECT_EQ(h.FieldByName("SID").AsString(), "1") << "the contract open now, not the one passed in";
  EXPECT_EQ(h.FieldByName("STATE").AsInteger(), 1);
  EXPECT_EQ(h.FieldByName("ORGID").AsString(), "0.02.02");
  EXPECT_EQ(h.FieldByName("DELPID").AsString(), "002");
  EXPECT_EQ(h.FieldByName("ORDERPID").AsString(), "maria");
  EXPECT_EQ(h.FieldByName("DTIN").AsDateTime(), base::Today());
  EXPECT_EQ(h.FieldByName("NODELT").AsInteger(), 12);
  EXPECT_EQ(Select("select PVALN from UP_OVPARAMS where PNM='DELT_COUNTER'"), "12") << "committed at once";

  // Saved as void: read back, so the window shows the stage the database gave.
  h.FieldByName("ACTV").SetAsString("0");
  h.FieldByName("DELIV_S").SetAsString("Υποδοχή κτιρίου Διοίκησης"_gr);
  editor->PostHeader();
  EXPECT_FALSE(editor->Inserting());
  EXPECT_GT(editor->CurrentId(), 100);
  EXPECT_EQ(editor->OpenedId(), 0);
  const std::string id = std::to_string(editor->CurrentId());
  EXPECT_EQ(Select("select STATE from UP_DELT where ID=" + id), "0");
  EXPECT_EQ(editor->State(), 0);
  EXPECT_EQ(Editable(h, kHeaderFields), std::set<std::string>{"COMM"});
  EXPECT_EQ(Select("select NODELT from UP_DELT where ID=" + id), "12");
  EXPECT_EQ(editor->Budget().FieldByName("ORGID").AsString(), "0.02.02");
  EXPECT_EQ(editor->Budget().FieldByName("SID").AsString(), "1");
}

TEST_F(RequisitionEditorTest, ARequisitionDeletedSinceItWasListedClosesWithoutANewRowOrNumber) {
  RequisitionEditor editor(EditorOpening{999, "2", {}, {}});
  EXPECT_FALSE(editor.Show());
  EXPECT_TRUE(editor.Missing());
  EXPECT_EQ(Texts().back(), Gr(texts::kGone));
  EXPECT_FALSE(editor.Inserting());
  EXPECT_NE(editor.Header().State(), data::dsInsert);
  EXPECT_EQ(Select("select PVALN from UP_OVPARAMS where PNM='DELT_COUNTER'"), "11");
}

// Finalising against a unit's budget: 0.02.01 has ordered 90 (one finalised
// requisition) and has a draft of 20; its limit and allotment vary by case.
TEST_F(RequisitionEditorTest, FinalisingMeasuresTheValueAgainstTheLimitAndTheAllotment) {
  // She orders for the unit alone here ("eleni;kostas" names nobody).
  AdminExec("update UORG set TONER_UID='maria' where ID='0.02.01'");
  AdminExec(
      "insert into UP_DELT (ID, NODELT, SID, ORGID, DELPID, ORDERPID, STATE, DTIN, DELIV_S, ACTV) values "
      "(201, 201, 2, '0.02.01', '002', 'maria', 1, trunc(sysdate), 'Γραφείο 301, Τμήμα Προσωπικού', '1')");
  AdminExec(
      "insert into UP_DELTD (MID, PRID, CID, CODE, QTY, UP, QTYDEL, XRUID, ITEMAA) values "
      "(201, 'P005', 12, 'Toner', 1, 90, 0, 'anna', 13)");
  AdminExec("update UP_DELT set DTFIN=trunc(sysdate) where ID=201");
  AdminExec(
      "insert into UP_DELT (ID, NODELT, SID, ORGID, DELPID, ORDERPID, STATE, DTIN, DELIV_S, ACTV) values "
      "(202, 202, 2, '0.02.01', '002', 'maria', 1, trunc(sysdate), 'Γραφείο 302, Τμήμα Προσωπικού', '1')");
  AdminExec(
      "insert into UP_DELTD (MID, PRID, CID, CODE, QTY, UP, QTYDEL, XRUID, ITEMAA) values "
      "(202, 'P006', 32, 'Toner', 1, 20, 0, 'petros', 28)");

  struct Case {
    double limit, allotted;
    std::vector<bool> answers;  // to the questions, in order
    std::vector<const char*> shown;
    bool finalised;
  };
  const auto run = [&](const std::vector<Case>& cases) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::to_string(c.limit) + " / " + std::to_string(c.allotted));
      AdminExec("update UORGN set VLIM1=" + std::to_string(c.limit) + ", VANAL=" + std::to_string(c.allotted) +
                " where ORGID='0.02.01' and SID='2'");
      auto editor = Open(202);
      for (bool yes : c.answers) presenter_.SetNextAnswer(yes ? ModalResult::OK : ModalResult::Cancel);
      const std::size_t before = presenter_.AllShown().size();
      editor->Finalise();
      EXPECT_DOUBLE_EQ(editor->Budget().FieldByName("VORD1").AsFloat(), c.finalised ? 110 : 90)
          << "the server's figure, read after the refresh";
      std::vector<std::string> shown;
      for (std::size_t i = before; i < presenter_.AllShown().size(); ++i)
        shown.push_back(presenter_.AllShown()[i].text);
      std::vector<std::string> expected;
      for (const char* t : c.shown) expected.push_back(Gr(t));
      EXPECT_EQ(shown, expected);
      EXPECT_EQ(Select("select STATE from UP_DELT where ID=202"), c.finalised ? "2" : "1");
      EXPECT_EQ(editor->State(), c.finalised ? 2 : 1) << "the header is read again";
      if (c.finalised) AdminExec("update UP_DELT set DTFIN=NULL where ID=202");
    }
  };
  // The demo's settings: crossing the limit asks, the allotment refuses.
  ASSERT_EQ(ParamInt("ALLOW_OVER_LIMIT1"), 1);
  ASSERT_EQ(ParamInt("ALLOW_OVER_ANAL"), 0);
  run({
      {100, 200, {true}, {texts::kOverLimitAsk}, true},
      {100, 200, {false}, {texts::kOverLimitAsk}, false},
      {90, 200, {}, {}, true},  // already at the limit: nothing asked about it
      {100, 105, {true}, {texts::kOverLimitAsk, texts::kOverAllotmentFinalStop}, false},
      {200, 110, {}, {}, true},  // exactly the allotment is not over it
  });
  SetParamsAndLogin(
      "begin update UP_OVPARAMS set PVALN=0 where PNM='ALLOW_OVER_LIMIT1'; "
      "update UP_OVPARAMS set PVALN=1 where PNM='ALLOW_OVER_ANAL'; end;");
  run({
      {100, 200, {}, {texts::kOverLimitStop}, false},
      {90, 105, {true}, {texts::kOverAllotmentFinalAsk}, true},
      {90, 105, {false}, {texts::kOverAllotmentFinalAsk}, false},
      {100, 105, {}, {texts::kOverLimitStop}, false},
  });
}

TEST_F(RequisitionEditorTest, TheDemoDraftOfTheSecretariatCrossesItsLimitUnderBothSettings) {
  auto editor = Open(4);
  EXPECT_DOUBLE_EQ(editor->Budget().FieldByName("VORD1").AsFloat(), 985);
  EXPECT_DOUBLE_EQ(editor->Budget().FieldByName("VLIM1").AsFloat(), 1000);
  EXPECT_DOUBLE_EQ(editor->Budget().FieldByName("VANAL").AsFloat(), 1200);
  EXPECT_DOUBLE_EQ(editor->Header().FieldByName("VALTOT").AsFloat(), 89);

  SetParamsAndLogin("update UP_OVPARAMS set PVALN=0 where PNM='ALLOW_OVER_LIMIT1'");
  editor = Open(4);
  editor->Finalise();
  EXPECT_EQ(Texts().back(), Gr(texts::kOverLimitStop));
  EXPECT_EQ(Select("select STATE from UP_DELT where ID=4"), "1");

  SetParamsAndLogin("update UP_OVPARAMS set PVALN=1 where PNM='ALLOW_OVER_LIMIT1'");
  editor = Open(4);
  presenter_.SetNextAnswer(ModalResult::OK);
  editor->Finalise();
  EXPECT_EQ(Texts().back(), Gr(texts::kOverLimitAsk));
  EXPECT_EQ(Select("select STATE from UP_DELT where ID=4"), "2");
  EXPECT_EQ(editor->State(), 2);
  EXPECT_FALSE(editor->FinaliseEnabled());
  EXPECT_DOUBLE_EQ(editor->Budget().FieldByName("VORD1").AsFloat(),
                   Num("select VORD1 from UORGN where ORGID='0.02.02' and SID='2'"));
}

TEST_F(RequisitionEditorTest, DeliveryInstructionsNeedTenCharactersBlanksIncluded) {
  auto editor = Open(4);
  data::TKZLINK& h = editor->Header();
  h.Edit();
  h.FieldByName("DELIV_S").SetAsString("123456789");
  presenter_.SetNextAnswer(ModalResult::OK);
  editor->Finalise();
  EXPECT_EQ(Texts().back(), Gr(texts::kShortInstructions));
  EXPECT_EQ(Select("select DELIV_S from UP_DELT where ID=4"), "123456789") << "the edit was posted first";
  EXPECT_EQ(Select("select STATE from UP_DELT where ID=4"), "1");
  h.Edit();
  h.FieldByName("DELIV_S").SetAsString("1234 6789 ");
  presenter_.SetNextAnswer(ModalResult::OK);
  editor->Finalise();
  EXPECT_EQ(Select("select STATE from UP_DELT where ID=4"), "2");
  EXPECT_EQ(editor->Header().FieldByName("DTFIN").AsDateTime(), base::Today());
}

TEST_F(RequisitionEditorTest, ANewRowIsSavedByFinalisingAndThenRefusedForItsValue) {
  auto editor = OpenNew();
  editor->Header().FieldByName("DELIV_S").SetAsString("Υποδοχή κτιρίου Διοίκησης"_gr);
  editor->Finalise();
  EXPECT_EQ(Texts().back(), Gr(texts::kNoValue));
  EXPECT_FALSE(editor->Inserting());
  EXPECT_EQ(Select("select STATE from UP_DELT where ID=" + std::to_string(editor->CurrentId())), "1");
  EXPECT_TRUE(editor->FinaliseEnabled());
}

TEST_F(RequisitionEditorTest, AddingOffersTheUnitsPrintersWithAUserAndTheirContractConsumables) {
  auto editor = Open(4);
  Add(*editor, "P016", "201");
  const base::LookupRequest printers = presenter_.AllShown()[0].lookup;
  const base::LookupRequest consumables = presenter_.AllShown()[1].lookup;
  EXPECT_EQ(printers.table, "UPV_PRINTERS");
  EXPECT_TRUE(printers.readOnly);
  EXPECT_EQ(printers.filter, " (orgID like '0.02.02%') and (UserPID IS NOT NULL) ");
  // The units below take part; P013 (no user) and P005 (another unit) not.
  EXPECT_EQ(AdminColumn("select ID from UPV_Printers where " + printers.filter + " order by ID"),
            (std::vector<std::string>{"P008", "P009", "P010", "P011", "P012", "P014", "P015", "P016", "P017", "P018"}));
  EXPECT_EQ(consumables.table, "UP_SYMBD");
  EXPECT_TRUE(consumables.readOnly);
  EXPECT_EQ(AdminColumn("select CID from UP_SymbD where " + consumables.filter + " order by ID"),
            (std::vector<std::string>{"1", "1", "2"}));

  // CF259A is listed twice in the contract: two lines, each as its contract
  // line has it, charged to the printer's user.
  EXPECT_EQ(editor->LineCount(), 3);
  EXPECT_EQ(AdminColumn("select ITEMAA||'/'||UP||'/'||QTY||'/'||QTYDEL||'/'||XRUID from UP_DELTD where MID=4 and "
                        "PRID='P016' order by ID"),
            (std::vector<std::string>{"1/89/1/0/nikos", "1/89/1/0/nikos", "2/46.5/1/0/nikos"}));
  EXPECT_DOUBLE_EQ(editor->Header().FieldByName("VALTOT").AsFloat(), Num("select VALTOT from UP_DELT where ID=4"));
  EXPECT_DOUBLE_EQ(editor->Header().FieldByName("VALTOT").AsFloat(), 89 + 89 + 46.5);

  // Only what the printer requires: CF259X is compatible but not required.
  SetParamsAndLogin("update UP_OVPARAMS set PVALN=1 where PNM='CONSUM_ONLY_REQ'");
  editor = Open(4);
  presenter_.AnswerLookup("P016");
  presenter_.CancelLookup();
  editor->AddConsumable();
  const std::string filter = presenter_.AllShown().back().lookup.filter;
  EXPECT_EQ(AdminColumn("select CID from UP_SymbD where " + filter + " order by ID"),
            (std::vector<std::string>{"1", "1"}));
  EXPECT_EQ(editor->LineCount(), 3) << "a cancelled consumable adds nothing";
}

TEST_F(RequisitionEditorTest, TheLargestNumberOfLinesRefusesAWholeAdd) {
  SetParamsAndLogin("update UP_OVPARAMS set PVALN=3 where PNM='MAX_DELT_ITEMS'");
  auto editor = Open(4);
  Add(*editor, "P016", "203");
  EXPECT_EQ(editor->LineCount(), 2);
  Add(*editor, "P016", "201");
  EXPECT_EQ(Texts().back(), LimitText(3)) << "two more lines would be four";
  EXPECT_EQ(Select("select count(*) from UP_DELTD where MID=4"), "2");
  Add(*editor, "P009", "204");
  EXPECT_EQ(editor->LineCount(), 3);
  const std::size_t before = presenter_.AllShown().size();
  editor->AddConsumable();
  ASSERT_EQ(presenter_.AllShown().size(), before + 1) << "no printer is asked for";
  EXPECT_EQ(Texts().back(), LimitText(3));
  EXPECT_EQ(Texts().back().substr(0, 2), "\xB4\xD3") << "it begins with the tonos mark";

  SetParamsAndLogin("delete from UP_OVPARAMS where PNM='MAX_DELT_ITEMS'");
  editor = Open(4);
  editor->AddConsumable();
  EXPECT_EQ(Texts().back(), LimitText(0));
}

TEST_F(RequisitionEditorTest, LineRulesQuantitiesDeliveredAndTheStagesThatAllowChanges) {
  int beeps = 0;
  auto editor = Open(4);
  editor->OnBeep = [&beeps] { ++beeps; };
  data::TKZLINK& lines = editor->Lines();
  lines.Edit();
  lines.FieldByName("QTY").SetAsInteger(0);
  EXPECT_THROW(lines.Post(), data::EAbort);
  EXPECT_EQ(Texts().back(), Gr(texts::kBadQuantity));
  EXPECT_EQ(lines.State(), data::dsEdit) << "the line stays in edit";
  lines.FieldByName("QTY").SetAsInteger(3);
  lines.Post();
  EXPECT_EQ(Select("select QTY from UP_DELTD where MID=4"), "3");
  EXPECT_DOUBLE_EQ(editor->Header().FieldByName("VALTOT").AsFloat(), 267) << "the header is read after the line";

  Add(*editor, "P016", "203");
  ASSERT_EQ(editor->LineCount(), 2);
  lines.Last();
  lines.Delete();
  EXPECT_TRUE(editor->LineDeleted());
  EXPECT_DOUBLE_EQ(editor->Header().FieldByName("VALTOT").AsFloat(), 267 + 189) << "read on the timer's tick";
  editor->TimerTick();
  EXPECT_FALSE(editor->LineDeleted());
  EXPECT_DOUBLE_EQ(editor->Header().FieldByName("VALTOT").AsFloat(), 267);
  EXPECT_EQ(beeps, 0);

  // Outside stage 1 a line can be neither deleted nor inserted.
  editor = Open(8);
  editor->OnBeep = [&beeps] { ++beeps; };
  EXPECT_THROW(editor->Lines().Delete(), data::EAbort);
  EXPECT_THROW(editor->Lines().Append(), data::EAbort);
  EXPECT_EQ(beeps, 2);
  EXPECT_EQ(Select("select count(*) from UP_DELTD where MID=8"), "4");

  // Received: a negative delivered quantity is stored as 0; a delivery moves
  // the requisition to the delivery stage.
  editor = Open(6);
  data::TKZLINK& received = editor->Lines();
  const std::string first = received.FieldByName("ID").AsString();
  received.Edit();
  received.FieldByName("QTYDEL").SetAsInteger(-1);
  received.Post();
  EXPECT_EQ(Select("select QTYDEL from UP_DELTD where ID=" + first), "0");
  EXPECT_EQ(editor->State(), 7);
  received.Edit();
  received.FieldByName("QTYDEL").SetAsInteger(1);
  received.Post();
  EXPECT_EQ(Select("select STATE from UP_DELT where ID=6"), "8");
  EXPECT_EQ(editor->State(), 8);
  EXPECT_DOUBLE_EQ(editor->Header().FieldByName("QTYDELIV").AsFloat(), 1);
}

TEST(DeliveredColour, GreyForNothingDeliveredThenByTheOrderedQuantity) {
  const auto v = [](int n) { return base::Variant::Integer(n); };
  EXPECT_EQ(DeliveredColour(8, v(2), v(2)), kLime);
  EXPECT_EQ(DeliveredColour(8, v(2), v(1)), kYellow);
  EXPECT_EQ(DeliveredColour(9, v(2), v(3)), kFuchsia);
  EXPECT_EQ(DeliveredColour(8, v(2), v(0)), kGrey) << "grey wins over yellow";
  EXPECT_EQ(DeliveredColour(9, v(0), v(0)), kGrey) << "grey wins over lime";
  EXPECT_EQ(DeliveredColour(8, v(2), base::Variant::Null()), kGrey);
  for (int state : {0, 1, 2, 4, 6, 7}) EXPECT_EQ(DeliveredColour(state, v(2), v(1)), std::nullopt) << state;
}

TEST_F(RequisitionEditorTest, TheDeliveryStageColoursTheDeliveredQuantities) {
  auto editor = Open(2);
  std::vector<CellColour> colours;
  data::TKZLINK& lines = editor->Lines();
  for (lines.First(); !lines.Eof(); lines.Next()) {
    colours.push_back(
        editor->LineCellColour("QTYDEL", lines.FieldByName("QTY").Value(), lines.FieldByName("QTYDEL").Value()));
    EXPECT_EQ(editor->LineCellColour("QTY", lines.FieldByName("QTY").Value(), lines.FieldByName("QTYDEL").Value()),
              std::nullopt);
  }
  EXPECT_EQ(colours, (std::vector<CellColour>{kLime, kLime, kGrey, kGrey}));

  presenter_.SetNextAnswer(ModalResult::OK);
  editor->MarkAllDelivered();
  EXPECT_EQ(Select("select count(*) from UP_DELTD where MID=2 and QTYDEL=QTY"), "4");
  EXPECT_DOUBLE_EQ(editor->Header().FieldByName("VALDELIV").AsFloat(), Num("select VALDELIV from UP_DELT where ID=2"))
      << "the header is read again";
  EXPECT_EQ(editor->Header().FieldByName("QTYDELIV").AsInteger(), 4);
  lines.First();
  EXPECT_EQ(editor->LineCellColour("QTYDEL", lines.FieldByName("QTY").Value(), lines.FieldByName("QTYDEL").Value()),
            kLime);
}

// One requisition from its creation to its closing, each step checked from a
// second connection.
TEST_F(RequisitionEditorTest, ARequisitionFromCreationToClosing) {
  auto editor = OpenNew();
  editor->Header().FieldByName("DELIV_S").SetAsString("Πρωτόκολλο, ισόγειο, κ. Μιχαηλίδης"_gr);
  editor->PostHeader();
  const std::string id = std::to_string(editor->CurrentId());
  const auto stage = [&] { return Select("select STATE from UP_DELT where ID=" + id); };
  EXPECT_EQ(stage(), "1");
  Add(*editor, "P016", "201");
  EXPECT_EQ(Select("select count(*) from UP_DELTD where MID=" + id), "2");
  EXPECT_DOUBLE_EQ(Num("select VALTOT from UP_DELT where ID=" + id), 135.5);

  presenter_.SetNextAnswer(ModalResult::OK);  // over the limit, within the allotment
  editor->Finalise();
  EXPECT_EQ(stage(), "2");
  EXPECT_EQ(editor->State(), 2);
  EXPECT_DOUBLE_EQ(editor->Budget().FieldByName("VORD1").AsFloat(),
                   Num("select VORD1 from UORGN where ORGID='0.02.02' and SID='2'"));

  std::string out;
  ASSERT_EQ(test::RunMeroServer({"dispatch", id, "--db", server_.Database()}, &out), 0) << out;
  EXPECT_EQ(stage(), "4");
  editor->LoadHeader();
  EXPECT_EQ(editor->State(), 4);
  const auto setDate = [&](const char* field) {
    editor->Header().Edit();
    editor->Header().FieldByName(field).SetAsDateTime(base::Today());
    editor->PostHeader();
  };
  setDate("DTARRIVED");
  EXPECT_EQ(stage(), "6");
  EXPECT_EQ(editor->State(), 6);
  setDate("DTRECEIVED");
  EXPECT_EQ(stage(), "7");
  data::TKZLINK& lines = editor->Lines();
  ASSERT_FALSE(lines.FieldByName("QTYDEL").ReadOnly());
  lines.First();
  lines.Edit();
  lines.FieldByName("QTYDEL").SetAsInteger(1);
  lines.Post();
  EXPECT_EQ(stage(), "8");
  EXPECT_EQ(Select("select QTYDELIV from UP_DELT where ID=" + id), "1");
  presenter_.SetNextAnswer(ModalResult::OK);
  editor->MarkAllDelivered();
  EXPECT_EQ(Select("select QTYDELIV from UP_DELT where ID=" + id), "2");
  EXPECT_EQ(editor->Header().FieldByName("QTYDELIV").AsInteger(), 2);
  setDate("DTCLOSED");
  EXPECT_EQ(stage(), "9");
  EXPECT_EQ(editor->State(), 9);
  EXPECT_EQ(Editable(editor->Header(), kHeaderFields), std::set<std::string>{"COMM"});
}

TEST_F(RequisitionEditorTest, OtherSessionsWriteWhileTheEditorIsOpenAndTheFinalisationOutlivesTheClient) {
  auto editor = Open(4);
  // Nothing the editor sent is left uncommitted: another session's writes
  // go through at once.
  AdminExec("update UP_DELT set COMM='από αλλού' where ID=4");
  AdminExec("update UORGN set VREQ=VREQ+1 where ORGID='0.02.02' and SID='2'");
  editor->LoadHeader();
  EXPECT_EQ(editor->Header().FieldByName("COMM").AsString(), "από αλλού"_gr);
  presenter_.SetNextAnswer(ModalResult::OK);
  editor->Finalise();
  AdminExec("update UP_DELT set COMM='μετά' where ID=4");
  editor.reset();
  module_.reset();  // the client goes
  EXPECT_EQ(Select("select STATE from UP_DELT where ID=4"), "2");
  EXPECT_EQ(Select("select COMM from UP_DELT where ID=4"), "μετά"_gr);
  EXPECT_NE(Select("select DTFIN from UP_DELT where ID=4"), "<null>");
}

TEST_F(RequisitionEditorTest, TwoSessionsDrawingAtOnceNeverGetTheSameNumber) {
  constexpr int kEach = 12;
  std::vector<int> numbers[2];
  std::thread sessions[2];
  for (int s = 0; s < 2; ++s) {
    sessions[s] = std::thread([&, s] {
      auto socket = test::LoginOwnSocket(server_.Port(), "MARIA", "maria");
      for (int i = 0; i < kEach; ++i) numbers[s].push_back(DrawRequisitionNumber(socket.get()));
    });
  }
  for (std::thread& t : sessions) t.join();
  std::set<int> all(numbers[0].begin(), numbers[0].end());
  all.insert(numbers[1].begin(), numbers[1].end());
  EXPECT_EQ(all.size(), 2u * kEach);
  EXPECT_EQ(*all.begin(), 12);
  EXPECT_EQ(*all.rbegin(), 11 + 2 * kEach);
  EXPECT_EQ(Select("select PVALN from UP_OVPARAMS where PNM='DELT_COUNTER'"), std::to_string(11 + 2 * kEach));
  EXPECT_EQ(DrawRequisitionNumber(), 12 + 2 * kEach);
}

}  // namespace
}  // namespace mero::printers
