// The server killed with SIGKILL while clients commit, started again on the
// same database: what it acknowledged is there, and a requisition written in
// one transaction is there whole or not at all. And the write-ahead log stays
// within its bound while commits and selects go on.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "base/variant.h"
#include "support/link_test_client.h"
#include "support/server_process.h"

namespace mero::test {
namespace {

constexpr int kLines = 3;  // lines of every requisition the writers create

std::unique_ptr<LinkTestClient> Admin(int port) {
  auto client = std::make_unique<LinkTestClient>(port);
  if (!client->Login("ADMIN", "admin")) throw std::runtime_error("login refused");
  return client;
}

std::string Header(std::int64_t id) {
  const std::string n = std::to_string(id);
  return "insert into UP_DELT (ID,NODELT,SID,ORGID,DELPID,ORDERPID,STATE,DTIN) values (" + n + "," + n +
         ",2,'0.02.02','002','maria',1,trunc(sysdate))";
}

// Line k (0, 1, 2) orders a consumable of its own from the contract.
std::string Line(std::int64_t id, int k) {
  return "insert into UP_DeltD (mid,prid,cid,code,qty,up,qtydel,xrUID,ItemAA) select " + std::to_string(id) +
         ",'P008',cid,code,1,up,0,'maria',ItemAA from UP_SymbD where id=" + std::to_string(201 + k);
}

std::int64_t Number(const link::RowSet& rows, std::size_t row, std::size_t col) {
  const base::Variant v = rows.Value(row, col);
  return v.kind() == base::Variant::Kind::Double ? static_cast<std::int64_t>(v.AsDouble()) : v.AsInt64();
}

// The ways a writer commits, each thread keeping to one.
enum class Shape {
  Block,      // begin header; lines; commit; end; in one request
  Requests,   // header, each line and the commit as requests of their own
  Statement,  // one update of a row of its own, then commit
};

struct Writer {
  Shape shape;
  std::int64_t firstId;
  std::set<std::int64_t> acknowledged;  // requisitions whose commit was answered
  std::int64_t lastAcknowledged = 0;    // Statement: the last comment number answered
  std::int64_t lastSent = 0;            // Statement: the last one sent
  std::string stoppedBy;                // the refusal or failure that ended it
  std::atomic<int> commits{0};          // answered so far, for the one who kills
};

// Commits until the connection fails; records what the server answered.
void Write(LinkTestClient& client, Writer& w) {
  try {
    const auto refused = [&](const std::string& error) {
      if (error.empty()) return false;
      w.stoppedBy = error;
      return true;
    };
    for (std::int64_t id = w.firstId + 1;; ++id) {
      if (w.shape == Shape::Block) {
        std::string block = "begin " + Header(id) + ";";
        for (int k = 0; k < kLines; ++k) block += " " + Line(id, k) + ";";
        if (refused(client.Exec(block + " commit; end;"))) return;
        w.acknowledged.insert(id);
        ++w.commits;
      } else if (w.shape == Shape::Requests) {
        if (refused(client.Exec(Header(id)))) return;
        for (int k = 0; k < kLines; ++k) {
          if (refused(client.Exec(Line(id, k)))) return;
        }
        if (refused(client.Exec("commit"))) return;
        w.acknowledged.insert(id);
        ++w.commits;
      } else {
        w.lastSent = id;
        if (refused(client.Exec("update UP_DELT set COMM='" + std::to_string(id) +
                                "' where ID=" + std::to_string(w.firstId))) ||
            refused(client.Exec("commit"))) {
          return;
        }
        w.lastAcknowledged = id;
        ++w.commits;
      }
    }
  } catch (const std::exception& e) {
    // The server went away: whatever was not answered is unknown.
    w.stoppedBy = e.what();
  }
}

TEST(CrashRecovery, AcknowledgedCommitsSurviveAKillAndNoRequisitionIsHalfThere) {
  ServerProcess server;
  constexpr int kRounds = 4;
  const std::vector<Shape> shapes = {Shape::Block, Shape::Block, Shape::Requests, Shape::Requests, Shape::Statement};
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    std::vector<std::unique_ptr<Writer>> writers;
    std::vector<std::unique_ptr<LinkTestClient>> clients;
    for (std::size_t t = 0; t < shapes.size(); ++t) {
      auto w = std::make_unique<Writer>();
      w->shape = shapes[t];
      w->firstId = 100000 + round * 50000 + static_cast<std::int64_t>(t) * 10000;
      writers.push_back(std::move(w));
      clients.push_back(Admin(server.Port()));
    }
    // The rows that the single statements update, committed before the kill.
    for (std::size_t t = 0; t < shapes.size(); ++t) {
      if (writers[t]->shape == Shape::Statement) {
        ASSERT_EQ(clients[t]->Exec(Header(writers[t]->firstId)), "");
        ASSERT_EQ(clients[t]->Exec("commit"), "");
      }
    }
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < shapes.size(); ++t) {
      threads.emplace_back([&, t] { Write(*clients[t], *writers[t]); });
    }
    // The kill comes once every writer has committed a few times, a little
    // later each round, so that it falls at different points of the work.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    const auto committed = [&] {
      for (const auto& w : writers) {
        if (w->commits.load() < 3) return false;
      }
      return true;
    };
    while (!committed() && std::chrono::steady_clock::now() < until) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(37 * round));
    server.Kill();
    for (std::thread& t : threads) t.join();
    server.Restart();

    auto check = Admin(server.Port());
    for (const auto& writer : writers) {
      const Writer& w = *writer;
      const std::string range = std::to_string(w.firstId) + " and " + std::to_string(w.firstId + 9999);
      if (w.shape == Shape::Statement) {
        const auto row = check->Select("select COMM from UP_DELT where ID=" + std::to_string(w.firstId));
        ASSERT_EQ(row.rows.RowCount(), 1u) << row.error;
        const std::int64_t kept = row.rows.IsNull(0, 0) ? 0 : std::stoll(std::string(row.rows.Text(0, 0)));
        EXPECT_GT(w.lastAcknowledged, w.firstId) << "the writer never committed: " << w.stoppedBy;
        EXPECT_GE(kept, w.lastAcknowledged);
        EXPECT_LE(kept, w.lastSent);
        continue;
      }
      const auto lines = check->Select(
          "select d.ID, (select count(*) from UP_DELTD where MID=d.ID) from UP_DELT d "
          "where d.ID between " +
          range);
      ASSERT_EQ(lines.error, "");
      std::map<std::int64_t, std::int64_t> found;
      for (std::size_t r = 0; r < lines.rows.RowCount(); ++r)
        found[Number(lines.rows, r, 0)] = Number(lines.rows, r, 1);
      EXPECT_GE(w.acknowledged.size(), 2u) << "the writer hardly committed: " << w.stoppedBy;
      for (std::int64_t id : w.acknowledged) EXPECT_TRUE(found.contains(id)) << "acknowledged " << id << " is lost";
      // Only the one in hand at the kill may be there without its answer.
      EXPECT_LE(found.size(), w.acknowledged.size() + 1);
      for (const auto& [id, count] : found) EXPECT_EQ(count, kLines) << "requisition " << id << " is half there";
    }
  }
}

