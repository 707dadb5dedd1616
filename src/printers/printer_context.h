#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "base/date_time.h"

namespace mero::printers {

// Who is working, as the shell knows it after the login. The program
// installs the source; the printer windows only read it.
struct UserContext {
  std::string currentUser;      // the login name in lower case
  std::string currentContract;  // the contract open when the main window was shown; empty for none
};
using UserContextSource = std::function<UserContext()>;
// Installs the source (an empty one: no user, no contract).
void SetUserContextSource(UserContextSource source);

// The lower-case login name every comparison with USERPID, ORDERPID and
// TONER_UID uses.
std::string CurrentUser();
std::string CurrentContract();
// Asked from the server each time.
bool IsSuperUser();

// Parameters of UP_OVPARAMS through the table cache: PVALN (absent, empty or
// not a number: 0); PVALS, else PVALS2K.
int ParamInt(std::string_view key);
std::string ParamText(std::string_view key);
base::TDateTime ServerToday();

// A unit's figures under a contract; all 0 without a UORGN row.
struct UnitBudget {
  double Ordered = 0;   // VORD1
  double Limit = 0;     // VLIM1
  double Balance = 0;   // VYPOL1
  double Allotted = 0;  // VANAL
};
UnitBudget ReadUnitBudget(std::string_view unit, std::string_view contract);

// The condition on UDelivery that gives the delivery points of a unit's
// printers (without the placeholder "-").
std::string DeliveryPointCondition(std::string_view unit);
int CountDeliveryPoints(std::string_view unit);

// The unit lookup: the units whose toner responsible is the user (every unit
// taking orders for a super-user); empty when cancelled.
std::string ChooseUnit();
// The delivery point of a unit: none shows the message and stops the action
// (data::EAbort); one is taken without asking; else the lookup, empty when
// cancelled.
std::string ChooseDeliveryPoint(std::string_view unit);

// The head of every requirement query over UPV_CONS_REQ for contract S.
std::string RequirementSelect(int contract);
// With the contract of UP_CURRENT_SYMBID now.
std::string RequirementSelect();

}  // namespace mero::printers
