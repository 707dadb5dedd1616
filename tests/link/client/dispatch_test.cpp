// The dispatch table against scripted peers: what each received kind does,
// which kinds end the reply wait, and how a wait treats what arrives inside it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/client/client_socket.h"
#include "link/client/peer_session.h"
#include "link/client/recording_dataset.h"
#include "link/codec/link_errors.h"
#include "support/error_text.h"
#include "support/scripted_presenter.h"

using namespace mero;
using K = link::MessageKind;
using test::PeerConnection;
using test::PeerSession;
using test::ProcessUntil;
using test::RecordingDataset;
using test::ScriptedPeer;

namespace {

link::TLinkStringLine Text(K kind, std::string_view text, std::int32_t origin = 0) {
  link::TLinkStringLine line = ScriptedPeer::Line(kind, origin);
  line.AddText(text);
  return line;
}

link::TLinkStringLine Numbered(K kind, int number, std::string_view text, std::int32_t origin = 0) {
  link::TLinkStringLine line = ScriptedPeer::Line(kind, origin);
  line.AddInt(number);
  line.AddText(text);
  return line;
}

link::TLinkParamList OneText(const std::string& name, const std::string& value) {
  link::TLinkParamList list;
  list.SetNamedValue(name, base::Variant::Text(value));
  return list;
}

// Every event of the socket as one line of a log.
void RecordEvents(link::TLinkClientSocket& s, std::vector<std::string>& log) {
  s.OnChatMessage = [&](const std::string& t) { log.push_back("chat:" + t); };
  s.OnServerBroadcast = [&](const std::string& t) { log.push_back("broadcast:" + t); };
  s.OnCodedMessage = [&](int id, const std::string& t) { log.push_back("coded:" + std::to_string(id) + ":" + t); };
  s.OnCodedStream = [&](int id, std::string_view b) {
    log.push_back("stream:" + std::to_string(id) + ":" + std::string(b));
  };
  s.OnServerNotification = [&](int kind, const std::string& t) {
    log.push_back("notice:" + std::to_string(kind) + ":" + t);
  };
  s.OnCodedParamList = [&](int id, const link::TLinkParamList& p) {
    log.push_back("params:" + std::to_string(id) + ":" + p.ItemAt(0).ValueText());
  };
  s.OnCustomObject = [&](int token, const std::string& name, const link::TLinkParamList& p) {
    log.push_back("object:" + std::to_string(token) + ":" + name + ":" + std::to_string(p.Count()));
  };
  s.OnServerUtilityInfoEvent = [&](int code, const link::TLinkParamList&) {
    log.push_back("utility:" + std::to_string(code));
  };
}

TEST(Dispatch, ServerMessagesReachTheirEventsInArrivalOrderFromOneRead) {
  test::AppHooksRecorder hooks;
  test::ScriptedPresenter presenter;
  const std::string binary("a\0b\x02\x04\x06\xFF", 7);
  std::vector<std::string> log;
  PeerSession session(
      [&](PeerConnection& c, ScriptedPeer&) {
        link::TLinkStringLine coded = Numbered(K::CodedMessage, 77, binary);
        coded.SetKind(link::KindByte(K::CodedMessage) | 0x80);  // dispatched on the low seven bits
        link::TLinkStringLine object = ScriptedPeer::Line(K::CustomObject);
        object.AddInt(9);
        object.AddText(OneText("A", "1").ToText());
        object.AddText("Printer");
        object.AddInt(0);
        link::TLinkStringLine params = ScriptedPeer::Line(K::CodedParamList);
        params.AddInt(4100);
        params.AddText(OneText("P", "value").ToText());
        params.AddInt(0);
        link::TLinkStringLine utility = ScriptedPeer::Line(K::ServerUtility);
        utility.AddInt(7);
        utility.AddText("");
        std::string all;
        for (const link::TLinkStringLine& line :
             {Text(K::ChatMessage, "hello"), Text(K::ServerBroadcast, "to all"), coded,
              Numbered(K::CodedStream, 5, binary), Text(K::ServerNotification, "n20"),
              Text(K::ServerNotificationAlternate, "n23"), Text(K::MessageBox, "box 9"),
              Text(K::MessageBoxAlternate, "box 14"), Text(static_cast<K>(57), "unknown kind"), object, params,
              utility}) {
          all += c.Frame(line);
        }
        c.SendRaw(all);
        c.WaitClosed();
      },
      {}, [&](link::TLinkClientSocket& s) { RecordEvents(s, log); });
  const std::vector<std::string> expected = {"chat:hello",         "broadcast:to all",  "coded:77:" + binary,
                                             "stream:5:" + binary, "notice:20:n20",     "notice:23:n23",
                                             "object:9:Printer:1", "params:4100:value", "utility:7"};
  ASSERT_TRUE(ProcessUntil([&] { return log.size() >= expected.size(); }));
  EXPECT_EQ(log, expected);
  EXPECT_EQ(presenter.Texts(), (std::vector<std::string>{"box 9", "box 14"}));
  EXPECT_TRUE(hooks.Errors().empty());
  session.socket().Close();
}

TEST(Dispatch, DeliveriesGoToTheDatasetNamedByTheOrigin) {
  test::AppHooksRecorder hooks;
  RecordingDataset ds;
  RecordingDataset other;
  bool done = false;
  PeerSession session(
      [&](PeerConnection& c, ScriptedPeer&) {
        link::TLinkStringLine cursor = ScriptedPeer::Line(K::PacketCursor, 1);
        cursor.AddInt(7);
        link::TLinkParamList merges;
        merges.SetNamedValue("1", base::Variant::Text("rows for one"));
        merges.SetNamedValue("2", base::Variant::Text("rows for two"));
        merges.SetNamedValue("99", base::Variant::Text("nobody"));
        link::TLinkStringLine received = ScriptedPeer::Line(K::DatasetParamList, 1);
        received.AddInt(500);
        received.AddText(OneText("X", "y").ToText());
        received.AddInt(1);  // kind 30 never releases and goes nowhere else
        link::TLinkParamList affected;
        affected.SetNamedValue("DatasetId", base::Variant::Integer(2));
        affected.SetNamedValue("RowsAffected", base::Variant::Integer(3));
        link::TLinkStringLine rowsAffected = ScriptedPeer::Line(K::CodedParamList);
        rowsAffected.AddInt(link::kRowsAffectedMessage);
        rowsAffected.AddText(affected.ToText());
        rowsAffected.AddInt(0);
        link::TLinkStringLine blob = ScriptedPeer::Line(K::BlobStream, 1);
        blob.AddText("PHOTO");
        blob.AddText("STAFF");
        blob.AddInt(0);
        blob.AddStream(std::string("\0\1\2", 3));
        for (const link::TLinkStringLine& line :
             {cursor, Text(K::DatasetParams, OneText("qID", "5").ToText(), 1), Text(K::FieldProperties, "props", 1),
              Text(K::ChangedRows, "changed", 1), Text(K::ChangedRowsByDataset, merges.ToText()), received,
              rowsAffected, blob, ScriptedPeer::Line(K::BlobBufferCleared, 1),
              Text(K::ChangedRows, "for nobody", 99)}) {
          c.Send(line);
        }
        c.Send(Numbered(K::CodedMessage, 1, "done"));
        c.WaitClosed();
      },
      {},
      [&](link::TLinkClientSocket& s) {
        EXPECT_EQ(s.RegisterDataSet(&ds), 1);
        EXPECT_EQ(s.RegisterDataSet(&other), 2);
        EXPECT_EQ(s.RegisterDataSet(&ds), 1) << "a dataset keeps its number";
        EXPECT_EQ(s.RegisterDataSet(nullptr), -1);
        s.OnCodedMessage = [&](int, const std::string&) { done = true; };
      });
  ASSERT_TRUE(ProcessUntil([&] { return done; }));
  EXPECT_EQ(ds.cursors, std::vector<std::int32_t>{7});
  ASSERT_EQ(ds.requestParams.size(), 1U);
  EXPECT_EQ(ds.requestParams[0].GetByName("qID").ValueText(), "5");
  EXPECT_EQ(ds.fieldProperties, std::vector<std::string>{"props"});
  EXPECT_EQ(ds.merged, (std::vector<std::string>{"changed", "rows for one"}));
  EXPECT_EQ(other.merged, std::vector<std::string>{"rows for two"});
  ASSERT_EQ(ds.received.size(), 1U);
  EXPECT_EQ(ds.received[0].first, 500);
  EXPECT_EQ(other.rowsAffected, 3);
  ASSERT_EQ(ds.blobs.size(), 1U);
  EXPECT_EQ(ds.blobs[0].field, "PHOTO");
  EXPECT_EQ(ds.blobs[0].table, "STAFF");
  EXPECT_EQ(ds.blobs[0].bytes, std::string("\0\1\2", 3));
  EXPECT_EQ(ds.blobClears, 1);
  EXPECT_TRUE(hooks.Errors().empty());
  session.socket().Close();
}

// One waiting request per case; the peer answers with the case's messages.
TEST(Dispatch, ReleasingKindsEndTheWaitWithTheirOutcome) {
  struct Case {
    const char* name;
    std::vector<link::TLinkStringLine> replies;
    std::string result;   // RequestExec's result, or the text of the failure
    std::string pending;  // PendingReplyText afterwards
  };
  link::TLinkParamList inputs = OneText("OUT", "42");
  inputs.AddTyped("SKIPPED", link::ftString, link::ptOutput);
  auto custom = [&](int result) {
    link::TLinkStringLine line = ScriptedPeer::Line(K::CustomObject);
    line.AddInt(3);
    line.AddText(inputs.ToText());
    line.AddText("Obj");
    line.AddInt(result);
    return line;
  };
  link::TLinkStringLine blobReply = ScriptedPeer::Line(K::BlobStream);
  blobReply.AddText("");
  blobReply.AddText("");
  blobReply.AddInt(1);
  blobReply.AddStream("stream bytes");
  link::TLinkStringLine listReply = ScriptedPeer::Line(K::CodedParamList);
  listReply.AddInt(2000);
  listReply.AddText(inputs.ToText());
  listReply.AddInt(1);
  const std::string detail = std::string("\x02") + OneText("ERR", "ORA-00001: unique constraint violated").ToText();
  const std::vector<Case> cases = {
      {"4", {ScriptedPeer::Line(K::Release)}, "", ""},
      {"6 no error", {Text(K::SQLError, std::string("NULL\x04", 5))}, "", ""},
      {"6 empty", {Text(K::SQLError, "")}, "", ""},
      {"6 error",
       {Text(K::SQLError, "ORA-00942: table or view does not exist")},
       "[LINK SERVER ERROR]ORA-00942: table or view does not exist",
       ""},
      {"6 error with detail list",
       {Text(K::SQLError, detail)},
       "[LINK SERVER ERROR]ORA-00001: unique constraint violated",
       ""},
      {"21 empty", {Text(K::BlobUpdateResult, "")}, "", ""},
      {"21 text", {Text(K::BlobUpdateResult, "too big")}, "Blob Did Not Update On the Server\rtoo big", ""},
      {"22 reply stream", {blobReply}, "", "stream bytes"},
      {"42", {ScriptedPeer::Line(K::BlobBufferCleared)}, "", ""},
      {"52", {Text(K::ReplyText, "fifty-two")}, "", "fifty-two"},
      // The text the last reply left is not taken for this request's error.
      {"6 no error after a reply text", {Text(K::SQLError, std::string("NULL\x04", 5))}, "", ""},
      {"28 with reply flag", {listReply}, "", inputs.ToText(true)},
      {"50 result", {custom(1)}, "", inputs.ToText(true)},
      {"50 failure", {custom(2000)}, "42", ""},
      {"50 to the handler, then 4", {custom(0), ScriptedPeer::Line(K::Release)}, "", ""},
      {"a coded message inside the wait, then 5",
       {Numbered(K::CodedMessage, 1, "inside"), Numbered(K::Rows, 0, "NULL\x04")},
       "",
       ""},
  };
  test::AppHooksRecorder hooks;
  PeerSession session([&](PeerConnection& c, ScriptedPeer&) {
    for (const Case& k : cases) {
      c.Expect(K::Execute);
      for (const link::TLinkStringLine& reply : k.replies) c.Send(reply);
    }
    c.WaitClosed();
  });
  link::TLinkClientSocket& socket = session.socket();
  std::vector<std::string> events;
  socket.OnCodedMessage = [&](int, const std::string& t) { events.push_back(t); };
  socket.OnCustomObject = [&](int, const std::string& name, const link::TLinkParamList&) { events.push_back(name); };
  RecordingDataset ds;
  for (const Case& k : cases) {
    std::string result;
    try {
      result = socket.RequestExec(&ds, "", "statement", "", "", true);
    } catch (const std::exception& e) {
      result = e.what();
    }
    EXPECT_EQ(result, k.result) << k.name;
    EXPECT_EQ(socket.PendingReplyText(), k.pending) << k.name;
    EXPECT_FALSE(socket.SmartWait().Waiting()) << k.name;
  }
  EXPECT_EQ(events, (std::vector<std::string>{"Obj", "inside"}));
  EXPECT_TRUE(hooks.Errors().empty());
  socket.Close();
}

TEST(Dispatch, SQLErrorsGoToTheHooksAndTheStatusBar) {
  struct Bar : link::LinkStatusBar {
    void ShowStatus(const std::string& t) override { statuses.push_back(t); }
    void ShowSQLError(const std::string& t) override { errors.push_back(t); }
    std::vector<std::string> statuses, errors;
  } bar;
  test::AppHooksRecorder hooks;
  const std::string detail = std::string("\x02") + OneText("ERR", "ORA-2").ToText();
  PeerSession session(
      [&](PeerConnection& c, ScriptedPeer&) {
        for (const char* text : {"ORA-1", "ORA-1", "ORA-1"}) {
          c.Expect(K::Execute);
          c.Send(Text(K::SQLError, text));
        }
        c.Expect(K::Execute);
        c.Send(Text(K::SQLError, detail));
        c.WaitClosed();
      },
      {}, [&](link::TLinkClientSocket& s) { s.SetStatusBar(&bar); });
  link::TLinkClientSocket& socket = session.socket();
  std::vector<std::string> sqlErrors;
  socket.OnSQLError = [&](const std::string& t) { sqlErrors.push_back(t); };
  RecordingDataset ds;
  // Exceptions only: collected, not in the bar.
  EXPECT_EQ(socket.RequestExec(&ds, "", "s", "", "", true), "[LINK SERVER ERROR]ORA-1");
  // The bar and exceptions.
  socket.SetSQLErrorHandling((1U << link::seToStatusBar) | (1U << link::seAsExceptions));
  EXPECT_EQ(socket.RequestExec(&ds, "", "s", "", "", true), "[LINK SERVER ERROR]ORA-1");
  // The bar alone: nothing for the requester to collect.
  socket.SetSQLErrorHandling(1U << link::seToStatusBar);
  EXPECT_EQ(socket.RequestExec(&ds, "", "s", "", "", true), "");
  // A detail list goes to its own handler instead.
  std::vector<std::string> custom;
  socket.OnCustomSQLError = [&](const link::TLinkParamList& p) { custom.push_back(p.ItemAt(0).ValueText()); };
  socket.SetSQLErrorHandling(1U << link::seAsExceptions);
  EXPECT_EQ(socket.RequestExec(&ds, "", "s", "", "", true), "");
  EXPECT_EQ(sqlErrors, (std::vector<std::string>{"ORA-1", "ORA-1", "ORA-1"}));
  EXPECT_EQ(bar.errors, std::vector<std::string>{"ORA-1"});
  EXPECT_EQ(custom, std::vector<std::string>{"ORA-2"});
  EXPECT_EQ(bar.statuses.back(), "Connected to Server");
  socket.Close();
}

TEST(Dispatch, ARequestInsideAWaitIsDiscardedAndAQuitEndsTheWait) {
  test::AppHooksRecorder hooks;
  PeerSession session([&](PeerConnection& c, ScriptedPeer&) {
    c.Expect(K::Execute);
    c.Send(Numbered(K::CodedMessage, 1, "nest"));
    c.Send(Text(K::SQLError, std::string("NULL\x04", 5)));
    c.Expect(K::Execute);
    c.Send(Numbered(K::CodedMessage, 2, "quit"));
    // The next message proves the nested request never left the client.
    c.Send(Text(K::SQLError, std::string("NULL\x04", 5)));
    link::TLinkStringLine after = c.Expect(K::CodedMessage);
    if (after.Field(2) != "after") throw std::runtime_error("unexpected message");
    c.Send(Numbered(K::CodedMessage, 3, "ack"));
    c.WaitClosed();
  });
  link::TLinkClientSocket& socket = session.socket();
  RecordingDataset ds;
  std::string nested = "not run";
  int sentInside = -1;
  bool acknowledged = false;
  socket.OnCodedMessage = [&](int id, const std::string&) {
    if (id == 3) {
      acknowledged = true;
    } else if (id == 1) {
      const int before = socket.SentMessageCount();
      nested = socket.RequestExec(&ds, "", "nested", "", "", true);
      socket.PostCodedMessage(9, "inside");  // dropped as well
      socket.WaitForReply();                 // returns at once: waits do not nest
      sentInside = socket.SentMessageCount() - before;
    } else {
      socket.SmartWait().Quit();
    }
  };
  EXPECT_EQ(socket.RequestExec(&ds, "", "outer", "", "", true), "");
  EXPECT_EQ(nested, "");
  EXPECT_EQ(sentInside, 0);
  // The quit ends the wait before the reply; the reply comes later and is
  // handled by the event loop.
  EXPECT_EQ(socket.RequestExec(&ds, "", "quit", "", "", true), "");
  socket.PostCodedMessage(3, "after");
  EXPECT_TRUE(ProcessUntil([&] { return acknowledged; }));
  socket.Close();
  EXPECT_TRUE(hooks.Errors().empty());
}

TEST(Dispatch, TerminateMessageClosesAndEndsUnlessHandled) {
  for (const bool handled : {true, false}) {
    test::AppHooksRecorder hooks;
    std::vector<std::string> messages;
    bool coded = false;
    PeerSession session(
        [&](PeerConnection& c, ScriptedPeer&) {
          c.Send(Text(K::TerminateMessage, "server going down"));
          c.Send(Numbered(K::CodedMessage, 1, "still here"));
          c.WaitClosed();
        },
        {},
        [&](link::TLinkClientSocket& s) {
          s.OnCodedMessage = [&](int, const std::string&) { coded = true; };
          s.OnTerminateMessageFromServer = [&](const std::string& m, bool& h) {
            messages.push_back(m);
            h = handled;
          };
        });
    link::TLinkClientSocket& socket = session.socket();
    ASSERT_TRUE(ProcessUntil([&] { return !messages.empty() && (coded || !socket.Active()); }));
    EXPECT_EQ(messages, std::vector<std::string>{"server going down"});
    EXPECT_EQ(socket.Active(), handled);
    EXPECT_EQ(hooks.Terminations(), handled ? std::vector<int>{} : std::vector<int>{0});
    socket.Close();
  }
}

TEST(Dispatch, AThrowingHandlerLosesOnlyItsOwnMessage) {
  test::AppHooksRecorder hooks;
  std::vector<std::string> seen;
  PeerSession session(
      [&](PeerConnection& c, ScriptedPeer&) {
        c.SendRaw(c.Frame(Numbered(K::CodedMessage, 1, "first")) + c.Frame(Numbered(K::CodedMessage, 2, "throws")) +
                  c.Frame(Numbered(K::CodedMessage, 3, "third")));
        c.WaitClosed();
      },
      {},
      [&](link::TLinkClientSocket& s) {
        s.OnCodedMessage = [&](int id, const std::string& t) {
          seen.push_back(t);
          if (id == 2) throw link::ELinkSQLException("handler failed");
        };
      });
  ASSERT_TRUE(ProcessUntil([&] { return seen.size() == 3; }));
  EXPECT_EQ(seen, (std::vector<std::string>{"first", "throws", "third"}));
  EXPECT_EQ(hooks.Errors(), std::vector<std::string>{"handler failed"});
  session.socket().Close();
}

}  // namespace
