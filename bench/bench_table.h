// The table BENCH_ROWS that the server benchmarks select from: 100,000 rows ×
// 10 columns of integers, Greek texts, numbers, dates and a few NULLs,
// written straight into the database file before the server starts, and
// the server that serves it.
#pragma once

#include <sqlite3.h>

#include <stdexcept>
#include <string>

#include "support/server_process.h"

namespace mero::bench {

inline constexpr int kBenchRows = 100000;

inline void CheckSqlite(int rc, sqlite3* db, const char* what) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE) throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}

inline void FillBenchTable(const std::string& path) {
  sqlite3* db = nullptr;
  CheckSqlite(sqlite3_open(path.c_str(), &db), db, "open");
  CheckSqlite(sqlite3_exec(db,
                           "CREATE TABLE BENCH_ROWS (ID INTEGER PRIMARY KEY, N1 INTEGER, N2 INTEGER, T1 VARCHAR2(40), "
                           "T2 VARCHAR2(20), X1 NUMBER, X2 NUMBER, D1 DATE, D2 DATE, T3 VARCHAR2(10));"
                           "BEGIN;",
                           nullptr, nullptr, nullptr),
              db, "create");
  sqlite3_stmt* stmt = nullptr;
  CheckSqlite(
      sqlite3_prepare_v2(db, "INSERT INTO BENCH_ROWS VALUES (?1,?2,?3,?4,?5,?6,?7,?8,?9,?10)", -1, &stmt, nullptr), db,
      "prepare");
  const char* names[] = {"Τμήμα Προμηθειών", "Διεύθυνση Οικονομικών", "Γραφείο Πρύτανη", "Εργαστήριο Φυσικής"};
  for (int i = 1; i <= kBenchRows; ++i) {
    sqlite3_bind_int(stmt, 1, i);
    sqlite3_bind_int(stmt, 2, i * 7 % 1000);
    if (i % 17 == 0) sqlite3_bind_null(stmt, 3);
    else sqlite3_bind_int(stmt, 3, i % 50);
    sqlite3_bind_text(stmt, 4, names[i % 4], -1, SQLITE_STATIC);
    sqlite3_bind_text(stmt, 5, "Toner K", -1, SQLITE_STATIC);
    sqlite3_bind_double(stmt, 6, i * 1.25);
    if (i % 23 == 0) sqlite3_bind_null(stmt, 7);
    else sqlite3_bind_double(stmt, 7, 19.9 + i % 7);
    sqlite3_bind_double(stmt, 8, 46000.0 + i % 365);
    sqlite3_bind_double(stmt, 9, 46000.5 + i % 30);
    sqlite3_bind_text(stmt, 10, i % 2 ? "C" : "ΜΑΥΡΟ", -1, SQLITE_STATIC);
    CheckSqlite(sqlite3_step(stmt), db, "insert");
    sqlite3_reset(stmt);
  }
  sqlite3_finalize(stmt);
  CheckSqlite(sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr), db, "commit");
  sqlite3_close(db);
}

// One demo server per benchmark program, with BENCH_ROWS filled.
inline test::ServerProcess& BenchServer() {
  static test::ServerProcess server([] {
    test::ServerProcess::Options o;
    o.prepare = FillBenchTable;
    return o;
  }());
  return server;
}

}  // namespace mero::bench
