#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/clock.h"
#include "base/date_time.h"
#include "base/text_routines.h"
#include "server/passwords.h"
#include "server/schema.h"
#include "server_db.h"

using namespace mero;
using test::ServerDb;

namespace {

// The demo database of one creation day, shared by the tests of the suite.
class DemoData : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    today_ = base::EncodeDate(2024, 2, 29);
    db_ = new ServerDb();
    server::LoadDemoData(db_->db(), today_);
  }
  static void TearDownTestSuite() {
    delete db_;
    db_ = nullptr;
  }

  ServerDb& s() { return *db_; }
  std::string Today() const { return std::to_string(static_cast<long long>(today_)); }
  std::string Sql(const std::string& text) const { return base::ReplaceAll(text, "{today}", Today()); }

  static inline ServerDb* db_ = nullptr;
  static inline double today_ = 0;
};

TEST_F(DemoData, HoldsEnoughOfEverythingForEveryWindow) {
  struct Case {
    const char* what;
    const char* sql;
    std::int64_t atLeast;
  };
  const std::vector<Case> cases = {
      {"unit levels", "SELECT count(DISTINCT LEVEL1) FROM UORG", 3},
      {"third-level units", "SELECT count(*) FROM UORG WHERE LEVEL1 = 3", 3},
      {"delivery points", "SELECT count(*) FROM UDELIVERY WHERE ID <> '-'", 4},
      {"placeholder delivery point", "SELECT count(*) FROM UDELIVERY WHERE ID = '-'", 1},
      {"models", "SELECT count(*) FROM UP_PR_MODELS", 12},
      {"makers of models", "SELECT count(DISTINCT MANID) FROM UP_PR_MODELS", 4},
      {"laser models", "SELECT count(*) FROM UP_PR_MODELS WHERE IL = 'L'", 2},
      {"inkjet models", "SELECT count(*) FROM UP_PR_MODELS WHERE IL = 'I'", 2},
      {"mono models", "SELECT count(*) FROM UP_PR_MODELS WHERE COL = 0", 2},
      {"colour models", "SELECT count(*) FROM UP_PR_MODELS WHERE COL IN (3, 4)", 2},
      {"consumables", "SELECT count(*) FROM UP_CONS", 30},
      {"toner colours", "SELECT count(DISTINCT COL) FROM UP_CONS WHERE CTYPE = 'Toner' AND COL IN ('C','M','Y','K')",
       4},
      {"inks", "SELECT count(*) FROM UP_CONS WHERE CTYPE = 'Ink'", 4},
      {"drums", "SELECT count(*) FROM UP_CONS WHERE CTYPE = 'Drum'", 1},
      {"replaced consumables", "SELECT count(*) FROM UP_CONS WHERE REPLID IS NOT NULL", 1},
      {"cost bands",
       "SELECT count(DISTINCT CASE WHEN COSTPP < 10 THEN 1 WHEN COSTPP < 30 THEN 2 WHEN COSTPP < 60 THEN 3 "
       "ELSE 4 END) FROM UP_CONS",
       4},
      {"models with consumables", "SELECT count(DISTINCT MODELID) FROM UP_MODEL_CONS", 12},
      {"printers", "SELECT count(*) FROM UP_PRINTERS", 40},
      {"units with printers", "SELECT count(DISTINCT ORGID) FROM UP_PRINTERS", 10},
      {"printers without a user", "SELECT count(*) FROM UP_PRINTERS WHERE USERPID IS NULL", 2},
      {"requirement rows", "SELECT count(*) FROM UP_CONS_REQ", 40},
      {"expired contracts", "SELECT count(*) FROM UP_SYMB WHERE DTTOLIM < {today}", 1},
      {"lines of the open contract",
       "SELECT count(*) FROM UP_SYMBD s JOIN UP_SYMB c ON c.ID = s.MID "
       "WHERE {today} BETWEEN c.DTFMLIM AND c.DTTOLIM",
       25},
      {"a consumable listed twice",
       "SELECT count(*) FROM (SELECT MID, CID FROM UP_SYMBD GROUP BY MID, CID "
       "HAVING count(*) > 1)",
       1},
      {"budget rows", "SELECT count(*) FROM UORGN", 6},
      {"unit close to its limit", "SELECT count(*) FROM UORGN WHERE VORD1 < VLIM1 AND VORD1 >= 0.9 * VLIM1", 1},
      {"unit over its allotment", "SELECT count(*) FROM UORGN WHERE VORD1 > VANAL", 1},
      {"stages of requisitions", "SELECT count(DISTINCT STATE) FROM UP_DELT WHERE STATE IN (0,1,2,4,6,7,8,9)", 8},
      {"requisition lines", "SELECT count(*) FROM UP_DELTD", 20},
      {"departments offered", "SELECT count(*) FROM DEPT WHERE TYPTYP IN (0, 1)", 2},
  };
  for (const Case& c : cases) EXPECT_GE(s().Int(Sql(c.sql)), c.atLeast) << c.what;
  EXPECT_EQ(s().Int("SELECT count(*) FROM USRLU"), 3);
  EXPECT_EQ(s().Int("SELECT count(*) FROM UP_OVPARAMS"), 6);
}

