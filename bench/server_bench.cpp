// The application server measured end to end over loopback, each figure
// beside a baseline in the same program:
// - select * of BENCH_ROWS (100,000 rows × 10 columns, bench_table.h),
//   request sent → rows decoded by the test client, against stepping the
//   same query in-process with SQLite and reading every column with the
//   getter of its declared type; the same for the table's dates, its six
//   numeric columns and its three texts alone, so that no kind of value can
//   hide its cost behind the others;
// - a one-row primary-key select round trip against a bare loopback
//   ping-pong of the same message sizes;
// - 32 concurrent sessions running selects and committed updates for a fixed
//   time: throughput, p99 latency and the error count.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sqlite3.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "base/runtime.h"
#include "bench_ratio.h"
#include "bench_table.h"
#include "link/codec/pipeline.h"
#include "link/codec/string_line.h"
#include "support/link_test_client.h"
#include "support/server_process.h"

using namespace mero;

namespace {

constexpr int kRows = bench::kBenchRows;
test::ServerProcess& Server() { return bench::BenchServer(); }

std::unique_ptr<test::LinkTestClient> LoggedIn() {
  auto client = std::make_unique<test::LinkTestClient>(Server().Port());
  if (!client->Login("ADMIN", "admin")) throw std::runtime_error("login refused");
  return client;
}

// The selects measured, by the name of their benchmark argument.
struct ColumnGroup {
  const char* label;
  const char* sql;
};
constexpr ColumnGroup kGroups[] = {
    {"all", "select * from BENCH_ROWS"},
    {"dates", "select D1 from BENCH_ROWS"},
    {"numbers", "select ID, N1, X1, X2, X3, X4 from BENCH_ROWS"},
    {"texts", "select T1, T2, T3 from BENCH_ROWS"},
};

void BM_SelectOverLink(benchmark::State& state, const ColumnGroup& group) {
  auto client = LoggedIn();
  for (auto _ : state) {
    const auto reply = client->Select(group.sql);
    if (!reply.error.empty() || reply.rows.RowCount() != kRows) state.SkipWithError("select failed");
    benchmark::DoNotOptimize(reply.rows.RowCount());
  }
}

// The database opened as a plain program opens it (sqlite3_open), every
// column read as its declared type asks: INTEGER as an integer, NUMBER and
// DATE as a double (SQLite converts the NUMBER cells it holds as integers),
// VARCHAR2 as UTF-8 text. The busy time-out lets the server's connection
// end (a checkpoint) without failing a repetition.
void BM_SelectInProcess(benchmark::State& state, const ColumnGroup& group) {
  sqlite3* db = nullptr;
  if (sqlite3_open(Server().Database().c_str(), &db) != SQLITE_OK) state.SkipWithError("cannot open the database");
  sqlite3_busy_timeout(db, 5000);
  enum class Getter { Integer, Double, Text };
  for (auto _ : state) {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, group.sql, -1, &stmt, nullptr);
    std::vector<Getter> getters;
    for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
      const std::string declared = sqlite3_column_decltype(stmt, c);
      getters.push_back(declared == "INTEGER"              ? Getter::Integer
                        : declared.starts_with("VARCHAR2") ? Getter::Text
                                                           : Getter::Double);
    }
    std::int64_t sum = 0;
    double real = 0;
    std::size_t bytes = 0;
    int rows = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
      ++rows;
      for (int c = 0; c < static_cast<int>(getters.size()); ++c) {
        switch (getters[static_cast<std::size_t>(c)]) {
          case Getter::Integer:
            sum += sqlite3_column_int64(stmt, c);
            break;
          case Getter::Double:
            real += sqlite3_column_double(stmt, c);
            break;
          case Getter::Text:
            benchmark::DoNotOptimize(sqlite3_column_text(stmt, c));
            bytes += static_cast<std::size_t>(sqlite3_column_bytes(stmt, c));
            break;
        }
      }
    }
    sqlite3_finalize(stmt);
    if (rows != kRows) state.SkipWithError("wrong row count");
    benchmark::DoNotOptimize(sum);
    benchmark::DoNotOptimize(real);
    benchmark::DoNotOptimize(bytes);
  }
  sqlite3_close(db);
}

void BM_PrimaryKeySelect(benchmark::State& state) {
  auto client = LoggedIn();
  int id = 1;
  for (auto _ : state) {
    const auto reply = client->Select("select * from BENCH_ROWS where ID = " + std::to_string(id));
    if (reply.rows.RowCount() != 1) state.SkipWithError("no row");
    id = id % kRows + 1;
  }
}

