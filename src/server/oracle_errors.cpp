#include "server/oracle_errors.h"

#include <sqlite3.h>

namespace mero::server {

std::string OracleErrorText(sqlite3* db, int rc, std::string_view /*sql*/) {
  const std::string message = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  switch (rc & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return "ORA-00054: resource busy and acquire with NOWAIT specified or timeout expired";
    default:
      return "ORA-00600: internal error code, arguments: [" + message + "]";
  }
}

}  // namespace mero::server
