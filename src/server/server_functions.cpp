#include "server/server_functions.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/clock.h"
#include "base/encoding.h"
#include "base/text_routines.h"
#include "server/database.h"
#include "server/oracle_errors.h"
#include "server/prepared.h"
#include "server/session_vars.h"
#include "server/toner_names.h"

namespace mero::server {
namespace {

// Reasons F_UP_ALLOW_DELTIO gives, shown to the user as they are.
constexpr std::string_view kUnknownUser = "Ο χρήστης δεν είναι καταχωρημένος στην εφαρμογή.";
constexpr std::string_view kNoContract = "Δεν υπάρχει ανοιχτή σύμβαση για παραγγελία αναλωσίμων σήμερα.";
constexpr std::string_view kManyContracts =
    "Υπάρχουν περισσότερες από μία ανοιχτές συμβάσεις για παραγγελία αναλωσίμων σήμερα.";
constexpr std::string_view kNoOrderingUnit = "Δεν υπάρχει μονάδα που να δέχεται παραγγελίες toner.";
constexpr std::string_view kNotResponsible = "Δεν είστε υπεύθυνος toner σε μονάδα που δέχεται παραγγελίες.";

std::string TextArg(sqlite3_value* value) {
  const auto* text = sqlite3_value_text(value);
  if (text == nullptr) return {};
  return std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(sqlite3_value_bytes(value)));
}

void ResultText(sqlite3_context* ctx, std::string_view text) {
  sqlite3_result_text(ctx, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

// A quantity as a whole number when it is one, so that result columns stay
// integers.
void ResultNumber(sqlite3_context* ctx, double value) {
  if (std::nearbyint(value) == value && std::fabs(value) < 9.0e15) {
    sqlite3_result_int64(ctx, static_cast<std::int64_t>(value));
  } else {
    sqlite3_result_double(ctx, value);
  }
}

// Runs body and turns a failure into the function's SQL error.
template <typename Body>
void Guarded(sqlite3_context* ctx, Body body) {
  try {
    body();
  } catch (const std::exception& e) {
    sqlite3_result_error(ctx, e.what(), -1);
  } catch (...) {
    sqlite3_result_error(ctx, "ORA-00600: internal error code, arguments: [server function]", -1);
  }
}

SessionVars& Vars(sqlite3_context* ctx) { return *static_cast<SessionVars*>(sqlite3_user_data(ctx)); }

// Where MERO_NEXTVAL draws its values. A select outside a transaction reads
// a snapshot taken when it started; another session may have drawn since, and
// SQLite refuses to turn a stale snapshot into a write. So such a draw is
// made, and committed on its own as Oracle's sequences are, through a second
// connection. Inside a transaction the draw is part of it, on the session's
// own connection (a second connection would wait for the session's lock).
struct SequenceSource {
  std::unique_ptr<Database> side;

  sqlite3* For(sqlite3* db) {
    if (sqlite3_get_autocommit(db) == 0 || sqlite3_txn_state(db, "main") != SQLITE_TXN_READ) return db;
    const char* file = sqlite3_db_filename(db, "main");
    if (file == nullptr || *file == '\0') return db;
    if (!side) side = std::make_unique<Database>(file, Database::Mode::Existing);
    return side->Handle();
  }
};

void DestroySequenceSource(void* source) { delete static_cast<SequenceSource*>(source); }

void NextVal(sqlite3_context* ctx, int, sqlite3_value** argv) {
  Guarded(ctx, [&] {
    const std::string name = UpperLogin(TextArg(argv[0]));
    auto* source = static_cast<SequenceSource*>(sqlite3_user_data(ctx));
    Prepared next(source->For(sqlite3_context_db_handle(ctx)),
                  "UPDATE MERO_SEQUENCES SET LAST_VALUE = LAST_VALUE + 1 WHERE NAME = ?1 RETURNING LAST_VALUE");
    next.Bind(1, name);
    if (!next.Step()) {
      sqlite3_result_error(ctx, "ORA-02289: sequence does not exist", -1);
      return;
    }
    const std::int64_t value = next.Int(0);
    next.Run();
    sqlite3_result_int64(ctx, value);
  });
}

void ResultOptional(sqlite3_context* ctx, const std::optional<std::string>& value) {
  // Oracle has no empty text: an empty variable reads as NULL.
  if (!value || value->empty()) {
    sqlite3_result_null(ctx);
  } else {
    ResultText(ctx, *value);
  }
}

void UsrId(sqlite3_context* ctx, int, sqlite3_value**) { ResultOptional(ctx, Vars(ctx).usrid); }

void UsrIp(sqlite3_context* ctx, int, sqlite3_value**) { ResultOptional(ctx, Vars(ctx).usrip); }

void NowFn(sqlite3_context* ctx, int, sqlite3_value**) { sqlite3_result_double(ctx, base::Now()); }

struct UserRow {
  bool found = false;
  bool superUser = false;
};

UserRow FindUser(sqlite3* db, sqlite3_value* name) {
  UserRow row;
  if (sqlite3_value_type(name) == SQLITE_NULL) return row;
  const std::string upper = UpperLogin(TextArg(name));
  if (upper.empty()) return row;
  Prepared find(db, "SELECT IS_SUPERUSER FROM USRLU WHERE USRID = ?1");
  find.Bind(1, upper);
  if (find.Step()) {
    row.found = true;
    row.superUser = find.Int(0) == 1;
  }
  return row;
}

void IsSuperUser(sqlite3_context* ctx, int, sqlite3_value** argv) {
  Guarded(ctx, [&] { sqlite3_result_int(ctx, FindUser(sqlite3_context_db_handle(ctx), argv[0]).superUser ? 1 : 0); });
}

void AllowDeltio(sqlite3_context* ctx, int, sqlite3_value** argv) {
  Guarded(ctx, [&] {
    sqlite3* db = sqlite3_context_db_handle(ctx);
    const UserRow user = FindUser(db, argv[0]);
    if (!user.found) return ResultText(ctx, kUnknownUser);

    Prepared open(db, "SELECT count(*) FROM UP_SYMB WHERE ?1 BETWEEN DTFMLIM AND DTTOLIM");
    open.Bind(1, base::Today());
    open.Step();
    const std::int64_t contracts = open.Int(0);
    if (contracts == 0) return ResultText(ctx, kNoContract);
    if (contracts > 1) return ResultText(ctx, kManyContracts);

    const std::string name = TextArg(argv[0]);
    Prepared units(db, "SELECT TONER_UID FROM UORG WHERE TON = 1");
    bool anyUnit = false;
    while (units.Step()) {
      anyUnit = true;
      if (user.superUser) break;
      if (!units.IsNull(0) && TonerUidNamesUser(units.Text(0), name)) return sqlite3_result_null(ctx);
    }
    if (!anyUnit) return ResultText(ctx, kNoOrderingUnit);
    if (user.superUser) return sqlite3_result_null(ctx);
    ResultText(ctx, kNotResponsible);
  });
}

constexpr const char* kReqQSums =
    "SELECT total(CASE WHEN d.STATE = 1 THEN l.QTY END),"
    "       total(CASE WHEN d.STATE BETWEEN 2 AND 8"
    "                  THEN max(coalesce(l.QTY, 0) - coalesce(l.QTYDEL, 0), 0) END),"
    "       total(CASE WHEN d.STATE BETWEEN 2 AND 9 THEN l.QTYDEL END)"
    "  FROM UP_DELTD l JOIN UP_DELT d ON d.ID = l.MID"
    " WHERE l.PRID = ?3 AND l.CID = ?2 AND d.SID = ?1";

struct ReqQSums {
  double drafts = 0;
  double outstanding = 0;
  double delivered = 0;
};

// The select behind F_UP_REQ_Q, prepared at the connection's first call and
// kept until the connection closes: a requirement list calls the function
// five times per row, and preparing the join each time cost more than
// running it. SQLite prepares it again by itself after a schema change.
class ReqQStatement {
 public:
  explicit ReqQStatement(sqlite3* db) : db_(db) {}
  ~ReqQStatement() { Finalize(); }
  ReqQStatement(const ReqQStatement&) = delete;
  ReqQStatement& operator=(const ReqQStatement&) = delete;

  // Before the connection closes (it does not close while a statement lives).
  void Finalize() {
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    closed_ = true;
  }

  ReqQSums Sums(sqlite3_value* contract, sqlite3_value* cid, sqlite3_value* prid) {
    // Kept from the first call on; a call while the kept one is running (it
    // never calls the function itself) or after the close step prepares
    // its own.
    if (stmt_ == nullptr && !closed_) stmt_ = Prepare();
    if (stmt_ == nullptr || sqlite3_stmt_busy(stmt_) != 0) {
      sqlite3_stmt* own = Prepare();
      const auto finalize = [own] { sqlite3_finalize(own); };
      return Run(own, contract, cid, prid, finalize);
    }
    sqlite3_stmt* kept = stmt_;
    const auto reset = [kept] {
      sqlite3_reset(kept);
      sqlite3_clear_bindings(kept);
    };
    return Run(kept, contract, cid, prid, reset);
  }

 private:
  sqlite3_stmt* Prepare() const {
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare_v3(db_, kReqQSums, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    if (rc != SQLITE_OK) {
      sqlite3_finalize(stmt);
      throw SqlError(OracleErrorText(db_, rc, kReqQSums));
    }
    return stmt;
  }

  void Check(int rc) const {
    if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE) throw SqlError(OracleErrorText(db_, rc, kReqQSums));
  }

  // Binds, steps once and reads the sums; done runs on every way out, so a
  // kept statement is always reset and holds no read lock between calls.
  template <typename Done>
  ReqQSums Run(sqlite3_stmt* stmt, sqlite3_value* contract, sqlite3_value* cid, sqlite3_value* prid, Done done) {
    struct Finally {
      Done& d;
      ~Finally() { d(); }
    } finally{done};
    Check(sqlite3_bind_value(stmt, 1, contract));
    Check(sqlite3_bind_value(stmt, 2, cid));
    Check(sqlite3_bind_value(stmt, 3, prid));
    const int rc = sqlite3_step(stmt);
    Check(rc);
    ReqQSums sums;
    if (rc == SQLITE_ROW) {
      sums.drafts = sqlite3_column_double(stmt, 0);
      sums.outstanding = sqlite3_column_double(stmt, 1);
      sums.delivered = sqlite3_column_double(stmt, 2);
    }
    return sums;
  }

  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
  bool closed_ = false;
};

using ReqQHolder = std::shared_ptr<ReqQStatement>;

void DestroyReqQ(void* holder) { delete static_cast<ReqQHolder*>(holder); }

// Quantities of requisition lines for one printer and consumable under one
// contract, valid requisitions only (void ones are stage 0):
//   1 in drafts (stage 1);
//   2 ordered and still outstanding: QTY - QTYDEL (not below 0) in stages 2-8;
//   4 delivered: QTYDEL in stages 2-9;
//   3 counted against the requirement: kind 2 + kind 4.
void ReqQ(sqlite3_context* ctx, int, sqlite3_value** argv) {
  Guarded(ctx, [&] {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    const std::int64_t kind = sqlite3_value_int64(argv[0]);
    if (kind < 1 || kind > 4) {
      const std::string text = "ORA-20031: F_UP_REQ_Q: άγνωστο είδος ποσότητας " + std::to_string(kind) + " (1 έως 4)";
      return sqlite3_result_error(ctx, text.c_str(), -1);
    }
    for (int i = 1; i < 4; ++i) {
      if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return sqlite3_result_int(ctx, 0);
    }
    ReqQStatement& statement = **static_cast<ReqQHolder*>(sqlite3_user_data(ctx));
    const ReqQSums sums = statement.Sums(argv[1], argv[2], argv[3]);
    switch (kind) {
      case 1:
        return ResultNumber(ctx, sums.drafts);
      case 2:
        return ResultNumber(ctx, sums.outstanding);
      case 3:
        return ResultNumber(ctx, sums.outstanding + sums.delivered);
      default:
        return ResultNumber(ctx, sums.delivered);
    }
  });
}

using Callback = void (*)(sqlite3_context*, int, sqlite3_value**);

// data is the function's user data; destroy, when given, frees it when the
// connection closes (SQLite calls it also when registration fails).
void Register(Database& db, const char* name, int args, int flags, Callback fn, void* data,
              void (*destroy)(void*) = nullptr) {
  const int rc =
      sqlite3_create_function_v2(db.Handle(), name, args, SQLITE_UTF8 | flags, data, fn, nullptr, nullptr, destroy);
  if (rc != SQLITE_OK) throw SqlError(OracleErrorText(db.Handle(), rc, name));
}

}  // namespace

void RegisterServerFunctions(Database& db, SessionVars& vars) {
  // Functions the schema's triggers call are innocuous, so that they work even
  // where untrusted schema functions are switched off; the sequence, which
  // writes, may be called only directly.
  Register(db, "MERO_NEXTVAL", 1, SQLITE_DIRECTONLY, NextVal, new SequenceSource, DestroySequenceSource);
  Register(db, "MERO_USRID", 0, SQLITE_INNOCUOUS, UsrId, &vars);
  Register(db, "MERO_USRIP", 0, SQLITE_INNOCUOUS, UsrIp, &vars);
  Register(db, "MERO_NOW", 0, SQLITE_INNOCUOUS, NowFn, &vars);
  Register(db, "F_UP_IS_SUPERUSER", 1, 0, IsSuperUser, &vars);
  Register(db, "F_UP_ALLOW_DELTIO", 1, 0, AllowDeltio, &vars);
  auto reqQ = std::make_shared<ReqQStatement>(db.Handle());
  db.AtClose([reqQ] { reqQ->Finalize(); });
  Register(db, "F_UP_REQ_Q", 4, 0, ReqQ, new ReqQHolder(reqQ), DestroyReqQ);
}

}  // namespace mero::server
