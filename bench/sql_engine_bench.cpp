// The SQL engine against bare SQLite on the same file:
// - a big list: OpenSelect + Fetch of "select * from T" (100,000 rows × 10
//   columns: integers, Greek texts, numbers, dates, NULLs) encoded into the
//   link's row format, against preparing and stepping the same query with the
//   SQLite C API and reading every column;
// - a primary-key select through the engine (the same text each time, so the
//   translation and the prepared statement come from the session's caches),
//   against a prepared statement that is reset, bound and stepped;
// - for information, primary-key selects whose key changes each time, as the
//   client writes them (every text is new to the caches).

#include <sqlite3.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "bench_ratio.h"
#include "link/codec/result_set_encoder.h"
#include "server/catalog.h"
#include "server/database.h"
#include "server/session_vars.h"
#include "server/sql_dialect.h"
#include "server/sql_engine.h"

using namespace mero;

namespace {

constexpr int kRows = 100000;

// A database file made once per run, removed at exit.
class BenchDatabase {
 public:
  BenchDatabase() {
    std::string pattern = (std::filesystem::temp_directory_path() / "mero-bench-XXXXXX").string();
    dir_ = mkdtemp(pattern.data());
    path_ = (dir_ / "bench.db").string();
    server::Database db(path_, server::Database::Mode::Create);
    db.Exec(
        "CREATE TABLE T(ID INTEGER PRIMARY KEY, UNIT INTEGER, DESCR VARCHAR2(40), CITY VARCHAR2(30), "
        "PRICE NUMBER, QTY NUMBER, DTIN DATE, STAMP DATE, CODE VARCHAR2(20), COMM VARCHAR2(80))");
    db.Exec("BEGIN");
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db.Handle(), "INSERT INTO T VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)", -1, &st, nullptr);
    const char* names[] = {"Τόνερ μαύρο", "Τύμπανο", "Μελάνι κυανό", "Ταινία μελανιού", "Δοχείο αποβλήτων"};
    const char* cities[] = {"Αθήνα", "Θεσσαλονίκη", "Πάτρα", "Ηράκλειο"};
    const double day = 45292;  // 01/01/2024
    for (int i = 0; i < kRows; ++i) {
      sqlite3_bind_int64(st, 1, i + 1);
      if (i % 50 == 0) {
        sqlite3_bind_null(st, 2);
      } else {
        sqlite3_bind_int64(st, 2, i % 37 + 100);
      }
      sqlite3_bind_text(st, 3, names[i % 5], -1, SQLITE_STATIC);
      sqlite3_bind_text(st, 4, cities[i % 4], -1, SQLITE_STATIC);
      sqlite3_bind_double(st, 5, i * 1.25 + 0.01);
      sqlite3_bind_double(st, 6, i % 100 + 0.5);
      sqlite3_bind_double(st, 7, day + i % 365);
      sqlite3_bind_double(st, 8, day + i % 365 + static_cast<double>(i % 86400) / 86400);
      const std::string code = "HP-" + std::to_string(i % 997);
      sqlite3_bind_text(st, 9, code.c_str(), -1, SQLITE_TRANSIENT);
      if (i % 20 == 0) {
        sqlite3_bind_text(st, 10, "Παράδοση στο κτίριο Β, όροφος 2", -1, SQLITE_STATIC);
      } else {
        sqlite3_bind_null(st, 10);
      }
      sqlite3_step(st);
      sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    db.Exec("COMMIT");
  }
  ~BenchDatabase() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  const std::string& Path() const { return path_; }