TEST_F(DemoData, ExactlyOneContractIsOpenOnTheCreationDayAndTheListsUseIt) {
  EXPECT_EQ(s().Int(Sql("SELECT count(*) FROM UP_SYMB WHERE {today} BETWEEN DTFMLIM AND DTTOLIM")), 1);
  const std::int64_t open = s().Int(Sql("SELECT ID FROM UP_SYMB WHERE {today} BETWEEN DTFMLIM AND DTTOLIM"));
  EXPECT_EQ(s().Int("SELECT PVALN FROM UP_OVPARAMS WHERE PNM = 'UP_CURRENT_SYMBID'"), open);
  // Requisitions, the counter and the sequence agree.
  EXPECT_EQ(s().Int("SELECT PVALN FROM UP_OVPARAMS WHERE PNM = 'DELT_COUNTER'"),
            s().Int("SELECT max(NODELT) FROM UP_DELT"));
  EXPECT_GT(s().Int("SELECT LAST_VALUE FROM MERO_SEQUENCES WHERE NAME = 'SEQ_UP_DELT'"),
            s().Int("SELECT max(ID) FROM UP_DELT"));
  // Requisition dates lie in their contract's period and before today.
  EXPECT_EQ(s().Int(Sql("SELECT count(*) FROM UP_DELT d JOIN UP_SYMB c ON c.ID = d.SID "
                        "WHERE d.DTIN < c.DTFMLIM OR d.DTIN > c.DTTOLIM OR d.DTIN > {today} "
                        "OR coalesce(d.DTCLOSED, d.DTRECEIVED, d.DTARRIVED, d.DTSENT, d.DTFIN) > {today}")),
            0);
}

TEST(DemoDataDays, OneContractIsOpenWhateverTheCreationDay) {
  for (const base::TDateTime day : {base::EncodeDate(2023, 1, 1), base::EncodeDate(2030, 12, 31) + 0.75}) {
    ServerDb s;
    server::LoadDemoData(s.db(), day);
    const std::string today = std::to_string(static_cast<long long>(day));
    EXPECT_EQ(s.Int("SELECT count(*) FROM UP_SYMB WHERE " + today + " BETWEEN DTFMLIM AND DTTOLIM"), 1);
    EXPECT_EQ(s.Int("SELECT count(*) FROM UP_SYMB WHERE " + today + " - 61 BETWEEN DTFMLIM AND DTTOLIM"), 1);
    base::ScopedClock clock(std::make_shared<base::FixedClock>(day));
    EXPECT_EQ(s.Text("select F_UP_ALLOW_Deltio ('maria') from DUAL "), std::nullopt);
  }
}

