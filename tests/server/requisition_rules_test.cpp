#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/clock.h"
#include "base/text_routines.h"
#include "requisition_fixture.h"
#include "server/schema.h"
#include "server_db.h"
#include "support/error_text.h"

using namespace mero;
using test::ServerDb;
using ::testing::HasSubstr;

namespace {

using test::N;

// A unit with two printers and two consumables under an open contract.
class RequisitionRules : public ::testing::Test {
 protected:
  void SetUp() override { r.CreateWorld(); }

  std::int64_t Draft(std::int64_t id, const std::string& org = "U1", int sid = 1, bool withLine = true) {
    return r.Draft(id, org, sid, withLine);
  }
  void AddLine(std::int64_t mid, const std::string& prid, int cid, const std::string& qty, const std::string& up) {
    r.AddLine(mid, prid, cid, qty, up);
  }
  void BringTo(std::int64_t id, int stage) { r.BringTo(id, stage); }
  std::int64_t Stage(std::int64_t id) { return r.Stage(id); }

  ServerDb s;
  test::Requisitions r{s};
};

TEST_F(RequisitionRules, TotalsFollowEveryLineChange) {
  Draft(1, "U1", 1, false);
  struct Step {
    std::string sql;
    double valtot;
    std::int64_t qtytot;
    double valdeliv;
    std::int64_t qtydeliv;
  };
  const std::vector<Step> steps = {
      {"INSERT INTO UP_DELTD (MID, PRID, CID, QTY, UP, QTYDEL) VALUES (1, 'P1', 1, 2, 10, 0)", 20, 2, 0, 0},
      {"INSERT INTO UP_DELTD (MID, PRID, CID, QTY, UP) VALUES (1, 'P1', 2, 3, 0.1)", 20.3, 5, 0, 0},
      {"UPDATE UP_DELTD SET QTY = 4 WHERE MID = 1 AND CID = 1", 40.3, 7, 0, 0},
      {"DELETE FROM UP_DELTD WHERE MID = 1 AND CID = 2", 40, 4, 0, 0},
      // Totals written by hand are put back.
      {"UPDATE UP_DELT SET VALTOT = 999, QTYTOT = 1 WHERE ID = 1", 40, 4, 0, 0},
      {"UPDATE UP_DELT SET DTFIN = 45000, DTSENT = 45001, DTARRIVED = 45002, DTRECEIVED = 45003 WHERE ID = 1", 40, 4, 0,
       0},
      {"UPDATE UP_DELTD SET QTYDEL = 3 WHERE MID = 1", 40, 4, 30, 3},
      {"UPDATE UP_DELTD SET QTYDEL = 5 WHERE MID = 1", 40, 4, 50, 5},
  };
  for (const Step& step : steps) {
    s.Exec(step.sql);
    EXPECT_DOUBLE_EQ(s.Double("SELECT VALTOT FROM UP_DELT WHERE ID = 1"), step.valtot) << step.sql;
    EXPECT_EQ(s.Int("SELECT QTYTOT FROM UP_DELT WHERE ID = 1"), step.qtytot) << step.sql;
    EXPECT_DOUBLE_EQ(s.Double("SELECT VALDELIV FROM UP_DELT WHERE ID = 1"), step.valdeliv) << step.sql;
    EXPECT_EQ(s.Int("SELECT QTYDELIV FROM UP_DELT WHERE ID = 1"), step.qtydeliv) << step.sql;
  }
  // Another requisition's totals are untouched.
  Draft(2);
  EXPECT_DOUBLE_EQ(s.Double("SELECT VALTOT FROM UP_DELT WHERE ID = 2"), 20);
  EXPECT_DOUBLE_EQ(s.Double("SELECT VALTOT FROM UP_DELT WHERE ID = 1"), 40);
}

TEST_F(RequisitionRules, LineIdsComeFromTheDatabaseAndAreNeverReused) {
  Draft(1, "U1", 1, false);
  AddLine(1, "P1", 1, "1", "10");
  AddLine(1, "P1", 2, "1", "10");
  const std::int64_t first = s.Int("SELECT min(ID) FROM UP_DELTD");
  const std::int64_t last = s.Int("SELECT max(ID) FROM UP_DELTD");
  EXPECT_GT(first, 0);
  EXPECT_GT(last, first);
  s.Exec("DELETE FROM UP_DELTD WHERE ID = " + N(last));
  AddLine(1, "P1", 1, "1", "10");
  EXPECT_GT(s.Int("SELECT max(ID) FROM UP_DELTD"), last);
}

// Every transition, with the database's recursive triggers off (SQLite's
// default) and on: the rules must not depend on it.
class StageMachine : public RequisitionRules, public ::testing::WithParamInterface<bool> {};

TEST_P(StageMachine, DatesMoveTheRequisitionThroughItsStages) {
  if (GetParam()) s.Exec("PRAGMA recursive_triggers = ON");
  Draft(1);
  struct Step {
    std::string sql;
    std::int64_t stage;
  };
  const std::vector<Step> steps = {
      {"UPDATE UP_DELT SET COMM = 'σχόλιο' WHERE ID = 1", 1},
      {"UPDATE UP_DELT SET DTFIN = 45000 WHERE ID = 1", 2},
      {"UPDATE UP_DELT SET DTSENT = 45001 WHERE ID = 1", 4},
      {"UPDATE UP_DELT SET DTARRIVED = 45003 WHERE ID = 1", 6},
      {"UPDATE UP_DELT SET DTRECEIVED = 45003 WHERE ID = 1", 7},
      {"UPDATE UP_DELTD SET QTYDEL = 1 WHERE MID = 1", 8},
      {"UPDATE UP_DELTD SET QTYDEL = 0 WHERE MID = 1", 7},
      {"UPDATE UP_DELTD SET QTYDEL = QTY WHERE MID = 1", 8},
      {"UPDATE UP_DELT SET DTCLOSED = 45010 WHERE ID = 1", 9},
      // Clearing the latest date steps back one stage.
      {"UPDATE UP_DELT SET DTCLOSED = NULL WHERE ID = 1", 8},
      {"UPDATE UP_DELT SET DTCLOSED = 45011 WHERE ID = 1", 9},
  };
  for (const Step& step : steps) {
    s.Exec(step.sql);
    EXPECT_EQ(Stage(1), step.stage) << step.sql;
  }

  Draft(2);
  s.Exec("UPDATE UP_DELT SET ACTV = '0' WHERE ID = 2");
  EXPECT_EQ(Stage(2), 0);
  s.Exec("UPDATE UP_DELT SET ACTV = '1' WHERE ID = 2");
  EXPECT_EQ(Stage(2), 1);
  s.Exec("INSERT INTO UP_DELT (ID, SID, ORGID, STATE, ACTV) VALUES (3, 1, 'U1', 1, '0')");
  EXPECT_EQ(Stage(3), 0);
  s.Exec("INSERT INTO UP_DELT (ID, SID, ORGID) VALUES (4, 1, 'U1')");
  EXPECT_EQ(Stage(4), 1);
  EXPECT_EQ(s.Text("SELECT ACTV FROM UP_DELT WHERE ID = 4"), "1");
}

INSTANTIATE_TEST_SUITE_P(RecursiveTriggers, StageMachine, ::testing::Bool());

TEST_F(RequisitionRules, WhatSkipsAStageOrBreaksARuleIsRefused) {
  struct Case {
    int stage;  // the stage the requisition is brought to first
    std::string sql;
    std::string error;
  };
  // {id} stands for the requisition's ID.
  const std::vector<Case> cases = {
      {1, "UPDATE UP_DELT SET DTSENT = 45001 WHERE ID = {id}", "ORA-20006"},
      {1, "UPDATE UP_DELT SET DTARRIVED = 45001 WHERE ID = {id}", "ORA-20007"},
      {1, "UPDATE UP_DELT SET DTRECEIVED = 45001 WHERE ID = {id}", "ORA-20008"},
      {1, "UPDATE UP_DELT SET DTCLOSED = 45001 WHERE ID = {id}", "ORA-20009"},
      {1, "UPDATE UP_DELT SET STATE = 2 WHERE ID = {id}", "ORA-20002"},
      {1, "UPDATE UP_DELTD SET QTYDEL = 1 WHERE MID = {id}", "ORA-20016"},
      {1, "UPDATE UP_DELTD SET QTY = 0 WHERE MID = {id}", "ORA-20014"},
      {1, "UPDATE UP_DELTD SET QTY = 1.5 WHERE MID = {id}", "ORA-20014"},
      {2, "UPDATE UP_DELT SET DTARRIVED = 45003 WHERE ID = {id}", "ORA-20007"},
      {2, "UPDATE UP_DELT SET DTSENT = 44999 WHERE ID = {id}", "ORA-20011"},
      {2, "UPDATE UP_DELT SET ACTV = '0' WHERE ID = {id}", "ORA-20003"},
      {2, "UPDATE UP_DELT SET STATE = 9 WHERE ID = {id}", "ORA-20002"},
      {2, "INSERT INTO UP_DELTD (MID, PRID, CID, QTY, UP) VALUES ({id}, 'P1', 1, 1, 10)", "ORA-20013"},
      {2, "UPDATE UP_DELTD SET QTY = 5 WHERE MID = {id}", "ORA-20015"},
      {2, "UPDATE UP_DELTD SET UP = 1 WHERE MID = {id}", "ORA-20015"},
      {2, "UPDATE UP_DELTD SET QTYDEL = 1 WHERE MID = {id}", "ORA-20016"},
      {2, "DELETE FROM UP_DELTD WHERE MID = {id}", "ORA-20018"},
      {2, "DELETE FROM UP_DELT WHERE ID = {id}", "ORA-20012"},
      {4, "UPDATE UP_DELT SET DTRECEIVED = 45005 WHERE ID = {id}", "ORA-20008"},
      {4, "UPDATE UP_DELT SET DTFIN = NULL WHERE ID = {id}", "ORA-20006"},
      {6, "UPDATE UP_DELT SET DTRECEIVED = 45004 WHERE ID = {id}", "ORA-20011"},
      {7, "UPDATE UP_DELT SET DTCLOSED = 45009 WHERE ID = {id}", "ORA-20009"},
      {8, "UPDATE UP_DELT SET DTRECEIVED = NULL WHERE ID = {id}", "ORA-20010"},
      {8, "UPDATE UP_DELTD SET QTYDEL = -1 WHERE MID = {id}", "ORA-20017"},
      {8, "UPDATE UP_DELTD SET QTYDEL = 0.5 WHERE MID = {id}", "ORA-20017"},
      {8, "UPDATE UP_DELT SET DTCLOSED = 45005 WHERE ID = {id}", "ORA-20011"},
      {9, "UPDATE UP_DELTD SET QTYDEL = 2 WHERE MID = {id}", "ORA-20016"},
      {9, "DELETE FROM UP_DELT WHERE ID = {id}", "ORA-20012"},
      {0, "UPDATE UP_DELT SET DTFIN = 45000 WHERE ID = {id}", "ORA-20004"},
      {0, "INSERT INTO UP_DELTD (MID, PRID, CID, QTY, UP) VALUES ({id}, 'P1', 1, 1, 10)", "ORA-20013"},
  };
  std::int64_t id = 100;
  for (const Case& c : cases) {
    ++id;
    Draft(id);
    BringTo(id, c.stage);
    const std::string before =
        *s.Text("SELECT STATE || '/' || VALTOT || '/' || QTYDELIV FROM UP_DELT WHERE ID = " + N(id));
    const std::string sql = base::ReplaceAll(c.sql, "{id}", N(id));
    EXPECT_THAT(s.ErrorOf(sql), HasSubstr(c.error + ": ")) << "stage " << c.stage << ": " << sql;
    EXPECT_EQ(*s.Text("SELECT STATE || '/' || VALTOT || '/' || QTYDELIV FROM UP_DELT WHERE ID = " + N(id)), before)
        << sql;
  }
}

TEST_F(RequisitionRules, RefusalsCarryTheirGreekText) {
  Draft(1);
  EXPECT_THAT(s.ErrorOf("UPDATE UP_DELT SET DTSENT = 45001 WHERE ID = 1"),
              HasSubstr("ORA-20006: Το δελτίο αποστέλλεται μόνο αφού οριστικοποιηθεί"));
  Draft(2, "U1", 1, false);
  EXPECT_THAT(s.ErrorOf("UPDATE UP_DELT SET DTFIN = 45000 WHERE ID = 2"),
              HasSubstr("ORA-20005: Δεν μπορεί να οριστικοποιηθεί δελτίο χωρίς αξία"));
}

TEST_F(RequisitionRules, NewHeadersAndLinesStartAsDrafts) {
  Draft(1);
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"INSERT INTO UP_DELT (ID, SID, ORGID, DTFIN) VALUES (10, 1, 'U1', 45000)", "ORA-20001"},
      {"INSERT INTO UP_DELT (ID, SID, ORGID, DTARRIVED) VALUES (10, 1, 'U1', 45000)", "ORA-20001"},
      {"INSERT INTO UP_DELT (ID, SID, ORGID, STATE) VALUES (10, 1, 'U1', 4)", "ORA-20002"},
      {"INSERT INTO UP_DELTD (MID, PRID, CID, QTY, UP) VALUES (1, 'P1', 1, 0, 10)", "ORA-20014"},
      {"INSERT INTO UP_DELTD (MID, PRID, CID, QTY, UP) VALUES (1, 'P1', 1, NULL, 10)", "ORA-20014"},
      {"INSERT INTO UP_DELTD (MID, PRID, CID, QTY, UP) VALUES (1, 'P1', 1, 2.5, 10)", "ORA-20014"},
      {"INSERT INTO UP_DELTD (MID, PRID, CID, QTY, UP) VALUES (1, 'P1', 1, 'δύο', 10)", "ORA-20014"},
      {"INSERT INTO UP_DELTD (MID, PRID, CID, QTY, UP, QTYDEL) VALUES (1, 'P1', 1, 2, 10, 1)", "ORA-20016"},
  };
  for (const auto& [sql, error] : cases) EXPECT_THAT(s.ErrorOf(sql), HasSubstr(error + ": ")) << sql;
  EXPECT_EQ(s.Int("SELECT count(*) FROM UP_DELT"), 1);
  EXPECT_EQ(s.Int("SELECT count(*) FROM UP_DELTD"), 1);

  // A line of a requisition that does not exist fails on its reference.
  EXPECT_NE(s.ErrorOf("INSERT INTO UP_DELTD (MID, PRID, CID, QTY, UP) VALUES (99, 'P1', 1, 1, 10)"), "<no error>");
  EXPECT_EQ(s.LastErrorCode(), SQLITE_CONSTRAINT_FOREIGNKEY);
}

