#include "server/access_guard.h"

#include <sqlite3.h>
#include <strings.h>

#include "server/database.h"
#include "server/prepared.h"
#include "server/toner_names.h"

namespace mero::server {
namespace {

enum Change : unsigned { kNone = 0, kInsert = 1, kUpdate = 2, kDelete = 4, kAll = 7 };

// Who may change which table over the link. A table that is not here (the
// users, DUAL, the server's MERO_ tables, SQLite's own) is never changed by a
// client's statement, only by the rules of the schema.
struct TableRule {
  const char* table;
  unsigned superUser;    // what a super-user may do
  unsigned responsible;  // what a toner responsible may do, on the rows below
  const char* columns;   // the one column a responsible may set; "" any
  // What every row a responsible writes must meet, checked as it is written:
  // NEW for an insert, OLD and NEW for an update, OLD for a delete.
  const char* onInsert;
  const char* onUpdate;
  const char* onDelete;
};

// The header's unit of a requisition line.
#define MERO_LINE_UNIT(row) "MERO_NAMES_USER((SELECT ORGID FROM UP_DELT WHERE ID = " row ".MID))"

constexpr TableRule kPolicy[] = {
    // Requisitions and their lines: of the units whose TONER_UID names him.
    {"UP_DELT", kAll, kAll, "", "MERO_NAMES_USER(NEW.ORGID)",
     "MERO_NAMES_USER(OLD.ORGID) AND MERO_NAMES_USER(NEW.ORGID)", "MERO_NAMES_USER(OLD.ORGID)"},
    {"UP_DELTD", kAll, kAll, "", MERO_LINE_UNIT("NEW"), MERO_LINE_UNIT("OLD") " AND " MERO_LINE_UNIT("NEW"),
     MERO_LINE_UNIT("OLD")},
    // The requisition counter, raised by one for each new requisition.
    {"UP_OVPARAMS", kAll, kUpdate, "PVALN", "",
     "OLD.PNM = 'DELT_COUNTER' AND NEW.PNM = 'DELT_COUNTER' AND NEW.PVALN IS OLD.PVALN + 1", ""},
    // "update UORGN set VYPOL1=0 …" refreshes a unit's figures (the schema
    // computes them whatever is written).
    {"UORGN", kAll, kUpdate, "VYPOL1", "", "MERO_NAMES_USER(OLD.ORGID) AND MERO_NAMES_USER(NEW.ORGID)", ""},
    // The catalogue, the contracts, the units and the rest of the domain.
    {"UP_SYMB", kAll, kNone, "", "", "", ""},
    {"UP_SYMBD", kAll, kNone, "", "", "", ""},
    {"UP_CONS", kAll, kNone, "", "", "", ""},
    {"UP_PR_MODELS", kAll, kNone, "", "", "", ""},
    {"UP_MODEL_CONS", kAll, kNone, "", "", "", ""},
    {"UP_PRINTERS", kAll, kNone, "", "", "", ""},
    {"UP_CONS_REQ", kAll, kNone, "", "", "", ""},
    {"UORG", kAll, kNone, "", "", "", ""},
    {"UDELIVERY", kAll, kNone, "", "", "", ""},
    {"UP_MANUF", kAll, kNone, "", "", "", ""},
    {"UP_BUILDINGS", kAll, kNone, "", "", "", ""},
    {"UP_SPICE", kAll, kNone, "", "", "", ""},
    // The institution's departments and the shell's small tables.
    {"DEPT", kAll, kNone, "", "", "", ""},
    {"QAPOL", kAll, kNone, "", "", "", ""},
    {"COOP", kAll, kNone, "", "", "", ""},
    {"STAFF", kAll, kNone, "", "", "", ""},
};

#undef MERO_LINE_UNIT

bool Is(const char* name, const char* expected) { return name != nullptr && strcasecmp(name, expected) == 0; }

const TableRule* RuleOf(const char* table) {
  for (const TableRule& r : kPolicy) {
    if (Is(table, r.table)) return &r;
  }
  return nullptr;
}

AccessGuard& Self(sqlite3_context* ctx) { return *static_cast<AccessGuard*>(sqlite3_user_data(ctx)); }

std::string TriggerName(const TableRule& rule, const char* verb) {
  return std::string("MERO_GUARD_") + rule.table + "_" + verb[0];
}

// The row checks of the policy as temporary triggers of one connection.
std::string RowCheckTriggers() {
  std::string sql;
  for (const TableRule& rule : kPolicy) {
    const struct {
      unsigned change;
      const char* verb;
      const char* condition;
    } checks[] = {
        {kInsert, "INSERT", rule.onInsert}, {kUpdate, "UPDATE", rule.onUpdate}, {kDelete, "DELETE", rule.onDelete}};
    for (const auto& c : checks) {
      if ((rule.responsible & c.change) == 0 || *c.condition == '\0') continue;
      // NOT IFNULL(…, 0): a condition that cannot be decided refuses. An
      // insert is checked after the row is in (and undone with it): with a
      // BEFORE INSERT trigger SQLite computes a key given as an expression
      // twice, and SEQ_UP_DELT.NextVal would skip a number.
      const char* when = c.change == kInsert ? " AFTER " : " BEFORE ";
      sql += "CREATE TEMP TRIGGER " + TriggerName(rule, c.verb) + when + c.verb + " ON main." + rule.table +
             " WHEN MERO_ROWS_CHECKED() AND NOT IFNULL((" + c.condition + "), 0) BEGIN SELECT RAISE(ABORT, '" +
             std::string(AccessGuard::kRefusal) + "'); END;\n";
    }
  }
  return sql;
}

}  // namespace

AccessGuard::AccessGuard(Database& db) : db_(db) {
  sqlite3* h = db_.Handle();
  sqlite3_create_function(h, "MERO_ROWS_CHECKED", 0, SQLITE_UTF8, this, &AccessGuard::RowsChecked, nullptr, nullptr);
  sqlite3_create_function(h, "MERO_NAMES_USER", 1, SQLITE_UTF8, this, &AccessGuard::NamesUser, nullptr, nullptr);
  db_.Exec(RowCheckTriggers());
  sqlite3_set_authorizer(h, &AccessGuard::Authorize, this);
}

AccessGuard::~AccessGuard() {
  sqlite3* h = db_.Handle();
  sqlite3_set_authorizer(h, nullptr, nullptr);
  // The triggers call back into this guard: they go with it.
  for (const TableRule& rule : kPolicy) {
    for (const char* verb : {"INSERT", "UPDATE", "DELETE"}) {
      const std::string drop = "DROP TRIGGER IF EXISTS temp." + TriggerName(rule, verb);
      sqlite3_exec(h, drop.c_str(), nullptr, nullptr, nullptr);
    }
  }
}

void AccessGuard::SetUser(const std::string& login, bool superUser) {
  user_ = login;
  if (superUser) {
    role_ = AccessRole::SuperUser;
    return;
  }
  role_ = AccessRole::Reader;
  Prepared units(db_.Handle(), "SELECT TONER_UID FROM UORG WHERE TONER_UID IS NOT NULL");
  while (units.Step()) {
    if (TonerUidNamesUser(units.Text(0), login)) {
      role_ = AccessRole::Responsible;
      return;
    }
  }
}

bool AccessGuard::UnitNamesUser(std::string_view unit) const {
  Prepared q(db_.Handle(), "SELECT TONER_UID FROM UORG WHERE ID = ?1");
  q.Bind(1, unit);
  return q.Step() && TonerUidNamesUser(q.Text(0), user_);
}

int AccessGuard::Authorize(void* self, int action, const char* a, const char* b, const char*, const char* inner) {
  const auto* guard = static_cast<const AccessGuard*>(self);
  if (!guard->checking_) return SQLITE_OK;
  return guard->Decide(action, a, b, inner);
}

int AccessGuard::Decide(int action, const char* a, const char* b, const char* inner) const {
  switch (action) {
    case SQLITE_SELECT:
    case SQLITE_RECURSIVE:
      return SQLITE_OK;
    case SQLITE_READ:
      return Is(a, "USRLU") && Is(b, "PASSWORD_HASH") ? SQLITE_IGNORE : SQLITE_OK;
    case SQLITE_FUNCTION:
      // A sequence number is drawn only to create a requisition.
      return role_ == AccessRole::Reader && Is(b, "MERO_NEXTVAL") ? SQLITE_DENY : SQLITE_OK;
    case SQLITE_INSERT:
    case SQLITE_UPDATE:
    case SQLITE_DELETE: {
      // Writes of the schema's own triggers are its rules.
      if (inner != nullptr) return SQLITE_OK;
      const TableRule* rule = RuleOf(a);
      if (rule == nullptr) return SQLITE_DENY;
      const unsigned change = action == SQLITE_INSERT ? kInsert : action == SQLITE_UPDATE ? kUpdate : kDelete;
      switch (role_) {
        case AccessRole::SuperUser:
          return (rule->superUser & change) != 0 ? SQLITE_OK : SQLITE_DENY;
        case AccessRole::Responsible:
          if ((rule->responsible & change) == 0) return SQLITE_DENY;
          if (change == kUpdate && *rule->columns != '\0' && !Is(b, rule->columns)) return SQLITE_DENY;
          return SQLITE_OK;
        case AccessRole::Reader:
          return SQLITE_DENY;
      }
      return SQLITE_DENY;
    }
    default:
      // Schema changes, pragmas, attached files, transaction control.
      return SQLITE_DENY;
  }
}

void AccessGuard::RowsChecked(sqlite3_context* ctx, int, sqlite3_value**) {
  sqlite3_result_int(ctx, Self(ctx).role_ == AccessRole::Responsible ? 1 : 0);
}

void AccessGuard::NamesUser(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const AccessGuard& self = Self(ctx);
  bool names = self.role_ == AccessRole::SuperUser;
  if (self.role_ == AccessRole::Responsible && sqlite3_value_type(argv[0]) != SQLITE_NULL) {
    try {
      const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
      names = self.UnitNamesUser(std::string_view(text, static_cast<std::size_t>(sqlite3_value_bytes(argv[0]))));
    } catch (const std::exception& e) {
      sqlite3_result_error(ctx, e.what(), -1);
      return;
    }
  }
  sqlite3_result_int(ctx, names ? 1 : 0);
}

}  // namespace mero::server
