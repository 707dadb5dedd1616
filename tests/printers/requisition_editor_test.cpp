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
  void AdminExec(const std::string& sql) {
    if (!other_) other_ = test::LoginOwnSocket(server_.Port(), "ADMIN", "admin");
    data::RunStatement(sql, true, other_.get());
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
  ASSERT_GT(std::stod(Select("select VORD1 from UORGN where ORGID='0.04.02' and SID='2'")),
            std::stod(Select("select VANAL from UORGN where ORGID='0.04.02' and SID='2'")));
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

}  // namespace
}  // namespace mero::printers
