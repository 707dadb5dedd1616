// The application server under a long steady load, as a day of many users
// gives it: SESSIONS sessions (64) for SECONDS seconds (600), each logged in
// as a super-user and sending, one after the other without a pause, the
// queries of the windows' lists and, one time in WRITE_EVERY (5), a
// committed change of rows of its own (its own draft requisition: the
// comment, a line added, the lines removed in a block). Printed: requests
// and operations per second, p50 and p99 of an operation (a change with its
// commit is one operation, as the user waits for both), the errors (must be
// 0), and the server's memory (VmRSS) and write-ahead log at the start, the
// middle and the end.
//
//   load_bench [--sessions N] [--seconds S] [--write-every N]
//   MERO_LOAD_SESSIONS, MERO_LOAD_SECONDS, MERO_LOAD_WRITE_EVERY do the same.
//
// Not a test: the figures depend on the machine. It exits with 1 when a
// request failed.

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "base/runtime.h"
#include "server/client_statements.h"
#include "support/link_test_client.h"
#include "support/server_process.h"

using namespace mero;
using Clock = std::chrono::steady_clock;

namespace {

struct Settings {
  int sessions = 64;
  int seconds = 600;
  int writeEvery = 5;
};

int Setting(int argc, char** argv, const std::string& flag, const char* env, int fallback) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (argv[i] == flag) return std::atoi(argv[i + 1]);
  }
  const char* value = std::getenv(env);
  return value != nullptr && *value != '\0' ? std::atoi(value) : fallback;
}

// The queries of the windows that need no value of the running session.
std::vector<std::string> ListQueries() {
  std::vector<std::string> out;
  for (const test::ClientStatement& s : test::ClientStatements()) {
    if (s.query && *s.error == '\0' && s.sql.find('{') == std::string::npos) out.push_back(s.sql);
  }
  return out;
}

long RssKb(int pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return -1;
}

long long FileSize(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : 0;
}

double Percentile(std::vector<double>& v, double p) {
  if (v.empty()) return 0;
  const auto k = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1));
  std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(k), v.end());
  return v[k];
}

struct SessionResult {
  std::vector<double> reads;   // ms
  std::vector<double> writes;  // ms
  long requests = 0;
  long errors = 0;
  std::string firstError;
};

void Fail(SessionResult& r, const std::string& what) {
  if (r.errors++ == 0) r.firstError = what;
}

// One session: its own draft requisition ID, then reads and writes until the end.
void RunSession(int port, int index, const Settings& settings, const std::vector<std::string>& queries,
                Clock::time_point start, Clock::time_point end, SessionResult& r) {
  try {
    test::LinkTestClient client(port);
    if (!client.Login("ADMIN", "admin")) throw std::runtime_error("login refused");
    const std::string id = std::to_string(300000 + index);
    const auto exec = [&](const std::string& sql) {
      ++r.requests;
      const std::string error = client.Exec(sql);
      if (!error.empty()) Fail(r, error + " <- " + sql);
    };
    exec("insert into UP_DELT (ID,NODELT,SID,ORGID,DELPID,ORDERPID,STATE,DTIN) values (" + id + "," + id +
         ",2,'0.02.02','002','maria',1,trunc(sysdate))");
    exec("commit");
    std::this_thread::sleep_until(start);
    std::mt19937 rng(static_cast<unsigned>(index));
    long n = 0;
    while (Clock::now() < end) {
      const auto t0 = Clock::now();
      if (++n % settings.writeEvery == 0) {
        switch ((n / settings.writeEvery) % 3) {
          case 0:
            exec("UPDATE NQ.UP_DELT SET NQ.UP_DELT.COMM = 'σχόλιο " + std::to_string(n) +
                 "'  Where NQ.UP_DELT.ID = " + id + "\n");
            break;
          case 1:
            exec(" insert into UP_DeltD (mid,prid,cid,code,qty,up,qtydel,xrUID,ItemAA)  select " + id +
                 ",'P008',cid,code,1,up,0,(select UserPID from UP_Printers where id='P008'),ItemAA  from UP_SymbD  "
                 "where id=201");
            break;
          default:
            exec("begin  delete from UP_DELTD where MID=" + id + "; update UP_DELT set DELIV_S='" + std::to_string(n) +
                 "' where ID=" + id + "; commit; end; ");
            break;
        }
        exec("commit");
        r.writes.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
      } else {
        const std::string& sql = queries[rng() % queries.size()];
        ++r.requests;
        const auto reply = client.Select(sql);
        if (!reply.error.empty()) Fail(r, reply.error + " <- " + sql);
        r.reads.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
      }
    }
  } catch (const std::exception& e) {
    Fail(r, e.what());
  }
}

}  // namespace

