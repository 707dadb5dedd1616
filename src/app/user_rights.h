#pragma once

#include <string>
#include <vector>

namespace mero::data {
class TKZLINK;
}

namespace mero::app {

// What the logged-in user may do and for which departments, read once after
// the login. Texts are windows-1253.
struct UserRightsContext {
  std::string UserDept;    // USRLU.DEPTID; empty when stored as "-"
  std::string UserRights;  // USRLU.CANU: one character per right, "1" granted
  std::string OtherDepts;  // USRLU.OTHER_DEPTS trimmed: "D1;D2;"
  std::vector<std::string> UserDeptList;  // every department the user acts for, sorted
  std::string DefaultDept;                // the first of them before sorting
  std::string CurrentContract;            // the supply contract open today
};

UserRightsContext& UserCtx();
// Back to the load-time values (ResetClientState).
void ResetUserRights();

// Reads DEPTID, CANU and OTHER_DEPTS of the socket's user from USRLU on the
// query (the connection module's LWQ) and builds the department list. It
// first waits (up to 11 times 0.5) for the socket to be active. A user
// without a USRLU row gets everything empty.
void ReadUserRights(data::TKZLINK& query);
// UserDeptList and DefaultDept from UserDept and OtherDepts.
void BuildDeptList();
// The n-th right (1-based) is not granted: its character is not "1" or the
// rights string is shorter than n.
bool LacksRight(int n);
// True when the right is granted; otherwise message 23 and the silent abort
// of the operation in progress (data::EAbort).
bool CheckRight(int n);

}  // namespace mero::app
