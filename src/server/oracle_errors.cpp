#include "server/oracle_errors.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "server/catalog.h"
#include "server/prepared.h"

namespace mero::server {
namespace {

constexpr const char* kSchema = "NQ";

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

std::vector<std::string> Column(sqlite3* db, const std::string& sql, int column) {
  std::vector<std::string> out;
  if (db == nullptr) return out;
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) return out;
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    const auto* t = sqlite3_column_text(stmt, column);
    out.emplace_back(t != nullptr ? reinterpret_cast<const char*>(t) : "");
  }
  sqlite3_finalize(stmt);
  return out;
}

// A read-only connection of its own to the failing connection's file, for
// the names of indexes and foreign keys: asking on the failing connection
// would overwrite its error code, which its caller may still read. A
// database without a file gives no names (the texts then use generic ones).
class SchemaReader {
 public:
  explicit SchemaReader(sqlite3* db) {
    const char* file = db != nullptr ? sqlite3_db_filename(db, "main") : nullptr;
    if (file == nullptr || *file == '\0') return;
    if (sqlite3_open_v2(file, &side_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
      sqlite3_close(side_);
      side_ = nullptr;
    }
  }
  ~SchemaReader() { sqlite3_close(side_); }
  SchemaReader(const SchemaReader&) = delete;
  SchemaReader& operator=(const SchemaReader&) = delete;

  sqlite3* get() const { return side_; }

 private:
  sqlite3* side_ = nullptr;
};

// What the failing statement does and to which table, read from its first
// words: INSERT INTO t, UPDATE t, DELETE FROM t.
struct StatementHead {
  std::string verb;
  std::string table;
};

StatementHead HeadOf(std::string_view sql) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < sql.size() && words.size() < 3) {
    while (i < sql.size() && (sql[i] == ' ' || sql[i] == '\t' || sql[i] == '\r' || sql[i] == '\n')) ++i;
    std::size_t start = i;
    if (i < sql.size() && sql[i] == '"') {
      const std::size_t close = sql.find('"', i + 1);
      if (close == std::string_view::npos) break;
      words.emplace_back(sql.substr(i + 1, close - i - 1));
      i = close + 1;
      continue;
    }
    while (i < sql.size() && sql[i] != ' ' && sql[i] != '(' && sql[i] != '\t' && sql[i] != '\r' && sql[i] != '\n') {
      ++i;
    }
    if (i == start) break;
    words.push_back(UpperName(sql.substr(start, i - start)));
  }
  StatementHead head;
  if (words.empty()) return head;
  head.verb = words[0];
  if ((head.verb == "INSERT" || head.verb == "DELETE") && words.size() > 2) head.table = UpperName(words[2]);
  if (head.verb == "UPDATE" && words.size() > 1) head.table = UpperName(words[1]);
  return head;
}

// "T.C1, T.C2" after the prefix of a constraint message.
void SplitColumns(std::string_view list, std::string& table, std::vector<std::string>& columns) {
  std::size_t i = 0;
  while (i < list.size()) {
    std::size_t end = list.find(", ", i);
    if (end == std::string_view::npos) end = list.size();
    const std::string_view item = list.substr(i, end - i);
    const std::size_t dot = item.find('.');
    if (dot != std::string_view::npos) {
      table = UpperName(item.substr(0, dot));
      columns.push_back(UpperName(item.substr(dot + 1)));
    } else {
      columns.push_back(UpperName(item));
    }
    i = end + 2;
  }
}

std::string UniqueIndexName(sqlite3* failing, int rc, const std::string& table, std::vector<std::string> columns) {
  std::sort(columns.begin(), columns.end());
  const SchemaReader reader(failing);
  sqlite3* db = reader.get();
  sqlite3_stmt* stmt = nullptr;
  const std::string list = "PRAGMA index_list(" + QuoteIdentifier(table) + ")";
  std::string found;
  if (db != nullptr && sqlite3_prepare_v2(db, list.c_str(), -1, &stmt, nullptr) == SQLITE_OK) {
    while (found.empty() && sqlite3_step(stmt) == SQLITE_ROW) {
      if (sqlite3_column_int(stmt, 2) == 0) continue;
      const std::string name = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1));
      const std::string origin = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 3));
      std::vector<std::string> indexed;
      for (const std::string& c : Column(db, "PRAGMA index_info(" + QuoteIdentifier(name) + ")", 2)) {
        indexed.push_back(UpperName(c));
      }
      std::sort(indexed.begin(), indexed.end());
      if (indexed != columns) continue;
      found = origin == "pk" ? "PK_" + table : origin == "u" ? "UK_" + table : UpperName(name);
    }
    sqlite3_finalize(stmt);
  }
  if (!found.empty()) return found;
  return rc == SQLITE_CONSTRAINT_PRIMARYKEY ? "PK_" + table : "UK_" + table;
}

