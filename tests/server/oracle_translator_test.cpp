#include "server/oracle_translator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "server/catalog.h"
#include "server/database.h"
#include "support/error_text.h"

using namespace mero;
using server::OracleType;

namespace {

server::CatalogObject Object(const char* name, std::vector<server::CatalogColumn> columns, bool isView = false) {
  server::CatalogObject o;
  o.name = name;
  o.isView = isView;
  o.columns = std::move(columns);
  return o;
}

server::CatalogColumn Col(const char* name, const char* declared, bool notNull = false) {
  return {name, OracleType::FromDeclared(declared), notNull};
}

// A few tables of the printer domain, as the catalog reads them.
const server::Catalog& TestCatalog() {
  static const server::Catalog catalog = [] {
    server::Catalog c;
    c.Add(Object("UP_DELT", {Col("ID", "INTEGER", true), Col("NODELT", "INTEGER"), Col("SID", "INTEGER"),
                             Col("ORGID", "VARCHAR2(16)"), Col("ORDERPID", "VARCHAR2(24)"), Col("STATE", "INTEGER"),
                             Col("DTIN", "DATE"), Col("DTFIN", "DATE"), Col("DTARRIVED", "DATE"),
                             Col("VALTOT", "NUMBER"), Col("COMM", "VARCHAR2(250)")}));
    c.Add(Object("UORG", {Col("ID", "VARCHAR2(16)"), Col("NAME", "VARCHAR2(80)"), Col("TONER_UID", "VARCHAR2(32)"),
                          Col("TON", "INTEGER")}));
    c.Add(Object("UP_SYMB", {Col("ID", "INTEGER", true), Col("DTFMLIM", "DATE"), Col("DTTOLIM", "DATE")}));
    c.Add(Object("UORGN", {Col("ORGID", "VARCHAR2(16)"), Col("SID", "VARCHAR2(2)"), Col("VORD1", "NUMBER")}));
    return c;
  }();
  return catalog;
}

std::string Sql(std::string_view oracle) {
  const server::OracleTranslator t(TestCatalog());
  const std::vector<server::TranslatedStatement> s = t.TranslateScript(oracle);
  std::string out;
  for (const server::TranslatedStatement& one : s) {
    if (!out.empty()) out += " | ";
    out += one.sql;
  }
  return out;
}

std::string Error(std::string_view oracle) {
  return test::ErrorOf<server::SqlError>([&] { Sql(oracle); });
}

struct Case {
  const char* oracle;
  const char* sqlite;
};

TEST(OracleTranslator, RewritesTheClientsDialect) {
  const Case cases[] = {
      {"select * from UP_Delt where ID=5", "SELECT * FROM UP_DELT WHERE ID = 5"},
      {"select F_UP_IS_SUPERUSER('admin') from DUAL", "SELECT F_UP_IS_SUPERUSER('admin')"},
      {"select ID from UP_symb where TRUNC(sysdate) between DTFMLim and DTTOLim  ",
       "SELECT ID FROM UP_SYMB WHERE TRUNC(MERO_SYSDATE()) BETWEEN DTFMLIM AND DTTOLIM"},
      {"select SEQ_UP_DELT.NextVal from DUAL", "SELECT MERO_NEXTVAL('SEQ_UP_DELT')"},
      {"select nq.Seq_Up_Delt.nextval from dual", "SELECT MERO_NEXTVAL('SEQ_UP_DELT')"},
      {"select P1.USRID, p1.usrip from DUAL", "SELECT MERO_USRID(), MERO_USRIP()"},
      {"select * from dual", "SELECT * FROM (SELECT 'X' AS DUMMY) AS DUAL"},
      {"select NQ.UP_DELT.ID from NQ.UP_DELT", "SELECT UP_DELT.ID FROM UP_DELT"},
      {"UPDATE NQ.UP_DELT SET NQ.UP_DELT.COMM = 'x'  Where NQ.UP_DELT.ID = 303",
       "UPDATE UP_DELT SET COMM = 'x' WHERE UP_DELT.ID = 303"},
      {"update UP_DELT d set d.STATE=2 where d.ID=1", "UPDATE UP_DELT AS D SET STATE = 2 WHERE D.ID = 1"},
      {"DELETE FROM NQ.UP_DELT  Where NQ.UP_DELT.ID = 7", "DELETE FROM UP_DELT WHERE UP_DELT.ID = 7"},
      {"delete UP_DELT where ID=1", "DELETE FROM UP_DELT WHERE ID = 1"},
      {"select ID,ID||'-'||NAME from UORG where Toner_UID like '%user%'",
       "SELECT ID, MERO_CONCAT(ID, '-', NAME) FROM UORG WHERE TONER_UID LIKE '%user%'"},
      {"select 'x'||DTIN from UP_DELT", "SELECT MERO_CONCAT('x', TO_CHAR(DTIN, 'DD/MM/YYYY')) FROM UP_DELT"},
      {"select DECODE(STATE,1,'a',2,'b','c') from UP_DELT",
       "SELECT CASE WHEN STATE IS 1 THEN 'a' WHEN STATE IS 2 THEN 'b' ELSE 'c' END FROM UP_DELT"},
      {"select count(*), count(DISTINCT ORGID), SUM(VALTOT) from UP_DELT",
       "SELECT COUNT(*), COUNT(DISTINCT ORGID), SUM(VALTOT) FROM UP_DELT"},
      {"select * from UORG where NOT(ID = 'x') and (TONER_UID IS NuLL) or TON IS NOT NULL",
       "SELECT * FROM UORG WHERE NOT (ID = 'x') AND (TONER_UID IS NULL) OR TON IS NOT NULL"},
      {"select * from UORG where ID != 'a' and ID ^= 'b' and ID not like 'c%' and TON not in (1,2)",
       "SELECT * FROM UORG WHERE ID <> 'a' AND ID <> 'b' AND ID NOT LIKE 'c%' AND TON NOT IN (1, 2)"},
      {"select * from UORG order by NAME desc, ID", "SELECT * FROM UORG ORDER BY NAME DESC NULLS FIRST, ID NULLS LAST"},
      {"select * from UP_DELT order by ID desc", "SELECT * FROM UP_DELT ORDER BY ID DESC"},
      {"select * from UORG order by NAME nulls first", "SELECT * FROM UORG ORDER BY NAME NULLS FIRST"},
      {"select ID from UORG minus select ORGID from UP_DELT union all select 'x' from dual",
       "SELECT ID FROM UORG EXCEPT SELECT ORGID FROM UP_DELT UNION ALL SELECT 'x'"},
      {"select d.ID, o.NAME from UP_DELT d left outer join UORG o on o.ID = d.ORGID",
       "SELECT D.ID, O.NAME FROM UP_DELT D LEFT JOIN UORG O ON O.ID = D.ORGID"},
      {"select \"Id\" \"Κωδ\" from UORG", "SELECT \"Id\" AS \"Κωδ\" FROM UORG"},
      {"select -ID*(2+3), -(VALTOT) from UP_DELT", "SELECT -ID * (2 + 3), -(VALTOT) FROM UP_DELT"},
      {"select (select max(ID) from UP_SYMB) from dual", "SELECT (SELECT MAX(ID) FROM UP_SYMB)"},
      {"select * from (select ID x from UORG) v where v.x = 'a'",
       "SELECT * FROM (SELECT ID AS X FROM UORG) V WHERE V.X = 'a'"},
      {"select CASE WHEN TON=1 THEN 'y' ELSE 'n' END from UORG",
       "SELECT CASE WHEN TON = 1 THEN 'y' ELSE 'n' END FROM UORG"},
      {"commit", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Sql(c.oracle), c.sqlite) << c.oracle;
}

TEST(OracleTranslator, DateLiteralsMeetingDateColumnsBecomeDateNumbers) {
  const Case cases[] = {
      // comparisons, both ways round, in the client's search conditions
      {"select ID from UP_DELT dp where 1=1  AND ( (dp.DTIN>='01/02/2024') AND (dp.DTIN<='28/02/2024') ) order by "
       "dp.ID ",
       "SELECT ID FROM UP_DELT DP WHERE 1 = 1 AND ((DP.DTIN >= 45323) AND (DP.DTIN <= 45350)) ORDER BY DP.ID"},
      {"select ID from UP_DELT where '01/01/2024' < DTIN", "SELECT ID FROM UP_DELT WHERE 45292 < DTIN"},
      {"select ID from UP_DELT where (DTFIN=('05/03/2024'))", "SELECT ID FROM UP_DELT WHERE (DTFIN = (45356))"},
      // BETWEEN and IN
      {"select ID from UP_DELT where DTIN between '01/01/2024' and '31/12/2024 23:59:59'",
       "SELECT ID FROM UP_DELT WHERE DTIN BETWEEN 45292 AND 45657.999988425923"},
      {"select ID from UP_DELT where DTIN in ('01/01/2024','2/1/2024')",
       "SELECT ID FROM UP_DELT WHERE DTIN IN (45292, 45293)"},
      // TRUNC(sysdate) is a date too
      {"select ID from UP_SYMB where TRUNC(sysdate) = '05/03/2024'",
       "SELECT ID FROM UP_SYMB WHERE TRUNC(MERO_SYSDATE()) = 45356"},
      // SET, VALUES with and without a column list, INSERT … SELECT
      {"UPDATE NQ.UP_DELT SET NQ.UP_DELT.DTARRIVED = '05/03/2024'  Where NQ.UP_DELT.ID = 1",
       "UPDATE UP_DELT SET DTARRIVED = 45356 WHERE UP_DELT.ID = 1"},
      {"update UP_DELT set DTFIN=TO_DATE('05/03/2024 10:30:00','DD/MM/YYYY HH24:MI:SS') where ID=1",
       "UPDATE UP_DELT SET DTFIN = 45356.4375 WHERE ID = 1"},
      {"Insert Into NQ.UP_DELT (ID,SID,DTIN,ORGID)\r Values (12,2,'05/03/2024','0.02')",
       "INSERT INTO UP_DELT (ID, SID, DTIN, ORGID) VALUES (12, 2, 45356, '0.02')"},
      {"insert into UP_SYMB values (1,'01/01/2024','31/12/2024')", "INSERT INTO UP_SYMB VALUES (1, 45292, 45657)"},
      {"insert into UP_DELT (ID, DTIN) select 7, '01/01/2024' from DUAL",
       "INSERT INTO UP_DELT (ID, DTIN) SELECT 7, 45292"},
      // NVL takes the type of its first argument; sub-queries see the outer columns
      {"select NVL(DTFIN,'01/01/2024'), NVL(COMM,'01/01/2024') from UP_DELT",
       "SELECT IFNULL(DTFIN, 45292), IFNULL(COMM, '01/01/2024') FROM UP_DELT"},
      {"select ID from UP_DELT d where exists (select 1 from UP_SYMB s where d.DTIN between s.DTFMLIM and "
       "'31/12/2024')",
       "SELECT ID FROM UP_DELT D WHERE EXISTS (SELECT 1 FROM UP_SYMB S WHERE D.DTIN BETWEEN S.DTFMLIM AND 45657)"},
  };
  for (const Case& c : cases) EXPECT_EQ(Sql(c.oracle), c.sqlite) << c.oracle;
}

TEST(OracleTranslator, TextColumnsAndNumbersKeepTheirLiterals) {
  const Case cases[] = {
      // a VARCHAR2 column keeps a date-like text unchanged
      {"update UORG set NAME='01/02/2024' where ID='01/02/2024'",
       "UPDATE UORG SET NAME = '01/02/2024' WHERE ID = '01/02/2024'"},
      {"insert into UORGN (ORGID, SID) values ('05/03/2024', '2')",
       "INSERT INTO UORGN (ORGID, SID) VALUES ('05/03/2024', '2')"},
      {"select ID from UORG where NAME between '01/01/2024' and '31/12/2024'",
       "SELECT ID FROM UORG WHERE NAME BETWEEN '01/01/2024' AND '31/12/2024'"},
      // TO_CHAR of a date is text
      {"select ID from UP_DELT dp where (TO_CHAR(dp.DTIN,'YYYY')='2024')",
       "SELECT ID FROM UP_DELT DP WHERE (TO_CHAR(DP.DTIN, 'YYYY') = '2024')"},
      // '' is NULL
      {"update UP_DELT set COMM='' where ORGID=''", "UPDATE UP_DELT SET COMM = NULL WHERE ORGID = NULL"},
      // a numeric text meeting a number is that number
      {"select ID from UP_DELT where ID='5' and VALTOT > ' 2.50 ' and STATE=STATE+'1'",
       "SELECT ID FROM UP_DELT WHERE ID = 5 AND VALTOT > 2.50 AND STATE = STATE + 1"},
      // long values travel beside the statement
      {"UPDATE NQ.UP_DELT SET NQ.UP_DELT.COMM = :MemoCOMM  Where NQ.UP_DELT.ID = 303",
       "UPDATE UP_DELT SET COMM = ?1 WHERE UP_DELT.ID = 303"},
  };
  for (const Case& c : cases) EXPECT_EQ(Sql(c.oracle), c.sqlite) << c.oracle;
}

TEST(OracleTranslator, SplitsRequestsIntoStatements) {
  const server::OracleTranslator t(TestCatalog());
  // The remote dataset joins generated statements with line breaks only.
  auto s = t.TranslateScript(
      "UPDATE NQ.UP_DELT SET NQ.UP_DELT.STATE = 3  Where NQ.UP_DELT.ID = 9\n"
      "DELETE FROM NQ.UP_DELT  Where NQ.UP_DELT.ID = 7\n"
      "Insert Into NQ.UP_DELT (ID)\r Values (8)\n");
  ASSERT_EQ(s.size(), 3U);
  EXPECT_EQ(s[0].kind, server::StatementKind::Update);
  EXPECT_EQ(s[1].kind, server::StatementKind::Delete);
  EXPECT_EQ(s[2].kind, server::StatementKind::Insert);
  EXPECT_EQ(s[2].table, "UP_DELT");
  EXPECT_TRUE(s[2].writes);

  // A condition on the next line stays with its statement.
  s = t.TranslateScript("update UP_DELT set STATE=1\nwhere ID=2;commit;;");
  ASSERT_EQ(s.size(), 2U);
  EXPECT_EQ(s[0].sql, "UPDATE UP_DELT SET STATE = 1 WHERE ID = 2");
  EXPECT_EQ(s[1].kind, server::StatementKind::Commit);

  // An update transaction as the client wraps it.
  s = t.TranslateScript(
      "BEGIN P1.USRID:='ADMIN';P1.USRIP:='10.0.0.1';\n"
      "UPDATE NQ.UP_DELT SET NQ.UP_DELT.COMM = 'x'  Where NQ.UP_DELT.ID = 1\n"
      " ;  P1.USRID:=NULL; P1.USRIP:=NULL; COMMIT; END;");
  ASSERT_EQ(s.size(), 1U);
  ASSERT_EQ(s[0].kind, server::StatementKind::Block);
  const auto& body = s[0].body;
  ASSERT_EQ(body.size(), 6U);
  EXPECT_EQ(body[0].variable, "USRID");
  EXPECT_EQ(body[0].valueText, "ADMIN");
  EXPECT_EQ(body[1].variable, "USRIP");
  EXPECT_EQ(body[1].valueText, "10.0.0.1");
  EXPECT_EQ(body[2].sql, "UPDATE UP_DELT SET COMM = 'x' WHERE UP_DELT.ID = 1");
  EXPECT_TRUE(body[3].valueIsNull);
  EXPECT_TRUE(body[4].valueIsNull);
  EXPECT_EQ(body[5].kind, server::StatementKind::Commit);
  EXPECT_TRUE(s[0].writes);

  s = t.TranslateScript("begin  delete from UP_DELT where ID=5; delete from UP_SYMB where ID=5; commit; end; ");
  ASSERT_EQ(s.size(), 1U);
  ASSERT_EQ(s[0].body.size(), 3U);
  EXPECT_EQ(s[0].body[1].sql, "DELETE FROM UP_SYMB WHERE ID = 5");

  // The placeholder names of long values, once each.
  s = t.TranslateScript("update UP_DELT set COMM=:MemoCOMM, ORGID=:memocomm, ORDERPID=:Other where ID=1");
  ASSERT_EQ(s.size(), 1U);
  EXPECT_EQ(s[0].sql, "UPDATE UP_DELT SET COMM = ?1, ORGID = ?1, ORDERPID = ?2 WHERE ID = 1");
  EXPECT_EQ(s[0].params, (std::vector<std::string>{"MemoCOMM", "Other"}));
}

struct ErrorCase {
  std::string oracle;
  const char* error;
};

TEST(OracleTranslator, RefusesWhatItCannotReadWithOracleTexts) {
  const ErrorCase cases[] = {
      {"select * from UP_DELT where DTIN = '32/01/2024'",
       "ORA-01847: day of month must be between 1 and last day of month"},
      {"select * from UP_DELT where DTIN = '01/13/2024'", "ORA-01843: not a valid month"},
      {"select * from UP_DELT where DTIN = 'yesterday'",
       "ORA-01858: a non-numeric character was found where a numeric was expected"},
      {"select * from UP_DELT where DTIN = '31/02/2024'", "ORA-01839: date not valid for month specified"},
      {"update UP_DELT set DTIN = '05/03/2024 25:00:00'", "ORA-01850: hour must be between 0 and 23"},
      {"update UP_DELT set DTIN = TO_DATE('05/03/2024 10:61','DD/MM/YYYY HH24:MI')",
       "ORA-01851: minutes must be between 0 and 59"},
      {"select * from UP_DELT where ID = 'abc'", "ORA-01722: invalid number"},
      {"select ID + 'x' from UP_DELT", "ORA-01722: invalid number"},
      {"update UP_DELT set STATE='one'", "ORA-01722: invalid number"},
      {"select from UP_DELT", "ORA-00936: missing expression"},
      {"select * from UP_DELT where", "ORA-00936: missing expression"},
      {"select ID UP_DELT", "ORA-00923: FROM keyword not found where expected"},
      {"select 1", "ORA-00923: FROM keyword not found where expected"},
      {"select * from", "ORA-00903: invalid table name"},
      {"select (1 from dual", "ORA-00907: missing right parenthesis"},
      {"selec * from dual", "ORA-00900: invalid SQL statement"},
      {"select * from UP_DELT d garbage", "ORA-00933: SQL command not properly ended"},
      {"select * from UP_DELT where ID = 1 = 2", "ORA-00933: SQL command not properly ended"},
      {"update UP_DELT COMM = 1", "ORA-00971: missing SET keyword"},
      {"update UP_DELT set ID 5", "ORA-00927: missing equal sign"},
      {"update UP_DELT set X.COMM = 1", "ORA-00904: \"X\".\"COMM\": invalid identifier"},
      {"insert UP_DELT values (1)", "ORA-00925: missing INTO keyword"},
      {"insert into UP_DELT (ID) (1)", "ORA-00926: missing VALUES keyword"},
      {"insert into UP_DELT (ID, STATE) values (1)", "ORA-00947: not enough values"},
      {"insert into UP_DELT (ID, STATE) values (1, 2, 3)", "ORA-00913: too many values"},
      {"select * from OTHER.UP_DELT", "ORA-00942: table or view does not exist"},
      {"select PKG.F(1) from dual", "ORA-00904: \"PKG\".\"F\": invalid identifier"},
      {"select NVL(1) from dual", "ORA-00909: invalid number of arguments"},
      {"select * from UORG where ID between 'a' 'b'", "ORA-00905: missing keyword"},
      {"select * from UORG where ID in 'a'", "ORA-00906: missing left parenthesis"},
      {"select * from UORG where ID is 'a'", "ORA-00908: missing NULL keyword"},
      {"BEGIN update UP_DELT set STATE=1",
       "ORA-06550: line 1, column 33: PLS-00103: Encountered the symbol \"end-of-file\""},
      {"BEGIN\n  FOO; END;", "ORA-06550: line 2, column 3: PLS-00103: Encountered the symbol \"FOO\""},
      {"BEGIN P2.X := 1; END;", "ORA-06550: line 1, column 7: PLS-00201: identifier 'P2.X' must be declared"},
      {"select " + std::string(150, '(') + "1" + std::string(150, ')') + " from dual",
       "ORA-00933: SQL command not properly ended"},
      {"select 'unterminated from dual", "ORA-01756: quoted string not properly terminated"},
  };
  for (const ErrorCase& c : cases) EXPECT_EQ(Error(c.oracle), c.error) << c.oracle;

  // Long chains of operators are refused before they make the tree too deep
  // to walk; the longest a client writes are far shorter.
  std::string chain = "select 1";
  for (int i = 0; i < 900; ++i) chain += "+1";
  EXPECT_EQ(Error(chain + " from dual"), "<no error>");
  for (int i = 0; i < 200; ++i) chain += "+1";
  EXPECT_EQ(Error(chain + " from dual"), "ORA-00933: SQL command not properly ended");

  std::string list = "select * from UORG where TON in (0";
  for (int i = 1; i <= 1000; ++i) list += "," + std::to_string(i);
  EXPECT_EQ(Error(list + ")"), "ORA-01795: maximum number of expressions in a list is 1000");
}

TEST(OracleTranslator, NamesAndTypesResultColumnsAsOracleDoes) {
  const server::OracleTranslator t(TestCatalog());
  const server::TranslatedStatement s = t.TranslateQuery(
      "select count(*), ID, dp.STATE, STATE st, TRUNC(sysdate), 'άλφα ς', ID||ORGID, NVL(VALTOT,0), "
      "F_UP_REQ_Q(1,2, 3,'x') CLC_Q1, \"x\" \"Mixed\", SEQ_UP_DELT.NextVal, DTIN+1, DTIN-DTFIN, STATE*2, STATE/2 "
      "from UP_DELT dp");
  const std::vector<std::pair<std::string, OracleType>> expected = {
      {"COUNT(*)", OracleType::Of(OracleType::Integer)},      {"ID", OracleType::Of(OracleType::Integer)},
      {"STATE", OracleType::Of(OracleType::Integer)},         {"ST", OracleType::Of(OracleType::Integer)},
      {"TRUNC(SYSDATE)", OracleType::Of(OracleType::Date)},   {"'ΆΛΦΑ Σ'", OracleType::Of(OracleType::Varchar2, 6)},
      {"ID||ORGID", OracleType::Of(OracleType::Varchar2, 0)}, {"NVL(VALTOT,0)", OracleType::Of(OracleType::Number)},
      {"CLC_Q1", OracleType::Of(OracleType::Number)},         {"Mixed", OracleType::Of(OracleType::Unknown)},
      {"NEXTVAL", OracleType::Of(OracleType::Integer)},       {"DTIN+1", OracleType::Of(OracleType::Date)},
      {"DTIN-DTFIN", OracleType::Of(OracleType::Number)},     {"STATE*2", OracleType::Of(OracleType::Integer)},
      {"STATE/2", OracleType::Of(OracleType::Number)},
  };
  ASSERT_EQ(s.columns.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(s.columns[i].name, expected[i].first) << i;
    EXPECT_EQ(s.columns[i].type, expected[i].second) << s.columns[i].name;
  }
  EXPECT_TRUE(s.writes);  // it draws a sequence number

  const server::TranslatedStatement star = t.TranslateQuery("select c1.*, 1 n from UORG c1  where 1=2");
  ASSERT_EQ(star.columns.size(), 5U);
  EXPECT_EQ(star.columns[1].name, "NAME");
  EXPECT_EQ(star.columns[1].type, OracleType::Of(OracleType::Varchar2, 80));
  EXPECT_EQ(star.columns[4].name, "N");
  EXPECT_FALSE(star.columnsFromSqlite);
  EXPECT_FALSE(star.writes);

  // A * over an object the catalog does not know leaves names to SQLite.
  EXPECT_TRUE(t.TranslateQuery("select * from NEW_TABLE").columnsFromSqlite);
}

}  // namespace
