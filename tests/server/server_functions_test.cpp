#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/clock.h"
#include "base/encoding.h"
#include "requisition_fixture.h"
#include "server_db.h"

using namespace mero;
using test::N;
using test::ServerDb;
using ::testing::HasSubstr;

namespace {

const std::string kUnknownUser = "Ο χρήστης δεν είναι καταχωρημένος στην εφαρμογή.";
const std::string kNoContract = "Δεν υπάρχει ανοιχτή σύμβαση για παραγγελία αναλωσίμων σήμερα.";
const std::string kManyContracts = "Υπάρχουν περισσότερες από μία ανοιχτές συμβάσεις για παραγγελία αναλωσίμων σήμερα.";
const std::string kNoUnit = "Δεν υπάρχει μονάδα που να δέχεται παραγγελίες toner.";
const std::string kNotResponsible = "Δεν είστε υπεύθυνος toner σε μονάδα που δέχεται παραγγελίες.";

class UserFunctions : public ::testing::Test {
 protected:
  void SetUp() override {
    // Contract 1 is open 44900-45300 and contract 2 45200-45400, so both are
    // open 45200-45300. Login names are kept in capitals as UpperStr makes
    // them: accented Greek letters keep their accent.
    s.Exec(
        "INSERT INTO USRLU (USRID, IS_SUPERUSER) VALUES ('ADMIN', 1), ('MARIA', 0), ('NIKOS', 0), ('GIORGOS', 0),"
        "  ('KOSTAS', 0), ('ΓΙΑΝΝΗΣ', 1), ('ΕΛΈΝΗ', 0);"
        "INSERT INTO UP_SYMB (ID, DTFMLIM, DTTOLIM) VALUES (1, 44900, 45300), (2, 45200, 45400);"
        "INSERT INTO UORG (ID, TON, TONER_UID) VALUES ('U1', 1, 'maria'), ('U2', 1, 'eleni;kostas'),"
        "  ('U3', 0, 'giorgos'), ('U4', 1, 'ελένη'), ('U5', 1, NULL);");
  }

  std::optional<std::string> Allow(const std::string& argument, double now) {
    base::ScopedClock clock(std::make_shared<base::FixedClock>(now));
    return s.Text("select F_UP_ALLOW_Deltio (" + argument + ") from DUAL ");
  }

  ServerDb s;
};

TEST_F(UserFunctions, SuperUserIsAskedWithoutRegardToCase) {
  const std::vector<std::pair<std::string, std::int64_t>> cases = {
      {"'admin'", 1}, {"'ADMIN'", 1},  {"'Admin'", 1}, {"' admin '", 1}, {"'maria'", 0},   {"'MARIA'", 0},
      {"'nikos'", 0}, {"'nobody'", 0}, {"''", 0},      {"NULL", 0},      {"'γιαννης'", 1}, {"'Γιάννης'", 0},
  };
  for (const auto& [argument, expected] : cases) {
    EXPECT_EQ(s.Int("select F_UP_IS_SUPERUSER(" + argument + ") from DUAL"), expected) << argument;
  }
}

TEST_F(UserFunctions, OrderingIsAllowedToTonerResponsiblesOnADayWithOneOpenContract) {
  struct Case {
    std::string user;
    double now;
    std::optional<std::string> reason;  // nullopt: may order
  };
  const std::vector<Case> cases = {
      {"'maria'", 45000.4, std::nullopt},     {"'MARIA'", 45000.4, std::nullopt},
      {"'admin'", 45000.4, std::nullopt},     {"'ελένη'", 45000.4, std::nullopt},
      {"'nikos'", 45000.4, kNotResponsible},  {"'giorgos'", 45000.4, kNotResponsible},  // his unit takes no orders
      {"'kostas'", 45000.4, kNotResponsible},                                           // named with someone else
      {"'nobody'", 45000.4, kUnknownUser},    {"NULL", 45000.4, kUnknownUser},
      {"'maria'", 44899.9, kNoContract},      {"'maria'", 44900.0, std::nullopt},
      {"'maria'", 45400.99, std::nullopt},    {"'maria'", 45401.0, kNoContract},
      {"'maria'", 45250.5, kManyContracts},   {"'admin'", 44800.0, kNoContract},
      {"'nobody'", 44800.0, kUnknownUser},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Allow(c.user, c.now), c.reason) << c.user << " on " << c.now;
    // The reason is shown to the user in windows-1253.
    if (c.reason) {
      EXPECT_EQ(base::Win1253ToUtf8(base::Utf8ToWin1253(*c.reason)), *c.reason);
    }
  }