TEST_F(RequisitionRules, DraftsAndVoidRequisitionsAreDeletedLinesFirst) {
  Draft(1);
  Draft(2);
  BringTo(2, 0);
  EXPECT_NE(s.ErrorOf("DELETE FROM UP_DELT WHERE ID = 1"), "<no error>");
  EXPECT_EQ(s.LastErrorCode(), SQLITE_CONSTRAINT_FOREIGNKEY);
  for (int id : {1, 2}) {
    EXPECT_EQ(s.ErrorOf("BEGIN; DELETE FROM UP_DELTD WHERE MID = " + N(id) +
                        "; DELETE FROM UP_DELT WHERE ID = " + N(id) + "; COMMIT;"),
              "<no error>");
  }
  EXPECT_EQ(s.Int("SELECT count(*) FROM UP_DELT"), 0);
  EXPECT_EQ(s.Int("SELECT count(*) FROM UP_DELTD"), 0);
}

// VORD1 counts the unit's valid requisitions under the contract from
// finalisation on; VYPOL1 = VANAL - VORD1.
TEST_F(RequisitionRules, BudgetFiguresAreBroughtUpToDateByAnyUpdate) {
  s.Exec("INSERT INTO UORGN (ORGID, SID, VANAL, VLIM1) VALUES ('U1', '1', 100, 80), ('U2', '1', 50, 40)");
  Draft(1);  // 20, stays a draft
  Draft(2);  // 20, finalised
  BringTo(2, 2);
  Draft(3);  // 20 + 7.5, closed
  AddLine(3, "P1", 2, "3", "2.5");
  BringTo(3, 9);
  Draft(4);  // void
  BringTo(4, 0);
  Draft(5, "U2");  // other unit
  BringTo(5, 2);
  Draft(6, "U1", 2);  // other contract
  BringTo(6, 4);

  // The rows were written before the requisitions and follow them.
  EXPECT_DOUBLE_EQ(s.Double("SELECT VORD1 FROM UORGN WHERE ORGID = 'U1'"), 47.5);
  s.Exec("update UORGN set VYPOL1=0 where ORGID='U1' and SID='1'");
  EXPECT_DOUBLE_EQ(s.Double("SELECT VORD1 FROM UORGN WHERE ORGID = 'U1'"), 47.5);
  EXPECT_DOUBLE_EQ(s.Double("SELECT VYPOL1 FROM UORGN WHERE ORGID = 'U1'"), 52.5);
  EXPECT_DOUBLE_EQ(s.Double("SELECT VORD1 FROM UORGN WHERE ORGID = 'U2'"), 20);

  BringTo(1, 2);
  s.Exec("update UORGN set VYPOL1=0 where ORGID='U1' and SID='1'");
  EXPECT_DOUBLE_EQ(s.Double("SELECT VORD1 FROM UORGN WHERE ORGID = 'U1'"), 67.5);
  EXPECT_DOUBLE_EQ(s.Double("SELECT VYPOL1 FROM UORGN WHERE ORGID = 'U1'"), 32.5);

  // Whatever column is written, and a new allotted amount counts at once.
  s.Exec("UPDATE UORGN SET VANAL = 60, VORD1 = 0 WHERE ORGID = 'U1'");
  EXPECT_DOUBLE_EQ(s.Double("SELECT VORD1 FROM UORGN WHERE ORGID = 'U1'"), 67.5);
  EXPECT_DOUBLE_EQ(s.Double("SELECT VYPOL1 FROM UORGN WHERE ORGID = 'U1'"), -7.5);

  // A new row starts current; a row without VANAL has a negative balance.
  s.Exec("INSERT INTO UORGN (ORGID, SID) VALUES ('U2', '2')");
  s.Exec("INSERT INTO UORGN (ORGID, SID, VANAL) VALUES ('U1', '2', 10)");
  EXPECT_DOUBLE_EQ(s.Double("SELECT VORD1 FROM UORGN WHERE ORGID = 'U1' AND SID = '2'"), 20);
  EXPECT_DOUBLE_EQ(s.Double("SELECT VYPOL1 FROM UORGN WHERE ORGID = 'U1' AND SID = '2'"), -10);
  EXPECT_DOUBLE_EQ(s.Double("SELECT VYPOL1 FROM UORGN WHERE ORGID = 'U2' AND SID = '2'"), 0);
}

