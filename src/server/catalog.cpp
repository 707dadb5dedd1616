#include "server/catalog.h"

#include <sqlite3.h>

#include <cstdlib>

#include "link/codec/field_type.h"
#include "server/database.h"
#include "server/oracle_errors.h"
#include "server/prepared.h"

namespace mero::server {
namespace {

// Reads "(a[,b])" after a type word; missing numbers stay -1.
void ReadPrecision(std::string_view rest, int& a, int& b) {
  a = b = -1;
  const std::size_t open = rest.find('(');
  if (open == std::string_view::npos) return;
  const char* p = rest.data() + open + 1;
  const char* end = rest.data() + rest.size();
  auto readInt = [&](int& out) {
    while (p < end && *p == ' ') ++p;
    if (p < end && *p >= '0' && *p <= '9') {
      long v = 0;
      while (p < end && *p >= '0' && *p <= '9' && v < 1000000) v = v * 10 + (*p++ - '0');
      out = static_cast<int>(v);
    }
    while (p < end && *p == ' ') ++p;
  };
  readInt(a);
  if (p < end && *p == ',') {
    ++p;
    readInt(b);
  }
}

}  // namespace

std::string UpperName(std::string_view name) {
  std::string out(name);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return out;
}

OracleType OracleType::FromDeclared(std::string_view declared) {
  const std::string d = UpperName(declared);
  std::size_t w = 0;
  while (w < d.size() && d[w] == ' ') ++w;
  std::size_t e = w;
  while (e < d.size() && ((d[e] >= 'A' && d[e] <= 'Z') || (d[e] >= '0' && d[e] <= '9') || d[e] == '_')) ++e;
  const std::string word = d.substr(w, e - w);
  const std::string_view rest = std::string_view(d).substr(e);
  int a = -1;
  int b = -1;
  ReadPrecision(rest, a, b);
  if (word == "INTEGER" || word == "INT" || word == "SMALLINT" || word == "BIGINT") return Of(Integer);
  if (word == "NUMBER" || word == "NUMERIC" || word == "DECIMAL") {
    return a > 0 && b <= 0 ? Of(Integer) : Of(Number);
  }
  if (word == "FLOAT" || word == "REAL" || word == "DOUBLE" || word == "BINARY_DOUBLE") return Of(Number);
  if (word == "DATE" || word == "DATETIME" || word == "TIMESTAMP") return Of(Date);
  if (word == "VARCHAR2" || word == "VARCHAR" || word == "NVARCHAR2" || word == "CHAR" || word == "NCHAR" ||
      word == "CHARACTER") {
    if (a > 0) return Of(Varchar2, a);
    return Of(Varchar2, word == "CHAR" || word == "NCHAR" || word == "CHARACTER" ? 1 : 4000);
  }
  if (word == "TEXT") return Of(Varchar2, 4000);
  if (word == "CLOB" || word == "LONG" || word == "NCLOB") return Of(Clob);
  if (word == "BLOB" || word == "RAW") return Of(Blob);
  return Of(Unknown);
}

int OracleType::FieldType() const {
  switch (kind) {
    case Integer:
      return link::ftInteger;
    case Number:
      return link::ftFloat;
    case Date:
      return link::ftDateTime;
    case Clob:
      return link::ftMemo;
    case Blob:
      return link::ftBlob;
    case Varchar2:
    case Unknown:
      return link::ftString;
  }
  return link::ftString;
}

const CatalogColumn* CatalogObject::Find(std::string_view upperName) const {
  for (const CatalogColumn& c : columns) {
    if (c.name == upperName) return &c;
  }
  return nullptr;
}

void Catalog::Add(CatalogObject object) {
  std::string key = object.name;
  objects_.insert_or_assign(std::move(key), std::move(object));
}

const CatalogObject* Catalog::Find(std::string_view name) const {
  auto it = objects_.find(name);
  if (it != objects_.end()) return &it->second;
  const std::string upper = UpperName(name);
  it = objects_.find(upper);
  return it != objects_.end() ? &it->second : nullptr;
}

std::shared_ptr<const Catalog> LoadCatalog(Database& db) {
  std::vector<std::pair<std::string, bool>> names;
  {
    Prepared q(db.Handle(),
               "SELECT name, type FROM sqlite_schema WHERE type IN ('table', 'view') AND substr(name, 1, 7) <> "
               "'sqlite_' ORDER BY name");
    while (q.Step()) names.emplace_back(q.Text(0), q.Text(1) == "view");
  }
  std::map<std::string, CatalogObject, std::less<>> objects;
  for (const auto& [name, isView] : names) {
    CatalogObject object;
    object.name = UpperName(name);
    object.isView = isView;
    Prepared q(db.Handle(), "PRAGMA table_info(" + QuoteIdentifier(name) + ")");
    while (q.Step()) {
      CatalogColumn column;
      column.name = UpperName(q.Text(1));
      column.type = OracleType::FromDeclared(q.Text(2));
      column.notNull = q.Int(3) != 0 || q.Int(5) != 0;
      object.columns.push_back(std::move(column));
    }
    std::string key = object.name;
    objects.insert_or_assign(std::move(key), std::move(object));
  }
  if (objects.count("MERO_COLUMNS") != 0) {
    Prepared q(db.Handle(), "SELECT OBJECT_NAME, COLUMN_NAME, DATA_TYPE FROM MERO_COLUMNS");
    while (q.Step()) {
      auto it = objects.find(UpperName(q.Text(0)));
      if (it == objects.end()) continue;
      const std::string column = UpperName(q.Text(1));
      for (CatalogColumn& c : it->second.columns) {
        if (c.name == column) c.type = OracleType::FromDeclared(q.Text(2));
      }
    }
  }
  auto catalog = std::make_shared<Catalog>();
  for (auto& [name, object] : objects) catalog->Add(std::move(object));
  return catalog;
}

}  // namespace mero::server