  s.Exec("UPDATE UORG SET TON = 0");
  EXPECT_EQ(Allow("'admin'", 45000), kNoUnit);
  EXPECT_EQ(Allow("'maria'", 45000), kNoUnit);
}

TEST_F(UserFunctions, SessionVariablesAndTheClockReachSql) {
  EXPECT_EQ(s.OptInt("SELECT MERO_USRID() IS NULL"), 1);
  s.vars().usrid = "maria";
  s.vars().usrip = "192.0.2.4";
  EXPECT_EQ(s.Text("SELECT MERO_USRID()"), "maria");
  EXPECT_EQ(s.Text("SELECT MERO_USRIP()"), "192.0.2.4");
  s.vars().usrid = "";
  EXPECT_EQ(s.Text("SELECT MERO_USRID()"), std::nullopt);

  base::ScopedClock clock(std::make_shared<base::FixedClock>(45123.25));
  EXPECT_DOUBLE_EQ(s.Double("SELECT MERO_NOW()"), 45123.25);
}

TEST_F(UserFunctions, SequenceValueDrawnInsideASelectIsKept) {
  EXPECT_EQ(s.Int("select MERO_NEXTVAL('SEQ_UP_DELT') from DUAL"), 1);
  server::SessionVars otherVars;
  server::Database other(s.Path(), server::Database::Mode::Existing);
  server::RegisterServerFunctions(other, otherVars);
  server::Prepared q(other.Handle(), "select MERO_NEXTVAL('SEQ_UP_DELT') from DUAL");
  ASSERT_TRUE(q.Step());
  EXPECT_EQ(q.Int(0), 2);
}

// Kinds of F_UP_REQ_Q for printer P1 and consumable 1 under contract 1.
class RequirementQuantities : public ::testing::Test {
 protected:
  void SetUp() override {
    r.CreateWorld();
    auto requisition = [&](std::int64_t id, int sid, const std::string& prid, int cid, int qty, int stage) {
      r.Draft(id, "U1", sid, false);
      r.AddLine(id, prid, cid, N(qty), "10");
      r.BringTo(id, stage >= 8 ? 7 : stage);
    };
    requisition(1, 1, "P1", 1, 2, 1);  // draft
    requisition(2, 1, "P1", 1, 3, 4);  // sent
    requisition(3, 1, "P1", 1, 5, 8);  // in delivery: 2 of 5 delivered
    s.Exec("UPDATE UP_DELTD SET QTYDEL = 2 WHERE MID = 3");
    requisition(4, 1, "P1", 1, 4, 8);  // closed with 3 of 4 delivered
    s.Exec("UPDATE UP_DELTD SET QTYDEL = 3 WHERE MID = 4; UPDATE UP_DELT SET DTCLOSED = 45020 WHERE ID = 4");
    requisition(5, 1, "P1", 1, 7, 1);  // void
    s.Exec("UPDATE UP_DELT SET ACTV = '0' WHERE ID = 5");
    requisition(6, 2, "P1", 1, 11, 2);  // other contract
    requisition(7, 1, "P2", 1, 13, 2);  // other printer
    requisition(8, 1, "P1", 2, 17, 2);  // other consumable
    s.Exec("INSERT INTO UP_CONS_REQ (ID, PRID, CID, QTY) VALUES (1, 'P1', 1, 8), (2, 'P1', 2, 20), (3, 'P2', 2, 1)");
  }

  ServerDb s;
  test::Requisitions r{s};
};