// The baseline: the same request and reply sizes bounced off a bare echo
// over loopback (one frame out, the two reply frames back as one write).
void BM_LoopbackPingPong(benchmark::State& state) {
  auto client = LoggedIn();
  // Sizes of the real exchange, measured once.
  link::TLinkStringLine request;
  request.SetKind(link::MessageKind::Select);
  request.SetOrigin(1);
  request.AddText("select * from BENCH_ROWS where ID = 12345");
  request.AddInt(-1);
  request.AddInt(0);
  request.AddText("");
  const std::string out = link::PackMessage(request.Finish(), client->Transforms());
  const std::size_t before = client->BytesReceived();
  client->Select("select * from BENCH_ROWS where ID = 12345");
  const std::size_t replySize = client->BytesReceived() - before;

  int listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  listen(listener, 1);
  socklen_t len = sizeof addr;
  getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len);
  std::atomic<bool> stop{false};
  std::thread echo([&] {
    const int fd = accept(listener, nullptr, nullptr);
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    std::string in(out.size(), '\0');
    const std::string answer(replySize, 'r');
    while (!stop.load()) {
      std::size_t got = 0;
      while (got < in.size()) {
        const ssize_t n = recv(fd, in.data() + got, in.size() - got, 0);
        if (n <= 0) {
          close(fd);
          return;
        }
        got += static_cast<std::size_t>(n);
      }
      (void)!send(fd, answer.data(), answer.size(), MSG_NOSIGNAL);
    }
    close(fd);
  });
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  const int one = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  std::string back(replySize, '\0');
  for (auto _ : state) {
    (void)!send(fd, out.data(), out.size(), MSG_NOSIGNAL);
    std::size_t got = 0;
    while (got < back.size()) {
      const ssize_t n = recv(fd, back.data() + got, back.size() - got, 0);
      if (n <= 0) break;
      got += static_cast<std::size_t>(n);
    }
  }
  stop.store(true);
  close(fd);
  echo.join();
  close(listener);
}

// 32 sessions, each logged in, for a fixed time: 4 of 5 requests a
// primary-key select, 1 of 5 an update of a consumable (a table of the
// domain, which the super-user may change) followed by "commit".
void BM_ConcurrentSessions(benchmark::State& state) {
  constexpr int kSessions = 32;
  const auto runFor = std::chrono::seconds(3);
  for (auto _ : state) {
    std::vector<std::unique_ptr<test::LinkTestClient>> clients;
    for (int i = 0; i < kSessions; ++i) clients.push_back(LoggedIn());
    std::vector<std::vector<double>> latencies(kSessions);
    std::atomic<int> errors{0};
    const auto until = std::chrono::steady_clock::now() + runFor;
    std::vector<std::thread> threads;
    for (int s = 0; s < kSessions; ++s) {
      threads.emplace_back([&, s] {
        std::mt19937 rng(static_cast<unsigned>(s));
        std::uniform_int_distribution<int> id(1, kRows);
        int n = 0;
        while (std::chrono::steady_clock::now() < until) {
          const auto t0 = std::chrono::steady_clock::now();
          try {
            if (++n % 5 == 0) {
              const std::string k = std::to_string(id(rng) % 37 + 1);
              if (!clients[s]->Exec("update UP_CONS set PAGECNT = PAGECNT + 1 where ID = " + k).empty() ||
                  !clients[s]->Exec("commit").empty()) {
                ++errors;
              }
            } else if (clients[s]
                           ->Select("select * from BENCH_ROWS where ID = " + std::to_string(id(rng)))
                           .rows.RowCount() != 1) {
              ++errors;
            }
          } catch (const std::exception&) {
            ++errors;
          }
          latencies[s].push_back(
              std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
        }
      });
    }
    for (std::thread& t : threads) t.join();
    std::vector<double> all;
    for (const auto& l : latencies) all.insert(all.end(), l.begin(), l.end());
    std::sort(all.begin(), all.end());
    state.counters["requests_per_s"] = static_cast<double>(all.size()) / std::chrono::duration<double>(runFor).count();
    state.counters["p50_ms"] = all.empty() ? 0 : all[all.size() / 2];
    state.counters["p99_ms"] = all.empty() ? 0 : all[all.size() * 99 / 100];
    state.counters["errors"] = errors.load();
  }
}

}  // namespace

int main(int argc, char** argv) {
  base::KeepFreedMemory();  // as the client program does at start
  // The whole select is held to 1.2 times its in-process floor; each group
  // of columns alone is shown beside its own floor.
  std::vector<bench::RatioCheck> checks;
  for (const ColumnGroup& group : kGroups) {
    const std::string link = std::string("BM_SelectOverLink/") + group.label;
    const std::string local = std::string("BM_SelectInProcess/") + group.label;
    benchmark::RegisterBenchmark(link.c_str(), BM_SelectOverLink, group)->Unit(benchmark::kMillisecond)->Repetitions(5);
    benchmark::RegisterBenchmark(local.c_str(), BM_SelectInProcess, group)
        ->Unit(benchmark::kMillisecond)
        ->Repetitions(5);
    checks.push_back({link, local, std::string_view(group.label) == "all" ? 1.2 : 2.0});
  }
  benchmark::RegisterBenchmark("BM_PrimaryKeySelect", BM_PrimaryKeySelect)
      ->Unit(benchmark::kMicrosecond)
      ->Repetitions(5);
  benchmark::RegisterBenchmark("BM_LoopbackPingPong", BM_LoopbackPingPong)
      ->Unit(benchmark::kMicrosecond)
      ->Repetitions(5);
  benchmark::RegisterBenchmark("BM_ConcurrentSessions", BM_ConcurrentSessions)
      ->Unit(benchmark::kSecond)
      ->Iterations(1)
      ->UseRealTime();
  checks.push_back({"BM_PrimaryKeySelect", "BM_LoopbackPingPong", 3.0});
  return bench::RunAndReport(argc, argv, checks);
}