int main(int argc, char** argv) {
  base::KeepFreedMemory();  // as the server and the client program do
  Settings settings;
  settings.sessions = std::max(1, Setting(argc, argv, "--sessions", "MERO_LOAD_SESSIONS", settings.sessions));
  settings.seconds = std::max(1, Setting(argc, argv, "--seconds", "MERO_LOAD_SECONDS", settings.seconds));
  settings.writeEvery = std::max(1, Setting(argc, argv, "--write-every", "MERO_LOAD_WRITE_EVERY", settings.writeEvery));
  const std::vector<std::string> queries = ListQueries();

  test::ServerProcess server;
  const std::string wal = server.Database() + "-wal";
  std::printf("load: %d sessions, %d s, one write in %d, %zu list queries\n", settings.sessions, settings.seconds,
              settings.writeEvery, queries.size());

  // Every session logs in before the clock starts.
  const auto start = Clock::now() + std::chrono::seconds(2) + std::chrono::milliseconds(50 * settings.sessions);
  const auto end = start + std::chrono::seconds(settings.seconds);
  std::vector<SessionResult> results(static_cast<std::size_t>(settings.sessions));
  std::vector<std::thread> threads;
  for (int s = 0; s < settings.sessions; ++s) {
    threads.emplace_back(RunSession, server.Port(), s, std::cref(settings), std::cref(queries), start, end,
                         std::ref(results[static_cast<std::size_t>(s)]));
  }
  const auto report = [&](const char* when) {
    std::printf("  %-6s server VmRSS %ld KiB, write-ahead log %lld KiB\n", when, RssKb(server.Pid()),
                FileSize(wal) / 1024);
    std::fflush(stdout);
  };
  std::this_thread::sleep_until(start + std::chrono::milliseconds(500));
  report("start");
  std::this_thread::sleep_until(start + (end - start) / 2);
  report("middle");
  for (std::thread& t : threads) t.join();
  report("end");

  std::vector<double> reads;
  std::vector<double> writes;
  long requests = 0;
  long errors = 0;
  std::string firstError;
  for (SessionResult& r : results) {
    reads.insert(reads.end(), r.reads.begin(), r.reads.end());
    writes.insert(writes.end(), r.writes.begin(), r.writes.end());
    requests += r.requests;
    errors += r.errors;
    if (firstError.empty()) firstError = r.firstError;
  }
  std::vector<double> all = reads;
  all.insert(all.end(), writes.begin(), writes.end());
  const double seconds = settings.seconds;
  std::printf("  requests/s %.0f, operations/s %.0f (reads %zu, writes %zu)\n", static_cast<double>(requests) / seconds,
              static_cast<double>(all.size()) / seconds, reads.size(), writes.size());
  const double p50 = Percentile(all, 0.50);
  const double p99 = Percentile(all, 0.99);
  std::printf("  operation p50 %.2f ms, p99 %.2f ms; read p99 %.2f ms; write p50 %.2f ms, p99 %.2f ms\n", p50, p99,
              Percentile(reads, 0.99), Percentile(writes, 0.50), Percentile(writes, 0.99));
  std::printf("  errors %ld%s%s\n", errors, errors > 0 ? ", first: " : "", firstError.c_str());
  return errors > 0 ? 1 : 0;
}