TEST_F(DemoData, NothingRefersToWhatIsNotThere) {
  EXPECT_EQ(s().Int("SELECT count(*) FROM pragma_foreign_key_check"), 0);
  const std::vector<std::pair<const char*, const char*>> orphans = {
      {"budget of no contract",
       "SELECT count(*) FROM UORGN n WHERE NOT EXISTS (SELECT 1 FROM UP_SYMB c WHERE c.ID = CAST(n.SID AS INTEGER))"},
      {"printer in no building",
       "SELECT count(*) FROM UP_PRINTERS p WHERE BUILDINGID IS NOT NULL AND NOT EXISTS (SELECT 1 FROM UP_BUILDINGS b "
       "WHERE b.ID = p.BUILDINGID)"},
      {"printer of no asset",
       "SELECT count(*) FROM UP_PRINTERS p WHERE SPICEID IS NOT NULL AND NOT EXISTS (SELECT 1 FROM UP_SPICE x WHERE "
       "x.ID = p.SPICEID)"},
      {"model of no maker",
       "SELECT count(*) FROM UP_PR_MODELS m WHERE NOT EXISTS (SELECT 1 FROM UP_MANUF x WHERE x.ID = m.MANID)"},
      {"consumable of no maker",
       "SELECT count(*) FROM UP_CONS c WHERE NOT EXISTS (SELECT 1 FROM UP_MANUF x WHERE x.ID = c.MANID)"},
      {"unit under no unit",
       "SELECT count(*) FROM UORG u WHERE MASTID IS NOT NULL AND NOT EXISTS (SELECT 1 FROM UORG p WHERE p.ID = "
       "u.MASTID AND substr(u.ID, 1, length(p.ID) + 1) = p.ID || '.' AND p.LEVEL1 = u.LEVEL1 - 1)"},
      {"user of no department",
       "SELECT count(*) FROM USRLU u WHERE DEPTID <> '-' AND NOT EXISTS (SELECT 1 FROM DEPT d WHERE d.ID = u.DEPTID)"},
      {"line not from its contract",
       "SELECT count(*) FROM UP_DELTD l JOIN UP_DELT d ON d.ID = l.MID WHERE NOT EXISTS (SELECT 1 FROM UP_SYMBD s "
       "WHERE s.MID = d.SID AND s.CID = l.CID AND s.ITEMAA = l.ITEMAA AND s.UP = l.UP AND s.CODE = l.CODE)"},
      {"line for a printer of another unit",
       "SELECT count(*) FROM UP_DELTD l JOIN UP_DELT d ON d.ID = l.MID JOIN UP_PRINTERS p ON p.ID = l.PRID WHERE "
       "p.ORGID NOT LIKE d.ORGID || '%' OR p.USERPID IS NOT l.XRUID"},
      {"line of a consumable the printer cannot take",
       "SELECT count(*) FROM UP_DELTD l JOIN UP_PRINTERS p ON p.ID = l.PRID WHERE NOT EXISTS (SELECT 1 FROM "
       "UP_MODEL_CONS m WHERE m.MODELID = p.MODELID AND m.CONSID = l.CID)"},
      {"requirement the printer cannot take",
       "SELECT count(*) FROM UP_CONS_REQ r JOIN UP_PRINTERS p ON p.ID = r.PRID WHERE NOT EXISTS (SELECT 1 FROM "
       "UP_MODEL_CONS m WHERE m.MODELID = p.MODELID AND m.CONSID = r.CID)"},
      {"totals not following lines",
       "SELECT count(*) FROM UP_DELT d JOIN MERO_DELT_TOTALS t ON t.ID = d.ID WHERE t.VALTOT <> d.VALTOT OR t.QTYTOT "
       "<> d.QTYTOT OR t.VALDELIV <> d.VALDELIV OR t.QTYDELIV <> d.QTYDELIV"},
      {"stage not following dates",
       "SELECT count(*) FROM UP_DELT d JOIN MERO_DELT_STAGE g ON g.ID = d.ID WHERE g.STAGE <> d.STATE"},
      {"budget not current",
       "SELECT count(*) FROM UORGN n JOIN MERO_UORGN_FIGURES f ON f.ORGID = n.ORGID AND f.SID = n.SID WHERE f.VORD1 <> "
       "n.VORD1 OR f.VYPOL1 <> n.VYPOL1"},
  };
  for (const auto& [what, sql] : orphans) EXPECT_EQ(s().Int(sql), 0) << what;
}

TEST_F(DemoData, ThreeUsersWithTheirRolesAndPasswords) {
  base::ScopedClock clock(std::make_shared<base::FixedClock>(today_ + 0.4));
  struct Case {
    const char* usrid;
    const char* login;
    const char* password;
    std::int64_t superUser;
    bool mayOrder;
  };
  const std::vector<Case> cases = {
      {"ADMIN", "admin", "admin", 1, true},
      {"MARIA", "maria", "maria", 0, true},
      {"NIKOS", "nikos", "nikos", 0, false},
  };
  for (const Case& c : cases) {
    const std::string where = std::string(" WHERE USRID = '") + c.usrid + "'";
    const auto stored = s().Text("SELECT PASSWORD_HASH FROM USRLU" + where);
    ASSERT_TRUE(stored.has_value()) << c.usrid;
    EXPECT_TRUE(server::VerifyPassword(c.password, *stored)) << c.usrid;
    EXPECT_FALSE(server::VerifyPassword("wrong", *stored)) << c.usrid;
    EXPECT_EQ(s().Int(std::string("select F_UP_IS_SUPERUSER('") + c.login + "') from DUAL"), c.superUser) << c.usrid;
    EXPECT_EQ(!s().Text(std::string("select F_UP_ALLOW_Deltio ('") + c.login + "') from DUAL ").has_value(), c.mayOrder)
        << c.usrid;
  }
  // MARIA is toner responsible for exactly two units that take orders.
  EXPECT_EQ(s().Int("SELECT count(*) FROM UORG WHERE (toner_uid='maria') and (TON=1)"), 2);
  EXPECT_EQ(s().Int("SELECT count(*) FROM UORG WHERE TONER_UID LIKE '%nikos%'"), 0);
  EXPECT_GE(s().Int("SELECT count(*) FROM UP_PRINTERS WHERE USERPID = 'nikos'"), 2);
  EXPECT_EQ(s().Text("SELECT DEPTID || '|' || OTHER_DEPTS FROM USRLU WHERE USRID = 'MARIA'"), "-|D04;D02;");
}

