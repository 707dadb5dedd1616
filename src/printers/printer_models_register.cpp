#include "printers/printer_models_register.h"

#include "base/encoding.h"
#include "base/text_routines.h"
#include "data/search_condition.h"

namespace mero::printers {

using namespace base::literals;

PrinterModelsRegister::PrinterModelsRegister() : ReferenceList("QPrModels", "Μοντέλα Εκτυπωτών"_gr) {
  AddBox({"edDescr", "Περιγραφή:"_gr, {}, {}, false, 18});
  AddBox({"edMaker", "Κατασκ:"_gr, {}, {}, false, 10});
  AddBox({"edKind", "Τύπος:"_gr, "I / L", {}, false, 4});
  SetLayout({
      LayoutColumn("ID", 8, "ID"),
      LayoutColumn("MANID", 3, "Man"),
      LayoutColumn("SNAME", 12, "Κατασκευαστής"_gr),
      LayoutColumn("FULLNAME", 30, "Περιγραφή Μοντέλλου"_gr),
      LayoutColumn("IL", 2, "IL"),
      LayoutColumn("COL", 2, "Χρ"_gr),
      LayoutColumn("PR_CNT", 5, "ΑρΕκτ"_gr),
      LayoutColumn("CONS_NT", 4, "ΑρΑν"_gr),
  });
}

std::string PrinterModelsRegister::SearchSQL(const ListInput& input) const {
  std::string sql = "select * from UPV_PR_MODELS v where 1=1 ";
  sql = data::AndCondition(
      sql, data::SearchCondition(base::UpperStr(input.Text(kDescription)), "UPPER(v.FULLNAME)", data::skText, false));
  sql = data::AndCondition(
      sql, data::SearchCondition(base::UpperStr(input.Text(kMaker)), "UPPER(v.SNAME)", data::skText, false));
  // "Τύπος:" is the kind of printer, I (inkjet) or L (laser).
  sql = data::AndCondition(
      sql, data::SearchCondition(base::UpperStr(input.Text(kKind)), "UPPER(v.IL)", data::skText, false));
  return sql + " order by SNAME, FullName";
}

}  // namespace mero::printers
