#include "data/remote/query_utils.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "base/date_time.h"
#include "base/encoding.h"
#include "base/runtime.h"
#include "data/database_error.h"
#include "data/dataset_utils.h"
#include "data/remote/application_dataset.h"
#include "data/remote/query_startup.h"
#include "data/remote/record_object.h"
#include "data/remote/table_cache.h"
#include "link/codec/link_errors.h"
#include "remote_fixture.h"
#include "support/debug_log_lines.h"
#include "support/error_text.h"
#include "support/temp_dir.h"

using namespace mero;
using namespace mero::base::literals;
using namespace std::string_literals;

namespace {

// The query utilities started on the logged-in connection module, with the
// SQL display and the wait cursor recorded and the sent messages counted on
// the socket itself.
class QueryUtils : public test::RemoteDataSetTest {
 protected:
  void SetUp() override {
    RemoteDataSetTest::SetUp();
    if (HasFatalFailure()) return;
    data::InitQueryUtils(false);
    data::SetSQLDisplay([this](const std::string& sql) { shownSQL.push_back(sql); });
    data::SetSqlWaitCursor([this](bool busy) { cursor.push_back(busy); });
  }

  int Sent() { return Socket().SentMessageCount(); }

  std::vector<std::string> shownSQL;
  std::vector<bool> cursor;
};

using test::LogTexts;

// The ID of every row, from the first.
std::vector<std::string> Ids(data::TDataSet& ds) {
  std::vector<std::string> out;
  for (ds.First(); !ds.Eof(); ds.Next()) out.push_back(ds.FieldByName("ID").AsString());
  return out;
}

// OpenQuery

TEST_F(QueryUtils, OpenQueryLogsTimesAndShowsTheStatementByDebugLevel) {
  test::TempDir dir;
  base::Runtime& rt = base::Rt();
  rt.paramNames = {"MYDEBUG"};
  rt.paramValues = {"1"};
  rt.paramListsExist = true;
  const std::string sql = "select ID from DEPT where ID='D04'";
  const std::regex start(R"(S>\d\d:\d\d:\d\d\.\d\d\d)");
  const std::regex end(R"(S>\d\d:\d\d:\d\d\.\d\d\d End:\d\d:\d\d:\d\d\.\d\d\d  DUR=\*\*\d+\.\d\d\d\*\*)");
  struct Case {
    int level;
    std::size_t shown;
    std::vector<std::string> expected;  // "start", "end" or a literal line
  };
  const Case cases[] = {{0, 0, {}}, {1, 1, {}}, {2, 1, {"start", "end"}}, {9, 1, {"start", sql, "end"}}};
  for (const Case& c : cases) {
    rt.debugLevel = c.level;
    rt.debugLogFileName = dir.File("dbg" + std::to_string(c.level) + ".txt");
    shownSQL.clear();
    cursor.clear();
    auto q = data::NewQuery();
    EXPECT_TRUE(data::OpenSQL(*q, sql, -1)) << c.level;
    EXPECT_EQ(shownSQL.size(), c.shown) << c.level;
    if (c.shown > 0) {
      EXPECT_EQ(shownSQL[0], sql);
    }
    EXPECT_EQ(cursor, (std::vector<bool>{true, false})) << c.level;
    const std::vector<std::string> lines = LogTexts(rt.debugLogFileName);
    ASSERT_EQ(lines.size(), c.expected.size()) << c.level;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (c.expected[i] == "start") {
        EXPECT_TRUE(std::regex_match(lines[i], start)) << lines[i];
      } else if (c.expected[i] == "end") {
        EXPECT_TRUE(std::regex_match(lines[i], end)) << lines[i];
        // The closing line repeats the opening one.
        EXPECT_EQ(lines[i].substr(0, 14), lines[0].substr(0, 14));
      } else {
        EXPECT_EQ(lines[i], c.expected[i]);
      }
    }
    data::FreeQuery(q);
  }
}

