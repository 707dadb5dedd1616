#pragma once

#include <string>
#include <string_view>

namespace mero::server {

// A login name as USRLU holds it: trimmed, in capitals (Greek letters too).
std::string UpperLogin(std::string_view utf8);

// Whether a unit's TONER_UID names the user as its toner responsible: the
// whole field is the login name, without regard to case. A list such as
// "eleni;kostas" names nobody for ordering, as the unit choice of the
// requisition editor (toner_uid = the login) and F_UP_ALLOW_Deltio see it;
// only the printers window, which merely shows printers, looks for a part.
bool TonerUidNamesUser(std::string_view tonerUid, std::string_view login);

}  // namespace mero::server
