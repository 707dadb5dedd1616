#include "data/remote/application_dataset.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "data/dataset_utils.h"
#include "data/remote/query_startup.h"
#include "data/remote/query_utils.h"
#include "data/remote/table_cache.h"
#include "link/client/client_socket.h"
#include "link/codec/string_line.h"
#include "remote_fixture.h"
#include "support/error_text.h"
#include "support/login_helper.h"

using namespace mero;
using namespace mero::base::literals;

namespace {

using Error = data::EDatabaseError;
using Lines = std::vector<std::string>;

// Records what the socket sends, as "kind:first field" (the statement of a
// select or an execute, line breaks at its end left out). It takes the
// socket's own encryption hook with a pass-through cipher, so every message
// is seen exactly as it goes on the wire.
class Traffic {
 public:
  explicit Traffic(link::TLinkClientSocket& socket)
      : socket_(socket), encrypt_(socket.OnEncrypt), decrypt_(socket.OnDecrypt), encryption_(socket.Encryption()) {
    socket_.SetEncryption(link::etUserDefined);
    socket_.OnEncrypt = [this](std::string& text) {
      const link::TLinkStringLine line = link::TLinkStringLine::Parse(text);
      std::string first = line.FieldCount() > 0 ? std::string(line.Field(1)) : std::string();
      while (!first.empty() && (first.back() == '\n' || first.back() == '\r')) first.pop_back();
      sent_.push_back(std::to_string(line.DispatchKind()) + ":" + first);
    };
    socket_.OnDecrypt = [](std::string&) {};
  }
  ~Traffic() {
    socket_.OnEncrypt = encrypt_;
    socket_.OnDecrypt = decrypt_;
    socket_.SetEncryption(encryption_);
  }
  Traffic(const Traffic&) = delete;
  Traffic& operator=(const Traffic&) = delete;

  // What was sent since the last call.
  Lines Take() {
    Lines out;
    out.swap(sent_);
    return out;
  }

 private:
  link::TLinkClientSocket& socket_;
  std::function<void(std::string&)> encrypt_;
  std::function<void(std::string&)> decrypt_;
  link::TLinkEncryption encryption_;
  Lines sent_;
};

class KZLink : public test::RemoteDataSetTest {
 protected:
  void SetUp() override {
    test::RemoteDataSetTest::SetUp();
    if (HasFatalFailure()) return;
    data::InitQueryUtils();
  }

  // A query as a window declares one: on the module's socket, with its SQL.
  std::unique_ptr<data::TKZLINK> KZ(const std::string& sql, const std::string& name = "QKZ") {
    auto q = std::make_unique<data::TKZLINK>(name);
    q->SetLinkClientSocket(&Socket());
    q->SetSQLText(sql);
    return q;
  }