std::vector<std::string> ParentsOf(sqlite3* db, const std::string& table) {
  std::vector<std::string> parents;
  for (std::string& p : Column(db, "PRAGMA foreign_key_list(" + QuoteIdentifier(table) + ")", 2)) {
    p = UpperName(p);
    if (std::find(parents.begin(), parents.end(), p) == parents.end()) parents.push_back(p);
  }
  return parents;
}

std::string ForeignKeyText(sqlite3* failing, std::string_view sql) {
  const SchemaReader reader(failing);
  sqlite3* db = reader.get();
  const StatementHead head = HeadOf(sql);
  const std::vector<std::string> parents = head.table.empty() ? std::vector<std::string>() : ParentsOf(db, head.table);
  const bool childSide = head.verb == "INSERT" || (head.verb == "UPDATE" && !parents.empty());
  if (childSide) {
    const std::string name = parents.size() == 1 ? "FK_" + head.table + "_" + parents[0] : "FK_" + head.table;
    return "ORA-02291: integrity constraint (" + std::string(kSchema) + "." + name +
           ") violated - parent key not found";
  }
  std::string child;
  for (const std::string& t : Column(db, "SELECT name FROM sqlite_schema WHERE type = 'table' ORDER BY name", 0)) {
    const std::vector<std::string> p = ParentsOf(db, t);
    if (std::find(p.begin(), p.end(), head.table) != p.end()) {
      child = UpperName(t);
      break;
    }
  }
  const std::string name = child.empty() ? "FK_" + head.table : "FK_" + child + "_" + head.table;
  return "ORA-02292: integrity constraint (" + std::string(kSchema) + "." + name + ") violated - child record found";
}

std::string ConstraintText(sqlite3* db, int rc, const std::string& message, std::string_view sql) {
  switch (rc) {
    case SQLITE_CONSTRAINT_UNIQUE:
    case SQLITE_CONSTRAINT_PRIMARYKEY:
    case SQLITE_CONSTRAINT_ROWID: {
      std::string table;
      std::vector<std::string> columns;
      const std::size_t colon = message.find(": ");
      if (colon != std::string::npos) SplitColumns(std::string_view(message).substr(colon + 2), table, columns);
      if (table.empty()) table = HeadOf(sql).table;
      return "ORA-00001: unique constraint (" + std::string(kSchema) + "." + UniqueIndexName(db, rc, table, columns) +
             ") violated";
    }
    case SQLITE_CONSTRAINT_NOTNULL: {
      std::string table;
      std::vector<std::string> columns;
      const std::size_t colon = message.find(": ");
      if (colon != std::string::npos) SplitColumns(std::string_view(message).substr(colon + 2), table, columns);
      const std::string target = "(\"" + std::string(kSchema) + "\".\"" + table + "\".\"" +
                                 (columns.empty() ? std::string() : columns[0]) + "\")";
      if (HeadOf(sql).verb == "UPDATE") return "ORA-01407: cannot update " + target + " to NULL";
      return "ORA-01400: cannot insert NULL into " + target;
    }
    case SQLITE_CONSTRAINT_FOREIGNKEY:
      return ForeignKeyText(db, sql);
    case SQLITE_CONSTRAINT_CHECK: {
      const std::size_t colon = message.find(": ");
      const std::string name = colon != std::string::npos ? UpperName(message.substr(colon + 2)) : std::string();
      return "ORA-02290: check constraint (" + std::string(kSchema) + "." + name + ") violated";
    }
    case SQLITE_CONSTRAINT_TRIGGER:
      return "ORA-20000: " + message;
    default:
      return "ORA-00600: internal error code, arguments: [" + message + "]";
  }
}

