#include "printers/units_register.h"

#include "base/encoding.h"
#include "data/search_condition.h"

namespace mero::printers {

using namespace base::literals;

UnitsRegister::UnitsRegister() : ReferenceList("QUOrg", "Μονάδες"_gr) {
  AddBox({"edFilter", "Κωδικός:"_gr, {}, {}, false, 14});
  SetCheck({"cbToner", "Μόνο Toner"_gr, true});
  SetLayout({
      LayoutColumn("ID", 11, "Κωδικός"_gr),
      LayoutColumn("NAME", 40, "Ονομασία"_gr),
      LayoutColumn("LEVEL1", 2, "Επ"_gr),
      LayoutColumn("PROIST_UID", 14, "Προϊστάμενος"_gr),
      LayoutColumn("TEL1", 15, "Τηλ"_gr),
      LayoutColumn("EMAIL", 16, "EMAIL"),
      LayoutColumn("TONER_UID", 16, "Υπευθ.Toner"_gr),
  });
}

std::string UnitsRegister::SearchSQL(const ListInput& input) const {
  std::string sql = "select * from UORG where 1=1";
  sql = data::AndCondition(sql, data::SearchCondition(input.Text(kFilter), "ID", data::skText, false));
  if (input.checked) sql = data::AndCondition(sql, "(TONER_UID is not NULL)");
  return sql + " order by ID";
}

}  // namespace mero::printers
