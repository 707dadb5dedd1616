#include "server/sql_engine.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <string>

#include "base/clock.h"
#include "base/date_time.h"
#include "base/encoding.h"
#include "link/codec/field_type.h"
#include "link/codec/param_list.h"
#include "server/database.h"
#include "sql_session.h"
#include "support/error_text.h"
#include "support/temp_dir.h"

using namespace mero;
using namespace mero::base::literals;

namespace {

class SqlEngineTest : public ::testing::Test {
 protected:
  SqlEngineTest() : a_(dir_.File("m.db"), server::Database::Mode::Create) {
    a_.Setup(test::kTestSchema);
    a_.Engine();
  }

  // A second session on the same file, as another user's connection.
  std::unique_ptr<test::SqlSession> Other(int busyTimeoutMs = 2000) {
    auto s = std::make_unique<test::SqlSession>(dir_.File("m.db"), server::Database::Mode::Existing, busyTimeoutMs);
    s->Engine();
    return s;
  }

  // SQLite's own view of a value: "typeof:value".
  std::string Raw(const std::string& sql) {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(a_.db.Handle(), sql.c_str(), -1, &st, nullptr);
    std::string out = "<none>";
    if (sqlite3_step(st) == SQLITE_ROW) {
      const auto* t = sqlite3_column_text(st, 0);
      out = std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, 1))) + ":" +
            (t != nullptr ? reinterpret_cast<const char*>(t) : "<null>");
    }
    sqlite3_finalize(st);
    return out;
  }

  std::string Error(const std::function<void()>& call) { return test::ErrorOf<server::SqlError>(call); }

  test::TempDir dir_;
  test::SqlSession a_;
};

TEST_F(SqlEngineTest, DateLiteralsMeetingDateColumnsAreStoredAndComparedAsDates) {
  a_.Execute("Insert Into NQ.UP_DELT (ID,SID,ORGID,STATE,DTIN)\r Values (3,2,'0.01',1,'05/03/2024')");
  a_.Execute(
      "UPDATE NQ.UP_DELT SET NQ.UP_DELT.DTFIN = TO_DATE('06/03/2024 10:30:00','DD/MM/YYYY HH24:MI:SS')  "
      "Where NQ.UP_DELT.ID = 3");
  EXPECT_EQ(Raw("SELECT DTIN, typeof(DTIN) FROM UP_DELT WHERE ID = 3"), "integer:45356");
  EXPECT_EQ(Raw("SELECT DTFIN, typeof(DTFIN) FROM UP_DELT WHERE ID = 3"), "real:45357.4375");

  const std::pair<const char*, const char*> cases[] = {
      {"select count(*) from UP_DELT where DTIN = '05/03/2024'", "2"},
      {"select count(*) from UP_DELT where DTIN >= '06/03/2024'", "1"},
      {"select count(*) from UP_DELT where DTIN between '05/03/2024' and '06/03/2024 12:00:00'", "3"},
      {"select count(*) from UP_DELT where DTIN in ('01/01/2020', '06/03/2024 12:00:00')", "1"},
      {"select count(*) from UP_DELT where DTFIN = TO_DATE('06/03/2024 10:30','DD/MM/YYYY HH24:MI')", "1"},
      {"select count(*) from UP_DELT where TRUNC(DTFIN) = '06/03/2024'", "1"},
      {"select DTFIN from UP_DELT where ID = 3", "06/03/2024 10:30:00"},
      {"select TO_CHAR(DTIN,'DD/MM/YYYY') from UP_DELT where ID = 3", "05/03/2024"},
  };
  for (const auto& [sql, value] : cases) EXPECT_EQ(a_.Value(sql), value) << sql;
}

