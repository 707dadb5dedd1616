#include "printers/printer_context.h"

#include <string>
#include <utility>

#include "base/encoding.h"
#include "base/message_seam.h"
#include "base/text_routines.h"
#include "data/database_error.h"
#include "data/remote/application_dataset.h"
#include "data/remote/query_utils.h"
#include "data/remote/table_cache.h"
#include "ui/lookup_logic.h"

namespace mero::printers {

using namespace base::literals;

namespace {

UserContextSource& Source() {
  static UserContextSource source;
  return source;
}

UserContext Context() { return Source() ? Source()() : UserContext{}; }

std::string Quoted(std::string_view s) { return base::QuotedStr(s); }

double FieldNumber(data::TKZLINK& q, const char* name) {
  const data::TField* f = q.FindField(name);
  return f == nullptr || f->IsNull() ? 0.0 : f->AsFloat();
}

}  // namespace

void SetUserContextSource(UserContextSource source) { Source() = std::move(source); }

std::string CurrentUser() { return Context().currentUser; }
std::string CurrentContract() { return Context().currentContract; }

bool IsSuperUser() {
  return data::SelectInt("select F_UP_IS_SUPERUSER(" + Quoted(CurrentUser()) + ") from DUAL") == 1;
}

int ParamInt(std::string_view key) {
  data::TAMemCol* cache = data::MemCol();
  return cache == nullptr ? 0 : cache->CachedLookupInt("UP_OVPARAMS", key, "PVALN");
}

std::string ParamText(std::string_view key) {
  data::TAMemCol* cache = data::MemCol();
  if (cache == nullptr) return {};
  std::string text = cache->CachedLookup("UP_OVPARAMS", key, "PVALS");
  if (text.empty()) text = cache->CachedLookup("UP_OVPARAMS", key, "PVALS2K");
  return text;
}

base::TDateTime ServerToday() { return data::SelectDate("select TRUNC(sysdate) from dual"); }

UnitBudget ReadUnitBudget(std::string_view unit, std::string_view contract) {
  auto q = data::NewQuery();
  UnitBudget b;
  if (data::OpenSQL(*q, "select * from UORGN where ORGID=" + Quoted(unit) + " and SID=" + Quoted(contract))) {
    b.Ordered = FieldNumber(*q, "VORD1");
    b.Limit = FieldNumber(*q, "VLIM1");
    b.Balance = FieldNumber(*q, "VYPOL1");
    b.Allotted = FieldNumber(*q, "VANAL");
  }
  data::FreeQuery(q);
  return b;
}

std::string DeliveryPointCondition(std::string_view unit) {
  return " ID in (select delpID from UPV_Printers where ORGID=" + Quoted(unit) + ") and (id<>'-') ";
}

int CountDeliveryPoints(std::string_view unit) {
  return data::SelectInt("select count(*) from UDelivery where " + DeliveryPointCondition(unit));
}

std::string ChooseUnit() {
  const std::string filter = IsSuperUser() ? " (TON=1) " : " (toner_uid=" + Quoted(CurrentUser()) + ") and (TON=1) ";
  return ui::ChooseWithLookup("ID", "UORG", "", "ID;Name;LOCID;AD_GROUP", "ID", "Τμήμα/Διεύθυνση"_gr, filter);
}

std::string ChooseDeliveryPoint(std::string_view unit) {
  const int n = CountDeliveryPoints(unit);
  if (n <= 0) {
    base::ShowMess("Δεν υπάρχουν σημεία παράδοσης για τους εκτυπωτές που διαχειρίζεστε!"_gr);
    throw data::EAbort();
  }
  if (n == 1) return data::SelectStr("select ID from UDelivery where " + DeliveryPointCondition(unit));
  return ui::ChooseWithLookup("ID", "UDELIVERY", "", "ID;NAME;ADDR1", "ID", "Σημείο Παράδοσης"_gr,
                              DeliveryPointCondition(unit));
}

std::string RequirementSelect(int contract) {
  const std::string s = std::to_string(contract);
  return "select   F_UP_REQ_Q(1," + s + ", CID,PRID) CLC_Q1, " + " F_UP_REQ_Q(2," + s + ", CID,PRID) CLC_Q2, " +
         " F_UP_REQ_Q(3," + s + ", CID,PRID) CLC_Q3, " + " F_UP_REQ_Q(4," + s + ", CID,PRID) CLC_Q4, " +
         " (v.QTY-F_UP_REQ_Q(3," + s + ", CID,PRID)) CLC_YPOL, " + " v.* from UPV_CONS_REQ v where 1=1 ";
}

std::string RequirementSelect() { return RequirementSelect(ParamInt("UP_CURRENT_SYMBID")); }

}  // namespace mero::printers