TEST_F(QueryUtils, OpenQueryNamesTheQueryGivesItTheSocketAndTellsWhetherRowsCame) {
  data::TKZLINK q;
  q.SetSQLText("select * from DEPT where ID='nope'");
  EXPECT_FALSE(data::OpenQuery(q));
  EXPECT_TRUE(q.Active());
  EXPECT_EQ(q.Name(), "ON_THE_FLY");
  EXPECT_EQ(q.LinkClientSocket(), &Socket());
  EXPECT_TRUE(q.HasSQLOption(link::soFetchMemos));
  EXPECT_TRUE(data::QueryGlobals().connected);

  data::TKZLINK named("QDEPT");
  EXPECT_TRUE(data::OpenSQL(named, "select * from DEPT order by ID"));
  EXPECT_EQ(named.Name(), "QDEPT");
  EXPECT_EQ(named.RecordCount(), 5);
  // A second open replaces the statement and reads again.
  EXPECT_TRUE(data::OpenSQL(named, "select NAME from DEPT where ID='D03'"));
  EXPECT_EQ(named.FieldCount(), 1);
  EXPECT_EQ(named.Fields(0).AsString(), "Τμήμα Φυσικής"_gr);

  // Without the start-up switch, double quotes are sent as single ones and
  // the parameters stay as they were.
  data::QueryGlobals().keepDoubleQuotes = false;
  data::TKZLINK& q2 = module_->Q();
  q2.SetSQLText("select * from DEPT where ID=:qID and NAME<>\"x\"");
  q2.ParamByName("qID").SetString("D04");
  EXPECT_TRUE(data::OpenQuery(q2));
  EXPECT_EQ(q2.SQLText(), "select * from DEPT where ID=:qID and NAME<>'x'");
  EXPECT_EQ(q2.ParamByName("qID").ValueText(), "D04");
  EXPECT_EQ(q2.FieldByName("ID").AsString(), "D04");
}

TEST_F(QueryUtils, OpenQueryConnectsAClosedSocketAgain) {
  Socket().Close();
  ASSERT_FALSE(Socket().Active());
  auto q = data::NewQuery();
  EXPECT_TRUE(data::OpenSQL(*q, "select * from DEPT"));
  EXPECT_EQ(q->RecordCount(), 5);
  EXPECT_TRUE(data::QueryGlobals().connected);

  // With no server to connect to, the failure is shown with the statement
  // and passed on.
  server_.Stop();
  Socket().Close();
  EXPECT_THROW(data::OpenSQL(*q, "select * from COOP"), std::exception);
  EXPECT_FALSE(data::QueryGlobals().connected);
  EXPECT_EQ(shownSQL, std::vector<std::string>{"select * from COOP"});
  EXPECT_FALSE(q->Active());
}

TEST_F(QueryUtils, AnOpenErrorShowsTheStatementThenPassesOn) {
  const std::string bad = "select NOPE from DEPT";
  auto q = data::NewQuery();
  const std::string error = test::ErrorOf<data::EDatabaseError>([&] { data::OpenSQL(*q, bad); });
  EXPECT_NE(error.find("[LINK SERVER ERROR]"), std::string::npos) << error;
  EXPECT_EQ(shownSQL, std::vector<std::string>{bad});
  EXPECT_EQ(cursor, (std::vector<bool>{true, false}));
  EXPECT_FALSE(q->Active());
  data::FreeQuery(q);
  EXPECT_EQ(q, nullptr);

  // The select family passes it on too, after the same display; the pairs
  // swallow it.
  shownSQL.clear();
  EXPECT_THROW(data::SelectValue(bad, "0"), data::EDatabaseError);
  EXPECT_THROW(data::SelectInt(bad), data::EDatabaseError);
  std::vector<std::string> list = {"old"};
  EXPECT_THROW(data::SelectList(bad, "0", list), data::EDatabaseError);
  EXPECT_TRUE(list.empty());
  list = {"old"};
  data::SelectPairs(list, bad, true);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(shownSQL.size(), 4u);
  // The connection is still usable.
  EXPECT_EQ(data::SelectStr("select NAME from DEPT where ID='D05'"), "Τμήμα Πληροφορικής"_gr);
}

