#include "printers/requirement_view.h"

#include "base/encoding.h"
#include "base/variant_routines.h"
#include "data/search_condition.h"
#include "printers/printer_context.h"
#include "ui/dataset_table_model.h"

namespace mero::printers {

using namespace base::literals;

RequirementView::RequirementView(const std::string& unit, const std::string& printer, const std::string& consumable)
    : ReferenceList("QConsReq", "Αναλώσιμα"_gr) {
  AddBox({"edOrgID", {}, "OrgID", unit, true, 11});
  AddBox({"edPrinterID", {}, "PrinterID", printer, true, 7});
  AddBox({"edCID", {}, "CID", consumable, true, 6});
  SetLayout({
      LayoutColumn("ORGID", 10, "Τμήμα"_gr),
      LayoutColumn("PRID", 6, "PRID"),
      LayoutColumn("MODELID", 8, "ModelID"),
      LayoutColumn("MAN_SNAME", 10, "Κατασκ"_gr),
      LayoutColumn("FULLNAME", 18, "Μοντέλο"_gr),
      LayoutColumn("SN", 16, "SN"),
      LayoutColumn("CID", 5, "CID"),
      LayoutColumn("CODE", 20, "Αναλώσιμο"_gr),
      LayoutColumn("QTY", 5, "Qty"),
      LayoutColumn("CLC_Q3", 5, "QΧρησ"_gr),
      LayoutColumn("CLC_YPOL", 5, "Υπολ"_gr),
      LayoutColumn("CTYPE", 8, "Τύπος"_gr),
      LayoutColumn("COL", 3, "Χρ"_gr),
      LayoutColumn("S_UP", 8, "Τμή Μον"_gr),
      LayoutColumn("S_GEN", 1, "Γν"_gr),
      LayoutColumn("BID", 6, "BID"),
  });
  SetFormat("CLC_Q3", "#0");
  SetFormat("CLC_YPOL", "#0");
  SetFormat("S_UP", "#.#0");
}

std::string RequirementView::SearchSQL(const ListInput& input) const {
  std::string sql = RequirementSelect(ParamInt("UP_CURRENT_SYMBID"));
  sql = data::AndCondition(sql, data::SearchCondition(input.Text(kUnit), "v.orgID", data::skText, false));
  sql = data::AndCondition(sql, data::SearchCondition(input.Text(kPrinter), "v.prID", data::skText, false));
  sql = data::AndCondition(sql, data::SearchCondition(input.Text(kConsumable), "v.CID", data::skInteger, false));
  return sql + " order by ID";
}

CellColour RequirementView::Colour(const ui::RowValues& row, const std::string& field) const {
  return RequirementBrush(field, row.Value(field));
}

}  // namespace mero::printers