TEST_F(SqlEngineTest, TextColumnsKeepDateLikeTextsAndEmptyTextIsNull) {
  a_.Execute("insert into UORG (ID, NAME) values ('05/03/2024', '06/03/2024')");
  EXPECT_EQ(Raw("SELECT NAME, typeof(NAME) FROM UORG WHERE ID = '05/03/2024'"), "text:06/03/2024");
  EXPECT_EQ(a_.Value("select ID from UORG where NAME = '01/02/2024'"), "0.03");

  a_.Execute("update UP_DELT set COMM='' where ID=1");
  EXPECT_EQ(Raw("SELECT COMM, typeof(COMM) FROM UP_DELT WHERE ID = 1"), "null:<null>");
  EXPECT_EQ(a_.Value("select count(*) from UP_DELT where COMM is null"), "2");
  EXPECT_EQ(a_.Value("select count(*) from UP_DELT where COMM = ''"), "0");  // '' is NULL: never equal
  EXPECT_EQ(a_.Value("select NVL(COMM, 'κενό') from UP_DELT where ID = 1"), "κενό");
}

TEST_F(SqlEngineTest, GreekTextsCaseAndLikeFollowOracle) {
  EXPECT_EQ(a_.Value("select NAME from UORG where ID = '0.01'"), "Άλφα");
  EXPECT_EQ(a_.Value("select UPPER(NAME) from UORG where ID = '0.01'"), "ΆΛΦΑ");
  EXPECT_EQ(a_.Value("select ID from UORG where UPPER(NAME) = 'ΆΛΦΑ'"), "0.01");
  EXPECT_EQ(a_.Value("select LOWER('ΤΕΛΟΣ') from dual"), "τελοσ");
  EXPECT_EQ(a_.Value("select UPPER('τέλος') from dual"), "ΤΈΛΟΣ");
  EXPECT_EQ(a_.Value("select count(*) from UORG where NAME like 'Άλ%'"), "1");
  EXPECT_EQ(a_.Value("select count(*) from UORG where NAME like 'άλ%'"), "0");
  EXPECT_EQ(a_.Value("select count(*) from UORG where NAME like 'BETA'"), "0");
  EXPECT_EQ(a_.Value("select count(*) from UORG where NAME like '_λφα'"), "1");
  EXPECT_EQ(a_.Value("select ID||' - '||NAME from UORG where ID = '0.01'"), "0.01 - Άλφα");
  EXPECT_EQ(a_.Value("select NAME||NULL||TON from UORG where ID = '0.02'"), "beta0");
}

TEST_F(SqlEngineTest, LpadAndRpadReadDatesAsTheirText) {
  const test::Rows r = a_.Select(
      "select LPAD(d.ID, 4, '0') code, RPAD(NAME, 6, '.'), LPAD(DTIN, 12), RPAD(ORGID, 2) from UP_DELT d, UORG o "
      "where o.ID = d.ORGID and d.ID = 1");
  ASSERT_EQ(r.Count(), 1U);
  EXPECT_EQ(r.columns[0].name, "CODE");
  EXPECT_EQ(r.columns[0].fieldType, link::ftString);
  EXPECT_EQ(r.Cell(0, 0), "0001");
  EXPECT_EQ(r.Cell(0, 1), "Άλφα..");
  EXPECT_EQ(r.Cell(0, 2), "  05/03/2024");
  EXPECT_EQ(r.Cell(0, 3), "0.");
}

