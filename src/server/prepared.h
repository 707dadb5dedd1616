#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mero::server {

// One prepared statement of SQLite's own dialect, finalised on destruction.
// Failures raise SqlError through the connection's Oracle text.
class Prepared {
 public:
  Prepared(sqlite3* db, std::string_view sql);
  ~Prepared() { sqlite3_finalize(stmt_); }
  Prepared(const Prepared&) = delete;
  Prepared& operator=(const Prepared&) = delete;

  Prepared& Bind(int index, std::int64_t value);
  Prepared& Bind(int index, double value);
  Prepared& Bind(int index, std::string_view utf8);
  Prepared& BindNull(int index);
  Prepared& BindValue(int index, sqlite3_value* value);

  // Steps once: true while a row is available, false when done.
  bool Step();
  // Steps to the end, for statements without rows.
  void Run();

  std::int64_t Int(int column) const { return sqlite3_column_int64(stmt_, column); }
  double Double(int column) const { return sqlite3_column_double(stmt_, column); }
  bool IsNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }
  // UTF-8 text of the column; empty for NULL.
  std::string Text(int column) const;
  std::optional<std::string> OptText(int column) const;

  sqlite3_stmt* Handle() const { return stmt_; }

 private:
  void Check(int rc) const;

  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
  std::string sql_;
};

// A name between double quotes, inner quotes doubled, for SQLite's PRAGMAs.
std::string QuoteIdentifier(std::string_view name);

}  // namespace mero::server
