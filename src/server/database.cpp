#include "server/database.h"

#include <sqlite3.h>

#include <utility>

#include "server/oracle_errors.h"

namespace mero::server {

Database::Database(const std::string& path, Mode mode, int busyTimeoutMs) : path_(path) {
  const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (mode == Mode::Create ? SQLITE_OPEN_CREATE : 0);
  const int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
  if (rc != SQLITE_OK) {
    const std::string text = db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory";
    sqlite3_close(db_);
    db_ = nullptr;
    throw SqlError("ORA-12154: cannot open the database " + path + ": " + text);
  }
  sqlite3_extended_result_codes(db_, 1);
  sqlite3_busy_timeout(db_, busyTimeoutMs);
  Exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA foreign_keys=ON;");
}

Database::~Database() { sqlite3_close_v2(db_); }

Database::Database(Database&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)), path_(std::move(other.path_)) {}

Database& Database::operator=(Database&& other) noexcept {
  if (this != &other) {
    sqlite3_close_v2(db_);
    db_ = std::exchange(other.db_, nullptr);
    path_ = std::move(other.path_);
  }
  return *this;
}

void Database::Exec(std::string_view sql) {
  const std::string text(sql);
  const int rc = sqlite3_exec(db_, text.c_str(), nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) throw SqlError(OracleErrorText(db_, rc, text));
}

}  // namespace mero::server
