#pragma once

#include <string>
#include <string_view>

struct sqlite3;

namespace mero::server {

// The Oracle text of a SQLite failure (result code rc on db, running sql):
// "ORA-00001: unique constraint (…) violated", "ORA-00942: table or view does
// not exist", "ORA-00054: resource busy …" and so on.
std::string OracleErrorText(sqlite3* db, int rc, std::string_view sql);

}  // namespace mero::server