// A budget row follows the requisitions it counts without being written: a
// change of stage, value, unit or contract moves the figure of the old and of
// the new row, whatever the recursive-trigger setting.
TEST_P(StageMachine, BudgetRowsFollowTheirRequisitionsWithoutBeingTouched) {
  if (GetParam()) s.Exec("PRAGMA recursive_triggers = ON");
  s.Exec(
      "INSERT INTO UORGN (ORGID, SID, VANAL, VLIM1) VALUES ('U1', '1', 100, 80), ('U2', '1', 50, 40), "
      "('U1', '2', 30, 30)");
  auto figures = [this](const std::string& org, const std::string& sid) {
    const std::string where = " FROM UORGN WHERE ORGID = '" + org + "' AND SID = '" + sid + "'";
    return std::vector<double>{s.Double("SELECT VORD1" + where), s.Double("SELECT VYPOL1" + where)};
  };
  using V = std::vector<double>;
  Draft(1);  // 20 for U1 under contract 1
  Draft(2);
  EXPECT_EQ(figures("U1", "1"), (V{0, 100})) << "drafts do not count";

  struct Step {
    std::string sql;
    V u1c1, u2c1, u1c2;
  };
  const std::vector<Step> steps = {
      {"UPDATE UP_DELT SET DTFIN = 45000 WHERE ID = 1", {20, 80}, {0, 50}, {0, 30}},
      // A line of a draft changes nothing yet; finalised, it counts.
      {"UPDATE UP_DELTD SET QTY = 5 WHERE MID = 2", {20, 80}, {0, 50}, {0, 30}},
      {"UPDATE UP_DELT SET DTFIN = 45000 WHERE ID = 2", {70, 30}, {0, 50}, {0, 30}},
      {"UPDATE UP_DELT SET DTSENT = 45001 WHERE ID = 2", {70, 30}, {0, 50}, {0, 30}},
      // Moved to another unit, then to another contract: both rows move.
      {"UPDATE UP_DELT SET ORGID = 'U2' WHERE ID = 1", {50, 50}, {20, 30}, {0, 30}},
      {"UPDATE UP_DELT SET SID = 2, ORGID = 'U1' WHERE ID = 1", {50, 50}, {0, 50}, {20, 10}},
      // Stepping back to a draft takes the value out again.
      {"UPDATE UP_DELT SET DTFIN = NULL WHERE ID = 1", {50, 50}, {0, 50}, {0, 30}},
      {"DELETE FROM UP_DELTD WHERE MID = 1", {50, 50}, {0, 50}, {0, 30}},
      {"DELETE FROM UP_DELT WHERE ID = 1", {50, 50}, {0, 50}, {0, 30}},
  };
  for (const Step& step : steps) {
    s.Exec(step.sql);
    EXPECT_EQ(figures("U1", "1"), step.u1c1) << step.sql;
    EXPECT_EQ(figures("U2", "1"), step.u2c1) << step.sql;
    EXPECT_EQ(figures("U1", "2"), step.u1c2) << step.sql;
  }
  // A requisition inserted already void or draft leaves the figure as it is,
  // and one of a unit without a budget row touches no row.
  s.Exec("INSERT INTO UP_DELT (ID, SID, ORGID, STATE, ACTV) VALUES (7, 1, 'U1', 1, '0')");
  Draft(8, "U2", 2);
  BringTo(8, 2);
  EXPECT_EQ(figures("U1", "1"), (V{50, 50}));
  EXPECT_EQ(s.Int("SELECT count(*) FROM UORGN"), 3);
}

