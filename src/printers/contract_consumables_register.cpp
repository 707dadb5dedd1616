#include "printers/contract_consumables_register.h"

#include "base/encoding.h"
#include "base/text_routines.h"
#include "base/variant_routines.h"
#include "data/search_condition.h"
#include "printers/printer_context.h"
#include "ui/dataset_table_model.h"

namespace mero::printers {

using namespace base::literals;

CellColour ContractColourLetter(std::string_view letter) {
  if (letter == "C") return kAqua;
  if (letter == "M") return kFuchsia;
  if (letter == "Y") return kYellow;
  if (letter == "K") return kGrey;
  return std::nullopt;
}

CellColour ContractConsumableKind(std::string_view ctype) {
  if (ctype == "Toner") return kGrey;
  if (ctype == "Ink") return kYellow;
  return std::nullopt;
}

ContractConsumablesRegister::ContractConsumablesRegister() : ReferenceList("QSymbD", "Αναλώσιμα Σύμβασης"_gr) {
  AddBox({"edDescr", "Περιγραφή(Σ):"_gr, {}, {}, false, 18});
  AddBox({"edMaker", "Κατασκ:"_gr, {}, {}, false, 10});
  AddBox({"edKind", "Τύπος:"_gr, {}, {}, false, 8});
  SetLayout({
      LayoutColumn("ITEMAA", 4, "AA"),
      LayoutColumn("CID", 5, "CID"),
      LayoutColumn("MAN_SNAME", 10, "Κατασκ"_gr),
      LayoutColumn("CODE", 22, "Αναλώσιμο Σύμβασης"_gr),
      LayoutColumn("UP", 10, "Τιμή Συμβ"_gr),
      LayoutColumn("QSUG", 6, "Q(Σ)"_gr),
      LayoutColumn("GEN", 4, "Γν(Σ)"_gr),
      LayoutColumn("C_CODE", 25, "Περιγραφή Αναλωσίμου"_gr),
      LayoutColumn("C_CTYPE", 8, "Τύπος(Σ)"_gr),
      LayoutColumn("C_COL", 5, "Χρώμα"_gr),
      LayoutColumn("C_PAGECNT", 8, "Αρ.Σελ"_gr),
      LayoutColumn("C_GEN", 2, "Γν"_gr),
  });
  SetFormat("C_PAGECNT", "#,#0");
}

std::string ContractConsumablesRegister::SearchSQL(const ListInput& input) const {
  std::string sql = "select * from UPV_SYMBD v where 1=1 and v.MID=" + std::to_string(ParamInt("UP_CURRENT_SYMBID"));
  const struct {
    Box box;
    const char* column;
  } conditions[] = {
      {kDescription, "UPPER(v.Code)"},
      {kMaker, "UPPER(v.MAN_SNAME)"},
      {kKind, "UPPER(v.C_CTYPE)"},
  };
  for (const auto& c : conditions)
    sql = data::AndCondition(sql,
                             data::SearchCondition(base::UpperStr(input.Text(c.box)), c.column, data::skText, false));
  return sql + " order by ItemAA";
}

CellColour ContractConsumablesRegister::Colour(const ui::RowValues& row, const std::string& field) const {
  if (field == "C_COL") return ContractColourLetter(base::VarToStrZ(row.Value("C_COL")));
  if (field == "C_CTYPE") return ContractConsumableKind(base::VarToStrZ(row.Value("C_CTYPE")));
  return std::nullopt;
}

}  // namespace mero::printers
