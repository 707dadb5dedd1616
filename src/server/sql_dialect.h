#pragma once

#include <string_view>

namespace mero::server {

class Database;
struct SessionVars;

// Registers on the connection the functions through which SQLite speaks
// Oracle's dialect: MERO_SYSDATE() (the injectable clock, whole seconds),
// TRUNC, TO_DATE, TO_CHAR, TO_NUMBER, NVL, Greek-aware UPPER and LOWER,
// a case-sensitive LIKE with Oracle's wildcards, and MERO_CONCAT (||, with
// NULL as empty and an empty result as NULL). Views and triggers may call
// them, so every connection that reads or changes the database needs them.
// Also turns off SQLite's reading of "name" as a text when no column has that
// name. Raises SqlError.
void RegisterSqlDialect(Database& db, SessionVars& vars);

// Oracle's LIKE on UTF-8 text: % any run, _ one character, escape (when not
// 0) makes the next character plain. Raises SqlError ORA-01424 when the
// escape is followed by anything but %, _ or itself.
bool OracleLike(std::string_view pattern, std::string_view text, char32_t escape = 0);

}  // namespace mero::server
