#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "server/catalog.h"
#include "server/sql_syntax.h"

namespace mero::server {

// One statement of a request, in SQLite's dialect, with what the engine needs
// to run it and to describe its result.
struct TranslatedStatement {
  StatementKind kind = StatementKind::Null;
  std::string sql;                    // the SQLite text (queries and changes)
  std::vector<std::string> params;    // long values bound to ?1, ?2, … by name
  std::vector<ResultColumn> columns;  // a query's result columns, Oracle names and types
  bool columnsFromSqlite = false;     // a * over an object the catalog does not know
  bool writes = false;                // changes data: DML, or a query that draws a sequence number
  std::string table;                  // the table a change writes to, upper case
  // Assign: P1.<variable> := value. A literal (or NULL) is kept as it is;
  // any other value is computed by valueSql.
  std::string variable;  // "USRID" or "USRIP"
  bool valueIsNull = false;
  std::string valueText;
  std::string valueSql;                   // "SELECT <value>" in SQLite's dialect, or empty
  std::vector<TranslatedStatement> body;  // Block
};

// Translates the client's Oracle SQL into SQLite's dialect, driven by the
// tokens and by the catalog (column types decide how a literal is read):
// - DUAL leaves the FROM clause (or becomes a one-row sub-query when it is
//   joined or its * is asked for);
// - sysdate → MERO_SYSDATE(), SEQ.NextVal → MERO_NEXTVAL('SEQ'),
//   P1.USRID / P1.USRIP → MERO_USRID() / MERO_USRIP();
// - the schema prefix NQ. goes, also in NQ.T.C; UPDATE … SET T.C = … loses
//   the qualifier SQLite rejects;
// - '' is NULL; a || b → MERO_CONCAT(a, b) (NULL counts as empty);
//   NVL → IFNULL; DECODE → CASE with NULL matching NULL;
// - a text literal that meets a DATE (comparison, BETWEEN, IN, SET, VALUES,
//   NVL) becomes its date-time number, one that meets a number becomes that
//   number (ORA-01722 when it is none); TO_DATE of literals is computed once;
// - ORDER BY puts NULLs last ascending and first descending, as Oracle does.
// Raises SqlError with Oracle's texts.
class OracleTranslator {
 public:
  explicit OracleTranslator(const Catalog& catalog) : catalog_(catalog) {}

  // Every statement of an execute request.
  std::vector<TranslatedStatement> TranslateScript(std::string_view sql) const;
  // One query, with its result columns.
  TranslatedStatement TranslateQuery(std::string_view sql) const;

 private:
  const Catalog& catalog_;
};

}  // namespace mero::server