TEST_F(SqlEngineTest, ResultColumnsCarryOracleNamesAndTypes) {
  const test::Rows r = a_.Select("select * from UPV_DELT where ID = 1");
  const std::vector<std::tuple<std::string, int, int>> expected = {
      {"ID", link::ftInteger, 0},    {"SID", link::ftInteger, 0},        {"ORGID", link::ftString, 16},
      {"STATE", link::ftInteger, 0}, {"DTIN", link::ftDateTime, 0},      {"DTFIN", link::ftDateTime, 0},
      {"VALTOT", link::ftFloat, 0},  {"COMM", link::ftString, 250},      {"ORGNAME", link::ftString, 80},
      {"LINES", link::ftInteger, 0}, {"DOUBLE_VALUE", link::ftFloat, 0},
  };
  ASSERT_EQ(r.columns.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(r.columns[i].name, std::get<0>(expected[i]));
    EXPECT_EQ(r.columns[i].fieldType, std::get<1>(expected[i])) << r.columns[i].name;
    EXPECT_EQ(r.columns[i].size, std::get<2>(expected[i])) << r.columns[i].name;
  }
  ASSERT_EQ(r.Count(), 1U);
  EXPECT_EQ(r.Cell(0, 4), "05/03/2024");
  EXPECT_EQ(r.Cell(0, 5), "<null>");
  EXPECT_EQ(r.Cell(0, 6), "10.5");
  EXPECT_EQ(r.Cell(0, 7), "σχόλιο");
  EXPECT_EQ(r.Cell(0, 9), "2");
  EXPECT_EQ(r.Cell(0, 10), "21");

  // Computed columns: names from their text, types inferred, text sizes from
  // the longest value, and the values' own type where nothing else tells.
  const test::Rows c = a_.Select(
      "select count(*), ID||'-'||ORGID, TRUNC(DTIN), SUM(VALTOT) total, TO_CHAR(ID), unicode('A'), "
      "CASE WHEN 1=2 THEN 'x' END from UP_DELT group by ID, ORGID, DTIN order by ID");
  const std::vector<std::tuple<std::string, int, int>> computed = {
      {"COUNT(*)", link::ftInteger, 0},
      {"ID||'-'||ORGID", link::ftString, 6},
      {"TRUNC(DTIN)", link::ftDateTime, 0},
      {"TOTAL", link::ftFloat, 0},
      {"TO_CHAR(ID)", link::ftString, 1},
      {"UNICODE('A')", link::ftInteger, 0},
      {"CASEWHEN1=2THEN'X'END", link::ftString, 1},
  };
  ASSERT_EQ(c.columns.size(), computed.size());
  for (std::size_t i = 0; i < computed.size(); ++i) {
    EXPECT_EQ(c.columns[i].name, std::get<0>(computed[i]));
    EXPECT_EQ(c.columns[i].fieldType, std::get<1>(computed[i])) << c.columns[i].name;
    EXPECT_EQ(c.columns[i].size, std::get<2>(computed[i])) << c.columns[i].name;
  }
  ASSERT_EQ(c.Count(), 2U);
  EXPECT_EQ(c.Cell(1, 1), "2-0.02");
  EXPECT_EQ(c.Cell(1, 2), "06/03/2024");
  EXPECT_EQ(c.Cell(1, 5), "65");
  EXPECT_EQ(c.Cell(1, 6), "<null>");

  // A computed integer wider than the client's 32-bit integer field goes as a
  // number, so its value arrives whole instead of wrapped.
  const test::Rows wide = a_.Select("select 3000000000, -2147483649, 2147483647 from DUAL");
  ASSERT_EQ(wide.columns.size(), 3U);
  EXPECT_EQ(wide.columns[0].fieldType, link::ftFloat);
  EXPECT_EQ(wide.columns[1].fieldType, link::ftFloat);
  EXPECT_EQ(wide.columns[2].fieldType, link::ftInteger);
  EXPECT_EQ(wide.Cell(0, 0), "3000000000");
  EXPECT_EQ(wide.Cell(0, 1), "-2147483649");
  // Integer arithmetic that outgrows 32 bits is refused, not sent wrapped.
  EXPECT_EQ(Error([&] { a_.Select("select 2147483647 + ID from UP_DELT"); }),
            "ORA-01455: converting column overflows integer datatype");
}

TEST_F(SqlEngineTest, SequencesNumberRowsAndAreSpentAtOnce) {
  EXPECT_EQ(a_.Value("select SEQ_UP_Delt.NextVal from DUAL"), "101");
  EXPECT_EQ(a_.Value("select NQ.SEQ_UP_DELT.NEXTVAL from dual"), "102");
  EXPECT_FALSE(a_.Engine().InTransaction());  // a drawn number is spent, as in Oracle
  auto b = Other();
  EXPECT_EQ(b->Value("select LAST_VALUE from MERO_SEQUENCES"), "102");

  a_.Execute("Insert Into NQ.UP_DELT (ID,ORGID)\r Values (SEQ_UP_Delt.NextVal,'0.02')\n");
  EXPECT_TRUE(a_.Engine().InTransaction());
  a_.Execute("commit");
  EXPECT_EQ(b->Value("select max(ID) from UP_DELT"), "103");
  EXPECT_EQ(a_.Value("select LAST_VALUE from MERO_SEQUENCES"), "103");
}

