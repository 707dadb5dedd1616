#include "server/schema.h"

#include <sqlite3.h>

#include <cmath>
#include <exception>
#include <string>

#include "base/text_routines.h"
#include "server/database.h"
#include "server/embedded.h"
#include "server/passwords.h"
#include "server/prepared.h"

namespace mero::server {
namespace {

std::string_view Script(std::string_view name) {
  const std::string_view text = embedded::File(name);
  if (text.empty())
    throw SqlError("ORA-00600: internal error code, arguments: [missing script " + std::string(name) + "]");
  return text;
}

void RollbackQuietly(Database& db) { sqlite3_exec(db.Handle(), "ROLLBACK", nullptr, nullptr, nullptr); }

// Empty texts are stored as NULL, as Oracle would.
void BindOptional(Prepared& statement, int index, std::string_view text) {
  if (text.empty()) {
    statement.BindNull(index);
  } else {
    statement.Bind(index, text);
  }
}

void InsertDemoUsers(Database& db) {
  Prepared insert(db.Handle(),
                  "INSERT INTO USRLU (USRID, DEPTID, CANU, OTHER_DEPTS, PASSWORD_HASH, IS_SUPERUSER, FULLNAME)"
                  " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
  for (const DemoUser& user : DemoUsers()) {
    insert.Bind(1, user.usrid);
    BindOptional(insert, 2, user.deptId);
    BindOptional(insert, 3, user.rights);
    BindOptional(insert, 4, user.otherDepts);
    insert.Bind(5, HashPassword(user.password));
    insert.Bind(6, std::int64_t{user.superUser ? 1 : 0});
    BindOptional(insert, 7, user.fullName);
    insert.Run();
    sqlite3_reset(insert.Handle());
  }
}

}  // namespace

const std::vector<std::string_view>& SchemaScripts() {
  static const std::vector<std::string_view> kScripts = {"10_tables.sql", "20_views.sql", "30_triggers.sql",
                                                         "40_base_rows.sql", "50_audit.sql"};
  return kScripts;
}

void CreateSchema(Database& db) {
  {
    Prepared objects(db.Handle(), "SELECT count(*) FROM sqlite_master");
    objects.Step();
    if (objects.Int(0) != 0) {
      throw SqlError("ORA-00955: name is already used by an existing object (the database already has a schema)");
    }
  }
  db.Exec("BEGIN IMMEDIATE");
  try {
    for (std::string_view name : SchemaScripts()) db.Exec(Script(name));
    db.Exec("COMMIT");
  } catch (...) {
    RollbackQuietly(db);
    throw;
  }
}

const std::vector<DemoUser>& DemoUsers() {
  static const std::vector<DemoUser> kUsers = {
      {"ADMIN", "admin", true, "D01", "1111111111", "D02;D03;D04", "Διαχειριστής Εφαρμογής"},
      {"MARIA", "maria", false, "-", "1101", "D04;D02;", "Μαρία Παπαδοπούλου"},
      {"NIKOS", "nikos", false, "D03", "0100", "", "Νικόλαος Αντωνίου"},
  };
  return kUsers;
}

void LoadDemoData(Database& db, base::TDateTime today) {
  const std::string day = std::to_string(static_cast<long long>(std::floor(today)));
  const std::string script = base::ReplaceAll(Script("90_demo.sql"), "@TODAY@", day);
  db.Exec("BEGIN IMMEDIATE");
  try {
    db.Exec(script);
    InsertDemoUsers(db);
    db.Exec("COMMIT");
  } catch (...) {
    RollbackQuietly(db);
    throw;
  }
}

void DispatchRequisition(Database& db, std::int64_t id, base::TDateTime day) {
  {
    Prepared find(db.Handle(), "SELECT DTSENT FROM UP_DELT WHERE ID = ?1");
    find.Bind(1, id);
    if (!find.Step()) {
      throw SqlError("ORA-20019: Δεν υπάρχει δελτίο με ID " + std::to_string(id));
    }
    if (!find.IsNull(0)) {
      throw SqlError("ORA-20020: Το δελτίο με ID " + std::to_string(id) + " έχει ήδη αποσταλεί");
    }
  }
  Prepared send(db.Handle(), "UPDATE UP_DELT SET DTSENT = ?2 WHERE ID = ?1");
  send.Bind(1, id).Bind(2, std::trunc(day));
  send.Run();
}

}  // namespace mero::server