TEST_F(RequirementQuantities, EachKindCountsItsStages) {
  ASSERT_EQ(r.Stage(3), 8);
  ASSERT_EQ(r.Stage(4), 9);
  ASSERT_EQ(r.Stage(5), 0);
  // 1 drafts; 2 outstanding in stages 2-8; 4 delivered; 3 = 2 + 4.
  const std::vector<std::pair<std::string, std::int64_t>> cases = {
      {"F_UP_REQ_Q(1, 1, 1, 'P1')", 2},    {"F_UP_REQ_Q(2, 1, 1, 'P1')", 6},      {"F_UP_REQ_Q(3, 1, 1, 'P1')", 11},
      {"F_UP_REQ_Q(4, 1, 1, 'P1')", 5},    {"F_UP_REQ_Q(3, 2, 1, 'P1')", 11},     {"F_UP_REQ_Q(1, 2, 1, 'P1')", 0},
      {"F_UP_REQ_Q(3, 1, 1, 'P2')", 13},   {"F_UP_REQ_Q(2, 1, 2, 'P1')", 17},     {"F_UP_REQ_Q(3, 0, 1, 'P1')", 0},
      {"F_UP_REQ_Q(3, 1, NULL, 'P1')", 0}, {"F_UP_REQ_Q(3, '1', '1', 'P1')", 11},
  };
  for (const auto& [call, expected] : cases) {
    EXPECT_EQ(s.OptInt("SELECT " + call), expected) << call;
    EXPECT_EQ(s.Text("SELECT typeof(" + call + ")"), "integer") << call;
  }
  EXPECT_THAT(s.ErrorOf("SELECT F_UP_REQ_Q(5, 1, 1, 'P1')"), HasSubstr("ORA-20031: "));
  EXPECT_THAT(s.ErrorOf("SELECT F_UP_REQ_Q(0, 1, 1, 'P1')"), HasSubstr("ORA-20031: "));
}

// The select the requirement windows send, as they send it.
TEST_F(RequirementQuantities, RequirementSelectShowsWhatRemains) {
  const std::string sql =
      "select   F_UP_REQ_Q(1,1, CID,PRID) CLC_Q1,  F_UP_REQ_Q(2,1, CID,PRID) CLC_Q2,  F_UP_REQ_Q(3,1, CID,PRID) "
      "CLC_Q3,  F_UP_REQ_Q(4,1, CID,PRID) CLC_Q4,  (v.QTY-F_UP_REQ_Q(3,1, CID,PRID)) CLC_YPOL,  v.* from "
      "UPV_CONS_REQ v where 1=1  and PRID='P1' order by ID";
  server::Prepared q(s.db().Handle(), sql);
  struct Row {
    std::int64_t q1, q2, q3, q4, ypol, cid;
  };
  std::vector<Row> rows;
  while (q.Step()) rows.push_back({q.Int(0), q.Int(1), q.Int(2), q.Int(3), q.Int(4), q.Int(7)});
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].cid, 1);
  EXPECT_EQ(rows[0].q1, 2);
  EXPECT_EQ(rows[0].q2, 6);
  EXPECT_EQ(rows[0].q3, 11);
  EXPECT_EQ(rows[0].q4, 5);
  EXPECT_EQ(rows[0].ypol, 8 - 11);
  EXPECT_EQ(rows[1].cid, 2);
  EXPECT_EQ(rows[1].ypol, 20 - 17);
}

// The statements of a connection whose text holds part.
int StatementsWith(sqlite3* db, const std::string& part) {
  int n = 0;
  for (sqlite3_stmt* st = sqlite3_next_stmt(db, nullptr); st != nullptr; st = sqlite3_next_stmt(db, st)) {
    const char* sql = sqlite3_sql(st);
    if (sql != nullptr && std::string(sql).find(part) != std::string::npos) ++n;
  }
  return n;
}

