#include "server/oracle_errors.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

#include "server/database.h"
#include "sql_session.h"
#include "support/error_text.h"
#include "support/temp_dir.h"

using namespace mero;

namespace {

class OracleErrors : public ::testing::Test {
 protected:
  OracleErrors() : s_(dir_.File("e.db"), server::Database::Mode::Create) {
    s_.Setup(test::kTestSchema);
    s_.Engine();
  }

  // Runs a query (read to its end) or a change; the error's text.
  std::string ErrorOf(const std::string& sql) {
    return test::ErrorOf<server::SqlError>([&] {
      if (sql.rfind("select", 0) == 0) {
        s_.Select(sql);
      } else {
        s_.Execute(sql);
      }
    });
  }

  test::TempDir dir_;
  test::SqlSession s_;
};

struct Case {
  const char* sql;
  const char* error;
};

TEST_F(OracleErrors, EachFailureSpeaksOracle) {
  const Case cases[] = {
      // keys and constraints
      {"insert into UP_DELT (ID, ORGID) values (1, '0.01')", "ORA-00001: unique constraint (NQ.PK_UP_DELT) violated"},
      {"insert into UORG (ID) values ('0.01')", "ORA-00001: unique constraint (NQ.PK_UORG) violated"},
      {"insert into UORG (ID, NAME) values ('0.09', 'beta')",
       "ORA-00001: unique constraint (NQ.UX_UORG_NAME) violated"},
      {"insert into UP_DELT (ID) values (5)", "ORA-01400: cannot insert NULL into (\"NQ\".\"UP_DELT\".\"ORGID\")"},
      {"update UP_DELT set ORGID = NULL where ID = 1",
       "ORA-01407: cannot update (\"NQ\".\"UP_DELT\".\"ORGID\") to NULL"},
      {"insert into UP_DELTD (ID, MID) values (9, 999)",
       "ORA-02291: integrity constraint (NQ.FK_UP_DELTD_UP_DELT) violated - parent key not found"},
      {"update UP_DELT set ORGID = '9.99' where ID = 1",
       "ORA-02291: integrity constraint (NQ.FK_UP_DELT_UORG) violated - parent key not found"},
      {"delete from UP_DELT where ID = 1",
       "ORA-02292: integrity constraint (NQ.FK_UP_DELTD_UP_DELT) violated - child record found"},
      {"delete from UORG where ID = '0.01'",
       "ORA-02292: integrity constraint (NQ.FK_UP_DELT_UORG) violated - child record found"},
      {"insert into UP_DELTD (ID, MID, QTY) values (9, 1, -1)", "ORA-02290: check constraint (NQ.CK_QTY) violated"},
      // refusals of the server's rules
      {"update UP_DELT set STATE = 99 where ID = 1", "ORA-20001: Δεν επιτρέπεται η αλλαγή"},
      {"delete from UORG where ID = '0.03'", "ORA-20000: protected unit"},
      // names
      {"update UP_DELT set NOPE = 1", "ORA-00904: \"NOPE\": invalid identifier"},
      {"select NOPE from UP_DELT", "ORA-00904: \"NOPE\": invalid identifier"},
      {"select d.NOPE from UP_DELT d", "ORA-00904: \"D\".\"NOPE\": invalid identifier"},
      {"select \"NAME\" from UP_DELT", "ORA-00904: \"NAME\": invalid identifier"},
      {"insert into UP_DELT (ID, ORGID, ORGNAME) values (5, '0.01', 'x')",
       "ORA-00904: \"ORGNAME\": invalid identifier"},
      {"select NOFUNC(1) from dual", "ORA-00904: \"NOFUNC\": invalid identifier"},
      {"select * from UP_NOTHING", "ORA-00942: table or view does not exist"},
      {"delete from NQ.UP_NOTHING", "ORA-00942: table or view does not exist"},
      {"select ID from UP_DELT, UORG", "ORA-00918: column ambiguously defined"},
      {"update UPV_DELT set COMM = 'x'", "ORA-01732: data manipulation operation not legal on this view"},
      // values
      {"select ID from UP_DELT where ID = 'x'", "ORA-01722: invalid number"},
      {"update UP_DELT set ID = ORGID where ID = 1", "ORA-01722: invalid number"},
      {"select TO_DATE(COMM, 'DD/MM/YYYY') from UP_DELT where ID = 1",
       "ORA-01858: a non-numeric character was found where a numeric was expected"},
      {"select TO_NUMBER(COMM) from UP_DELT where ID = 1", "ORA-01722: invalid number"},
      // shapes
      {"selec 1", "ORA-00900: invalid SQL statement"},
      {"select * from UP_DELT where ID = 1 2", "ORA-00933: SQL command not properly ended"},
      {"select substr('a') from dual", "ORA-00909: invalid number of arguments"},
      {"select count(*) from UP_DELT where count(*) > 1", "ORA-00934: group function is not allowed here"},
      {"select (select ID, SID from UP_DELT) from dual", "ORA-00913: too many values"},
      {"select ID from UP_DELT union select ID, SID from UP_DELT",
       "ORA-01789: query block has incorrect number of result columns"},
      {"insert into UP_DELT values (1)", "ORA-00947: not enough values"},
  };
  for (const Case& c : cases) EXPECT_EQ(ErrorOf(c.sql), c.error) << c.sql;
  // None of them left a transaction behind.
  EXPECT_FALSE(s_.Engine().InTransaction());
}

TEST(OracleErrorText, MapsResultCodesWithoutAStatement) {
  EXPECT_EQ(server::OracleErrorText(nullptr, SQLITE_BUSY, ""),
            "ORA-00054: resource busy and acquire with NOWAIT specified or timeout expired");
  EXPECT_EQ(server::OracleErrorText(nullptr, SQLITE_READONLY, ""), "ORA-16000: database open for read-only access");
  EXPECT_EQ(server::OracleErrorText(nullptr, SQLITE_CORRUPT, ""),
            "ORA-00600: internal error code, arguments: [database disk image is malformed]");
}

}  // namespace