TEST_F(QueryUtils, SetQueryKeyByMode) {
  data::TKZLINK q;
  q.SetzKeyF("OLD");
  q.SetzKeyTAB("OLDTAB");
  q.SetzzIMCID("OLDIMC");
  data::SetQueryKey(q, -1, "DEPT", "ID");
  EXPECT_EQ(q.zKeyF(), "OLD");
  EXPECT_EQ(q.zzIMCID(), "OLDIMC");
  data::OpenSQL(q, "select * from DEPT", 1, "DEPT", "ID");
  EXPECT_EQ(q.zKeyF(), "ID");
  EXPECT_EQ(q.zKeyTAB(), "DEPT");
  EXPECT_EQ(q.zzIMCID(), "DEPT");
  data::SetQueryKey(q, 0, "COOP", "APPID");
  EXPECT_EQ(q.zKeyF(), "");
  EXPECT_EQ(q.zKeyTAB(), "");
  EXPECT_EQ(q.zzIMCID(), "COOP");
}

// Statements

TEST_F(QueryUtils, StatementsSendTheirCommitOnlyAfterSuccess) {
  int before = Sent();
  data::ExecSQL("update STAFF set NAME='A' where ID=1");
  EXPECT_EQ(Sent() - before, 1);
  before = Sent();
  data::ExecSQLCommit("update STAFF set NAME='B' where ID=1");
  EXPECT_EQ(Sent() - before, 2);
  before = Sent();
  data::CommitWork();
  EXPECT_EQ(Sent() - before, 1);
  EXPECT_EQ(data::SelectStr("select NAME from STAFF where ID=1"), "B");

  before = Sent();
  const std::string error = test::ErrorOf<data::EDatabaseError>([] { data::ExecSQLCommit("update NOPE set X=1"); });
  EXPECT_NE(error.find("[LINK SERVER ERROR]"), std::string::npos) << error;
  EXPECT_EQ(Sent() - before, 1);  // no commit followed
  EXPECT_THROW(data::ExecSQL("update NOPE set X=1"), data::EDatabaseError);
}

TEST_F(QueryUtils, StatementsWithoutASocketSayWhy) {
  data::SetSharedSocket(nullptr);
  const std::string error = test::ErrorOf<data::EDatabaseError>([] { data::CommitWork(); });
  EXPECT_EQ(error, data::errors::kNoLinkClientSocket);
}

// Values

