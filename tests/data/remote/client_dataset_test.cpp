#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/date_time.h"
#include "base/encoding.h"
#include "link/client/client_socket.h"
#include "remote_fixture.h"
#include "support/error_text.h"

using namespace mero;
using namespace mero::base::literals;
using namespace std::string_literals;

namespace {

using Error = data::EDatabaseError;
using Remote = test::RemoteDataSetTest;

std::vector<std::string> Column(data::TDataSet& ds, const std::string& field) {
  std::vector<std::string> out;
  ds.First();
  while (!ds.Eof()) {
    const data::TField& f = ds.FieldByName(field);
    out.push_back(f.IsNull() ? "<null>" : f.AsString());
    ds.Next();
  }
  return out;
}

// Opening

TEST_F(Remote, OpensWithTheServersFieldsAndRows) {
  auto q = Query("select * from DEPT\r\nwhere TYPTYP = :typ", "QDEPT");
  q->ParamByName("typ").SetInteger(1);
  q->SetOrderBy("ID");
  q->SetAscending(false);
  int populated = 0;
  q->AfterPopulate = [&] {
    ++populated;
    EXPECT_TRUE(q->Active());
  };
  q->Open();
  EXPECT_EQ(populated, 1);
  EXPECT_EQ(q->FastFields(), (std::vector<std::string>{"ID,1,16", "NAME,1,80", "TYPTYP,3,25", "TYPSXOLH,3,25"}));
  EXPECT_EQ(q->RecordCount(), 3);
  EXPECT_EQ(Column(*q, "ID"), (std::vector<std::string>{"D04", "D03", "D02"}));
  q->First();
  EXPECT_EQ(q->FieldByName("NAME").AsString(), "Τμήμα Μαθηματικών"_gr);
  EXPECT_EQ(q->FieldByName("TYPSXOLH").AsInteger(), 2);

  // The next open replaces the rows; with no parameters the text goes as it is.
  q->SetSQLText("select ID from DEPT where ID = 'D05'");
  EXPECT_FALSE(q->Active());
  q->Open();
  EXPECT_EQ(q->FastFields(), std::vector<std::string>{"ID,1,16"});
  EXPECT_EQ(Column(*q, "ID"), std::vector<std::string>{"D05"});

  // A NULL parameter compares with IS NULL.
  auto drafts = Query("select ID from UP_DELT where DTFIN=:d order by ID");
  drafts->ParamByName("d").SetIsNull(true);
  drafts->Open();
  EXPECT_EQ(Column(*drafts, "ID"), (std::vector<std::string>{"4", "5"}));
  EXPECT_EQ(Select1("select count(*) from UP_DELT where DTFIN is null"), "2");
}

TEST_F(Remote, ZeroRowsGivesTheFieldsAndNoRows) {
  auto q = Query("select * from DEPT");
  q->SetRowsToReturn(0);
  q->Open();
  EXPECT_EQ(q->FieldCount(), 4);
  EXPECT_EQ(q->RecordCount(), 0);
  EXPECT_TRUE(q->IsEmpty());
  q->Close();
  q->SetRowsToReturn(-1);
  q->Open();
  EXPECT_EQ(q->RecordCount(), 5);
}

TEST_F(Remote, PacketsArriveWhenTheCursorPassesTheLastRow) {
  auto q = Query("select ID from DEPT order by ID");
  q->SetRowsToReturn(2);
  q->Open();
  EXPECT_EQ(q->RecordCount(), 2);
  EXPECT_GT(q->PacketCursor(), 0);
  q->Next();
  EXPECT_EQ(q->RecordCount(), 2);  // the second row is held: nothing asked
  const int sent = Socket().SentMessageCount();
  q->Next();  // past the last row held: one packet
  EXPECT_EQ(Socket().SentMessageCount(), sent + 1);
  EXPECT_EQ(q->RecordCount(), 4);
  EXPECT_EQ(q->FieldByName("ID").AsString(), "D03");
  EXPECT_FALSE(q->Eof());
  q->Last();  // sent to the last row: one more packet, the last one
  EXPECT_EQ(q->RecordCount(), 5);
  EXPECT_EQ(q->FieldByName("ID").AsString(), "D05");
  EXPECT_EQ(q->PacketCursor(), -1);
  const int after = Socket().SentMessageCount();
  q->Next();
  EXPECT_TRUE(q->Eof());
  EXPECT_EQ(q->FetchNextPacket(), 0);
  EXPECT_EQ(Socket().SentMessageCount(), after);
  EXPECT_EQ(Column(*q, "ID"), (std::vector<std::string>{"D01", "D02", "D03", "D04", "D05"}));
}

TEST_F(Remote, LastFetchesOnlyWithAutoFetchPackets) {
  auto q = Query("select ID from DEPT order by ID");
  q->SetRowsToReturn(2);
  q->SetAutoFetchPackets(false);
  q->Open();
  q->Last();
  EXPECT_EQ(q->RecordCount(), 2);
  EXPECT_EQ(q->FieldByName("ID").AsString(), "D02");
  EXPECT_EQ(q->FetchNextPacket(), 2);
  EXPECT_EQ(q->FetchNextPacket(), 1);
  EXPECT_EQ(q->PacketCursor(), -1);
  // Closing and opening again starts a new cursor on the server.
  q->Close();
  q->Open();
  EXPECT_EQ(q->RecordCount(), 2);
  EXPECT_GT(q->PacketCursor(), 0);
}

TEST_F(Remote, OpenFailures) {
  data::TLinkClientDataSet orphan("QORPHAN");
  orphan.SetSQLText("select * from DEPT");
  EXPECT_EQ(test::ErrorOf<Error>([&] { orphan.Open(); }), "No LinkClientSocket Assigned.");
  EXPECT_EQ(test::ErrorOf<Error>([&] { orphan.Reopen(); }), "No Socket! or Socket Not Active");

  auto q = Query("select * from NO_SUCH_TABLE");
  EXPECT_EQ(test::ErrorOf<Error>([&] { q->Open(); }), "[LINK SERVER ERROR]ORA-00942: table or view does not exist");
  EXPECT_FALSE(q->Active());
  // The failure leaves nothing behind for the next request.
  q->SetSQLText("select ID from DEPT where ID = 'D01'");
  q->Open();
  EXPECT_EQ(q->RecordCount(), 1);
  q->Reopen();
  EXPECT_EQ(q->RecordCount(), 1);

  Socket().Close();
  EXPECT_EQ(test::ErrorOf<Error>([&] { q->Reopen(); }), "No Socket! or Socket Not Active");
  EXPECT_TRUE(q->Active());  // refused before anything was closed
  q->Close();
  EXPECT_EQ(test::ErrorOf<Error>([&] { q->Open(); }), "No Socket! or Socket Not Active");
  EXPECT_EQ(test::ErrorOf<Error>([&] { q->SendStatement("commit"); }), "No Socket! or Socket Not Active");
  EXPECT_EQ(test::ErrorOf<Error>([&] { q->ApplyUpdates(0); }), "No LinkclientSocket or it is not connected!");
}

TEST_F(Remote, SendStatementRaisesTheServersText) {
  auto q = Query("select NAME from DEPT where ID = 'D01'");
  q->SendStatement("update DEPT set NAME = 'Διοίκηση' where ID = 'D01'"_gr);
  q->SendStatement("commit");
  EXPECT_EQ(Select1("select NAME from DEPT where ID = 'D01'"), "Διοίκηση"_gr);
  EXPECT_EQ(test::ErrorOf<Error>([&] { q->SendStatement("update DEPT set NOPE = 1"); }),
            "[LINK SERVER ERROR]ORA-00904: \"NOPE\": invalid identifier");
}

// Changes

// Requisition headers as a window declares them: writes go to NQ.UP_DELT by ID.
std::unique_ptr<data::TLinkClientDataSet> Headers(Remote& t, const std::string& sql, data::TUpdateMethod method) {
  auto q = std::make_unique<data::TLinkClientDataSet>("QDELT");
  q->SetLinkClientSocket(&t.Socket());
  q->SetSQLText(sql);
  q->SetUpdateTableName("NQ.UP_DELT");
  q->SetPrimeFields({"ID"});
  q->SetUpdateMethod(method);
  return q;
}

TEST_F(Remote, AfterPostSendsEachChangeAtOnce) {
  auto q = Headers(*this, "select ID, COMM, DTIN from UP_DELT where ID = 4", data::umAfterPost);
  q->Open();
  const base::TDateTime day = base::EncodeDate(2005, 5, 10);

  q->Edit();
  q->FieldByName("COMM").SetAsString("Δεύτερος όροφος"_gr);
  q->FieldByName("DTIN").SetAsDateTime(day);
  q->Post();
  EXPECT_EQ(q->ChangeCount(), 0);
  EXPECT_EQ(Select1("select COMM from UP_DELT where ID = 4"), "Δεύτερος όροφος"_gr);
  EXPECT_EQ(Select1("select TO_CHAR(DTIN, 'DD/MM/YYYY HH24:MI:SS') from UP_DELT where ID = 4"), "10/05/2005 00:00:00");
  // Sent without the transaction texts, the change names nobody in the audit.
  EXPECT_EQ(Select1("select count(*) from MERO_AUDIT where TABLE_NAME = 'UP_DELT'"), "0");

  // An edit that changes nothing sends nothing.
  const int sent = Socket().SentMessageCount();
  q->Edit();
  q->FieldByName("COMM").SetAsString("Δεύτερος όροφος"_gr);
  q->Post();
  EXPECT_EQ(Socket().SentMessageCount(), sent);

  q->Edit();
  q->FieldByName("DTIN").SetAsDateTime(day + base::EncodeTime(0, 0, 1, 0));
  q->FieldByName("COMM").Clear();
  q->Post();
  EXPECT_EQ(Select1("select TO_CHAR(DTIN, 'DD/MM/YYYY HH24:MI:SS') from UP_DELT where ID = 4"), "10/05/2005 00:00:01");
  EXPECT_EQ(Select1("select COMM from UP_DELT where ID = 4"), "<null>");
}

TEST_F(Remote, AfterPostInsertsAndDeletes) {
  auto q = Query("select * from DEPT order by ID", "QDEPT");
  q->SetUpdateTableName("DEPT");
  q->SetPrimeFields({"ID"});
  q->SetUpdateMethod(data::umAfterPost);
  q->Open();
  q->Append();
  q->FieldByName("ID").SetAsString("D09");
  q->FieldByName("NAME").SetAsString("Τμήμα Χημείας"_gr);
  q->FieldByName("TYPTYP").SetAsInteger(1);
  q->Post();
  EXPECT_EQ(Select1("select NAME from DEPT where ID = 'D09'"), "Τμήμα Χημείας"_gr);
  EXPECT_EQ(Select1("select TYPSXOLH from DEPT where ID = 'D09'"), "<null>");
  q->First();
  q->Delete();
  EXPECT_EQ(Select1("select count(*) from DEPT where ID = 'D01'"), "0");
  EXPECT_EQ(q->ChangeCount(), 0);
  EXPECT_EQ(Column(*q, "ID"), (std::vector<std::string>{"D02", "D03", "D04", "D05", "D09"}));
}

TEST_F(Remote, ServerErrorUndoesTheChange) {
  auto q =
      Headers(*this, "select ID, COMM, DTFIN, DTSENT from UP_DELT where ID in (4, 5) order by ID", data::umAfterPost);
  q->Open();
  const std::string comm = q->FieldByName("COMM").AsString();
  q->Edit();
  q->FieldByName("COMM").SetAsString("άλλο"_gr);
  q->FieldByName("DTSENT").SetAsDateTime(base::EncodeDate(2005, 5, 10));  // a draft is not sent
  EXPECT_EQ(test::ErrorOf<Error>([&] { q->Post(); }).rfind("[LINK SERVER ERROR]ORA-20006: ", 0), 0u);
  EXPECT_EQ(q->State(), data::dsBrowse);
  EXPECT_EQ(q->ChangeCount(), 0);
  EXPECT_EQ(q->FieldByName("COMM").AsString(), comm);
  EXPECT_TRUE(q->FieldByName("DTSENT").IsNull());
  EXPECT_EQ(q->UpdateStatus(), data::usUnmodified);

  // A header with lines cannot be deleted: the row comes back where it was.
  EXPECT_EQ(test::ErrorOf<Error>([&] { q->Delete(); }).rfind("[LINK SERVER ERROR]ORA-02292", 0), 0u);
  EXPECT_EQ(q->RecordCount(), 2);
  EXPECT_EQ(q->FieldByName("ID").AsInteger(), 4);
  EXPECT_EQ(Column(*q, "ID"), (std::vector<std::string>{"4", "5"}));
}

TEST_F(Remote, PostErrorHandlerKeepsOrUndoes) {
  auto q = Headers(*this, "select ID, COMM, DTSENT from UP_DELT where ID = 4", data::umAfterPost);
  std::vector<std::string> errors;
  data::TDataAction answer = data::TDataAction::daRetry;
  q->OnPostError = [&](const data::EDatabaseError& e, data::TDataAction& action) {
    errors.push_back(e.what());
    action = answer;
  };
  q->Open();
  const base::TDateTime day = base::EncodeDate(2005, 5, 10);
  q->Edit();
  q->FieldByName("DTSENT").SetAsDateTime(day);
  // Kept: the row stays as edited and its change stays logged.
  EXPECT_EQ(test::ErrorOf<data::EAbort>([&] { q->Post(); }), "Operation aborted");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].rfind("[LINK SERVER ERROR]ORA-20006: ", 0), 0u);
  EXPECT_EQ(q->FieldByName("DTSENT").AsDateTime(), day);
  EXPECT_EQ(q->ChangeCount(), 1);
  // Putting the value back leaves nothing to send.
  const int sent = Socket().SentMessageCount();
  q->Edit();
  q->FieldByName("DTSENT").Clear();
  q->Post();
  EXPECT_EQ(q->ChangeCount(), 0);
  EXPECT_EQ(Socket().SentMessageCount(), sent);

  answer = data::TDataAction::daAbort;
  q->Edit();
  q->FieldByName("DTSENT").SetAsDateTime(day);
  EXPECT_EQ(test::ErrorOf<data::EAbort>([&] { q->Post(); }), "Operation aborted");
  EXPECT_TRUE(q->FieldByName("DTSENT").IsNull());
  EXPECT_EQ(q->ChangeCount(), 0);
  EXPECT_EQ(errors.size(), 2u);
}

