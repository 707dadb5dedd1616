#include "server/prepared.h"

#include "server/database.h"
#include "server/oracle_errors.h"

namespace mero::server {

Prepared::Prepared(sqlite3* db, std::string_view sql) : db_(db), sql_(sql) {
  Check(sqlite3_prepare_v2(db_, sql_.c_str(), static_cast<int>(sql_.size()), &stmt_, nullptr));
}

void Prepared::Check(int rc) const {
  if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE) throw SqlError(OracleErrorText(db_, rc, sql_));
}

Prepared& Prepared::Bind(int index, std::int64_t value) {
  Check(sqlite3_bind_int64(stmt_, index, value));
  return *this;
}

Prepared& Prepared::Bind(int index, double value) {
  Check(sqlite3_bind_double(stmt_, index, value));
  return *this;
}

Prepared& Prepared::Bind(int index, std::string_view utf8) {
  Check(sqlite3_bind_text(stmt_, index, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT));
  return *this;
}

Prepared& Prepared::BindNull(int index) {
  Check(sqlite3_bind_null(stmt_, index));
  return *this;
}

Prepared& Prepared::BindValue(int index, sqlite3_value* value) {
  Check(sqlite3_bind_value(stmt_, index, value));
  return *this;
}

bool Prepared::Step() {
  const int rc = sqlite3_step(stmt_);
  Check(rc);
  return rc == SQLITE_ROW;
}

void Prepared::Run() {
  while (Step()) {
  }
}

std::string Prepared::Text(int column) const {
  const auto* text = sqlite3_column_text(stmt_, column);
  if (text == nullptr) return {};
  return std::string(reinterpret_cast<const char*>(text),
                     static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)));
}

std::optional<std::string> Prepared::OptText(int column) const {
  if (IsNull(column)) return std::nullopt;
  return Text(column);
}

std::string QuoteIdentifier(std::string_view name) {
  std::string out = "\"";
  for (char c : name) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
  return out;
}

}  // namespace mero::server