TEST_F(QueryUtils, SelectValuesByColumnRowCountAndEmptyResults) {
  EXPECT_EQ(data::SelectValue("select * from DEPT where TYPTYP=1", "#"), base::Variant::Integer(3));
  EXPECT_EQ(data::SelectValue("select * from DEPT where ID='none'", "#"), base::Variant::Integer(0));
  EXPECT_EQ(data::SelectValue("select ID, NAME from DEPT where ID='D04'", "name"),
            base::Variant::Text("Τμήμα Μαθηματικών"_gr));
  EXPECT_EQ(data::SelectValue("select ID, NAME from DEPT where ID='D04'", "1"),
            base::Variant::Text("Τμήμα Μαθηματικών"_gr));
  EXPECT_EQ(data::SelectValue("select ID, NAME from DEPT where ID='D04'", ""), base::Variant::Text("D04"));
  EXPECT_TRUE(data::SelectValue("select ID from DEPT where ID='none'", "0").IsNull());

  EXPECT_EQ(data::SelectInt("select ID from STAFF where ID=-1"), 0);
  EXPECT_EQ(data::SelectStr("select NAME from STAFF where ID=-1"), "");
  EXPECT_EQ(data::SelectFloat("select ID from STAFF where ID=-1"), 0);
  EXPECT_EQ(data::SelectInt("select count(*) from STAFF"), 3);
  EXPECT_EQ(data::SelectStr("select TYPSXOLH from DEPT where ID='D05'"), "2");
  EXPECT_EQ(data::SelectInt("select NAME from DEPT where ID='D05'"), 0);  // not a number

  // Halves go to the even neighbour.
  EXPECT_EQ(data::SelectInt("select 2.5 from DUAL"), 2);
  EXPECT_EQ(data::SelectInt("select 3.5 from DUAL"), 4);
  EXPECT_EQ(data::SelectInt("select -2.5 from DUAL"), -2);
  EXPECT_EQ(data::SelectFloat("select 2.25 from DUAL"), 2.25);
  const std::string error = test::ErrorOf<base::Exception>([] { data::SelectInt("select 3000000000.5 from DUAL"); });
  EXPECT_EQ(error, std::string(data::errors::kIntegerOutOfRange) + "3000000000");

  auto dates = Query("select DTIN from UP_DELT where DTIN is not null order by DTIN");
  dates->Open();
  EXPECT_EQ(data::SelectDate("select DTIN from UP_DELT where DTIN is not null order by DTIN"),
            dates->Fields(0).AsDateTime());
  EXPECT_NE(dates->Fields(0).AsDateTime(), 0);
  EXPECT_EQ(data::SelectDate("select DTIN from UP_DELT where ID=-1"), 0);
}

TEST_F(QueryUtils, ListsAndPairs) {
  std::vector<std::string> list = {"old"};
  EXPECT_EQ(data::SelectList("select ID, NAME from DEPT where TYPTYP=1 order by ID", "ID", list), 3);
  EXPECT_EQ(list, (std::vector<std::string>{"D02", "D03", "D04"}));
  EXPECT_EQ(data::SelectList("select ID from DEPT where ID='none'", "ID", list), 0);
  EXPECT_TRUE(list.empty());

  data::SelectPairs(list, "select ID, NAME from STAFF where ID<3 order by ID", false);
  EXPECT_EQ(list, (std::vector<std::string>{"Παπαδοπούλου Μαρία\t1"_gr, "Αντωνίου Νικόλαος\t2"_gr}));
  data::SelectPairs(list, "select ID from DEPT where TYPTYP=2", true);
  EXPECT_EQ(list, (std::vector<std::string>{"-\t", "D05\tD05"}));
}

TEST_F(QueryUtils, LookupsQuoteTheKey) {
  EXPECT_EQ(data::LookupStr("DEPT", "ID", "NAME", "D03"), "Τμήμα Φυσικής"_gr);
  EXPECT_EQ(data::LookupValue("DEPT", "ID", "TYPSXOLH", "D03"), base::Variant::Integer(2));
  EXPECT_EQ(data::LookupStr("DEPT", "ID", "NAME", "D03' or '1'='1"), "");
  EXPECT_TRUE(shownSQL.empty());
}

TEST_F(QueryUtils, ParametersByTrimmedName) {
  data::TKZLINK& q = module_->Q();
  data::SetQueryParamStr(q, " qID ", "D04");
  EXPECT_EQ(data::GetQueryParamStr(q, "qID"), "D04");
  EXPECT_TRUE(data::OpenQuery(q));
  EXPECT_EQ(q.FieldByName("NAME").AsString(), "Τμήμα Μαθηματικών"_gr);
  data::SetQueryParam(q, "qID", base::Variant::Text("D05"));
  EXPECT_EQ(data::GetQueryParam(q, "qid"), base::Variant::Text("D05"));
  EXPECT_TRUE(data::OpenQuery(q));
  EXPECT_EQ(q.FieldByName("ID").AsString(), "D05");
  EXPECT_THROW(data::SetQueryParamStr(q, "nope", "x"), link::ELinkParamException);
}