TEST_F(SqlEngineTest, QualifiedSetAndSchemaPrefixesReachTheirTable) {
  a_.Execute("UPDATE NQ.UP_DELT SET NQ.UP_DELT.COMM = 'νέο',NQ.UP_DELT.VALTOT = 2.5  Where NQ.UP_DELT.ID = 2\n");
  a_.Execute("update UP_DELT d set d.STATE = d.STATE + 1 where d.ID = 2");
  EXPECT_EQ(a_.Value("select COMM||'/'||VALTOT||'/'||STATE from NQ.UP_DELT where NQ.UP_DELT.ID = 2"), "νέο/2.5/3");
  a_.Execute("DELETE FROM NQ.UP_DELTD  Where NQ.UP_DELTD.ID = 2\n");
  EXPECT_EQ(a_.Value("select count(*) from UP_DELTD"), "1");
}

TEST_F(SqlEngineTest, LongValuesComeFromTheParameterList) {
  link::TLinkParamList params;
  params.AddTyped("MemoCOMM", link::ftMemo, link::ptInput).SetMemo("Σχόλιο με 'εισαγωγικά'"_gr);
  a_.Execute("UPDATE NQ.UP_DELT SET NQ.UP_DELT.COMM = :MemoCOMM  Where NQ.UP_DELT.ID = 2\n", &params);
  EXPECT_EQ(a_.Value("select COMM from UP_DELT where ID = 2"), "Σχόλιο με 'εισαγωγικά'");

  params.GetByName("MemoCOMM").SetMemo("");
  a_.Execute("update UP_DELT set COMM = :memocomm where ID = 2", &params);  // names match without case
  EXPECT_EQ(a_.Value("select count(*) from UP_DELT where ID = 2 and COMM is null"), "1");

  EXPECT_EQ(Error([&] { a_.Execute("update UP_DELT set COMM = :MemoOTHER where ID = 2", &params); }),
            "ORA-01008: not all variables bound");
  EXPECT_EQ(Error([&] { a_.Execute("update UP_DELT set COMM = :MemoCOMM where ID = 2"); }),
            "ORA-01008: not all variables bound");
}

TEST_F(SqlEngineTest, BlocksSetThePackageVariablesAndCommitAtTheirEnd) {
  auto b = Other();
  a_.Execute(
      "BEGIN P1.USRID:='MARIA';P1.USRIP:='10.0.0.7';\n"
      "UPDATE NQ.UP_DELT SET NQ.UP_DELT.COMM = 'a'  Where NQ.UP_DELT.ID = 1\n"
      "UPDATE NQ.UP_DELT SET NQ.UP_DELT.COMM = 'b'  Where NQ.UP_DELT.ID = 2\n"
      " ;  P1.USRID:=NULL; P1.USRIP:=NULL; COMMIT; END;");
  EXPECT_FALSE(a_.Engine().InTransaction());
  EXPECT_FALSE(a_.vars.usrid.has_value());  // cleared by the end text
  EXPECT_FALSE(a_.vars.usrip.has_value());
  // The triggers saw the user of the block; the other session sees the commit.
  EXPECT_EQ(b->Value("select count(*) from AUDIT_LOG where USRID = 'MARIA' and USRIP = '10.0.0.7'"), "2");
  EXPECT_EQ(b->Value("select COMM from UP_DELT where ID = 2"), "b");

  a_.Execute("begin P1.USRID := UPPER('nikos'); end;");
  EXPECT_EQ(a_.vars.usrid, std::optional<std::string>("NIKOS"));
}