  // A table of the cache, loaded.
  void Cache(const std::string& table) {
    data::MemCol()->AddTable(table, "select * from " + table + " order by ID", "", "ID");
    ASSERT_NE(data::MemCol()->TableData(table), nullptr);
  }
  std::string Cached(const std::string& table, const std::string& key, const std::string& field) {
    if (data::MemCol()->FindKey(table, key) != 1) return "<none>";
    return data::MemCol()->CachedLookup(table, key, field);
  }
};

// Opening

TEST_F(KZLink, BeforeOpenMakesTheKeyTheUpdateKey) {
  struct Case {
    const char* what;
    std::string keyF, keyTab, updateTable;
    Lines primeFields;
    bool readOnly;
    // What the dataset holds after opening.
    Lines wantPrime;
    std::string wantTable;
    data::TUpdateMethod wantMethod;
  };
  const std::vector<Case> cases = {
      {"key and table", " id ; orgid ", "UP_DELT", "", {}, false, {"ID", "ORGID"}, "UP_DELT", data::umAfterPost},
      {"the key table wins", "ID", "UP_DELT", "NQ.UP_DELT", {}, false, {"ID"}, "UP_DELT", data::umAfterPost},
      {"declared update table", "id", "", "NQ.UP_DELT", {}, false, {"ID"}, "NQ.UP_DELT", data::umAfterPost},
      {"no table", "ID", "", "", {}, false, {}, "", data::umCached},
      {"declared key fields", "ID", "UP_DELT", "", {"NODELT"}, false, {"NODELT"}, "", data::umCached},
      {"read-only", "ID", "UP_DELT", "", {}, true, {}, "", data::umCached},
      {"no key", "", "UP_DELT", "", {}, false, {}, "", data::umCached},
  };
  for (const Case& c : cases) {
    auto q = KZ("select ID, ORGID, NODELT from UP_DELT where ID = 4");
    q->SetzKeyF(c.keyF);
    q->SetzKeyTAB(c.keyTab);
    q->SetUpdateTableName(c.updateTable);
    q->SetPrimeFields(c.primeFields);
    q->SetReadOnly(c.readOnly);
    q->Open();
    EXPECT_EQ(q->PrimeFields(), c.wantPrime) << c.what;
    EXPECT_EQ(q->UpdateTableName(), c.wantTable) << c.what;
    EXPECT_EQ(q->UpdateMethod(), c.wantMethod) << c.what;
  }
}

TEST_F(KZLink, KeyTextCountAndFieldSettings) {
  auto q = KZ("select * from DEPT where TYPTYP = 1 order by ID");
  EXPECT_EQ(q->NonEmptyCount(), 0);  // closed
  q->SetzKeyF(" name ;ID");
  EXPECT_TRUE(q->OpenQuery());
  EXPECT_EQ(q->NonEmptyCount(), 3);
  q->Next();
  EXPECT_EQ(q->KeyText(), "Τμήμα Φυσικής"_gr);
  q->SetzKeyF("");
  EXPECT_EQ(q->KeyText(), "");
  q->SetzKeyF("NOPE");
  EXPECT_EQ(test::ErrorOf<Error>([&] { q->KeyText(); }), "QKZ:Field 'NOPE' not found");

  EXPECT_FALSE(q->OpenSQL("select * from DEPT where 1=2"));
  EXPECT_EQ(q->NonEmptyCount(), 0);
  EXPECT_TRUE(q->OpenSQL("select * from DEPT"));
  EXPECT_EQ(q->NonEmptyCount(), 5);

  q->SetFieldsVisible(" id ; typtyp", "0");
  EXPECT_EQ(data::FieldListText(*q, 1, true), "NAME,TYPSXOLH");
  q->SetAllVisible("1");
  q->SetFieldsReadOnly("NAME", "1");
  EXPECT_TRUE(q->FieldByName("NAME").ReadOnly());
  EXPECT_FALSE(q->FieldByName("ID").ReadOnly());
  q->SetAllReadOnly("yes");  // anything but "1" is no
  EXPECT_FALSE(q->FieldByName("NAME").ReadOnly());
  q->SetAllRequired("1");
  EXPECT_TRUE(q->FieldByName("TYPSXOLH").Required());
  EXPECT_EQ(test::ErrorOf<Error>([&] { q->SetFieldsVisible("ID;NOPE", "1"); }), "QKZ:Field 'NOPE' not found");
}

// Posting and deleting

TEST_F(KZLink, ManualPostWithAutoCommitSendsOnlyCommit) {
  const std::string name = Select1("select NAME from DEPT where ID = 'D05'");
  for (const bool autoCommit : {true, false}) {
    auto q = KZ("select * from DEPT where ID = 'D05'");
    q->SetUpdateMethod(data::umManual);
    q->SetzAutoCommit(autoCommit);
    q->Open();
    Traffic traffic(Socket());
    q->Edit();
    q->FieldByName("NAME").SetAsString("Changed");
    q->Post();
    EXPECT_EQ(traffic.Take(), autoCommit ? Lines{"29:commit"} : Lines{}) << autoCommit;
    EXPECT_EQ(Select1("select NAME from DEPT where ID = 'D05'"), name);
  }
}

TEST_F(KZLink, AfterPostSendsTheChangeThenCommit) {
  auto q = KZ("select ID, COMM from UP_DELT where ID in (4, 5) order by ID");
  q->SetzKeyF("ID");
  q->SetzKeyTAB("UP_DELT");
  q->Open();
  q->Next();
  Traffic traffic(Socket());
  q->Edit();
  EXPECT_EQ(q->RememberedKey(), "5");
  q->FieldByName("COMM").SetAsString("fifth");
  q->Post();
  EXPECT_EQ(traffic.Take(), (Lines{"29:UPDATE UP_DELT SET UP_DELT.COMM = 'fifth'  Where UP_DELT.ID = 5", "29:commit"}));
  EXPECT_EQ(Select1("select COMM from UP_DELT where ID = 5"), "fifth");

  // A delete: the statement, then commit; the flags live only for the step.
  auto d = KZ("select * from DEPT where ID = 'D05'");
  d->SetzKeyF("ID");
  d->SetzKeyTAB("DEPT");
  d->Open();
  traffic.Take();
  bool deletingDuringStep = false;
  d->BeforeDelete = [&] { deletingDuringStep = d->Deleting(); };
  d->Delete();
  EXPECT_TRUE(deletingDuringStep);
  EXPECT_FALSE(d->Deleting());
  EXPECT_EQ(d->RememberedKey(), "D05");
  EXPECT_EQ(traffic.Take(), (Lines{"29:DELETE FROM DEPT  Where DEPT.ID = 'D05'", "29:commit"}));
  EXPECT_EQ(Select1("select count(*) from DEPT where ID = 'D05'"), "0");
}

TEST_F(KZLink, NewRowTakesItsKeyFromTheSequence) {
  auto q = KZ("select ID, COMM from UP_DELT where 1=2");
  q->SetzKeyF("ID");
  q->SetzKeyTAB("UP_DELT");
  q->SetzSEQInfo("SEQ_UP_Delt");
  q->Open();
  // A key the window keeps read-only is written all the same.
  q->FieldByName("ID").SetReadOnly(true);
  Traffic traffic(Socket());
  q->Append();
  q->FieldByName("COMM").SetAsString("new");
  bool insertingDuringStep = false;
  q->AfterPost = [&] { insertingDuringStep = q->Inserting(); };
  q->Post();
  EXPECT_TRUE(insertingDuringStep);
  EXPECT_FALSE(q->Inserting());
  EXPECT_EQ(traffic.Take(), (Lines{"3:select SEQ_UP_DELT.NextVal from DUAL",
                                   "29:Insert Into UP_DELT (ID,COMM)\r Values (101,'new')", "29:commit"}));
  EXPECT_EQ(q->FieldByName("ID").AsInteger(), 101);
  EXPECT_FALSE(q->FieldByName("ID").ReadOnly());
  EXPECT_EQ(q->RememberedKey(), "101");
  EXPECT_EQ(Select1("select COMM from UP_DELT where ID = 101"), "new");

  // A second field name takes the number into that field; the key stays to
  // the server.
  q->SetzSEQInfo(" seq_up_delt ; nodelt ");
  q->Close();
  q->SetSQLText("select ID, NODELT, COMM from UP_DELT where 1=2");
  q->Open();
  q->Append();
  q->FieldByName("COMM").SetAsString("numbered");
  q->Post();
  EXPECT_EQ(q->FieldByName("NODELT").AsInteger(), 102);
  EXPECT_TRUE(q->FieldByName("ID").IsNull());
  EXPECT_EQ(Select1("select NODELT from UP_DELT where COMM = 'numbered'"), "102");
}

TEST_F(KZLink, AFailedSequenceLetsThePostGoOn) {
  std::vector<std::string> shownSQL;
  data::SetSQLDisplay([&](const std::string& sql) { shownSQL.push_back(sql); });
  auto q = KZ("select ID, COMM from UP_DELT where 1=2");
  q->SetzKeyF("ID");
  q->SetzKeyTAB("UP_DELT");
  q->SetzSEQInfo("NO_SUCH_SEQ");
  q->Open();
  Traffic traffic(Socket());
  q->Append();
  q->FieldByName("COMM").SetAsString("keyless");
  q->Post();
  EXPECT_EQ(traffic.Take(), (Lines{"3:select NO_SUCH_SEQ.NextVal from DUAL",
                                   "29:Insert Into UP_DELT (COMM)\r Values ('keyless')", "29:commit"}));
  EXPECT_EQ(shownSQL, Lines{"select NO_SUCH_SEQ.NextVal from DUAL"});
  EXPECT_TRUE(q->FieldByName("ID").IsNull());
  // The server numbered it above the sequence.
  EXPECT_EQ(Select1("select count(*) from UP_DELT where COMM = 'keyless' and ID > 100"), "1");
}

TEST_F(KZLink, CachedMethodAppliesAtOnceAndUndoesAFailedInsert) {
  auto q = KZ("select * from DEPT order by ID");
  q->SetUpdateTableName("DEPT");
  q->SetPrimeFields({"ID"});
  q->SetUpdateMethod(data::umCached);
  q->Open();
  Traffic traffic(Socket());
  q->Edit();
  q->FieldByName("NAME").SetAsString("First");
  q->Post();
  EXPECT_EQ(traffic.Take(), (Lines{"29:" + Socket().SQLTransactionStart() +
                                       "\r\nUPDATE DEPT SET DEPT.NAME = 'First'  Where DEPT.ID = 'D01'\r\n" +
                                       Socket().SQLTransactionEnd(),
                                   "29:commit"}));
  EXPECT_EQ(Select1("select NAME from DEPT where ID = 'D01'"), "First");
  traffic.Take();

  // The server refuses the key: the new row goes, nothing is committed.
  q->Append();
  q->FieldByName("ID").SetAsString("D02");
  q->FieldByName("NAME").SetAsString("Twice");
  EXPECT_EQ(test::ErrorOf<Error>([&] { q->Post(); }).rfind("[LINK SERVER ERROR]", 0), 0U);
  const Lines sent = traffic.Take();
  ASSERT_EQ(sent.size(), 1U);
  EXPECT_EQ(sent[0].rfind("29:" + Socket().SQLTransactionStart() + "\r\nInsert Into DEPT (ID,NAME)", 0), 0U);
  EXPECT_EQ(q->RecordCount(), 5);
  EXPECT_EQ(q->ChangeCount(), 0);
  EXPECT_FALSE(q->Inserting());
}

TEST_F(KZLink, AutoCommitGoesOnTheDatasetsOwnSocket) {
  // A session of its own beside the module's, whose socket stays the shared
  // one: a commit on the shared socket would leave this session's change
  // open, and no other session would see it.
  const std::unique_ptr<link::TLinkClientSocket> own = test::LoginOwnSocket(server_.Port(), "ADMIN", "admin");
  ASSERT_EQ(data::SharedSocket(), &Socket());
  const auto onOwn = [&](const std::string& sql, const std::string& table) {
    auto q = std::make_unique<data::TKZLINK>("QOWN");
    q->SetLinkClientSocket(own.get());
    q->SetSQLText(sql);
    q->SetzKeyF("ID");
    q->SetzKeyTAB(table);
    q->Open();
    return q;
  };
  auto edited = onOwn("select ID, COMM from UP_DELT where ID = 5", "UP_DELT");
  auto deleted = onOwn("select * from DEPT where ID = 'D05'", "DEPT");
  Traffic ownTraffic(*own);
  Traffic sharedTraffic(Socket());

  edited->Edit();
  edited->FieldByName("COMM").SetAsString("own session");
  edited->Post();
  EXPECT_EQ(ownTraffic.Take(),
            (Lines{"29:UPDATE UP_DELT SET UP_DELT.COMM = 'own session'  Where UP_DELT.ID = 5", "29:commit"}));
  deleted->Delete();
  EXPECT_EQ(ownTraffic.Take(), (Lines{"29:DELETE FROM DEPT  Where DEPT.ID = 'D05'", "29:commit"}));

  EXPECT_EQ(sharedTraffic.Take(), Lines{});
  EXPECT_EQ(Select1("select COMM from UP_DELT where ID = 5"), "own session");
  EXPECT_EQ(Select1("select count(*) from DEPT where ID = 'D05'"), "0");
}

TEST_F(KZLink, AScopeKeepsTheDatasetsStepsOutUntilItEnds) {
  auto q = KZ("select * from DEPT where ID = 'D05'");
  q->SetUpdateMethod(data::umManual);
  q->Open();
  Traffic traffic(Socket());
  {
    data::TKZLINK::FlagScope keptOut(*q, data::TKZLINK::Flag::StepsKeptOut);
    q->Edit();
    q->FieldByName("NAME").SetAsString("Local");
    q->Post();
  }
  EXPECT_EQ(traffic.Take(), Lines{});
  // A scope left by an error puts the flag back as well.
  EXPECT_THROW(
      {
        data::TKZLINK::FlagScope keptOut(*q, data::TKZLINK::Flag::StepsKeptOut);
        throw data::EAbort();
      },
      data::EAbort);
  q->Edit();
  q->FieldByName("NAME").SetAsString("Committed");
  q->Post();
  EXPECT_EQ(traffic.Take(), Lines{"29:commit"});
}

// Before the query utilities start, the steps that need them say so rather
// than leave a change without its commit.
class KZLinkWithoutUtilities : public test::RemoteDataSetTest {};

TEST_F(KZLinkWithoutUtilities, StepsThatNeedTheUtilitiesRaise) {
  data::TKZLINK q("QKZ");
  q.SetLinkClientSocket(&Socket());
  EXPECT_EQ(test::ErrorOf<Error>([&] { q.OpenSQL("select * from DEPT"); }), data::errors::kQueryUtilsNotStarted);
  EXPECT_EQ(test::ErrorOf<Error>([&] { q.OpenQuery(); }), data::errors::kQueryUtilsNotStarted);
  EXPECT_FALSE(q.Active());

  q.SetSQLText("select * from DEPT where ID = 'D05'");
  q.SetUpdateMethod(data::umManual);
  q.Open();
  Traffic traffic(Socket());
  q.Edit();
  q.FieldByName("NAME").SetAsString("Changed");
  EXPECT_EQ(test::ErrorOf<Error>([&] { q.Post(); }), data::errors::kQueryUtilsNotStarted);
  EXPECT_EQ(traffic.Take(), Lines{});
}

// The table cache

TEST_F(KZLink, TheCacheFollowsPostsAndDeletes) {
  Cache("DEPT");
  auto q = KZ("select * from DEPT order by ID");
  q->SetzKeyF("ID");
  q->SetzKeyTAB("DEPT");
  q->SetzzIMCID("DEPT");
  q->Open();

  q->Last();
  q->Edit();
  q->FieldByName("NAME").SetAsString("Renamed");
  q->Post();
  EXPECT_EQ(Cached("DEPT", "D05", "NAME"), "Renamed");

  q->Append();
  q->FieldByName("ID").SetAsString("D09");
  q->FieldByName("NAME").SetAsString("Added");
  q->Post();
  EXPECT_EQ(Cached("DEPT", "D09", "NAME"), "Added");

  q->Delete();
  EXPECT_EQ(Cached("DEPT", "D09", "NAME"), "<none>");
  EXPECT_EQ(Select1("select count(*) from DEPT where ID = 'D09'"), "0");

  // Without a key the whole table is read again.
  auto keyless = KZ("select * from DEPT where ID = 'D01'");
  keyless->SetUpdateTableName("DEPT");
  keyless->SetPrimeFields({"ID"});
  keyless->SetUpdateMethod(data::umAfterPost);
  keyless->SetzzIMCID("DEPT");
  keyless->Open();
  keyless->Edit();
  keyless->FieldByName("NAME").SetAsString("Reloaded");
  Traffic traffic(Socket());
  keyless->Post();
  EXPECT_EQ(traffic.Take(), (Lines{"29:UPDATE DEPT SET DEPT.NAME = 'Reloaded'  Where DEPT.ID = 'D01'", "29:commit",
                                   "3:select * from DEPT order by ID"}));
  EXPECT_EQ(Cached("DEPT", "D01", "NAME"), "Reloaded");
}

TEST_F(KZLink, AFailedPostStillKeepsTheCacheAndThenRaises) {
  Cache("UP_DELT");
  auto q = KZ("select ID, COMM, DTSENT from UP_DELT where ID = 4");
  q->SetzKeyF("ID");
  q->SetzKeyTAB("UP_DELT");
  q->SetzzIMCID("UP_DELT");
  q->Open();
  // The cache holds a value the server no longer has.
  ASSERT_EQ(data::MemCol()->FindKey("UP_DELT", "4"), 1);
  data::TLinkDataSet& cache = *data::MemCol()->TableData("UP_DELT");
  cache.Edit();
  cache.FieldByName("COMM").SetAsString("stale");
  cache.Post();

  Traffic traffic(Socket());
  q->Edit();
  q->FieldByName("COMM").SetAsString("refused");
  q->FieldByName("DTSENT").SetAsDateTime(base::EncodeDate(2005, 5, 10));  // a draft is not sent
  EXPECT_EQ(test::ErrorOf<Error>([&] { q->Post(); }).rfind("[LINK SERVER ERROR]ORA-20006: ", 0), 0U);
  const Lines sent = traffic.Take();
  // The refused statement, no commit, then the cache read the row again.
  ASSERT_EQ(sent.size(), 2U);
  EXPECT_EQ(sent[0].rfind("29:UPDATE UP_DELT SET ", 0), 0U);
  EXPECT_EQ(sent[1].rfind("3:", 0), 0U);
  EXPECT_NE(sent[1].find("(ID=4)"), std::string::npos);
  // The row went back to the server's values, and so did the cache.
  EXPECT_EQ(Cached("UP_DELT", "4", "COMM"), q->FieldByName("COMM").AsString());
  EXPECT_NE(Cached("UP_DELT", "4", "COMM"), "stale");
  EXPECT_TRUE(q->FieldByName("DTSENT").IsNull());
}

TEST_F(KZLink, AFailedDeleteKeepsTheRowInTheCacheAndEndsTheDelete) {
  Cache("UP_DELT");
  auto q = KZ("select ID, COMM from UP_DELT where ID in (4, 5) order by ID");
  q->SetzKeyF("ID");
  q->SetzKeyTAB("UP_DELT");
  q->SetzzIMCID("UP_DELT");
  q->Open();

  // A header with lines cannot be deleted: the server still has it, so the
  // cache keeps it.
  Traffic traffic(Socket());
  EXPECT_EQ(test::ErrorOf<Error>([&] { q->Delete(); }).rfind("[LINK SERVER ERROR]ORA-02292", 0), 0U);
  EXPECT_FALSE(q->Deleting());
  EXPECT_EQ(data::MemCol()->FindKey("UP_DELT", "4"), 1);
  const Lines sent = traffic.Take();
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent[0], "29:DELETE FROM UP_DELT  Where UP_DELT.ID = 4");
  for (const std::string& s : sent) EXPECT_NE(s, "29:commit");

  // A delete that a BeforeDelete handler refuses ends as well: the next post
  // goes through every step.
  q->BeforeDelete = [] { throw data::EAbort(); };
  EXPECT_THROW(q->Delete(), data::EAbort);
  EXPECT_FALSE(q->Deleting());
  q->BeforeDelete = nullptr;
  q->Edit();
  q->FieldByName("COMM").SetAsString("after");
  q->Post();
  const Lines afterPost = traffic.Take();
  ASSERT_EQ(afterPost.size(), 3U);
  EXPECT_EQ(afterPost[0], "29:UPDATE UP_DELT SET UP_DELT.COMM = 'after'  Where UP_DELT.ID = 4");
  EXPECT_EQ(afterPost[1], "29:commit");
  EXPECT_NE(afterPost[2].find("(ID=4)"), std::string::npos);
  EXPECT_EQ(Cached("UP_DELT", "4", "COMM"), "after");
}

}  // namespace