// Lists in place

TEST_F(QueryUtils, RefreshQueryKeepsTheRowOrTheEnd) {
  auto list = Query("select ID, NAME from STAFF order by ID", "QSTAFF");
  data::RefreshQuery(*list);  // closed: opened
  ASSERT_TRUE(list->Active());
  list->Last();
  data::ExecSQLCommit("insert into STAFF (ID, NAME) values (10, '"s + "Νέος"_gr + "')");
  data::RefreshQuery(*list);
  EXPECT_EQ(list->RecordCount(), 4);
  EXPECT_EQ(list->FieldByName("ID").AsInteger(), 10);
  EXPECT_EQ(list->SQL().back(), "select ID, NAME from STAFF order by ID ");

  // On the last row without having moved past it: still the end.
  data::ExecSQLCommit("insert into STAFF (ID, NAME) values (11, '"s + "Άλλος"_gr + "')");
  list->First();
  while (list->FieldByName("ID").AsInteger() != 10) list->Next();
  data::RefreshQuery(*list);
  EXPECT_EQ(list->FieldByName("ID").AsInteger(), 11);

  // Elsewhere: the same row position.
  list->First();
  list->Next();
  data::RefreshQuery(*list);
  EXPECT_EQ(list->FieldByName("ID").AsInteger(), 2);
  EXPECT_FALSE(list->ControlsDisabled());

  // An in-memory dataset is reopened the same way.
  data::TLinkDataSet copy;
  copy.LoadFromDataSet(*list);
  copy.Last();
  data::RefreshQuery(copy);
  EXPECT_EQ(copy.RecNo(), copy.RecordCount());
}

TEST_F(QueryUtils, SumColumnsCopiesARemoteListWithoutMovingIt) {
  auto list = Query("select ID, TYPTYP, TYPSXOLH from DEPT order by ID", "QDEPT");
  list->Open();
  list->Next();
  int scrolled = 0;
  list->AfterScroll = [&] { ++scrolled; };
  data::ColumnSums sums;
  EXPECT_EQ(data::SumColumns(*list, "TYPTYP|typsxolh", sums), 2);
  EXPECT_EQ(sums[1], 5);
  EXPECT_EQ(sums[2], 7);
  EXPECT_EQ(data::QueryGlobals().recordCount, 5);
  EXPECT_EQ(scrolled, 0);
  EXPECT_EQ(list->FieldByName("ID").AsString(), "D02");
  ASSERT_TRUE(list->AfterScroll);
}

// The table cache

