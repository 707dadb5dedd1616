// Who may change what, over the link of a real server with the demo data:
// the policy as a table of (user, statement) → allowed or refused, and every
// statement the client's windows send, run as each demo user.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "base/clock.h"
#include "base/encoding.h"
#include "base/text_routines.h"
#include "base/variant_routines.h"
#include "client_statements.h"
#include "link/codec/field_type.h"
#include "link/codec/param_list.h"
#include "support/link_test_client.h"
#include "support/server_process.h"

using namespace mero;
using namespace mero::base::literals;
using test::LinkTestClient;

namespace {

constexpr std::string_view kRefused = "ORA-01031: insufficient privileges";

// One value of a select's rows: "<none>" past the end, "<null>" for NULL.
std::string Cell(const LinkTestClient::SelectReply& r, std::size_t row, std::size_t col) {
  if (r.rows.RowCount() <= row) return "<none>";
  return r.rows.IsNull(row, col) ? "<null>" : base::VarToStrZ(r.rows.Value(row, col));
}

class AccessTest : public ::testing::Test {
 protected:
  LinkTestClient& As(const std::string& user) {
    auto& c = clients_[user];
    if (!c) {
      c = std::make_unique<LinkTestClient>(server_.Port());
      EXPECT_TRUE(c->Login(user, base::LowerStr(user)));
    }
    return *c;
  }
  // The first value of a select (windows-1253), as ADMIN reads it.
  std::string Value(const std::string& sql) {
    const LinkTestClient::SelectReply r = As("ADMIN").Select(base::Utf8ToWin1253(sql));
    EXPECT_EQ(r.error, "") << sql;
    return Cell(r, 0, 0);
  }

