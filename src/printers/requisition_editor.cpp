#include "printers/requisition_editor.h"

#include <string>
#include <utility>

#include "base/encoding.h"
#include "base/message_seam.h"
#include "base/number_routines.h"
#include "base/text_routines.h"
#include "base/variant_routines.h"
#include "data/database_error.h"
#include "data/field.h"
#include "data/remote/query_utils.h"
#include "printers/printer_context.h"
#include "ui/lookup_logic.h"

namespace mero::printers {

using namespace base::literals;
namespace texts = editor_texts;

namespace {

const char* const kOpenContractCount =
    "select count(*) from UP_symb where TRUNC(sysdate) between DTFMLim and DTTOLim  ";
const char* const kOpenContractId = "select ID from UP_symb where TRUNC(sysdate) between DTFMLim and DTTOLim  ";

std::string Quoted(std::string_view s) { return base::QuotedStr(s); }

double Number(const data::TDataSet& ds, const char* name) {
  if (!ds.Active()) return 0;
  const data::TField* f = ds.FindField(name);
  return f == nullptr || f->IsNull() ? 0.0 : f->AsFloat();
}

// A field changed by the editor's own rules, whatever the user may change.
void WriteOwn(data::TField& field, double value) {
  const bool readOnly = field.ReadOnly();
  field.SetReadOnly(false);
  field.SetAsFloat(value);
  field.SetReadOnly(readOnly);
}

}  // namespace

std::string Gr(const char* utf8) { return base::Utf8ToWin1253(utf8); }

std::string CheckOrderingContract() {
  const int n = data::SelectInt(kOpenContractCount);
  if (n >= 2) {
    base::ShowMess(Gr(texts::kManyContracts));
    throw data::EAbort();
  }
  if (n <= 0) {
    base::ShowMess(Gr(texts::kNoContract));
    throw data::EAbort();
  }
  // The contract open now, not the one of the login: a new requisition is
  // made under the contract that the count has just found.
  return data::SelectStr(kOpenContractId);
}

int DrawRequisitionNumber(link::TLinkClientSocket* socket) {
  // The raise and the read are one transaction: another session's raise
  // waits for the commit, so the value read is this session's own.
  data::RunStatement("update UP_OVPARAMS set PVALN=PVALN+1 where PNM=" + Quoted("DELT_COUNTER"), false, socket);
  int number = 0;
  try {
    auto q = data::NewQuery();
    if (socket != nullptr) q->SetLinkClientSocket(socket);
    if (data::OpenSQL(*q, "select PVALN from UP_OVPARAMS where PNM=" + Quoted("DELT_COUNTER")))
      number = base::VarToIntZ(q->Fields(0).Value());
    data::FreeQuery(q);
  } catch (...) {
    // The raised counter is kept: a number drawn is never given back.
    data::CommitWork(socket);
    throw;
  }
  data::CommitWork(socket);
  return number;
}

std::optional<EditorOpening> PrepareRequisitionEditor(int id, const std::string& contractId) {
  EditorOpening opening{id, contractId, {}, {}};
  if (id != 0) return opening;
  opening.contract = CheckOrderingContract();
  opening.unit = ChooseUnit();
  if (opening.unit.empty()) return std::nullopt;
  opening.point = ChooseDeliveryPoint(opening.unit);
  if (opening.point.empty()) return std::nullopt;
  const UnitBudget b = ReadUnitBudget(opening.unit, opening.contract);
  if (b.Ordered > b.Allotted) {
    if (ParamInt("ALLOW_OVER_ANAL") == 1) {
      if (!base::AskOK(Gr(texts::kOverAllotmentAsk))) throw data::EAbort();
    } else {
      base::ShowMess(Gr(texts::kOverAllotmentStop));
      throw data::EAbort();
    }
  }
  return opening;
}

CellColour DeliveredColour(int state, const base::Variant& qty, const base::Variant& qtyDel) {
  if (state != 8 && state != 9) return std::nullopt;
  const double delivered = base::VarToFloatZ(qtyDel);
  const double ordered = base::VarToFloatZ(qty);
  if (delivered == 0) return kGrey;
  if (delivered == ordered) return kLime;
  if (delivered < ordered) return kYellow;
  return kFuchsia;
}

RequisitionEditor::RequisitionEditor(EditorOpening opening)
    : openedId_(opening.id),
      currentId_(opening.id),
      contract_(std::move(opening.contract)),
      unit_(std::move(opening.unit)),
      point_(std::move(opening.point)) {
  for (data::TKZLINK* q : {&header_, &lines_, &budget_}) q->SetLinkClientSocket(data::SharedSocket());

  header_.SetzKeyF("ID");
  header_.SetzKeyTAB("NQ.UP_DELT");
  header_.SetzSEQInfo("SEQ_UP_Delt;ID");
  header_.SetzAutoCommit(true);
  header_.AfterScroll = [this] { HeaderAfterScroll(); };
  header_.OnNewRecord = [this] { HeaderNewRecord(); };
  header_.AfterPost = [this] { HeaderAfterPost(); };
  header_.OnPostError = [this](const data::EDatabaseError& error, data::TDataAction& action) {
    // The server's own words (a date out of order, say); the row stays as
    // the user typed it, to be put right and posted again.
    base::ShowMess(error.what());
    retryPost_ = true;
    action = data::TDataAction::daRetry;
  };

  lines_.SetzKeyF("ID");
  lines_.SetzKeyTAB("NQ.UP_DeltD");
  lines_.SetzAutoCommit(true);
  lines_.BeforeInsert = [this] { LinesBeforeChange(); };
  lines_.BeforeDelete = [this] { LinesBeforeChange(); };
  lines_.BeforePost = [this] { LinesBeforePost(); };
  lines_.AfterPost = [this] { ReloadAfterLineChange(); };
  // The header is read again by the timer, once the deletion is over.
  lines_.AfterDelete = [this] { lineDeleted_ = true; };

  budget_.SetSQLText("select * from UORGN where ORGID=:pORGID and SID=:pSID");
  budget_.SetReadOnly(true);
}

RequisitionEditor::~RequisitionEditor() = default;

bool RequisitionEditor::Show() {
  superUser_ = IsSuperUser();
  inserting_ = false;
  reloading_ = false;
  lineDeleted_ = false;
  LoadHeader();
  if (missing_) return false;
  RefreshBudget();
  return true;
}

int RequisitionEditor::HeaderInt(const char* field) const {
  if (!header_.Active()) return 0;
  const data::TField* f = header_.FindField(field);
  return f == nullptr || f->IsNull() ? 0 : f->AsInteger();
}

std::string RequisitionEditor::HeaderText(const char* field) const {
  if (!header_.Active()) return {};
  const data::TField* f = header_.FindField(field);
  return f == nullptr ? std::string() : f->AsString();
}

std::string RequisitionEditor::SidText() const { return std::to_string(HeaderInt("SID")); }

int RequisitionEditor::State() const { return HeaderInt("STATE"); }

int RequisitionEditor::LineCount() { return lines_.NonEmptyCount(); }

std::string RequisitionEditor::UnitName() const {
  const std::string unit = HeaderText("ORGID");
  return unit.empty() ? std::string() : data::LookupStr("UORG", "ID", "NAME", unit);
}

std::string RequisitionEditor::PointName() const {
  const std::string point = HeaderText("DELPID");
  return point.empty() ? std::string() : data::LookupStr("UDELIVERY", "ID", "NAME", point);
}

bool RequisitionEditor::HeaderEditing() const {
  return inserting_ || header_.State() == data::dsEdit || header_.State() == data::dsInsert;
}

void RequisitionEditor::PostHeader() {
  retryPost_ = false;
  try {
    header_.Post();
  } catch (const data::EAbort&) {
    if (retryPost_) {
      retryPost_ = false;
      header_.Edit();
      Changed();
    }
    throw;
  }
}

void RequisitionEditor::Changed() {
  if (OnChanged) OnChanged();
}

void RequisitionEditor::Beep() {
  if (OnBeep) OnBeep();
}

void RequisitionEditor::LoadHeader() {
  if (inserting_) return;
  header_.Close();
  data::OpenSQL(header_, "select * from UP_Delt where ID=" + std::to_string(currentId_));
  if (header_.IsEmpty()) {
    if (currentId_ != 0) {
      // Deleted since it was listed: no new row and no number for it.
      missing_ = true;
      base::ShowMess(Gr(texts::kGone));
      Changed();
      return;
    }
    inserting_ = true;
    header_.Append();
    return;
  }
  contract_ = SidText();
}

void RequisitionEditor::HeaderNewRecord() {
  header_.SetAllReadOnly("0");
  header_.FieldByName("SID").SetAsString(contract_);
  header_.FieldByName("STATE").SetAsInteger(1);
  header_.FieldByName("DELPID").SetAsString(point_);
  header_.FieldByName("ORGID").SetAsString(unit_);
  header_.FieldByName("ORDERPID").SetAsString(CurrentUser());
  header_.FieldByName("DTIN").SetAsDateTime(ServerToday());
  // Valid unless the user marks it void before the first save.
  header_.FieldByName("ACTV").SetAsString("1");
  header_.FieldByName("NODELT").SetAsInteger(DrawRequisitionNumber());
}

void RequisitionEditor::HeaderAfterScroll() {
  if (header_.State() != data::dsInsert && header_.IsEmpty()) {
    finaliseEnabled_ = false;
    Changed();
    return;
  }
  LoadLines();
  finaliseEnabled_ = false;
  if (inserting_) {
    header_.SetAllReadOnly("0");
    Changed();
    return;
  }
  header_.SetAllReadOnly("1");
  header_.SetFieldsReadOnly("COMM", "0");
  const int state = State();
  if (state == 1) {
    finaliseEnabled_ = true;
    header_.SetFieldsReadOnly("DELIV_S", "0");
  }
  header_.SetFieldsReadOnly("DTARRIVED", superUser_ || state == 4 ? "0" : "1");
  header_.SetFieldsReadOnly("DTRECEIVED", superUser_ || state == 6 ? "0" : "1");
  header_.SetFieldsReadOnly("DTCLOSED", superUser_ || state == 8 ? "0" : "1");
  Changed();
}

void RequisitionEditor::HeaderAfterPost() {
  currentId_ = HeaderInt("ID");
  // Read back even after the first save: the window shows the stage the
  // database gave the row (0 for a requisition saved as void).
  inserting_ = false;
  LoadHeader();
  RefreshBudget();
}

void RequisitionEditor::LoadLines() {
  if (reloading_) return;
  lines_.Close();
  data::OpenSQL(lines_, "select  * from UPV_DeltD1 where mid=" + std::to_string(HeaderInt("ID")) + " order by  ID ");
  lines_.SetAllReadOnly("1");
  const int state = State();
  if (state == 1) lines_.SetFieldsReadOnly("CODE;QTY", "0");
  if (state == 7 || state == 8) lines_.SetFieldsReadOnly("QTYDEL", "0");
  Changed();
}

void RequisitionEditor::RefreshBudget() {
  const std::string unit = HeaderText("ORGID");
  const std::string sid = SidText();
  // The database brings the row up to date on this update; committed, so
  // that no other user's write waits on it.
  data::ExecSQLCommit("update UORGN set VYPOL1=0 where ORGID=" + Quoted(unit) + " and SID=" + Quoted(sid));
  budget_.Close();
  data::SetQueryParamStr(budget_, "pORGID", unit);
  data::SetQueryParamStr(budget_, "pSID", sid);
  data::OpenQuery(budget_);
  Changed();
}

void RequisitionEditor::ReloadAfterLineChange() {
  reloading_ = true;
  try {
    LoadHeader();
    RefreshBudget();
    if (OnFocusLines) OnFocusLines();
  } catch (...) {
    reloading_ = false;
    throw;
  }
  reloading_ = false;
  Changed();
}

void RequisitionEditor::TimerTick() {
  if (!lineDeleted_) return;
  lineDeleted_ = false;
  ReloadAfterLineChange();
}

void RequisitionEditor::LinesBeforeChange() {
  if (State() != 1) {
    Beep();
    throw data::EAbort();
  }
}

void RequisitionEditor::LinesBeforePost() {
  data::TField& qty = lines_.FieldByName("QTY");
  if (qty.IsNull() || qty.AsFloat() <= 0) {
    base::ShowMess(Gr(texts::kBadQuantity));
    throw data::EAbort();
  }
  data::TField& delivered = lines_.FieldByName("QTYDEL");
  if (delivered.IsNull() || delivered.AsFloat() < 0) WriteOwn(delivered, 0);
}

void RequisitionEditor::AddConsumable() {
  if (HeaderEditing()) {
    base::ShowMess(Gr(texts::kSaveFirst));
    return;
  }
  const int mode = ParamInt("CONSUM_ONLY_REQ");
  if (State() != 1) {
    base::ShowMess(Gr(texts::kNoChanges));
    return;
  }
  const int max = ParamInt("MAX_DELT_ITEMS");
  const std::string limitText = Gr(texts::kMaxItemsHead) + std::to_string(max) + Gr(texts::kMaxItemsTail);
  const int count = LineCount();
  if (count >= max) {
    base::ShowMess(limitText);
    return;
  }
  const std::string unit = HeaderText("ORGID");
  const std::string printer =
      ui::ChooseWithLookup("ID", "UPV_Printers", "", "ID;manSName;fullname;SN;UserPID", "ID", "Εκτυπωτής"_gr,
                           " (orgID like " + Quoted(unit + "%") + ") and (UserPID IS NOT NULL) ");
  if (printer.empty()) return;
  const std::string sid = SidText();
  std::string filter = " ((mid=" + sid + ") and " +
                       " (cid IN (SELECT Consid FROM UP_Model_Cons WHERE modelid=(SELECT modelid FROM UP_Printers "
                       "WHERE ID=" +
                       Quoted(printer) + " )))) ";
  if (mode == 1) filter += " and (cid in (select cid from UP_CONS_REQ where PRID=" + Quoted(printer) + ")) ";
  const int contractLine =
      base::StrToIntZ(ui::ChooseWithLookup("ID", "UP_SymbD", "", "cid;code;UP", "cID", "Αναλώσιμο"_gr, filter));
  if (contractLine == 0) return;
  const std::string line = std::to_string(contractLine);
  const std::string sameConsumable = " where mid=" + sid + " and cid=(select cid from UP_SYMBD where id=" + line + ")";
  // Every contract line of the consumable becomes a line: an add that would
  // take the requisition past its largest number of lines adds none.
  const int adding = data::SelectInt("select count(*) from UP_SymbD " + sameConsumable);
  if (count + adding > max) {
    base::ShowMess(limitText);
    return;
  }
  data::ExecSQLCommit(" insert into UP_DeltD (mid,prid,cid,code,qty,up,qtydel,xrUID,ItemAA)  select " +
                      std::to_string(HeaderInt("ID")) + "," + Quoted(printer) +
                      ",cid,code,1,up,0,(select UserPID from UP_Printers where id=" + Quoted(printer) +
                      "),ItemAA  from UP_SymbD " + sameConsumable);
  LoadLines();
  ReloadAfterLineChange();
}

void RequisitionEditor::Finalise() {
  if (HeaderEditing()) PostHeader();
  RefreshBudget();
  const double value = Number(header_, "VALTOT");
  if (!(value > 0)) {
    base::ShowMess(Gr(texts::kNoValue));
    return;
  }
  const double ordered = Number(budget_, "VORD1");
  const double limit = Number(budget_, "VLIM1");
  const double allotted = Number(budget_, "VANAL");
  if (ordered < limit && ordered + value > limit) {
    if (ParamInt("ALLOW_OVER_LIMIT1") == 1) {
      if (!base::AskOK(Gr(texts::kOverLimitAsk))) return;
    } else {
      base::ShowMess(Gr(texts::kOverLimitStop));
      return;
    }
  }
  if (ordered + value > allotted) {
    if (ParamInt("ALLOW_OVER_ANAL") == 1) {
      if (!base::AskOK(Gr(texts::kOverAllotmentFinalAsk))) return;
    } else {
      base::ShowMess(Gr(texts::kOverAllotmentFinalStop));
      return;
    }
  }
  const int id = HeaderInt("ID");
  if (id <= 0) return;
  if (HeaderText("DELIV_S").size() < static_cast<std::size_t>(kMinDeliveryInstructions)) {
    base::ShowMess(Gr(texts::kShortInstructions));
    return;
  }
  // Committed at once: the finalisation outlives the program, and nobody
  // else's writes wait on it.
  data::ExecSQLCommit("update UP_DELT set DTFIN=trunc(sysdate) where id=" + std::to_string(id));
  LoadHeader();
  RefreshBudget();
}

void RequisitionEditor::MarkAllDelivered() {
  if (HeaderEditing()) return;
  const int id = HeaderInt("ID");
  if (id <= 0) return;
  if (State() != 8) {
    base::ShowMess(Gr(texts::kNotInDelivery));
    return;
  }
  if (!base::AskOK(Gr(texts::kMarkAllAsk))) return;
  data::ExecSQL("begin  update UP_DELTD set QTYDEL=QTY where MID=" + std::to_string(id) + "; commit; end; ");
  LoadLines();
  // The totals delivered are the database's: header and budget read again.
  ReloadAfterLineChange();
}

CellColour RequisitionEditor::LineCellColour(std::string_view fieldName, const base::Variant& qty,
                                             const base::Variant& qtyDel) const {
  if (base::UpperStr(fieldName) != "QTYDEL") return std::nullopt;
  return DeliveredColour(State(), qty, qtyDel);
}

}  // namespace mero::printers
