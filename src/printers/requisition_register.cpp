#include "printers/requisition_register.h"

#include <string>
#include <utility>

#include "base/encoding.h"
#include "base/message_seam.h"
#include "base/variant.h"
#include "base/variant_routines.h"
#include "data/dataset_utils.h"
#include "data/field.h"
#include "data/remote/application_dataset.h"
#include "data/remote/query_utils.h"
#include "data/search_condition.h"
#include "printers/printer_context.h"
#include "ui/dataset_table_model.h"

namespace mero::printers {

using namespace base::literals;

namespace {

std::string AndRange(const std::string& where, const char* column, const DateRange& range) {
  // allowNull off: a range asked for is a range of dates, and a requisition
  // without that date is not in it.
  return data::AndCondition(where, data::DateRangeCondition(column, range.from, range.to, false));
}

int IntField(data::TKZLINK& q, const char* name) {
  const data::TField* f = q.FindField(name);
  return f == nullptr || f->IsNull() ? 0 : f->AsInteger();
}

}  // namespace

std::string RegisterSearchSQL(const RegisterSearch& boxes) {
  std::string sql = "select * from UP_Delt dp where 1=1 ";
  sql = data::AndCondition(sql, data::SearchCondition(boxes.orderer, "dp.orderPID", data::skText, false));
  sql = AndRange(sql, "dp.DTIN", boxes.entered);
  sql = AndRange(sql, "dp.DTFIN", boxes.finalised);
  sql = AndRange(sql, "dp.DTSENT", boxes.sent);
  sql = AndRange(sql, "dp.DTRECEIVED", boxes.received);
  sql = AndRange(sql, "dp.DTCLOSED", boxes.closed);
  sql = data::AndCondition(sql, data::SearchCondition(boxes.stage, "dp.STATE", data::skInteger, false));
  sql = data::AndCondition(sql, data::SearchCondition(boxes.unit, "dp.ORGID", data::skText, false));
  return sql + " order by dp.ID ";
}

CellColour StageColour(int state) {
  switch (state) {
    case 0:
      return kFuchsia;
    case 1:
      return kGrey;
    case 2:
      return kYellow;
    case 4:
      return kLime;
    case 6:
    case 8:
      return kAqua;
    case 9:
      return kGreen;
    default:
      return std::nullopt;
  }
}

const std::vector<std::string>& RequisitionRegister::Columns() {
  static const std::vector<std::string> columns = {
      "ID\t4\tID",
      "STATE\t5\t" + "Στάδιο"_gr,
      "DELPID\t3\tDELPID",
      "ORDERPID\t9\t" + "Χειριστής"_gr,
      "ORGID\t10\t" + "Τμήμα"_gr,
      "QTYTOT\t7\t" + "Συν.Ποσ"_gr,
      "QTYDELIV\t9\t" + "Ποσ.Παραλ"_gr,
      "VALTOT\t10\t" + "ΣυνΑξία"_gr,
      "VALDELIV\t10\t" + "Αξία Παραλ"_gr,
      "DTIN\t10\t" + "Καταχώρηση"_gr,
      "DTFIN\t10\t" + "Οριστικό"_gr,
      "DTSENT\t10\t" + "Αποστολή"_gr,
      "DTARRIVED\t10\t" + "Άφιξη"_gr,
      "DTRECEIVED\t10\t" + "Παραλαβή"_gr,
      "DTCLOSED\t10\t" + "Κλείσιμο"_gr,
      "COMM\t30\t" + "Σχόλια"_gr,
  };
  return columns;
}

RequisitionRegister::RequisitionRegister(RequisitionEditorOpener opener)
    : opener_(std::move(opener)), list_(data::NewQuery()) {
  list_->SetName("qDeltP");
  // No update table and no key: nothing typed into a cell is ever saved.
  list_->SetReadOnly(true);
  list_->AfterOpen = [this] {
    for (const char* name : {"VALTOT", "VALDELIV"}) {
      if (data::TField* f = list_->FindField(name)) f->SetDisplayFormat("#0.00");
    }
    list_->SetAllReadOnly("1");
  };
}

RequisitionRegister::~RequisitionRegister() { data::FreeQuery(list_); }

RegisterSearch RequisitionRegister::OpeningBoxes() {
  RegisterSearch boxes;
  boxes.orderer = CurrentUser();
  return boxes;
}

bool RequisitionRegister::OrdererEditable() { return IsSuperUser(); }

bool RequisitionRegister::Search(int positionId) {
  const RegisterSearch boxes = ReadBoxes ? ReadBoxes() : OpeningBoxes();
  lastSQL_ = RegisterSearchSQL(boxes);
  const bool hasRows = data::OpenSQL(*list_, lastSQL_);
  if (positionId > 0) list_->Locate("ID", base::Variant::Integer(positionId), 0);
  if (OnSearched) OnSearched(hasRows);
  return hasRows;
}

int RequisitionRegister::RowCount() { return list_->NonEmptyCount(); }

int RequisitionRegister::CurrentId() {
  if (!list_->Active() || data::DataSetIsEmpty(*list_)) return 0;
  return IntField(*list_, "ID");
}

void RequisitionRegister::NewRequisition() {
  // The editor checks that exactly one contract is open today; the one the
  // shell read at login is the same one, and no fixed contract is ever used.
  const int id = opener_ ? opener_(0, CurrentContract()) : 0;
  Search(id);
}

void RequisitionRegister::ChangeRequisition() {
  const int current = CurrentId();
  // Without a row there is nothing to change (an ID of 0 would start a new
  // requisition without a contract).
  if (current <= 0) return;
  const int id = opener_ ? opener_(current, std::string()) : current;
  Search(id);
}

void RequisitionRegister::DeleteRequisition() {
  const int id = CurrentId();
  if (id <= 0) return;
  const int state = IntField(*list_, "STATE");
  if (state != 0 && state != 1) {
    base::ShowMess("Δεν μπορεί να γίνει διαγραφή του δελτίου!"_gr);
    return;
  }
  if (!base::AskOK("Επιβεβαίωση Διαγραφής?"_gr)) return;
  const std::string n = std::to_string(id);
  data::ExecSQL("begin  delete from UP_DELTD where MID=" + n + "; delete from UP_DELT where ID=" + n +
                "; commit; end; ");
  Search(0);
}

void RequisitionRegister::DrawCell(const ui::RowValues& row, const data::TField& field, ui::CellStyle& style) {
  if (field.FieldName() != "STATE") return;
  const base::Variant v = row.Value("STATE");
  if (!base::VarHasValue(v)) return;
  Paint(style, StageColour(base::VarToIntZ(v)));
}

}  // namespace mero::printers