TEST_F(QueryUtils, CacheLoadsOnFirstUseAndAnswersFromMemory) {
  data::TAMemCol& cache = *data::MemCol();
  ASSERT_NE(cache.Table("coop"), nullptr);
  EXPECT_EQ(cache.Table("COOP")->keyField, "APPID");
  EXPECT_FALSE(cache.Table("COOP")->loaded);

  int before = Sent();
  EXPECT_EQ(cache.FindKey("coop", "MERO"), 1);
  EXPECT_EQ(Sent() - before, 1);
  EXPECT_EQ(cache.Table("COOP")->fieldNames, "APPID,NAME");
  before = Sent();
  bool found = false;
  EXPECT_EQ(cache.CachedLookup("COOP", "MERO", "name", found), "Εκτυπωτές και αναλώσιμα"_gr);
  EXPECT_TRUE(found);
  EXPECT_EQ(cache.FindKey("COOP", "NONE"), -1);
  EXPECT_EQ(cache.FindKey("COOP", ""), -1);
  EXPECT_EQ(cache.FindKey("NOTREG", "MERO"), -1);
  // A key the cache does not hold is not asked for.
  EXPECT_EQ(cache.CachedLookup("COOP", "NONE", "NAME", found), "");
  EXPECT_FALSE(found);
  EXPECT_EQ(cache.CachedLookup("COOP", "", "NAME", found), "");
  EXPECT_EQ(cache.CachedLookup("NOTREG", "MERO", "NAME", found), "");
  EXPECT_EQ(Sent() - before, 0);

  // A field the cache does not hold is asked of the server, once.
  cache.AddTable("dept", "select ID, TYPTYP from DEPT", "", "");
  cache.AddTable("DEPT", "select * from NOPE", "", "");  // registered already: ignored
  EXPECT_EQ(cache.Table("DEPT")->keyField, "ID");
  EXPECT_EQ(cache.CachedLookupInt("DEPT", "D05", "TYPTYP"), 2);
  before = Sent();
  EXPECT_EQ(cache.CachedLookup("DEPT", "D04", "NAME", found), "Τμήμα Μαθηματικών"_gr);
  EXPECT_FALSE(found);
  EXPECT_EQ(Sent() - before, 1);
  EXPECT_EQ(cache.CachedLookupInt("DEPT", "D04", "NAME"), 0);

  // Default statement, sorting after the load, TableData.
  cache.AddTable("STAFF", "", "name", "");
  EXPECT_EQ(cache.Table("STAFF")->sql, "select * from STAFF");
  data::TLinkDataSet* staff = cache.TableData("staff");
  ASSERT_NE(staff, nullptr);
  EXPECT_EQ(Ids(*staff), (std::vector<std::string>{"2", "3", "1"}));
  EXPECT_EQ(cache.TableData("NOTREG"), nullptr);
  EXPECT_TRUE(presenter_.Texts().empty());
}

TEST_F(QueryUtils, CacheRowsFollowTheServer) {
  data::TAMemCol& cache = *data::MemCol();
  cache.AddTable("STAFF", "select ID, NAME from STAFF order by ID", "", "ID");
  cache.LoadTable("STAFF");
  data::TLinkDataSet& rows = *cache.TableData("STAFF");

  data::ExecSQLCommit("update STAFF set NAME='"s + "Αλλαγή"_gr + "' where ID=2");
  data::ExecSQLCommit("insert into STAFF (ID, NAME) values (20, '"s + "Νέα"_gr + "')");
  EXPECT_EQ(cache.CachedLookup("STAFF", "2", "NAME"), "Αντωνίου Νικόλαος"_gr);  // not yet re-read
  cache.RefreshRecord("STAFF", "2");
  EXPECT_EQ(cache.CachedLookup("STAFF", "2", "NAME"), "Αλλαγή"_gr);
  EXPECT_EQ(cache.CachedLookup("STAFF", "20", "NAME"), "");
  cache.RefreshRecord("STAFF", "20");
  EXPECT_EQ(cache.CachedLookup("STAFF", "20", "NAME"), "Νέα"_gr);
  EXPECT_EQ(rows.RecordCount(), 4);
  cache.RefreshRecord("STAFF", "99");  // the server has no such row
  EXPECT_EQ(rows.RecordCount(), 4);
  // Not a number: sent quoted, which the server refuses for a numeric key.
  cache.RefreshRecord("STAFF", "2 or 1=1");
  EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{data::errors::kCacheFetchFailed});
  EXPECT_EQ(rows.RecordCount(), 4);

  cache.DropRecord("STAFF", "2");
  EXPECT_EQ(cache.FindKey("STAFF", "2"), -1);
  cache.DropRecord("STAFF", "2");
  EXPECT_EQ(rows.RecordCount(), 3);
  EXPECT_EQ(Ids(rows), (std::vector<std::string>{"1", "3", "20"}));

  // A reload reads the server's rows again.
  cache.LoadTable("STAFF");
  EXPECT_EQ(Ids(*cache.TableData("STAFF")), (std::vector<std::string>{"1", "2", "3", "20"}));
}