TEST_F(RequisitionRules, SequenceGivesNewKeysAndNeverFallsBehind) {
  EXPECT_EQ(s.Int("SELECT MERO_NEXTVAL('SEQ_UP_DELT')"), 1);
  EXPECT_EQ(s.Int("SELECT MERO_NEXTVAL('SEQ_UP_DELT') FROM DUAL"), 2);
  EXPECT_EQ(s.Int("SELECT MERO_NEXTVAL('seq_up_delt')"), 3);
  EXPECT_EQ(s.Int("SELECT LAST_VALUE FROM MERO_SEQUENCES WHERE NAME = 'SEQ_UP_DELT'"), 3);
  EXPECT_THAT(s.ErrorOf("SELECT MERO_NEXTVAL('SEQ_NOTHING')"), HasSubstr("ORA-02289: sequence does not exist"));

  Draft(50);  // an ID written without the sequence
  EXPECT_EQ(s.Int("SELECT MERO_NEXTVAL('SEQ_UP_DELT')"), 51);
  s.Exec("INSERT INTO UP_DELT (SID, ORGID) VALUES (1, 'U1')");  // no ID at all
  EXPECT_EQ(s.Int("SELECT max(ID) FROM UP_DELT"), 52);
  EXPECT_EQ(s.Int("SELECT MERO_NEXTVAL('SEQ_UP_DELT')"), 53);
  // As a generated insert draws its key.
  s.Exec("INSERT INTO UP_DELT (ID, SID, ORGID) VALUES (MERO_NEXTVAL('SEQ_UP_DELT'), 1, 'U1')");
  EXPECT_EQ(s.Int("SELECT max(ID) FROM UP_DELT"), 54);
  EXPECT_EQ(s.Int("SELECT LAST_VALUE FROM MERO_SEQUENCES WHERE NAME = 'SEQ_UP_DELT'"), 54);
  EXPECT_EQ(s.Int("SELECT count(*) FROM sqlite_sequence WHERE name = 'UP_DELT'"), 1);
  // The sequence cannot be drawn from a view or trigger.
  EXPECT_NE(s.ErrorOf("CREATE VIEW V_SEQ AS SELECT MERO_NEXTVAL('SEQ_UP_DELT') AS N; SELECT * FROM V_SEQ;"),
            "<no error>");
}

