#include "printers/delivery_points_register.h"

#include "base/encoding.h"
#include "base/text_routines.h"
#include "data/search_condition.h"

namespace mero::printers {

using namespace base::literals;

DeliveryPointsRegister::DeliveryPointsRegister() : ReferenceList("QDelP", "Σημεία Παράδοσης"_gr) {
  AddBox({"edFilter", "Περιγραφή:"_gr, {}, {}, false, 20});
  SetLayout({
      LayoutColumn("ID", 3, "Κωδ"_gr),
      LayoutColumn("NAME", 40, "Περιγραφή"_gr),
      LayoutColumn("ADDR1", 25, "Διεύθυνση"_gr),
      LayoutColumn("TK", 8, "TK"),
      LayoutColumn("CITY", 16, "Πόλη"_gr),
      LayoutColumn("TEL", 16, "Τηλ"_gr),
  });
}

std::string DeliveryPointsRegister::SearchSQL(const ListInput& input) const {
  std::string sql = "select * from UDELIVERY where 1=1 and (id<>'-') ";
  // The box finds a point by its description, in either case, with the
  // search grammar of every other box.
  sql = data::AndCondition(
      sql, data::SearchCondition(base::UpperStr(input.Text(kFilter)), "UPPER(NAME)", data::skText, false));
  return sql + " order by ID";
}

}  // namespace mero::printers