TEST_F(Remote, CachedChangesGoAsOneAuditedBlock) {
  auto q = Headers(*this, "select ID, ORGID, COMM, DTIN from UP_DELT where ID in (4, 5) order by ID", data::umCached);
  q->SetAutoIncrementField("ID");
  q->SetOracleSequence("SEQ_UP_DELT");
  q->Open();
  q->Edit();
  q->FieldByName("COMM").SetAsString("πρώτο"_gr);
  q->FieldByName("DTIN").SetAsDateTime(base::EncodeDate(2005, 5, 10));
  q->Post();
  q->Next();
  q->Edit();
  q->FieldByName("COMM").SetAsString("δεύτερο"_gr);
  q->Post();
  q->Append();
  q->FieldByName("ORGID").SetAsString("0.02.02");
  q->FieldByName("COMM").SetAsString("νέο"_gr);
  q->Post();
  // Inserted and deleted before anything was sent: nothing to send for it.
  q->Append();
  q->FieldByName("ORGID").SetAsString("0.02.02");
  q->Post();
  q->Delete();
  EXPECT_EQ(q->ChangeCount(), 3);
  EXPECT_EQ(Select1("select COMM from UP_DELT where ID = 4"), "<null>");

  // The connection module's transaction texts around the statements; its
  // value rule writes the date at midnight as a plain date.
  const std::string block = q->UpdateSQL(1);
  EXPECT_EQ(block, Socket().SQLTransactionStart() + "\r\n" + "UPDATE NQ.UP_DELT SET NQ.UP_DELT.COMM = '" + "πρώτο"_gr +
                       "',NQ.UP_DELT.DTIN = '10/05/2005'  Where NQ.UP_DELT.ID = 4\r\n" +
                       "UPDATE NQ.UP_DELT SET NQ.UP_DELT.COMM = '" + "δεύτερο"_gr + "'  Where NQ.UP_DELT.ID = 5\r\n" +
                       "Insert Into NQ.UP_DELT (ID,ORGID,COMM)\r Values (SEQ_UP_DELT.NextVal,'0.02.02','" + "νέο"_gr +
                       "')\r\n" + Socket().SQLTransactionEnd() + "\r\n");
  q->ApplyUpdates(1);
  EXPECT_EQ(q->ChangeCount(), 0);
  EXPECT_EQ(Select1("select COMM from UP_DELT where ID = 5"), "δεύτερο"_gr);
  EXPECT_EQ(Select1("select COMM from UP_DELT where ID = 101"), "νέο"_gr);
  EXPECT_EQ(Select1("select count(*) from UP_DELT where ID > 101"), "0");
  // The block named the user in every audit row it caused.
  EXPECT_EQ(Select1("select count(*) from MERO_AUDIT where TABLE_NAME = 'UP_DELT' and USRID = 'ADMIN'"), "3");

  // Nothing left: nothing sent.
  const int sent = Socket().SentMessageCount();
  q->ApplyUpdates(1);
  EXPECT_EQ(Socket().SentMessageCount(), sent);
}

