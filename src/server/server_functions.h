#pragma once

namespace mero::server {

class Database;
struct SessionVars;

// Registers on db the SQL functions the schema and the client rely on:
//   MERO_NEXTVAL(name)     the next value of a sequence of MERO_SEQUENCES
//   MERO_USRID(), MERO_USRIP()  the session's P1.USRID / P1.USRIP, NULL when unset
//   MERO_NOW()             the clock's date-time number (audit time)
//   F_UP_IS_SUPERUSER(user)  1 for a super-user, else 0
//   F_UP_ALLOW_DELTIO(user)  NULL when the user may order, else the reason
//   F_UP_REQ_Q(kind, contract, cid, prid)  requisitioned quantities, kinds 1-4;
//                          its select is prepared once per connection and
//                          finalized when db closes
// vars must outlive the connection. The audit triggers call MERO_USRID,
// MERO_USRIP and MERO_NOW, so the domain tables can be changed only on a
// connection with these functions.
void RegisterServerFunctions(Database& db, SessionVars& vars);

}  // namespace mero::server
