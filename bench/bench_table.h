// The table BENCH_ROWS that the server benchmarks select from, shaped like
// the lists the client opens: 100,000 rows × 10 columns, the key and an
// integer, four NUMBER columns holding integers and fractions mixed (so
// SQLite stores some cells as integers and some as reals), three texts of
// 5–30 characters, Greek and Latin, and one DATE with a time of day, a few
// NULLs. It is written straight into the database file before the server
// starts; BenchServer() is the server that serves it.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <stdexcept>
#include <string>

#include "support/server_process.h"

namespace mero::bench {

inline constexpr int kBenchRows = 100000;

inline void CheckSqlite(int rc, sqlite3* db, const char* what) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE) throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}

// A text of 5 to 30 characters picked by n from pieces of Greek and Latin.
inline std::string BenchText(int n) {
  static const char* const pieces[] = {"Τόνερ", "HP LaserJet", "μαύρο",      "Γραφείο", "Toner K", "Πρύτανη",
                                       "Τμήμα", "A4",          "Εργαστήριο", "Φυσικής", "Kyocera", "Δ/νση"};
  std::string text;
  for (int k = 0; text.size() < 5 || k < 1 + n % 4; ++k) {
    if (!text.empty()) text += ' ';
    text += pieces[(n / (k + 1) + k * 5) % 12];
  }
  // Greek letters take two bytes in UTF-8: count characters, not bytes.
  std::size_t chars = 0;
  std::size_t cut = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && ++chars > 30) break;
    cut = i + 1;
  }
  return text.substr(0, cut);
}

inline void FillBenchTable(const std::string& path) {
  sqlite3* db = nullptr;
  CheckSqlite(sqlite3_open(path.c_str(), &db), db, "open");
  CheckSqlite(sqlite3_exec(db,
                           "CREATE TABLE BENCH_ROWS (ID INTEGER PRIMARY KEY, N1 INTEGER, X1 NUMBER, X2 NUMBER, "
                           "X3 NUMBER, X4 NUMBER, T1 VARCHAR2(30), T2 VARCHAR2(30), T3 VARCHAR2(30), D1 DATE);"
                           "BEGIN;",
                           nullptr, nullptr, nullptr),
              db, "create");
  sqlite3_stmt* stmt = nullptr;
  CheckSqlite(
      sqlite3_prepare_v2(db, "INSERT INTO BENCH_ROWS VALUES (?1,?2,?3,?4,?5,?6,?7,?8,?9,?10)", -1, &stmt, nullptr), db,
      "prepare");
  // 1 January 2026 as a date-time number.
  constexpr double kFirstDay = 46023;
  for (int i = 1; i <= kBenchRows; ++i) {
    sqlite3_bind_int(stmt, 1, i);
    if (i % 41 == 0) sqlite3_bind_null(stmt, 2);
    else sqlite3_bind_int(stmt, 2, i * 7 % 1000);
    // Quantities: whole most of the time, halves now and then.
    sqlite3_bind_double(stmt, 3, i % 4 == 0 ? i % 97 + 0.5 : i % 97);
    // Prices with cents.
    if (i % 37 == 0) sqlite3_bind_null(stmt, 4);
    else sqlite3_bind_double(stmt, 4, (i * 1999 % 100000) / 100.0);
    // Amounts past 32 bits, and their fractions.
    sqlite3_bind_double(stmt, 5, i % 3 == 0 ? 5e9 + i * 0.25 : 3e9 + i);
    // Small signed values, a third of them whole.
    sqlite3_bind_double(stmt, 6, i % 3 == 0 ? -(i % 50) : (i % 200 - 100) / 7.0);
    const std::string t1 = BenchText(i);
    const std::string t2 = BenchText(i * 31 + 7);
    const std::string t3 = BenchText(i * 17 + 3);
    sqlite3_bind_text(stmt, 7, t1.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(stmt, 8, t2.c_str(), -1, SQLITE_TRANSIENT);
    if (i % 53 == 0) sqlite3_bind_null(stmt, 9);
    else sqlite3_bind_text(stmt, 9, t3.c_str(), -1, SQLITE_TRANSIENT);
    // A day of the year and a time of day to the second, as a date written by the client has.
    const int second = static_cast<int>((static_cast<std::int64_t>(i) * 7919) % 86400);
    sqlite3_bind_double(stmt, 10, kFirstDay + i % 365 + second / 86400.0);
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
