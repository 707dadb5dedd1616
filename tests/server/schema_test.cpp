#include "server/schema.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "server_db.h"
#include "support/error_text.h"

using namespace mero;
using test::ServerDb;
using ::testing::HasSubstr;

namespace {

struct Column {
  const char* name;
  const char* type;
};

using ColumnList = std::vector<Column>;

const ColumnList kSymb = {{"ID", "INTEGER"}, {"DTFMLIM", "DATE"}, {"DTTOLIM", "DATE"}};
const ColumnList kSymbD = {{"ID", "INTEGER"}, {"MID", "INTEGER"},    {"CID", "INTEGER"}, {"CODE", "VARCHAR2(60)"},
                           {"UP", "NUMBER"},  {"ITEMAA", "INTEGER"}, {"QSUG", "NUMBER"}, {"GEN", "VARCHAR2(1)"}};
const ColumnList kCons = {{"ID", "INTEGER"},
                          {"CODE", "VARCHAR2(60)"},
                          {"CTYPE", "VARCHAR2(12)"},
                          {"REPLID", "INTEGER"},
                          {"CODEREQ", "VARCHAR2(60)"},
                          {"COL", "VARCHAR2(6)"},
                          {"PAGECNT", "INTEGER"},
                          {"UP", "NUMBER"},
                          {"CTYPEORG", "VARCHAR2(12)"},
                          {"MANID", "VARCHAR2(2)"},
                          {"COSTPP", "NUMBER"},
                          {"GEN", "VARCHAR2(1)"},
                          {"COMM", "VARCHAR2(2000)"}};
const ColumnList kModels = {{"ID", "VARCHAR2(8)"},   {"FULLNAME", "VARCHAR2(50)"}, {"HASETH", "INTEGER"},
                            {"IL", "VARCHAR2(1)"},   {"COL", "INTEGER"},           {"MANID", "VARCHAR2(2)"},
                            {"ISCP", "VARCHAR2(1)"}, {"FLG", "VARCHAR2(32)"}};
const ColumnList kPrinters = {{"ID", "VARCHAR2(6)"},      {"MODELID", "VARCHAR2(8)"},  {"SN", "VARCHAR2(32)"},
                              {"SN2", "VARCHAR2(32)"},    {"ORGID", "VARCHAR2(16)"},   {"BUILDINGID", "VARCHAR2(6)"},
                              {"OFFICE", "VARCHAR2(90)"}, {"USERPID", "VARCHAR2(16)"}, {"ORDERPID", "VARCHAR2(16)"},
                              {"DELPID", "VARCHAR2(3)"},  {"SPICEID", "VARCHAR2(6)"},  {"CP18ID", "INTEGER"},
                              {"CP20ID", "INTEGER"},      {"WEIGHT", "NUMBER"},        {"YRPROD", "INTEGER"},
                              {"SIZ", "INTEGER"},         {"RMPV", "INTEGER"},         {"EVALSIK", "INTEGER"},
                              {"STAT", "INTEGER"},        {"LOCID", "VARCHAR2(16)"}};
const ColumnList kConsReq = {{"ID", "INTEGER"}, {"PRID", "VARCHAR2(6)"}, {"CID", "INTEGER"}, {"QTY", "INTEGER"}};
const ColumnList kDeltD = {
    {"ID", "INTEGER"}, {"MID", "INTEGER"}, {"PRID", "VARCHAR2(6)"}, {"CID", "INTEGER"},        {"CODE", "VARCHAR2(60)"},
    {"QTY", "NUMBER"}, {"UP", "NUMBER"},   {"QTYDEL", "NUMBER"},    {"XRUID", "VARCHAR2(24)"}, {"ITEMAA", "INTEGER"}};

ColumnList Join(const ColumnList& a, const ColumnList& b) {
  ColumnList all = a;
  all.insert(all.end(), b.begin(), b.end());
  return all;
}

// Every object the client names, with every column it names and its type.
const std::map<std::string, ColumnList>& Expected() {
  static const std::map<std::string, ColumnList> kExpected = {
      {"UP_SYMB", kSymb},
      {"UP_SYMBD", kSymbD},
      {"UPV_SYMBD", Join(kSymbD, {{"C_CODE", "VARCHAR2(60)"},
                                  {"C_CTYPE", "VARCHAR2(12)"},
                                  {"C_COL", "VARCHAR2(6)"},
                                  {"C_PAGECNT", "INTEGER"},
                                  {"C_CTYPEORG", "VARCHAR2(12)"},
                                  {"C_GEN", "VARCHAR2(1)"},
                                  {"MAN_SNAME", "VARCHAR2(16)"}})},
      {"UP_CONS", kCons},
      {"UPV_CONS", Join(kCons, {{"MANSNAME", "VARCHAR2(16)"},
                                {"S_QSUG", "NUMBER"},
                                {"S_UP", "NUMBER"},
                                {"S_ITEMAA", "INTEGER"},
                                {"S_GEN", "VARCHAR2(1)"}})},
      {"UP_PR_MODELS", kModels},
      {"UPV_PR_MODELS", Join(kModels, {{"SNAME", "VARCHAR2(16)"}, {"PR_CNT", "NUMBER"}, {"CONS_NT", "NUMBER"}})},
      {"UP_MODEL_CONS", {{"MODELID", "VARCHAR2(8)"}, {"CONSID", "INTEGER"}}},
      {"UP_PRINTERS", kPrinters},
      {"UPV_PRINTERS", Join(kPrinters, {{"MANSNAME", "VARCHAR2(16)"},
                                        {"MANID", "VARCHAR2(2)"},
                                        {"FULLNAME", "VARCHAR2(50)"},
                                        {"NAME", "VARCHAR2(80)"},
                                        {"B_DESCR", "VARCHAR2(40)"},
                                        {"SPICENAME", "VARCHAR2(32)"}})},
      {"UP_CONS_REQ", kConsReq},
      {"UPV_CONS_REQ", Join(kConsReq, {{"CODE", "VARCHAR2(60)"},      {"CTYPE", "VARCHAR2(12)"},
                                       {"COL", "VARCHAR2(6)"},        {"MODELID", "VARCHAR2(8)"},
                                       {"MF", "VARCHAR2(2)"},         {"FULLNAME", "VARCHAR2(50)"},
                                       {"MAN_SNAME", "VARCHAR2(16)"}, {"SN", "VARCHAR2(32)"},
                                       {"ORGID", "VARCHAR2(16)"},     {"BID", "VARCHAR2(6)"},
                                       {"BUILDING", "VARCHAR2(80)"},  {"OFFICE", "VARCHAR2(90)"},
                                       {"ORDERPID", "VARCHAR2(16)"},  {"USERPID", "VARCHAR2(16)"},
                                       {"USERNAME", "VARCHAR2(80)"},  {"TECHNAME", "VARCHAR2(60)"},
                                       {"SUPLNAME", "VARCHAR2(60)"},  {"TECHPID", "VARCHAR2(16)"},
                                       {"DIAG", "INTEGER"},           {"CIDREQ", "INTEGER"},
                                       {"QTYORG", "INTEGER"},         {"S_UP", "NUMBER"},
                                       {"S_GEN", "VARCHAR2(1)"},      {"S_QSUG", "NUMBER"}})},
      {"UORG",
       {{"ID", "VARCHAR2(16)"},
        {"NAME", "VARCHAR2(80)"},
        {"LEVEL1", "INTEGER"},
        {"PROIST_UID", "VARCHAR2(24)"},
        {"TEL1", "VARCHAR2(40)"},
        {"EMAIL", "VARCHAR2(32)"},
        {"TONER_UID", "VARCHAR2(32)"},
        {"TON", "INTEGER"},
        {"LOCID", "VARCHAR2(16)"},
        {"AD_GROUP", "VARCHAR2(16)"},
        {"NDEPTID", "INTEGER"},
        {"NCARDIID", "INTEGER"},
        {"NDEPTSID", "VARCHAR2(12)"},
        {"ID2", "VARCHAR2(12)"},
        {"MYDEPTID", "VARCHAR2(2)"},
        {"FULLNAME", "VARCHAR2(80)"},
        {"NDEPTIDC", "VARCHAR2(4)"},
        {"MASTID", "VARCHAR2(16)"}}},
      {"UORGN",
       {{"ORGID", "VARCHAR2(16)"},
        {"SID", "VARCHAR2(2)"},
        {"VANAL", "NUMBER"},
        {"VLIM1", "NUMBER"},
        {"VORD1", "NUMBER"},
        {"VYPOL1", "NUMBER"},
        {"VREQ", "NUMBER"},
        {"VAITP", "NUMBER"},
        {"VYPOL2", "NUMBER"},
        {"VYPOL0", "NUMBER"}}},
      {"UDELIVERY",
       {{"ID", "VARCHAR2(3)"},
        {"NAME", "VARCHAR2(50)"},
        {"ADDR1", "VARCHAR2(32)"},
        {"TK", "VARCHAR2(8)"},
        {"CITY", "VARCHAR2(24)"},
        {"TEL", "VARCHAR2(16)"}}},
      {"UP_DELT",
       {{"ID", "INTEGER"},         {"NODELT", "INTEGER"},        {"SID", "INTEGER"},        {"ORGID", "VARCHAR2(16)"},
        {"DELPID", "VARCHAR2(3)"}, {"ORDERPID", "VARCHAR2(24)"}, {"STATE", "INTEGER"},      {"DTIN", "DATE"},
        {"DTFIN", "DATE"},         {"DTSENT", "DATE"},           {"DTARRIVED", "DATE"},     {"DTRECEIVED", "DATE"},
        {"DTCLOSED", "DATE"},      {"VALTOT", "NUMBER"},         {"VALDELIV", "NUMBER"},    {"QTYTOT", "INTEGER"},
        {"QTYDELIV", "INTEGER"},   {"DELIV_S", "VARCHAR2(250)"}, {"COMM", "VARCHAR2(250)"}, {"ACTV", "VARCHAR2(1)"},
        {"DELIVSTATUS", "INTEGER"}}},
      {"UP_DELTD", kDeltD},
      {"UPV_DELTD1", Join(kDeltD, {{"GEN", "VARCHAR2(1)"},
                                   {"SN", "VARCHAR2(32)"},
                                   {"FULLNAME", "VARCHAR2(50)"},
                                   {"MANID", "VARCHAR2(2)"},
                                   {"PR_DESC", "VARCHAR2(120)"},
                                   {"PR_XR", "VARCHAR2(4000)"},
                                   {"PR_UP", "VARCHAR2(7)"},
                                   {"PR_VAL", "VARCHAR2(7)"}})},
      {"UP_OVPARAMS",
       {{"PNM", "VARCHAR2(30)"}, {"PVALN", "NUMBER"}, {"PVALS", "VARCHAR2(250)"}, {"PVALS2K", "VARCHAR2(2000)"}}},
      {"USRLU",
       {{"USRID", "VARCHAR2(16)"},
        {"DEPTID", "VARCHAR2(16)"},
        {"CANU", "VARCHAR2(64)"},
        {"OTHER_DEPTS", "VARCHAR2(250)"},
        {"PASSWORD_HASH", "VARCHAR2(200)"},
        {"IS_SUPERUSER", "INTEGER"},
        {"FULLNAME", "VARCHAR2(80)"}}},
      {"DEPT", {{"ID", "VARCHAR2(16)"}, {"NAME", "VARCHAR2(80)"}, {"TYPTYP", "INTEGER"}, {"TYPSXOLH", "INTEGER"}}},
      {"QAPOL", {{"ID", "INTEGER"}}},
      {"COOP", {{"APPID", "VARCHAR2(16)"}}},
      {"STAFF", {{"ID", "INTEGER"}}},
      {"DUAL", {{"DUMMY", "VARCHAR2(1)"}}},
      {"MERO_COLUMNS",
       {{"OBJECT_NAME", "VARCHAR2(30)"}, {"COLUMN_NAME", "VARCHAR2(30)"}, {"DATA_TYPE", "VARCHAR2(30)"}}},
      {"MERO_SEQUENCES", {{"NAME", "VARCHAR2(30)"}, {"LAST_VALUE", "INTEGER"}}},
  };
  return kExpected;
}

// Column name -> type as the server reports it: the override of
// MERO_COLUMNS, else the declared type.
std::map<std::string, std::string> ResolvedTypes(ServerDb& s, const std::string& object) {
  std::map<std::string, std::string> types;
  server::Prepared info(s.db().Handle(), "SELECT name, type FROM pragma_table_info(?1)");
  info.Bind(1, object);
  while (info.Step()) types[info.Text(0)] = info.Text(1);
  server::Prepared overrides(s.db().Handle(), "SELECT COLUMN_NAME, DATA_TYPE FROM MERO_COLUMNS WHERE OBJECT_NAME = ?1");
  overrides.Bind(1, object);
  while (overrides.Step()) types[overrides.Text(0)] = overrides.Text(1);
  return types;
}

TEST(SchemaTest, EveryObjectHasEveryColumnWithItsType) {
  ServerDb s;
  for (const auto& [object, columns] : Expected()) {
    const auto types = ResolvedTypes(s, object);
    ASSERT_FALSE(types.empty()) << object << " does not exist";
    for (const Column& column : columns) {
      const auto it = types.find(column.name);
      ASSERT_NE(it, types.end()) << object << "." << column.name << " is missing";
      EXPECT_EQ(it->second, column.type) << object << "." << column.name;
    }
  }
}

TEST(SchemaTest, EveryViewColumnResolvesToAnOracleType) {
  ServerDb s;
  std::vector<std::string> views;
  {
    server::Prepared q(s.db().Handle(), "SELECT name FROM sqlite_master WHERE type = 'view' ORDER BY name");
    while (q.Step()) views.push_back(q.Text(0));
  }
  ASSERT_GE(views.size(), 6u);
  const std::set<std::string> plain = {"INTEGER", "NUMBER", "DATE"};
  for (const std::string& view : views) {
    for (const auto& [column, type] : ResolvedTypes(s, view)) {
      const bool text = type.rfind("VARCHAR2(", 0) == 0 && type.back() == ')';
      EXPECT_TRUE(plain.count(type) == 1 || text) << view << "." << column << " has type '" << type << "'";
    }
  }
  // Overrides name only columns that exist.
  server::Prepared q(
      s.db().Handle(),
      "SELECT OBJECT_NAME, COLUMN_NAME FROM MERO_COLUMNS m "
      "WHERE NOT EXISTS (SELECT 1 FROM pragma_table_info(m.OBJECT_NAME) p WHERE p.name = m.COLUMN_NAME)");
  while (q.Step()) ADD_FAILURE() << "MERO_COLUMNS names " << q.Text(0) << "." << q.Text(1) << ", which does not exist";
}

TEST(SchemaTest, CreatesOnlyOnAnEmptyDatabaseAndStartsWithItsBaseRows) {
  ServerDb s;
  EXPECT_EQ(s.Text("SELECT DUMMY FROM DUAL"), "X");
  EXPECT_EQ(s.Int("SELECT count(*) FROM DUAL"), 1);
  EXPECT_EQ(s.Int("SELECT count(*) FROM UDELIVERY WHERE ID = '-'"), 1);
  EXPECT_EQ(s.Int("SELECT LAST_VALUE FROM MERO_SEQUENCES WHERE NAME = 'SEQ_UP_DELT'"), 0);
  for (const char* key : {"DELT_COUNTER", "MAX_DELT_ITEMS", "CONSUM_ONLY_REQ", "ALLOW_OVER_LIMIT1", "ALLOW_OVER_ANAL",
                          "UP_CURRENT_SYMBID"}) {
    EXPECT_EQ(s.Int(std::string("SELECT count(*) FROM UP_OVPARAMS WHERE PNM = '") + key + "'"), 1) << key;
  }
  const std::int64_t objects = s.Int("SELECT count(*) FROM sqlite_master");
  EXPECT_THAT(test::ErrorOf<server::SqlError>([&] { server::CreateSchema(s.db()); }), HasSubstr("ORA-00955"));
  EXPECT_EQ(s.Int("SELECT count(*) FROM sqlite_master"), objects);
  EXPECT_THAT(s.ErrorOf("INSERT INTO DUAL VALUES ('X')"), HasSubstr("ORA-00001: unique constraint"));
}

TEST(SchemaTest, SchemaSurvivesReopeningTheFile) {
  ServerDb s;
  server::SessionVars vars;
  server::Database again(s.Path(), server::Database::Mode::Existing);
  server::RegisterServerFunctions(again, vars);
  server::Prepared q(again.Handle(), "SELECT count(*) FROM UP_OVPARAMS");
  ASSERT_TRUE(q.Step());
  EXPECT_EQ(q.Int(0), 6);
}

// Widths count characters, not bytes: 250 Greek letters fit VARCHAR2(250).
TEST(SchemaTest, TextWiderThanItsColumnIsRefused) {
  ServerDb s;
  auto greek = [](int n) {
    std::string text;
    for (int i = 0; i < n; ++i) text += "λ";
    return text;
  };
  struct Case {
    std::string sql;
    bool refused;
  };
  const std::vector<Case> cases = {
      {"INSERT INTO UORG (ID) VALUES ('0123456789ABCDEF')", false},
      {"INSERT INTO UORG (ID) VALUES ('0123456789ABCDEFG')", true},
      {"INSERT INTO UDELIVERY (ID, NAME) VALUES ('A1', '" + greek(50) + "')", false},
      {"INSERT INTO UDELIVERY (ID, NAME) VALUES ('A2', '" + greek(51) + "')", true},
      {"INSERT INTO UDELIVERY (ID) VALUES ('ABCD')", true},
      {"INSERT INTO UP_CONS (ID, COMM) VALUES (1, '" + greek(2000) + "')", false},
      {"INSERT INTO UP_CONS (ID, COL) VALUES (2, 'KKKKKKK')", true},
  };
  for (const Case& c : cases) {
    const std::string error = s.ErrorOf(c.sql);
    if (c.refused) {
      EXPECT_THAT(error, HasSubstr("ORA-02290: check constraint (NQ.CK_")) << c.sql;
      EXPECT_EQ(s.LastErrorCode(), SQLITE_CONSTRAINT_CHECK) << c.sql;
    } else {
      EXPECT_EQ(error, "<no error>") << c.sql;
    }
  }
}

TEST(SchemaTest, ForeignKeysKeepReferencesWhole) {
  ServerDb s;
  s.Exec(
      "INSERT INTO UORG (ID, NAME) VALUES ('0.01', 'Πρυτανεία');"
      "INSERT INTO UP_PR_MODELS (ID, FULLNAME) VALUES ('M1', 'Μοντέλο');"
      "INSERT INTO UP_PRINTERS (ID, MODELID, ORGID, DELPID) VALUES ('P1', 'M1', '0.01', '-');");
  struct Case {
    const char* sql;
    int code;  // 0 when accepted
  };
  const std::vector<Case> cases = {
      {"UPDATE UP_PRINTERS SET ORGID = '9.99' WHERE ID = 'P1'", SQLITE_CONSTRAINT_FOREIGNKEY},
      {"INSERT INTO UP_PRINTERS (ID, MODELID) VALUES ('P2', 'NOSUCH')", SQLITE_CONSTRAINT_FOREIGNKEY},
      {"DELETE FROM UP_PR_MODELS WHERE ID = 'M1'", SQLITE_CONSTRAINT_FOREIGNKEY},
      {"DELETE FROM UDELIVERY WHERE ID = '-'", SQLITE_CONSTRAINT_FOREIGNKEY},
      {"INSERT INTO UP_PRINTERS (ID) VALUES (NULL)", SQLITE_CONSTRAINT_NOTNULL},
      {"UPDATE UP_PRINTERS SET ORGID = NULL WHERE ID = 'P1'", 0},
      {"INSERT INTO UP_PRINTERS (ID, MODELID, ORGID) VALUES ('P3', 'M1', '0.01')", 0},
  };
  for (const Case& c : cases) {
    const std::string error = s.ErrorOf(c.sql);
    if (c.code == 0) {
      EXPECT_EQ(error, "<no error>") << c.sql;
    } else {
      EXPECT_NE(error, "<no error>") << c.sql;
      EXPECT_EQ(s.LastErrorCode(), c.code) << c.sql;
    }
  }
}

// The client shows refusals in windows-1253: every text a trigger raises
// must survive the conversion.
TEST(SchemaTest, EveryRefusalTextFitsTheClientsCodePage) {
  ServerDb s;
  server::Prepared q(s.db().Handle(), "SELECT name, sql FROM sqlite_master WHERE type = 'trigger'");
  int texts = 0;
  while (q.Step()) {
    const std::string sql = q.Text(1);
    for (std::size_t at = sql.find("RAISE(ABORT, '"); at != std::string::npos;
         at = sql.find("RAISE(ABORT, '", at + 1)) {
      const std::size_t start = at + 14;
      const std::string text = sql.substr(start, sql.find('\'', start) - start);
      ++texts;
      EXPECT_EQ(text.rfind("ORA-20", 0), 0u) << q.Text(0) << ": " << text;
      EXPECT_EQ(base::Win1253ToUtf8(base::Utf8ToWin1253(text)), text) << q.Text(0) << ": " << text;
    }
  }
  EXPECT_GE(texts, 18);
}

}  // namespace
