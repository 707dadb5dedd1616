#include "printers/printers_list.h"

#include <utility>

#include "base/encoding.h"
#include "base/text_routines.h"
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

void SetFormat(data::TKZLINK& q, const char* name, const char* format) {
  if (data::TField* f = q.FindField(name)) f->SetDisplayFormat(format);
}

}  // namespace

const std::vector<std::string>& PrintersList::PrinterColumns() {
  static const std::vector<std::string> columns = {
      "ID\t6\tID",
      "MANSNAME\t9\t" + "Κατασκ"_gr,
      "FULLNAME\t20\t" + "Μοντέλο"_gr,
      "SN\t18\tSN",
      "USERPID\t10\t" + "Χρήστης"_gr,
      "BUILDINGID\t5\t" + "Κτ"_gr,
      "B_DESCR\t20\t" + "Κτίριο"_gr,
      "OFFICE\t30\t" + "Γραφείο/Αίθουσα"_gr,
      "ORGID\t9\t" + "Κωδ.Τμ"_gr,
      "NAME\t20\t" + "Τμήμα"_gr,
      "MODELID\t8\tMODELID",
  };
  return columns;
}

const std::vector<std::string>& PrintersList::RequirementColumns() {
  static const std::vector<std::string> columns = {
      "ID\t5\tID",
      "MF\t3\t" + "Κατ"_gr,
      "CODE\t20\t" + "Αναλώσιμο"_gr,
      "QTY\t5\tQty",
      "CLC_Q3\t5\t" + "QΧρησ"_gr,
      "CLC_YPOL\t5\t" + "Υπολ"_gr,
      "CTYPE\t8\t" + "Τύπος"_gr,
      "COL\t3\t" + "Χρ"_gr,
      "CID\t5\tCID",
      "S_UP\t10\t" + "Τμή Μον"_gr,
      "S_GEN\t1\t" + "Γν"_gr,
      "CLC_Q2\t5\tQ2",
      "CLC_Q4\t5\tQ4",
  };
  return columns;
}

PrintersList::PrintersList(std::string user, std::string orderer)
    : user_(std::move(user)),
      orderer_(std::move(orderer)),
      printers_(data::NewQuery()),
      requirements_(data::NewQuery()) {
  printers_->SetName("qPrinters");
  printers_->SetReadOnly(true);
  requirements_->SetName("qConsReq");
  requirements_->SetReadOnly(true);
  printers_->AfterScroll = [this] { OpenRequirements(); };
  requirements_->AfterOpen = [this] {
    SetFormat(*requirements_, "S_UP", "#.#0");
    for (const char* q : {"QTY", "CLC_Q2", "CLC_Q3", "CLC_Q4", "CLC_YPOL"}) SetFormat(*requirements_, q, "#0");
  };
}

PrintersList::~PrintersList() {
  printers_->AfterScroll = nullptr;
  data::FreeQuery(requirements_);
  data::FreeQuery(printers_);
}

std::vector<std::string> PrintersList::UnitItems() const {
  std::vector<std::string> items;
  if (!ByUnit()) return items;
  data::SelectPairs(
      items, "select ID,ID||'-'||NAME from UORG where Toner_UID like " + base::QuotedStr("%" + CurrentUser() + "%"),
      false);
  return items;
}

std::string PrintersList::PrinterSQL(const std::string& unit) const {
  std::string sql = "select  * from UPV_PRINTERS where 1=1 ";
  if (ByUnit()) {
    sql = data::AndCondition(
        sql, unit.empty() ? std::string("(1=2)") : data::SearchCondition(unit, "orgID", data::skText, false));
  }
  sql = data::AndCondition(sql, data::SearchCondition(user_, "userPID", data::skText, false));
  sql = data::AndCondition(sql, data::SearchCondition(orderer_, "orderPID", data::skText, false));
  return sql + " order by ID";
}

void PrintersList::RunQuery(const std::string& unit) { data::OpenSQL(*printers_, PrinterSQL(unit)); }

int PrintersList::PrinterCount() { return printers_->NonEmptyCount(); }

std::string PrintersList::RequirementSQL(const std::string& printerId) {
  return RequirementSelect() + " and PRID=" + base::QuotedStr(printerId) + " order by ID";
}

void PrintersList::OpenRequirements() {
  if (!printers_->Active() || data::DataSetIsEmpty(*printers_)) {
    requirements_->Close();
    return;
  }
  data::OpenSQL(*requirements_, RequirementSQL(data::FieldStr(*printers_, "ID")));
}

CellColour PrintersList::RequirementColour(const std::string& field, double value) {
  return RequirementBrush(field, base::Variant::Double(value));
}

void PrintersList::DrawRequirementCell(const ui::RowValues& row, const data::TField& field, ui::CellStyle& style) {
  const std::string& name = field.FieldName();
  if (name != "CLC_Q3" && name != "CLC_YPOL") return;
  Paint(style, RequirementBrush(name, row.Value(name)));
}

}  // namespace mero::printers
