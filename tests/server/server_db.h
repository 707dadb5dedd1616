#pragma once

// A server database in a temporary folder: a real SQLite file with the server
// functions registered and, unless asked otherwise, the schema created.

#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <string>

#include "server/database.h"
#include "server/prepared.h"
#include "server/schema.h"
#include "server/server_functions.h"
#include "server/session_vars.h"
#include "support/temp_dir.h"

namespace mero::test {

class ServerDb {
 public:
  enum class Schema { Create, None };

  explicit ServerDb(Schema schema = Schema::Create) : db_(dir_.File("mero.db"), server::Database::Mode::Create) {
    server::RegisterServerFunctions(db_, vars_);
    if (schema == Schema::Create) server::CreateSchema(db_);
  }

  server::Database& db() { return db_; }
  server::SessionVars& vars() { return vars_; }
  std::string Path() const { return dir_.File("mero.db"); }

  void Exec(const std::string& sql) { db_.Exec(sql); }

  // The first column of the first row; NULL reads as nullopt.
  std::optional<std::int64_t> OptInt(const std::string& sql) {
    server::Prepared q(db_.Handle(), sql);
    if (!q.Step() || q.IsNull(0)) return std::nullopt;
    return q.Int(0);
  }
  std::int64_t Int(const std::string& sql) { return OptInt(sql).value_or(-999999); }
  double Double(const std::string& sql) {
    server::Prepared q(db_.Handle(), sql);
    return q.Step() ? q.Double(0) : -999999.0;
  }
  std::optional<std::string> Text(const std::string& sql) {
    server::Prepared q(db_.Handle(), sql);
    if (!q.Step()) return std::nullopt;
    return q.OptText(0);
  }

  // The error text of running sql, or "<no error>".
  std::string ErrorOf(const std::string& sql) {
    try {
      db_.Exec(sql);
    } catch (const server::SqlError& e) {
      return e.what();
    }
    return "<no error>";
  }
  // SQLite's extended result code of the last failure on the connection.
  int LastErrorCode() const { return sqlite3_extended_errcode(db_.Handle()); }

 private:
  TempDir dir_;
  server::SessionVars vars_;
  server::Database db_;
};

}  // namespace mero::test