TEST_F(SqlEngineTest, AFailingBlockUndoesItselfAndKeepsEarlierWork) {
  auto b = Other();
  a_.Execute("update UP_DELT set COMM = 'before' where ID = 1");  // uncommitted work of the session
  const std::string error = Error([&] {
    a_.Execute(
        "BEGIN P1.USRID:='MARIA';P1.USRIP:='10.0.0.7';\n"
        "UPDATE NQ.UP_DELT SET NQ.UP_DELT.COMM = 'inside'  Where NQ.UP_DELT.ID = 2\n"
        "UPDATE NQ.UP_DELT SET NQ.UP_DELT.STATE = 99  Where NQ.UP_DELT.ID = 2\n"
        " ;  P1.USRID:=NULL; P1.USRIP:=NULL; COMMIT; END;");
  });
  EXPECT_EQ(error, "ORA-20001: Δεν επιτρέπεται η αλλαγή");
  EXPECT_TRUE(a_.Engine().InTransaction());
  EXPECT_EQ(a_.Value("select COMM from UP_DELT where ID = 2"), "<null>");  // the block's change undone
  EXPECT_EQ(a_.Value("select COMM from UP_DELT where ID = 1"), "before");  // earlier work stays
  EXPECT_EQ(b->Value("select COMM from UP_DELT where ID = 1"), "σχόλιο");  // and is still not committed
  EXPECT_EQ(a_.Value("select count(*) from AUDIT_LOG where USRID = 'MARIA'"), "0");
  a_.Execute("commit");
  EXPECT_EQ(b->Value("select COMM from UP_DELT where ID = 1"), "before");
}

TEST_F(SqlEngineTest, EachStatementIsAtomic) {
  a_.Execute("insert into UP_DELT (ID, ORGID, STATE) values (3, '0.01', 1)");
  // The trigger refuses the second row: the first row's change goes too.
  EXPECT_EQ(Error([&] { a_.Execute("update UP_DELT set STATE = CASE WHEN ID = 3 THEN 99 ELSE 5 END"); }),
            "ORA-20001: Δεν επιτρέπεται η αλλαγή");
  EXPECT_EQ(a_.Value("select count(*) from UP_DELT where STATE = 5"), "0");
  EXPECT_EQ(a_.Value("select count(*) from UP_DELT where ID = 3"), "1");  // the earlier statement stays
  // A function failing on a later row undoes the rows before it as well.
  EXPECT_EQ(Error([&] {
              a_.Execute(
                  "update UP_DELT set DTFIN = TO_DATE(CASE WHEN ID = 1 THEN '01/01/2024' ELSE 'x' END, "
                  "'DD/MM/YYYY')");
            }),
            "ORA-01858: a non-numeric character was found where a numeric was expected");
  EXPECT_EQ(a_.Value("select count(*) from UP_DELT where DTFIN = '01/01/2024'"), "0");
  // Statements before the failing one in a request stay; those after it do not run.
  EXPECT_EQ(Error([&] {
              a_.Execute(
                  "update UP_DELT set COMM = 'x' where ID = 1\nupdate UP_DELT set ORGID = NULL where ID = 1\n"
                  "update UP_DELT set COMM = 'y' where ID = 2");
            }),
            "ORA-01407: cannot update (\"NQ\".\"UP_DELT\".\"ORGID\") to NULL");
  EXPECT_EQ(a_.Value("select NVL(COMM, '-') from UP_DELT where ID = 1"), "x");
  EXPECT_EQ(a_.Value("select NVL(COMM, '-') from UP_DELT where ID = 2"), "-");
}

TEST_F(SqlEngineTest, ChangesStayPrivateUntilCommitAndRollbackDropsThem) {
  auto b = Other();
  a_.Execute("update UP_DELT set COMM = 'draft' where ID = 2");
  EXPECT_TRUE(a_.Engine().InTransaction());
  EXPECT_EQ(a_.Value("select COMM from UP_DELT where ID = 2"), "draft");  // the session sees its own change
  EXPECT_EQ(b->Value("select NVL(COMM, '-') from UP_DELT where ID = 2"), "-");
  a_.Engine().Rollback();
  EXPECT_FALSE(a_.Engine().InTransaction());
  EXPECT_EQ(a_.Value("select NVL(COMM, '-') from UP_DELT where ID = 2"), "-");

  a_.Execute("update UP_DELT set COMM = 'final' where ID = 2");
  a_.Execute("commit");
  EXPECT_EQ(b->Value("select COMM from UP_DELT where ID = 2"), "final");
  // A connection that goes away without commit loses its changes.
  b->Execute("update UP_DELT set COMM = 'lost' where ID = 2");
  b.reset();
  EXPECT_EQ(a_.Value("select COMM from UP_DELT where ID = 2"), "final");
}