TEST_F(Remote, FailedBlockChangesNothingAndUndoesEverything) {
  auto q = Query("select * from DEPT order by ID", "QDEPT");
  q->SetUpdateTableName("DEPT");
  q->SetPrimeFields({"ID"});
  q->Open();
  q->Edit();
  q->FieldByName("NAME").SetAsString("x");
  q->Next();
  q->Edit();
  q->FieldByName("ID").SetAsString("D03");  // taken
  q->Post();
  q->Edit();  // a pending edit is posted first
  q->FieldByName("NAME").SetAsString("y");
  EXPECT_EQ(test::ErrorOf<Error>([&] { q->ApplyUpdates(1); }).rfind("[LINK SERVER ERROR]ORA-00001: ", 0), 0u);
  EXPECT_EQ(q->ChangeCount(), 0);
  EXPECT_EQ(Column(*q, "ID"), (std::vector<std::string>{"D01", "D02", "D03", "D04", "D05"}));
  EXPECT_EQ(Column(*q, "NAME")[0], "Κεντρική Διοίκηση"_gr);
  EXPECT_EQ(Select1("select NAME from DEPT where ID = 'D01'"), "Κεντρική Διοίκηση"_gr);
}

TEST_F(Remote, ManualKeepsNoLog) {
  auto q = Query("select * from DEPT order by ID", "QDEPT");
  q->SetUpdateTableName("DEPT");
  q->SetPrimeFields({"ID"});
  q->SetUpdateMethod(data::umManual);
  q->Open();
  q->Edit();
  q->FieldByName("NAME").SetAsString("x");
  q->Post();
  q->Delete();
  EXPECT_EQ(q->ChangeCount(), 0);
  const int sent = Socket().SentMessageCount();
  q->ApplyUpdates(0);
  EXPECT_EQ(Socket().SentMessageCount(), sent);
  EXPECT_EQ(Select1("select count(*) from DEPT"), "5");
}

}  // namespace
