// Garbage in: every prefix of every client statement, and random mutations
// of them, through the engine on the demo database. Each must end in success or an Oracle error
// text; nothing may crash, hang or read outside a buffer (the sanitizers
// watch).

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "base/clock.h"
#include "base/date_time.h"
#include "client_statements.h"
#include "server/database.h"
#include "server/schema.h"
#include "sql_session.h"
#include "support/temp_dir.h"

using namespace mero;

namespace {

class SqlGarbage : public ::testing::Test {
 protected:
  SqlGarbage()
      : clock_(std::make_shared<base::FixedClock>(base::EncodeDate(2024, 3, 5))),
        s_(dir_.File("g.db"), server::Database::Mode::Create, 50) {
    server::CreateSchema(s_.db);
    server::LoadDemoData(s_.db, base::EncodeDate(2024, 3, 5));
    s_.Engine();
  }

  // Runs the text as a query and as a request; true when the outcome was a
  // result or an Oracle error.
  bool Survives(const std::string& sql) {
    bool ok = true;
    for (bool query : {true, false}) {
      try {
        if (query) {
          s_.Select(sql, 3);
        } else {
          s_.Execute(sql);
        }
      } catch (const server::SqlError& e) {
        ok = ok && std::string(e.what()).rfind("ORA-", 0) == 0;
      }
      s_.Engine().Rollback();
    }
    return ok;
  }

  test::TempDir dir_;
  base::ScopedClock clock_;
  test::SqlSession s_;
};

TEST_F(SqlGarbage, EveryPrefixOfEveryClientStatement) {
  std::vector<std::string> seeds;
  for (const test::ClientStatement& c : test::ClientStatements()) seeds.push_back(c.sql);
  for (const std::string& seed : seeds) {
    for (std::size_t n = 0; n <= seed.size(); n += 3) {
      const std::string prefix = seed.substr(0, n);
      EXPECT_TRUE(Survives(prefix)) << prefix;
    }
  }
}

TEST_F(SqlGarbage, RandomMutationsOfClientStatements) {
  const std::vector<std::string> pieces = {
      "(",        ")",      "'",       "\"",      ",",       ";",      "||",
      "--",       "/*",     "*/",      ":=",      ":x",      "select", "from",
      "where",    "BEGIN",  "END;",    "NULL",    "1e",      ".5",     "Άλφα",
      "\xCE",     "\n",     "\r",      "NQ.",     ".",       "*",      "in (",
      "between",  "and",    "or",      "nextval", "sysdate", "''",     "'01/13/2024'",
      "TO_DATE(", "commit", "rollback"};
  std::mt19937 rng(20240305);
  const std::vector<test::ClientStatement>& seeds = test::ClientStatements();
  for (int round = 0; round < 1500; ++round) {
    std::string sql = seeds[rng() % seeds.size()].sql;
    const int edits = 1 + static_cast<int>(rng() % 4);
    for (int e = 0; e < edits; ++e) {
      const std::size_t at = sql.empty() ? 0 : rng() % (sql.size() + 1);
      switch (rng() % 3) {
        case 0:
          sql.insert(at, pieces[rng() % pieces.size()]);
          break;
        case 1:
          sql.erase(at, rng() % 8);
          break;
        default:
          sql.insert(at, 1, static_cast<char>(rng() % 256));
          break;
      }
    }
    EXPECT_TRUE(Survives(sql)) << sql;
  }
}

}  // namespace