// The windows' own selects run on the demo data and give what they show.
TEST_F(DemoData, WindowsFindTheirCasesInTheDemoData) {
  struct Case {
    const char* what;
    const char* sql;
    std::int64_t expected;
  };
  const std::vector<Case> cases = {
      {"no delivery point for the printers of 0.04.01",
       "select count(*) from UDelivery where  ID in (select delpID from UPV_Printers where ORGID='0.04.01') and "
       "(id<>'-') ",
       0},
      {"one delivery point for 0.04.02",
       "select count(*) from UDelivery where  ID in (select delpID from UPV_Printers where ORGID='0.04.02') and "
       "(id<>'-') ",
       1},
      {"two delivery points for 0.02.02",
       "select count(*) from UDelivery where  ID in (select delpID from UPV_Printers where ORGID='0.02.02') and "
       "(id<>'-') ",
       2},
      {"units of maria's printers window", "select count(*) from UORG where Toner_UID like '%kostas%'", 2},
      {"printers offered for 0.02.02 and below",
       "select count(*) from UPV_Printers where  (orgID like '0.02.02%') and (UserPID IS NOT NULL) ", 10},
      {"remaining quantity below zero",
       "select (v.QTY-F_UP_REQ_Q(3,2, CID,PRID)) CLC_YPOL from UPV_CONS_REQ v where 1=1  and PRID='P012' and CID=8",
       -1},
      {"remaining quantity zero",
       "select (v.QTY-F_UP_REQ_Q(3,2, CID,PRID)) CLC_YPOL from UPV_CONS_REQ v where 1=1  and PRID='P008' and CID=1", 0},
      {"contract price in the workbench", "select count(*) from UPV_CONS where S_UP is not null", 31},
      {"first contract line of a consumable listed twice", "select S_ITEMAA from UPV_CONS where ID=1", 1},
      {"consumable nobody requires",
       "select count(*) from (select c.*  , (SELECT count(prid) FROM UP_CONS_REQ WHERE cid=c.id) PRCNT , (SELECT "
       "SUM(Qty) FROM UP_CONS_REQ WHERE cid=c.id) SUMQ  from UPV_CONS c where 1=1 and c.ReplID IS NULL) where PRCNT = "
       "0 "
       "and SUMQ IS NULL",
       1},
      {"models with printers", "select count(*) from UPV_PR_MODELS where PR_CNT > 0 and CONS_NT > 0", 12},
      {"lines of requisition 7 (the consumable listed twice)", "select count(*) from UPV_DeltD1 where mid=7 and CID=1",
       2},
      {"compatible line is not genuine", "select count(*) from UPV_DeltD1 where mid=7 and GEN='0'", 1},
      {"lines delivered in stage 8", "select count(*) from UPV_DeltD1 where mid=2 and QTYDEL=QTY", 2},
      {"contract consumables list", "select count(*) from UPV_SYMBD v where 1=1 and v.MID=2", 32},
  };
  for (const Case& c : cases) EXPECT_EQ(s().Int(c.sql), c.expected) << c.what;

  // Finalising the draft of 0.02.02 would cross its limit but not its
  // allotment; 0.04.02 is already over its allotment.
  s().Exec("update UORGN set VYPOL1=0 where ORGID='0.02.02' and SID='2'");
  const double ordered = s().Double("select VORD1 from UORGN where ORGID='0.02.02' and SID='2'");
  const double draft = s().Double("select VALTOT from UP_DELT where ID=4");
  EXPECT_LT(ordered, s().Double("select VLIM1 from UORGN where ORGID='0.02.02' and SID='2'"));
  EXPECT_GT(ordered + draft, s().Double("select VLIM1 from UORGN where ORGID='0.02.02' and SID='2'"));
  EXPECT_LT(ordered + draft, s().Double("select VANAL from UORGN where ORGID='0.02.02' and SID='2'"));
  EXPECT_GT(s().Double("select VORD1 - VANAL from UORGN where ORGID='0.04.02' and SID='2'"), 0);
}

TEST_F(DemoData, EveryViewReadsWithoutError) {
  std::vector<std::string> views;
  {
    server::Prepared q(s().db().Handle(), "SELECT name FROM sqlite_master WHERE type = 'view'");
    while (q.Step()) views.push_back(q.Text(0));
  }
  for (const std::string& view : views) EXPECT_GT(s().Int("SELECT count(*) FROM " + view), 0) << view;
  // Carried text columns of the lines view hold what their width allows.
  EXPECT_EQ(s().Int("SELECT count(*) FROM UPV_DELTD1 WHERE length(PR_UP) > 7 OR length(PR_VAL) > 7 "
                    "OR length(PR_DESC) > 120 OR PR_DESC IS NULL"),
            0);
  EXPECT_EQ(s().Text("SELECT PR_VAL FROM UPV_DELTD1 WHERE MID = 1 AND CID = 1"), "178,00");
}

}  // namespace
