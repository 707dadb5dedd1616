#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace mero::server {

class Database;

// The Oracle type of a column or of an expression.
struct OracleType {
  enum Kind : std::uint8_t {
    Unknown,   // taken from the values of the result
    Integer,   // INTEGER, NUMBER(p) / NUMBER(p,0)
    Number,    // NUMBER, FLOAT
    Date,      // DATE: the date-time number
    Varchar2,  // VARCHAR2(n) / CHAR(n): size n characters; size 0: the longest value
    Clob,
    Blob,
  };
  Kind kind = Unknown;
  int size = 0;

  static OracleType Of(Kind k, int n = 0) { return OracleType{k, n}; }
  bool IsNumeric() const { return kind == Integer || kind == Number; }
  bool IsText() const { return kind == Varchar2 || kind == Clob; }
  // Known well enough to be sent before the rows are read.
  bool IsSettled() const { return kind != Unknown && !(kind == Varchar2 && size <= 0); }
  friend bool operator==(const OracleType&, const OracleType&) = default;

  // From a declared type: INTEGER, NUMBER[(p[,s])], FLOAT, DATE, VARCHAR2(n),
  // CHAR(n), CLOB, BLOB, …; empty or unrecognised gives Unknown.
  static OracleType FromDeclared(std::string_view declared);
  // The link field type code and size: INTEGER → 3, NUMBER → 6, DATE → 11,
  // VARCHAR2(n) → 1 of size n, CLOB → 16, BLOB → 15.
  int FieldType() const;
};

struct CatalogColumn {
  std::string name;  // upper case
  OracleType type;
  bool notNull = false;  // declared NOT NULL or the row key
};

struct CatalogObject {
  std::string name;  // upper case
  bool isView = false;
  std::vector<CatalogColumn> columns;

  const CatalogColumn* Find(std::string_view upperName) const;
};

// The tables and views of the database with their columns and Oracle types:
// PRAGMA table_info of every table and view, then the types recorded for the
// computed columns of views in MERO_COLUMNS. Names are compared upper-cased.
class Catalog {
 public:
  void Add(CatalogObject object);
  const CatalogObject* Find(std::string_view name) const;
  std::size_t Size() const { return objects_.size(); }

 private:
  std::map<std::string, CatalogObject, std::less<>> objects_;
};

// Reads the catalog of the connection's database. The SQL functions that views
// call must be registered on the connection first. Raises SqlError.
std::shared_ptr<const Catalog> LoadCatalog(Database& db);

// ASCII upper case: SQL names compare this way in SQLite.
std::string UpperName(std::string_view name);

}  // namespace mero::server