std::int64_t FileSize(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? static_cast<std::int64_t>(st.st_size) : 0;
}

// With a reset point of 20 pages the log may reach four times that; the
// writers write many times more than that meanwhile, and the readers keep a
// read going all the time, which is what kept the log from ever starting
// afresh.
TEST(WalBound, TheLogStaysWithinItsBoundUnderContinuousCommitsAndReads) {
  constexpr int kPages = 20;
  constexpr std::int64_t kBound = 4 * kPages * (4096 + 24);
  ServerProcess::Options options;
  options.extra = {"--wal-pages", std::to_string(kPages)};
  ServerProcess server(options);
  const std::string wal = server.Database() + "-wal";

  std::atomic<bool> stop{false};
  std::atomic<int> commits{0};
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      try {
        auto client = Admin(server.Port());
        const std::int64_t base = 500000 + t * 100000;
        for (std::int64_t id = base; !stop.load(); ++id) {
          if (!client->Exec("begin " + Header(id) + "; " + Line(id, 0) + "; commit; end;").empty() ||
              !client->Exec("update UP_DELT set COMM='" + std::to_string(id) + "' where ID=" + std::to_string(id))
                   .empty() ||
              !client->Exec("commit").empty()) {
            ++failures;
            return;
          }
          commits += 2;
        }
      } catch (const std::exception&) {
        ++failures;
      }
    });
  }
  for (int t = 0; t < 3; ++t) {
    threads.emplace_back([&] {
      try {
        auto client = Admin(server.Port());
        while (!stop.load()) {
          if (!client->Select("select * from UORG order by ID").error.empty()) ++failures;
        }
      } catch (const std::exception&) {
        ++failures;
      }
    });
  }
  std::int64_t largest = 0;
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  // Enough commits to write the bound's worth of pages several times over.
  while (commits.load() < 400 && std::chrono::steady_clock::now() < until && failures.load() == 0) {
    largest = std::max(largest, FileSize(wal));
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  stop.store(true);
  for (std::thread& t : threads) t.join();
  largest = std::max(largest, FileSize(wal));

  EXPECT_EQ(failures.load(), 0);
  EXPECT_GE(commits.load(), 400);
  EXPECT_GT(largest, 0);
  EXPECT_LE(largest, kBound);
  EXPECT_LE(FileSize(wal), kBound);
}

}  // namespace
}  // namespace mero::test