TEST_F(SqlEngineTest, ASecondWriterWaitsThenGetsResourceBusy) {
  auto b = Other(100);
  a_.Execute("update UP_DELT set COMM = 'a' where ID = 1");
  EXPECT_EQ(Error([&] { b->Execute("update UP_DELT set COMM = 'b' where ID = 2"); }),
            "ORA-00054: resource busy and acquire with NOWAIT specified or timeout expired");
  EXPECT_FALSE(b->Engine().InTransaction());
  EXPECT_EQ(b->Value("select count(*) from UP_DELT"), "2");  // readers are not blocked
  a_.Execute("commit");
  b->Execute("update UP_DELT set COMM = 'b' where ID = 2");
  b->Execute("commit");
  EXPECT_EQ(a_.Value("select COMM from UP_DELT where ID = 2"), "b");
}

TEST_F(SqlEngineTest, AFailedFirstChangeDoesNotKeepOtherWritersOut) {
  auto b = Other(100);
  EXPECT_EQ(Error([&] { a_.Execute("insert into UP_DELT (ID, ORGID) values (1, '0.01')"); }),
            "ORA-00001: unique constraint (NQ.PK_UP_DELT) violated");
  EXPECT_FALSE(a_.Engine().InTransaction());
  b->Execute("update UP_DELT set COMM = 'free' where ID = 2");
  b->Execute("commit");
  // A failing block that opened the transaction ends it as well.
  EXPECT_EQ(Error([&] { a_.Execute("begin update UP_DELT set STATE = 99 where ID = 1; commit; end;"); }),
            "ORA-20001: Δεν επιτρέπεται η αλλαγή");
  EXPECT_FALSE(a_.Engine().InTransaction());
}

TEST_F(SqlEngineTest, CursorsDeliverRowsInPackets) {
  for (int i = 3; i <= 10; ++i) {
    a_.Execute("insert into UP_DELT (ID, ORGID, STATE) values (" + std::to_string(i) + ", '0.02', " +
               std::to_string(i) + ")");
  }
  std::unique_ptr<server::SelectCursor> c = a_.Engine().OpenSelect("select ID from UP_DELT order by ID");
  std::string payload;
  link::ResultSetEncoder out(payload);
  EXPECT_EQ(c->Fetch(out, 4), 4U);
  EXPECT_FALSE(c->Done());
  EXPECT_EQ(c->Fetch(out, 4), 4U);
  EXPECT_FALSE(c->Done());
  EXPECT_EQ(c->Fetch(out, 4), 2U);
  EXPECT_TRUE(c->Done());
  EXPECT_EQ(c->Fetch(out, 4), 0U);
  out.Finish();
  link::RowSet rows({{"ID", link::ftInteger, 0}});
  link::DecodeRows(payload, 0, rows);
  ASSERT_EQ(rows.RowCount(), 10U);
  for (std::size_t i = 0; i < 10; ++i) EXPECT_EQ(rows.Int(i, 0), static_cast<std::int64_t>(i + 1));

  // Exactly as many rows as asked for: Done() is known without another packet.
  std::unique_ptr<server::SelectCursor> d = a_.Engine().OpenSelect("select ID from UP_DELT where ID <= 3");
  std::string more;
  link::ResultSetEncoder out2(more);
  EXPECT_EQ(d->Fetch(out2, 3), 3U);
  EXPECT_TRUE(d->Done());

  // Two open cursors over the same statement do not disturb each other.
  auto e1 = a_.Engine().OpenSelect("select ID from UP_DELT order by ID");
  auto e2 = a_.Engine().OpenSelect("select ID from UP_DELT order by ID");
  std::string p1;
  std::string p2;
  link::ResultSetEncoder o1(p1);
  link::ResultSetEncoder o2(p2);
  e1->Fetch(o1, 2);
  e2->Fetch(o2, -1);
  e1->Fetch(o1, -1);
  EXPECT_EQ(p1, p2);
}

TEST_F(SqlEngineTest, CommitAndRollbackOnAnIdleSessionDoNothing) {
  a_.Execute("commit");
  a_.Execute("COMMIT WORK;");
  a_.Engine().Rollback();
  a_.Execute("rollback");
  EXPECT_FALSE(a_.Engine().InTransaction());
  EXPECT_EQ(a_.Value("select count(*) from UP_DELT"), "2");
}

}  // namespace