 private:
  std::filesystem::path dir_;
  std::string path_;
};

const BenchDatabase& Data() {
  static const BenchDatabase data;
  return data;
}

// The machine is shared with other work, which only ever adds time: each
// iteration times the work five times and counts the fastest.
template <typename F>
void Fastest(benchmark::State& state, F&& once) {
  for (auto _ : state) {
    double best = 1e300;
    for (int k = 0; k < 5; ++k) {
      const auto start = std::chrono::steady_clock::now();
      once();
      best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.SetIterationTime(best);
  }
}

// One server session: connection, dialect, catalog and engine.
struct Session {
  server::SessionVars vars;
  server::Database db;
  std::unique_ptr<server::SqlEngine> engine;
  Session() : db(Data().Path(), server::Database::Mode::Existing) {
    server::RegisterSqlDialect(db, vars);
    engine = std::make_unique<server::SqlEngine>(db, vars, server::LoadCatalog(db));
  }
};

// The session's reply buffer lives as long as the session does; a fresh one
// per run would measure the kernel handing out pages.
std::string& ReplyBuffer() {
  static std::string buffer;
  return buffer;
}

void BM_EngineSelectAll(benchmark::State& state) {
  Session s;
  std::string& payload = ReplyBuffer();
  Fastest(state, [&] {
    payload.clear();
    link::ResultSetEncoder out(payload);
    std::unique_ptr<server::SelectCursor> c = s.engine->OpenSelect("select * from T");
    const std::size_t rows = c->Fetch(out, -1);
    out.Finish();
    if (rows != kRows) state.SkipWithError("wrong row count");
    benchmark::DoNotOptimize(payload.data());
  });
  state.counters["bytes"] = static_cast<double>(payload.size());
}

// The floor: the same query stepped with the C API, every column read the
// way its declared type says.
void BM_SqliteSelectAll(benchmark::State& state) {
  server::Database db(Data().Path(), server::Database::Mode::Existing);
  Fastest(state, [&] {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db.Handle(), "SELECT * FROM T", -1, &st, nullptr);
    std::size_t rows = 0;
    std::int64_t ints = 0;
    double reals = 0;
    std::size_t textBytes = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
      ints += sqlite3_column_int64(st, 0) + sqlite3_column_int64(st, 1);
      for (int c : {2, 3, 8, 9}) {
        const unsigned char* t = sqlite3_column_text(st, c);
        if (t != nullptr) textBytes += static_cast<std::size_t>(sqlite3_column_bytes(st, c)) + t[0];
      }
      for (int c : {4, 5, 6, 7}) reals += sqlite3_column_double(st, c);
      ++rows;
    }
    sqlite3_finalize(st);
    if (rows != kRows) state.SkipWithError("wrong row count");
    benchmark::DoNotOptimize(ints);
    benchmark::DoNotOptimize(reals);
    benchmark::DoNotOptimize(textBytes);
  });
}

void BM_EnginePrimaryKey(benchmark::State& state) {
  Session s;
  std::string payload;
  Fastest(state, [&] {
    payload.clear();
    link::ResultSetEncoder out(payload);
    std::unique_ptr<server::SelectCursor> c = s.engine->OpenSelect("select * from T where ID=4711");
    c->Fetch(out, -1);
    out.Finish();
    benchmark::DoNotOptimize(payload.data());
  });
}

void BM_SqlitePrimaryKey(benchmark::State& state) {
  server::Database db(Data().Path(), server::Database::Mode::Existing);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db.Handle(), "SELECT * FROM T WHERE ID = ?1", -1, &st, nullptr);
  Fastest(state, [&] {
    sqlite3_bind_int64(st, 1, 4711);
    std::int64_t ints = 0;
    double reals = 0;
    std::size_t textBytes = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
      ints += sqlite3_column_int64(st, 0) + sqlite3_column_int64(st, 1);
      for (int c : {2, 3, 8, 9}) {
        const unsigned char* t = sqlite3_column_text(st, c);
        if (t != nullptr) textBytes += static_cast<std::size_t>(sqlite3_column_bytes(st, c)) + t[0];
      }
      for (int c : {4, 5, 6, 7}) reals += sqlite3_column_double(st, c);
    }
    sqlite3_reset(st);
    benchmark::DoNotOptimize(ints);
    benchmark::DoNotOptimize(reals);
    benchmark::DoNotOptimize(textBytes);
  });
  sqlite3_finalize(st);
}

void BM_EnginePrimaryKeyNewText(benchmark::State& state) {
  Session s;
  std::string payload;
  std::int64_t id = 0;
  Fastest(state, [&] {
    payload.clear();
    link::ResultSetEncoder out(payload);
    id = id % kRows + 1;
    std::unique_ptr<server::SelectCursor> c = s.engine->OpenSelect("select * from T where ID=" + std::to_string(id));
    c->Fetch(out, -1);
    out.Finish();
    benchmark::DoNotOptimize(payload.data());
  });
}

BENCHMARK(BM_EngineSelectAll)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SqliteSelectAll)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EnginePrimaryKey)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SqlitePrimaryKey)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EnginePrimaryKeyNewText)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunAndReport(
      argc, argv,
      {{"BM_EngineSelectAll", "BM_SqliteSelectAll", 2.0}, {"BM_EnginePrimaryKey", "BM_SqlitePrimaryKey", 4.0}});
}
