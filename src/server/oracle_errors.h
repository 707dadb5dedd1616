#pragma once

#include <string>
#include <string_view>

struct sqlite3;

namespace mero::server {

// The Oracle text of a SQLite failure (result code rc on db, running sql, the
// SQLite text whose first words name the statement's kind and table):
//   unique / primary key      ORA-00001: unique constraint (NQ.<index>) violated
//   busy, locked              ORA-00054: resource busy and acquire with NOWAIT specified or timeout expired
//   unknown column, function  ORA-00904: "<NAME>": invalid identifier
//   unknown table or view     ORA-00942: table or view does not exist
//   NOT NULL                  ORA-01400: cannot insert NULL into ("NQ"."T"."C") (ORA-01407 for UPDATE)
//   foreign key               ORA-02291 … parent key not found / ORA-02292 … child record found
//   type mismatch             ORA-01722: invalid number
// A message that already starts with "ORA-" (a trigger's RAISE, a dialect
// function) is passed through unchanged; anything unforeseen becomes
// ORA-00600 with SQLite's own words.
std::string OracleErrorText(sqlite3* db, int rc, std::string_view sql);

}  // namespace mero::server