TEST_F(QueryUtils, CacheStatementFailuresAreShownAndTheCallerGoesOn) {
  data::TAMemCol& cache = *data::MemCol();
  cache.AddTable("BAD", "select * from NOPE", "", "");
  EXPECT_EQ(cache.FindKey("BAD", "1"), -1);
  EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{data::errors::kCacheLoadFailed});
  EXPECT_TRUE(cache.Table("BAD")->loaded);
  EXPECT_EQ(cache.TableData("BAD"), nullptr);
  EXPECT_EQ(cache.CachedLookup("BAD", "1", "X"), "");
  cache.RefreshRecord("BAD", "1");
  EXPECT_EQ(presenter_.Texts().size(), 1u);  // a failed table is not re-read row by row
  EXPECT_EQ(data::QueryGlobals().recordCount, 0);

  // A key field the table lacks: the load works, the single-row fetch fails.
  cache.AddTable("DEPTX", "select * from DEPT", "", "NOPE");
  cache.RefreshRecord("DEPTX", "D01");
  EXPECT_EQ(presenter_.Texts(),
            (std::vector<std::string>{data::errors::kCacheLoadFailed, data::errors::kCacheFetchFailed}));
  EXPECT_EQ(cache.TableData("DEPTX")->RecordCount(), 5);
  EXPECT_EQ(data::QueryGlobals().recordCount, 5);
}

// Record objects

TEST_F(QueryUtils, RecordObjectsFetchOncePerKey) {
  data::TKZInfoOb dept("dept", false, "id");
  int before = Sent();
  EXPECT_EQ(dept.Fetch("D04", 0, false), 1);
  EXPECT_EQ(Sent() - before, 1);
  EXPECT_EQ(dept.Value("Name"), "Τμήμα Μαθηματικών"_gr);
  EXPECT_EQ(dept.KeyValue(), "D04");
  EXPECT_EQ(dept.ValueInt("TYPSXOLH"), 2);
  before = Sent();
  dept.Fetch("D04", 0, false);
  EXPECT_EQ(Sent() - before, 0);
  dept.Fetch("D04", 0, true);
  EXPECT_EQ(Sent() - before, 1);

  // A quote in a text key is doubled: no row, every value empty.
  before = Sent();
  dept.Fetch("D0'4", 0, false);
  EXPECT_EQ(Sent() - before, 1);
  EXPECT_EQ(dept.Value("NAME"), "");
  EXPECT_EQ(dept.KeyValue(), "");
  EXPECT_EQ(dept.LastKey(), "D0'4");

  // After a load from a dataset, the key fetched before is read again.
  dept.Fetch("D05", 0, false);
  auto other = Query("select * from DEPT where ID='D01'");
  other->Open();
  dept.LoadFrom(other.get(), 0);
  EXPECT_EQ(dept.KeyValue(), "D01");
  before = Sent();
  dept.Fetch("D05", 0, false);
  EXPECT_EQ(Sent() - before, 1);
  EXPECT_EQ(dept.Value("ID"), "D05");

  data::TKZInfoOb staff("STAFF", true, "ID");
  staff.Fetch("3", 0, false);
  EXPECT_EQ(staff.Value("name"), "Γεωργίου Ελένη"_gr);
  before = Sent();
  const std::string error = test::ErrorOf<base::Exception>([&] { staff.Fetch("3 or 1=1", 0, false); });
  EXPECT_EQ(error, std::string(data::errors::kKeyNotNumeric) + "3 or 1=1");
  EXPECT_EQ(Sent() - before, 0);

  // A failed open passes on and the key is not remembered.
  staff.Setup("NOPE", "ID", true);
  EXPECT_THROW(staff.Fetch("3", 0, false), data::EDatabaseError);
  EXPECT_EQ(staff.LastKey(), "");
  staff.Setup("STAFF", "ID", true);
  staff.Fetch("3", 0, false);
  EXPECT_EQ(staff.Value("DEPTID"), "D04");
}

}  // namespace