// "X" or "T"."C" in ORA-00904's form.
std::string IdentifierList(std::string_view name) {
  std::string out;
  std::size_t i = 0;
  while (i <= name.size()) {
    std::size_t dot = name.find('.', i);
    if (dot == std::string_view::npos) dot = name.size();
    if (!out.empty()) out += '.';
    out += "\"" + UpperName(name.substr(i, dot - i)) + "\"";
    i = dot + 1;
  }
  return out;
}

std::string ErrorText(const std::string& message) {
  const std::string_view m = message;
  auto after = [&](std::string_view prefix) { return m.substr(prefix.size()); };
  if (StartsWith(m, "no such table: ")) return "ORA-00942: table or view does not exist";
  if (StartsWith(m, "not authorized")) return "ORA-01031: insufficient privileges";
  if (StartsWith(m, "no such column: "))
    return "ORA-00904: " + IdentifierList(after("no such column: ")) + ": invalid identifier";
  if (StartsWith(m, "no such function: ")) {
    return "ORA-00904: " + IdentifierList(after("no such function: ")) + ": invalid identifier";
  }
  if (StartsWith(m, "table ") && m.find(" has no column named ") != std::string_view::npos) {
    const std::string_view column = m.substr(m.find(" has no column named ") + 21);
    return "ORA-00904: " + IdentifierList(column) + ": invalid identifier";
  }
  if (StartsWith(m, "ambiguous column name")) return "ORA-00918: column ambiguously defined";
  if (StartsWith(m, "wrong number of arguments to function")) return "ORA-00909: invalid number of arguments";
  if (StartsWith(m, "misuse of aggregate")) return "ORA-00934: group function is not allowed here";
  if (m.find("syntax error") != std::string_view::npos || StartsWith(m, "incomplete input")) {
    return "ORA-00933: SQL command not properly ended";
  }
  if (StartsWith(m, "cannot modify ") && m.find("because it is a view") != std::string_view::npos) {
    return "ORA-01732: data manipulation operation not legal on this view";
  }
  if (m.find(" values for ") != std::string_view::npos && m.find(" columns") != std::string_view::npos) {
    const long values = std::strtol(message.c_str(), nullptr, 10);
    const long columns = std::strtol(message.c_str() + message.find(" values for ") + 12, nullptr, 10);
    return values > columns ? "ORA-00913: too many values" : "ORA-00947: not enough values";
  }
  if (StartsWith(m, "sub-select returns")) return "ORA-00913: too many values";
  if (m.find("do not have the same number of result columns") != std::string_view::npos) {
    return "ORA-01789: query block has incorrect number of result columns";
  }
  if (StartsWith(m, "interrupted")) return "ORA-01013: user requested cancel of current operation";
  return "ORA-00600: internal error code, arguments: [" + message + "]";
}

}  // namespace

std::string OracleErrorText(sqlite3* db, int rc, std::string_view sql) {
  const std::string message = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  // Trigger refusals (RAISE(ABORT, 'ORA-20…')) and the dialect functions
  // speak Oracle already.
  if (StartsWith(message, "ORA-")) return message;
  switch (rc & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return "ORA-00054: resource busy and acquire with NOWAIT specified or timeout expired";
    case SQLITE_CONSTRAINT:
      return ConstraintText(db, rc == SQLITE_CONSTRAINT && db != nullptr ? sqlite3_extended_errcode(db) : rc, message,
                            sql);
    case SQLITE_MISMATCH:
      return "ORA-01722: invalid number";
    case SQLITE_AUTH:
      return "ORA-01031: insufficient privileges";
    case SQLITE_READONLY:
      return "ORA-16000: database open for read-only access";
    case SQLITE_INTERRUPT:
      return "ORA-01013: user requested cancel of current operation";
    case SQLITE_TOOBIG:
      return "ORA-01489: result of string concatenation is too long";
    case SQLITE_ERROR:
      return ErrorText(message);
    default:
      return "ORA-00600: internal error code, arguments: [" + message + "]";
  }
}

}  // namespace mero::server