TEST_F(RequisitionRules, AuditRecordsWhoChangedWhatOnlyWhileTheUserIsSet) {
  Draft(1);
  EXPECT_EQ(s.Int("SELECT count(*) FROM MERO_AUDIT"), 0);
  const std::string lineId = *s.Text("SELECT ID FROM UP_DELTD WHERE MID = 1");

  base::ScopedClock clock(std::make_shared<base::FixedClock>(45000.5));
  s.vars().usrid = "maria";
  s.vars().usrip = "10.0.0.7";
  s.Exec("UPDATE UP_DELT SET COMM = 'επείγον' WHERE ID = 1");
  s.Exec("UPDATE UP_PRINTERS SET OFFICE = 'Γραφείο 3' WHERE ID = 'P1'");
  s.Exec("INSERT INTO UORGN (ORGID, SID, VANAL) VALUES ('U1', '1', 10)");
  s.Exec("DELETE FROM UP_DELTD WHERE MID = 1");
  s.vars().usrid.reset();
  s.vars().usrip.reset();
  s.Exec("UPDATE UP_PRINTERS SET OFFICE = 'Γραφείο 4' WHERE ID = 'P1'");

  struct Row {
    std::string table;
    std::string key;
    std::string action;
  };
  std::vector<Row> rows;
  server::Prepared q(s.db().Handle(),
                     "SELECT TABLE_NAME, ROW_KEY, ACTION, USRID, USRIP, DTACTION FROM MERO_AUDIT ORDER BY ID");
  while (q.Step()) {
    rows.push_back({q.Text(0), q.Text(1), q.Text(2)});
    EXPECT_EQ(q.Text(3), "maria");
    EXPECT_EQ(q.Text(4), "10.0.0.7");
    EXPECT_DOUBLE_EQ(q.Double(5), 45000.5);
  }
  auto has = [&](const std::string& table, const std::string& key, const std::string& action) {
    for (const Row& row : rows) {
      if (row.table == table && row.key == key && row.action == action) return true;
    }
    return false;
  };
  EXPECT_TRUE(has("UP_DELT", "1", "U"));
  EXPECT_TRUE(has("UP_PRINTERS", "P1", "U"));
  EXPECT_TRUE(has("UORGN", "U1/1", "I"));
  EXPECT_TRUE(has("UP_DELTD", lineId, "D"));
  // The change made after the user was cleared left no row.
  EXPECT_EQ(s.Int("SELECT count(*) FROM MERO_AUDIT WHERE TABLE_NAME = 'UP_PRINTERS'"), 1);
}

TEST_F(RequisitionRules, DispatchSendsFinalisedRequisitionsOnly) {
  Draft(1);
  BringTo(1, 2);
  server::DispatchRequisition(s.db(), 1, 45003.75);
  EXPECT_EQ(Stage(1), 4);
  EXPECT_DOUBLE_EQ(s.Double("SELECT DTSENT FROM UP_DELT WHERE ID = 1"), 45003);

  Draft(2);
  auto error = [&](std::int64_t id) {
    return test::ErrorOf<server::SqlError>([&] { server::DispatchRequisition(s.db(), id, 45003); });
  };
  EXPECT_THAT(error(1), HasSubstr("ORA-20020: "));
  EXPECT_THAT(error(2), HasSubstr("ORA-20006: "));
  EXPECT_THAT(error(77), HasSubstr("ORA-20019: "));
  EXPECT_EQ(Stage(2), 1);
}

}  // namespace