// The requirement lists call F_UP_REQ_Q five times per row: its select is
// prepared at the connection's first call and kept, with the same results,
// across schema changes and next to a second connection's own.
TEST_F(RequirementQuantities, TheSumsSelectIsPreparedOncePerConnection) {
  const std::string sums = "FROM UP_DELTD l JOIN UP_DELT d";
  sqlite3* db = s.db().Handle();
  EXPECT_EQ(StatementsWith(db, sums), 0);
  EXPECT_EQ(s.Int("SELECT F_UP_REQ_Q(3, 1, 1, 'P1')"), 11);
  EXPECT_EQ(StatementsWith(db, sums), 1);
  // Many rows, every kind, and a call inside a call's select list.
  EXPECT_EQ(s.Int("SELECT sum(F_UP_REQ_Q(1, 1, 1, 'P1') + F_UP_REQ_Q(2, 1, 1, 'P1') + F_UP_REQ_Q(4, 1, 1, 'P1'))"
                  "  FROM UP_DELTD"),
            8 * (2 + 6 + 5));
  EXPECT_EQ(StatementsWith(db, sums), 1);
  // A kept statement holds no read lock between calls: another connection
  // writes, and the next call sees the write.
  server::SessionVars otherVars;
  server::Database other(s.Path(), server::Database::Mode::Existing, 200);
  server::RegisterServerFunctions(other, otherVars);
  other.Exec("UPDATE UP_DELTD SET QTYDEL = 4 WHERE MID = 3");
  EXPECT_EQ(s.Int("SELECT F_UP_REQ_Q(4, 1, 1, 'P1')"), 7);
  EXPECT_EQ(StatementsWith(db, sums), 1);
  EXPECT_EQ(StatementsWith(other.Handle(), sums), 0);
  {
    server::Prepared q(other.Handle(), "SELECT F_UP_REQ_Q(4, 1, 1, 'P1')");
    ASSERT_TRUE(q.Step());
    EXPECT_EQ(q.Int(0), 7);
  }
  EXPECT_EQ(StatementsWith(other.Handle(), sums), 1);
  // A schema change in between: prepared again by SQLite, same answers.
  s.Exec("CREATE INDEX UP_DELTD_QTYDEL ON UP_DELTD (QTYDEL)");
  other.Exec("UPDATE UP_DELTD SET QTYDEL = 5 WHERE MID = 3");
  EXPECT_EQ(s.Int("SELECT F_UP_REQ_Q(4, 1, 1, 'P1')"), 8);
  EXPECT_EQ(s.Int("SELECT F_UP_REQ_Q(3, 1, 1, 'P1')"), 11);
  EXPECT_EQ(StatementsWith(db, sums), 1);
}

// A connection whose kept statement was used still closes: the last one
// to close takes the journal away.
TEST(RequirementQuantitiesClose, AConnectionThatKeptTheSelectCloses) {
  test::TempDir dir;
  const std::string file = dir.File("mero.db");
  {
    server::SessionVars vars;
    server::Database db(file, server::Database::Mode::Create);
    server::RegisterServerFunctions(db, vars);
    server::CreateSchema(db);
    server::Prepared q(db.Handle(), "SELECT F_UP_REQ_Q(3, 1, 1, 'P1')");
    ASSERT_TRUE(q.Step());
    EXPECT_EQ(q.Int(0), 0);
  }
  EXPECT_TRUE(std::filesystem::exists(file));
  EXPECT_FALSE(std::filesystem::exists(file + "-wal"));
}

}  // namespace

namespace {

// A select that draws from the sequence row by row keeps drawing after
// another session has drawn, although its read snapshot is older than that.
TEST(SequenceSessions, ASelectDrawsPastAnotherSessionsDraws) {
  ServerDb a;
  server::SessionVars bVars;
  server::Database b(a.Path(), server::Database::Mode::Existing, 200);
  server::RegisterServerFunctions(b, bVars);
  auto drawOnB = [&] {
    server::Prepared draw(b.Handle(), "SELECT MERO_NEXTVAL('SEQ_UP_DELT')");
    EXPECT_TRUE(draw.Step());
    return draw.Int(0);
  };

  server::Prepared rows(a.db().Handle(), "SELECT MERO_NEXTVAL('SEQ_UP_DELT') FROM UP_OVPARAMS");
  ASSERT_TRUE(rows.Step());
  EXPECT_EQ(rows.Int(0), 1);
  EXPECT_EQ(drawOnB(), 2);
  ASSERT_TRUE(rows.Step());
  EXPECT_EQ(rows.Int(0), 3);
  rows.Run();
  EXPECT_EQ(drawOnB(), 8);

  // Inside a transaction the draw belongs to it.
  a.Exec("BEGIN; SELECT MERO_NEXTVAL('SEQ_UP_DELT'); ROLLBACK;");
  EXPECT_EQ(drawOnB(), 9);
}

}  // namespace
