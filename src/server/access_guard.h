#pragma once

#include <string>
#include <string_view>

struct sqlite3_context;
struct sqlite3_value;

namespace mero::server {

class Database;

// What the logged-in user of a session may do with the data, settled at login
// from the user table and the units.
enum class AccessRole {
  Reader,       // reads everything, changes nothing
  Responsible,  // toner responsible: the requisitions of the units that name him
  SuperUser,    // changes every table of the domain
};

// The server's guard over what a session's user may change. Reading stays
// open to everyone (except password hashes, which read as NULL); changes
// follow one policy table (access_guard.cpp, written down in
// docs/server-rules.md):
// - a super-user changes every table of the domain and the shell's own
//   (departments and the like);
// - a toner responsible creates, changes and deletes requisitions and their
//   lines of the units whose TONER_UID names him, raises the requisition
//   counter by one and refreshes the budget rows of those units; the stage
//   rules of the schema hold for him as for everyone;
// - everybody else changes nothing, and draws no sequence number;
// - the users, their passwords and the server's own tables are never changed,
//   and no statement may change the schema, attach files, set pragmas or
//   control transactions itself.
// A refusal is "ORA-01031: insufficient privileges" and undoes only the
// statement (a block, as always, is one statement).
//
// The checks happen at two depths. While the engine prepares a client's
// statement (Checking), SQLite's authorizer sees every table, column and
// function the statement itself names and refuses what the role may never
// do; writes made by the schema's own triggers are the database's rules and
// pass. Which rows a responsible touches is only known when they are
// written: temporary triggers of the session's connection check each row of
// the tables he may change. Statements stay prepared in the engine's cache,
// so a session's role is fixed between logins (RequestHandler starts a new
// engine when a login changes it).
class AccessGuard {
 public:
  // Installs the authorizer and the row checks on the connection, with the
  // role Reader until SetUser. db must outlive the guard.
  explicit AccessGuard(Database& db);
  ~AccessGuard();
  AccessGuard(const AccessGuard&) = delete;
  AccessGuard& operator=(const AccessGuard&) = delete;

  // The logged-in user (as USRLU holds the name) and his role.
  void SetUser(const std::string& login, bool superUser);
  AccessRole Role() const { return role_; }
  const std::string& User() const { return user_; }

  // Checks what is prepared while it lives: only the client's statements,
  // never the engine's own transaction control or the server functions'
  // statements.
  class Checking {
   public:
    explicit Checking(AccessGuard* guard) : guard_(guard) {
      if (guard_ != nullptr) guard_->checking_ = true;
    }
    ~Checking() {
      if (guard_ != nullptr) guard_->checking_ = false;
    }
    Checking(const Checking&) = delete;
    Checking& operator=(const Checking&) = delete;

   private:
    AccessGuard* guard_;
  };

  // The refusal's text.
  static constexpr std::string_view kRefusal = "ORA-01031: insufficient privileges";

 private:
  static int Authorize(void* self, int action, const char* a, const char* b, const char* db, const char* inner);
  static void RowsChecked(sqlite3_context* ctx, int argc, sqlite3_value** argv);
  static void NamesUser(sqlite3_context* ctx, int argc, sqlite3_value** argv);
  int Decide(int action, const char* a, const char* b, const char* inner) const;
  bool UnitNamesUser(std::string_view unit) const;

  Database& db_;
  std::string user_;
  AccessRole role_ = AccessRole::Reader;
  bool checking_ = false;
};

}  // namespace mero::server