  test::ServerProcess server_;
  std::map<std::string, std::unique_ptr<LinkTestClient>> clients_;
};

// The policy, statement by statement, in this order on one database. "" is
// allowed; "refused" is ORA-01031; anything else is the start of another
// error the statement meets first.
TEST_F(AccessTest, ThePolicyTable) {
  const std::string kRefusedCase = "refused";
  const std::string newLine = " select {MID},'P008',cid,code,1,up,0,'maria',ItemAA from UP_SymbD where id=201";
  auto line = [&](const std::string& mid) {
    std::string sql = "insert into UP_DeltD (mid,prid,cid,code,qty,up,qtydel,xrUID,ItemAA)" + newLine;
    sql.replace(sql.find("{MID}"), 5, mid);
    return sql;
  };
  auto header = [](const std::string& id, const std::string& unit) {
    return "insert into UP_DELT (ID,NODELT,SID,ORGID,DELPID,ORDERPID,STATE,DTIN) values (" + id + ",90,2,'" + unit +
           "','001','maria',1,trunc(sysdate))";
  };
  const struct Case {
    const char* user;
    std::string sql;
    std::string expected;
  } cases[] = {
      // reading is open to everyone
      {"NIKOS", "select * from UP_SYMBD where ID=201", ""},
      {"NIKOS", "select * from UP_DELT where ORGID='0.03.01'", ""},
      // the contract, the catalogue and the units: the super-user's
      {"MARIA", "update UP_SYMBD set UP=0.01 where ID=201", kRefusedCase},
      {"NIKOS", "update UP_PRINTERS set OFFICE='x' where ID='P008'", kRefusedCase},
      {"ADMIN",
       "BEGIN P1.USRID:='ADMIN';P1.USRIP:='127.0.0.1';\nupdate UP_SYMBD set UP=42 where ID=201\n ;  "
       "P1.USRID:=NULL; P1.USRIP:=NULL; COMMIT; END;",
       ""},
      {"ADMIN", "insert into UDELIVERY (ID, NAME) values ('099', 'Αποθήκη')", ""},
      {"ADMIN", "delete from UDELIVERY where ID='099'", ""},
      // users, passwords and the server's own tables: nobody's
      {"NIKOS", "delete from USRLU where USRID='MARIA'", kRefusedCase},
      {"ADMIN", "delete from USRLU where USRID='NIKOS'", kRefusedCase},
      {"ADMIN", "update USRLU set IS_SUPERUSER=1 where USRID='NIKOS'", kRefusedCase},
      {"MARIA", "update USRLU set PASSWORD_HASH=NULL where USRID='ADMIN'", kRefusedCase},
      {"ADMIN", "insert into USRLU (USRID) values ('MALLORY')", kRefusedCase},
      {"ADMIN", "delete from MERO_AUDIT", kRefusedCase},
      {"ADMIN", "update MERO_SEQUENCES set LAST_VALUE=1", kRefusedCase},
      {"MARIA", "update DEPT set NAME='x'", kRefusedCase},
      {"ADMIN", "update DEPT set NAME=NAME where ID='D01'", ""},
      {"ADMIN", "insert into DUAL values ('Y')", kRefusedCase},
      // no schema changes, whatever the translator makes of them
      {"ADMIN", "drop table UP_DELT", "ORA-"},
      {"ADMIN", "create table MALLORY (A integer)", "ORA-"},
      {"ADMIN", "alter table UP_DELT add X integer", "ORA-"},
      {"ADMIN", "delete from sqlite_master", "ORA-"},
      // requisitions: the responsible's, for the units that name her
      {"MARIA", header("150", "0.02.02"), ""},
      {"MARIA", line("150"), ""},
      {"MARIA", header("151", "0.03.01"), kRefusedCase},  // giorgos's unit
      {"MARIA", header("151", "0.02.01"), kRefusedCase},  // "eleni;kostas" names nobody
      {"NIKOS", header("151", "0.02.02"), kRefusedCase},
      {"ADMIN", header("152", "0.03.01"), ""},
      {"ADMIN", line("152"), ""},
      {"MARIA", line("152"), kRefusedCase},
      {"MARIA", "update UP_DELTD set QTY=3 where MID=152", kRefusedCase},
      {"MARIA", "update UP_DELTD set MID=152 where MID=150", kRefusedCase},  // her line into another's
      {"MARIA", "delete from UP_DELTD where MID=152", kRefusedCase},
      {"MARIA", "delete from UP_DELT where ID=152", kRefusedCase},
      {"MARIA", "update UP_DELT set COMM='x' where ID=9", kRefusedCase},  // 0.03.01
      {"MARIA", "update UP_DELT set ORGID='0.03.01' where ID=150", kRefusedCase},
      {"MARIA", "update UP_DELT set COMM='Με σχόλιο' where ID=8", ""},    // 0.04.02, in stage 2
      {"MARIA", "update UP_DELT set STATE=9 where ID=150", "ORA-20002"},  // the stage rules hold for her
      {"MARIA", "update UP_DELTD set QTY=2 where MID=150", ""},
      {"MARIA", "begin delete from UP_DELTD where MID=150; delete from UP_DELT where ID=150; end;", ""},
      // the counter: up by one, nothing else
      {"MARIA", "update UP_OVPARAMS set PVALN=PVALN+1 where PNM='DELT_COUNTER'", ""},
      {"MARIA", "update UP_OVPARAMS set PVALN=PVALN+5 where PNM='DELT_COUNTER'", kRefusedCase},
      {"MARIA", "update UP_OVPARAMS set PVALN=PVALN-1 where PNM='DELT_COUNTER'", kRefusedCase},
      {"MARIA", "update UP_OVPARAMS set PVALN=PVALN+1 where PNM='MAX_DELT_ITEMS'", kRefusedCase},
      {"MARIA", "update UP_OVPARAMS set PVALS='x' where PNM='DELT_COUNTER'", kRefusedCase},
      {"MARIA", "update UP_OVPARAMS set PNM='X', PVALN=PVALN+1 where PNM='DELT_COUNTER'", kRefusedCase},
      {"MARIA", "delete from UP_OVPARAMS where PNM='DELT_COUNTER'", kRefusedCase},
      {"NIKOS", "update UP_OVPARAMS set PVALN=PVALN+1 where PNM='DELT_COUNTER'", kRefusedCase},
      // sequence numbers are drawn only by those who order
      {"MARIA", "select SEQ_UP_DELT.NextVal from DUAL", ""},
      {"NIKOS", "select SEQ_UP_DELT.NextVal from DUAL", kRefusedCase},
      // budgets: refreshed for her units, never set
      {"MARIA", "update UORGN set VYPOL1=0 where ORGID='0.02.02' and SID='2'", ""},
      {"MARIA", "update UORGN set VLIM1=99999 where ORGID='0.02.02' and SID='2'", kRefusedCase},
      {"MARIA", "update UORGN set VYPOL1=0 where ORGID='0.03.01' and SID='2'", kRefusedCase},
      {"MARIA", "insert into UORGN (ORGID, SID, VANAL) values ('0.02.02.01', '2', 5000)", kRefusedCase},
      {"NIKOS", "update UORGN set VYPOL1=0 where ORGID='0.02.02' and SID='2'", kRefusedCase},
      // what the client puts in P1 changes nothing
      {"MARIA",
       "BEGIN P1.USRID:='ADMIN';P1.USRIP:='127.0.0.1';\nupdate UP_SYMBD set UP=0.01 where ID=201\n ;  "
       "P1.USRID:=NULL; P1.USRIP:=NULL; COMMIT; END;",
       kRefusedCase},
  };
  for (const Case& c : cases) {
    const std::string sql = base::Utf8ToWin1253(c.sql);
    const bool query = sql.rfind("select", 0) == 0;
    const std::string error = query ? As(c.user).Select(sql).error : As(c.user).Exec(sql);
    if (!query) {
      EXPECT_EQ(As(c.user).Exec("commit"), "");
    }
    const std::string& expected = c.expected == kRefusedCase ? std::string(kRefused) : c.expected;
    if (expected.empty()) {
      EXPECT_EQ(error, "") << c.user << ": " << c.sql;
    } else {
      EXPECT_EQ(error.substr(0, expected.size()), expected) << c.user << ": " << c.sql << " → " << error;
    }
  }
  // What was refused left nothing behind; what was allowed is there.
  EXPECT_EQ(Value("select UP from UP_SYMBD where ID=201"), "42");
  EXPECT_NE(Value("select OFFICE from UP_PRINTERS where ID='P008'"), "x");
  EXPECT_EQ(Value("select count(*) from USRLU"), "3");
  EXPECT_EQ(Value("select IS_SUPERUSER from USRLU where USRID='NIKOS'"), "0");
  EXPECT_NE(Value("select count(*) from MERO_AUDIT"), "0");
  EXPECT_EQ(Value("select count(*) from UP_DELT where ID in (150, 151)"), "0");
  EXPECT_EQ(Value("select count(*) from UP_DELTD where MID=152"), "1");
  EXPECT_EQ(Value("select QTY from UP_DELTD where MID=152"), "1");
  EXPECT_EQ(Value("select ORGID from UP_DELT where ID=9"), "0.03.01");
  EXPECT_EQ(Value("select COMM from UP_DELT where ID=8"), "Με σχόλιο"_gr);
  EXPECT_EQ(Value("select PVALN from UP_OVPARAMS where PNM='DELT_COUNTER'"), "12");
  EXPECT_EQ(Value("select VLIM1 from UORGN where ORGID='0.02.02' and SID='2'"), "1000");
  EXPECT_EQ(Value("select count(*) from UORGN"), "9");
  EXPECT_EQ(Value("select count(*) from UP_DELT"), "12");
}

TEST_F(AccessTest, PasswordHashesReadAsNull) {
  for (const char* user : {"NIKOS", "ADMIN"}) {
    const LinkTestClient::SelectReply r = As(user).Select("select USRID, PASSWORD_HASH from USRLU order by USRID");
    ASSERT_EQ(r.error, "") << user;
    ASSERT_EQ(r.rows.RowCount(), 3U);
    for (std::size_t i = 0; i < r.rows.RowCount(); ++i) EXPECT_TRUE(r.rows.IsNull(i, 1)) << user;
    EXPECT_EQ(Cell(As(user).Select("select count(*) from USRLU where PASSWORD_HASH like 'pbkdf2%'"), 0, 0), "0");
  }
  // The server itself still checks passwords.
  LinkTestClient again(server_.Port());
  EXPECT_TRUE(again.Login("NIKOS", "nikos"));
  EXPECT_FALSE(again.Login("NIKOS", "wrong"));
}

TEST_F(AccessTest, ARefusalUndoesOnlyItsStatement) {
  LinkTestClient& maria = As("MARIA");
  EXPECT_EQ(maria.Exec("update UP_DELT set COMM='πρώτο' where ID=4"_gr), "");
  EXPECT_EQ(maria.Exec("update UP_SYMBD set UP=0.01 where ID=201"), kRefused);
  // A block is one statement: all of it goes, the work before it stays.
  EXPECT_EQ(maria.Exec(
                "begin update UP_DELT set DELIV_S='μπλοκ' where ID=4; update UP_DELT set COMM='x' where ID=9; end;"_gr),
            kRefused);
  EXPECT_EQ(maria.Exec("commit"), "");
  EXPECT_EQ(Value("select COMM from UP_DELT where ID=4"), "πρώτο"_gr);
  EXPECT_NE(Value("select DELIV_S from UP_DELT where ID=4"), "μπλοκ"_gr);
  EXPECT_NE(Value("select UP from UP_SYMBD where ID=201"), "0.01");
}

TEST_F(AccessTest, AnInsertDrawsItsKeyOnce) {
  for (const char* user : {"MARIA", "ADMIN"}) {
    LinkTestClient& c = As(user);
    const int drawn = std::stoi(Cell(c.Select("select SEQ_UP_DELT.NextVal from DUAL"), 0, 0));
    EXPECT_EQ(c.Exec("insert into UP_DELT (ID,NODELT,SID,ORGID,DELPID,ORDERPID,STATE,DTIN) values "
                     "(SEQ_UP_DELT.NextVal,90,2,'0.02.02','001','maria',1,trunc(sysdate))"),
              "");
    EXPECT_EQ(c.Exec("commit"), "");
    EXPECT_EQ(Value("select max(ID) from UP_DELT"), std::to_string(drawn + 1)) << user;
  }
}

TEST_F(AccessTest, ALoginAsAnotherUserStartsAfresh) {
  LinkTestClient client(server_.Port());
  ASSERT_TRUE(client.Login("ADMIN", "admin"));
  EXPECT_EQ(client.Exec("update UP_PRINTERS set OFFICE='εκκρεμεί' where ID='P008'"_gr), "");
  // The same statement text, prepared for ADMIN, must not carry over.
  ASSERT_TRUE(client.Login("NIKOS", "nikos"));
  EXPECT_EQ(client.Exec("update UP_PRINTERS set OFFICE='εκκρεμεί' where ID='P008'"_gr), kRefused);
  EXPECT_EQ(client.Exec("commit"), "");
  EXPECT_NE(Value("select OFFICE from UP_PRINTERS where ID='P008'"), "εκκρεμεί"_gr);
  EXPECT_TRUE(server_.WaitForLog("new login, uncommitted work rolled back"));
}

// Every statement of the windows, in the order of a working session, as each
// demo user sends it: those the user's windows send work, the others are
// refused and change nothing.
class WindowStatementsTest : public ::testing::TestWithParam<const char*> {};

TEST_P(WindowStatementsTest, EachUserGetsWhatHisWindowsNeed) {
  const std::string user = GetParam();
  const bool orders = user != "NIKOS";
  const bool super = user == "ADMIN";
  test::ServerProcess server;
  LinkTestClient client(server.Port());
  ASSERT_TRUE(client.Login(user, base::LowerStr(user)));
  link::TLinkParamList memo;
  memo.AddTyped("MemoCOMM", link::ftMemo, link::ptInput).SetMemo("Παράδοση πρωί"_gr);
  const std::string memoText = memo.ToText(false);
  for (const test::ClientStatement& c : test::ClientStatements()) {
    const std::string sql = base::Utf8ToWin1253(test::FillClientStatement(
        c.sql, base::Today(), [&](const std::string& q) { return Cell(client.Select(q), 0, 0); }));
    const bool allowed = c.senders == test::Senders::Everyone || (c.senders == test::Senders::Orderers && orders) ||
                         (c.senders == test::Senders::SuperUser && super);
    const std::string error = base::Win1253ToUtf8(
        c.query ? client.Select(sql).error
                : client.Exec(sql, sql.find(":MemoCOMM") != std::string::npos ? memoText : std::string()));
    const std::string expected = allowed ? c.error : std::string(kRefused);
    EXPECT_EQ(error.substr(0, expected.size()), expected) << user << ", " << c.origin << ": " << error;
    if (expected.empty()) {
      EXPECT_EQ(error, "") << user << ", " << c.origin;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(DemoUsers, WindowStatementsTest, ::testing::Values("ADMIN", "MARIA", "NIKOS"));

}  // namespace
