#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/date_time.h"

namespace mero::server {

class Database;

// The embedded scripts CreateSchema runs, in this order.
const std::vector<std::string_view>& SchemaScripts();

// Creates every table, view and trigger and the first rows (DUAL, the
// placeholder delivery point, the sequence, the parameter keys) on an empty
// database, in one transaction. Raises SqlError when the database already
// holds objects or a script fails (nothing is left half made).
void CreateSchema(Database& db);

// A user of the demo database; texts are UTF-8.
struct DemoUser {
  std::string usrid;  // login name in capitals
  std::string password;
  bool superUser = false;
  std::string deptId;
  std::string rights;  // USRLU.CANU
  std::string otherDepts;
  std::string fullName;
};

// ADMIN (super-user), MARIA (toner responsible for two units) and NIKOS (a
// printer user responsible for none); each one's password is the name in
// small letters.
const std::vector<DemoUser>& DemoUsers();

// Fills a freshly created database with the demo data, dates relative to
// today, and the demo users with hashed passwords, in one transaction. The
// connection needs RegisterServerFunctions (the audit triggers call them).
void LoadDemoData(Database& db, base::TDateTime today);

// Marks a finalised requisition as sent on day (the dispatch done outside the
// client); the database moves it to stage 4. Raises SqlError when there is no
// such requisition, when it was already sent, or when the stage rules refuse.
void DispatchRequisition(Database& db, std::int64_t id, base::TDateTime day);

}  // namespace mero::server
