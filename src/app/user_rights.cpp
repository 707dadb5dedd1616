#include "app/user_rights.h"

#include <algorithm>

#include "app/connection_context.h"
#include "base/messages.h"
#include "base/text_routines.h"
#include "data/database_error.h"
#include "data/remote/application_dataset.h"
#include "data/remote/query_utils.h"
#include "link/client/client_socket.h"

namespace mero::app {

UserRightsContext& UserCtx() {
  static UserRightsContext context;
  return context;
}

void ResetUserRights() { UserCtx() = UserRightsContext{}; }

void ReadUserRights(data::TKZLINK& query) {
  link::TLinkClientSocket* socket = query.LinkClientSocket();
  for (int i = 0; i < 11; ++i) {
    WaitWithMessages(0.5);
    if (socket != nullptr && socket->Active()) break;
  }
  query.Close();
  query.SetSQL({"select DEPTID,CANU,OTHER_DEPTS from USRLU where USRID=" +
                base::QuotedStr(socket != nullptr ? socket->UserName() : std::string())});
  UserRightsContext& u = UserCtx();
  u.UserDept.clear();
  u.UserRights.clear();
  u.OtherDepts.clear();
  if (data::OpenQuery(query)) {
    u.UserDept = query.FieldByName("DEPTID").AsString();
    u.UserRights = query.FieldByName("CANU").AsString();
    u.OtherDepts = base::StrTrim(query.FieldByName("OTHER_DEPTS").AsString());
  }
  if (u.UserDept == "-") u.UserDept.clear();
  BuildDeptList();
}

void BuildDeptList() {
  UserRightsContext& u = UserCtx();
  std::string s = !base::StrTrim(u.UserDept).empty() ? u.UserDept + ";" + u.OtherDepts : u.OtherDepts;
  s = base::RemoveTrailing(s, ";");
  base::SplitToList(s, ";", u.UserDeptList, true);
  if (!u.UserDeptList.empty()) u.DefaultDept = u.UserDeptList.front();
  std::sort(u.UserDeptList.begin(), u.UserDeptList.end());
}

bool LacksRight(int n) {
  const std::string& rights = UserCtx().UserRights;
  return n < 1 || static_cast<std::size_t>(n) > rights.size() || rights[static_cast<std::size_t>(n) - 1] != '1';
}

bool CheckRight(int n) {
  if (LacksRight(n)) {
    base::ShowMessNo(23);
    throw data::EAbort();
  }
  return true;
}

}  // namespace mero::app
