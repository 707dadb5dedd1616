// Frames on a real connection: cut from any split of the byte stream, sent
// whole however little the system takes at a time, and the failures of the
// connection itself.

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <string>
#include <vector>

#include "link/client/client_socket.h"
#include "link/client/peer_session.h"
#include "link/client/recording_dataset.h"
#include "link/client/socket_errors.h"
#include "link/codec/link_errors.h"
#include "link/codec/wire_int.h"
#include "support/error_text.h"
#include "support/scripted_presenter.h"

using namespace mero;
using K = link::MessageKind;
using test::ConnectedSocket;
using test::PeerConnection;
using test::PeerSession;
using test::ProcessUntil;
using test::RecordingDataset;
using test::ScriptedPeer;

namespace {

link::TLinkStringLine Coded(int number, std::string_view text) {
  link::TLinkStringLine line = ScriptedPeer::Line(K::CodedMessage);
  line.AddInt(number);
  line.AddText(text);
  return line;
}

TEST(Framing, OneFrameOverManyReadsIsDispatchedOnceWhenComplete) {
  test::AppHooksRecorder hooks;
  const std::string text(300, 'x');
  int reads = 0;
  std::vector<std::string> coded;
  PeerSession session(
      [&](PeerConnection& c, ScriptedPeer& peer) {
        const std::string frame = c.Frame(Coded(1, text));
        // Each part waits until the client has read the one before.
        peer.WaitForStep(1);
        c.SendRaw(frame.substr(0, 2));
        peer.WaitForStep(2);
        c.SendRaw(frame.substr(2, 60));
        peer.WaitForStep(3);
        c.SendRaw(frame.substr(62));
        c.WaitClosed();
      },
      {},
      [&](link::TLinkClientSocket& s) {
        s.SetProgressBar(true);
        s.OnReadProgress = [&](std::int64_t, std::int64_t received) {
          if (received > 0) ++reads;
        };
        s.OnCodedMessage = [&](int, const std::string& t) { coded.push_back(t); };
      });
  link::TLinkClientSocket& socket = session.socket();
  // The login's verdict was read before.
  const int before = reads;
  session.peer.Signal(1);
  ASSERT_TRUE(ProcessUntil([&] { return reads >= before + 1; }));
  EXPECT_TRUE(coded.empty());
  session.peer.Signal(2);
  ASSERT_TRUE(ProcessUntil([&] { return reads >= before + 2; }));
  EXPECT_TRUE(coded.empty());
  session.peer.Signal(3);
  ASSERT_TRUE(ProcessUntil([&] { return !coded.empty(); }));
  EXPECT_EQ(coded, std::vector<std::string>{text});
  socket.Close();
  EXPECT_TRUE(hooks.Errors().empty());
}

TEST(Framing, AnInvalidLengthClosesTheConnection) {
  for (const std::int32_t length : {-1, INT_MIN, link::kMaxFrameLength + 1, INT_MAX}) {
    test::AppHooksRecorder hooks;
    std::atomic<bool> closed{false};
    std::vector<std::string> coded;
    PeerSession session(
        [&](PeerConnection& c, ScriptedPeer&) {
          c.Send(Coded(1, "before"));
          std::string bad(4, '\0');
          link::PutInt32(bad.data(), length);
          c.SendRaw(bad + "after");
          closed = c.WaitClosed();
        },
        {},
        [&](link::TLinkClientSocket& s) { s.OnCodedMessage = [&](int, const std::string& t) { coded.push_back(t); }; });
    link::TLinkClientSocket& socket = session.socket();
    ASSERT_TRUE(ProcessUntil([&] { return !hooks.Errors().empty() && closed; })) << length;
    EXPECT_EQ(hooks.Errors(), std::vector<std::string>{"Invalid block size (" + std::to_string(length) + ")!"});
    EXPECT_EQ(coded, std::vector<std::string>{"before"});
    EXPECT_FALSE(socket.Active());
  }
}

TEST(Framing, AnInvalidLengthDuringAWaitFailsTheRequest) {
  test::AppHooksRecorder hooks;
  PeerSession session([&](PeerConnection& c, ScriptedPeer&) {
    c.Expect(K::Execute);
    c.SendRaw(std::string("\xFF\xFF\xFF\xFF", 4));
    c.WaitClosed();
  });
  RecordingDataset ds;
  EXPECT_EQ(
      test::ErrorOf<link::ELinkFrameException>([&] { session.socket().RequestExec(&ds, "", "select", "", "", true); }),
      "Invalid block size (-1)!");
  EXPECT_FALSE(session.socket().Active());
  EXPECT_TRUE(hooks.Errors().empty());
}

// More than the system takes at once: the rest goes out when it can.
TEST(Framing, LargeFramesReachThePeerWhole) {
  test::AppHooksRecorder hooks;
  std::string big(16 * 1024 * 1024, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 % 251);
  std::atomic<bool> gotPosted{false};
  PeerSession session([&](PeerConnection& c, ScriptedPeer& peer) {
    peer.WaitForStep(1);  // nothing is read until the client has handed over the frame
    const link::TLinkStringLine posted = c.Expect(K::CodedMessage, std::chrono::seconds(60));
    gotPosted = posted.Field(2) == big;
    const link::TLinkStringLine statement = c.Expect(K::Execute, std::chrono::seconds(60));
    link::TLinkStringLine reply = ScriptedPeer::Line(K::SQLError);
    reply.AddText(statement.Field(1) == big ? std::string("NULL\x04", 5) : std::string("damaged"));
    c.Send(reply);
    c.WaitClosed();
  });
  link::TLinkClientSocket& socket = session.socket();
  socket.PostCodedMessage(9, big);
  EXPECT_GT(socket.PendingWriteBytes(), 0) << "the system took the whole frame at once";
  session.peer.Signal(1);
  ASSERT_TRUE(ProcessUntil([&] { return gotPosted.load(); }, std::chrono::seconds(60)));
  RecordingDataset ds;
  EXPECT_EQ(socket.RequestExec(&ds, "", big, "", "", true), "");
  socket.Close();
  EXPECT_TRUE(hooks.Errors().empty());
}

TEST(Framing, AConnectionLostDuringAWaitFailsTheRequestAndLaterRequestsAtOnce) {
  test::AppHooksRecorder hooks;
  PeerSession session([&](PeerConnection& c, ScriptedPeer&) {
    c.Expect(K::Select);
    c.Close();
  });
  link::TLinkClientSocket& socket = session.socket();
  RecordingDataset ds;
  EXPECT_EQ(
      test::ErrorOf<link::ELinkConnectException>([&] { socket.RequestSelect(&ds, "", "select 1 from DUAL", -1, 0); }),
      link::kDisconnectedText);
  EXPECT_EQ(socket.AnchorStatus(), link::TACDisconnectedFromServer);
  EXPECT_EQ(socket.AnchorStatusText(), "Disconnected from Server");
  EXPECT_FALSE(socket.SmartWait().Waiting());
  EXPECT_EQ(
      test::ErrorOf<link::ELinkConnectException>([&] { socket.RequestSelect(&ds, "", "select 1 from DUAL", -1, 0); }),
      link::kNoSocketText);
  EXPECT_TRUE(hooks.Errors().empty()) << "the failure went to the request only";
}

TEST(Framing, AConnectionLostOutsideAWaitGoesToTheErrorDisplayUnlessOnDisconnectIsSet) {
  for (const bool handler : {false, true}) {
    test::AppHooksRecorder hooks;
    int disconnects = 0;
    PeerSession session([&](PeerConnection& c, ScriptedPeer&) { c.Close(); }, {},
                        [&](link::TLinkClientSocket& s) {
                          if (handler) s.OnDisconnect = [&] { ++disconnects; };
                        });
    link::TLinkClientSocket& socket = session.socket();
    ASSERT_TRUE(ProcessUntil([&] { return !socket.Active(); }));
    EXPECT_EQ(hooks.Errors(), handler ? std::vector<std::string>{} : std::vector<std::string>{link::kDisconnectedText});
    EXPECT_EQ(disconnects, handler ? 1 : 0);
    EXPECT_EQ(socket.AnchorStatus(), link::TACDisconnectedFromServer);
  }
}

TEST(Framing, ARefusedConnectionReportsItsCodeAndText) {
  const int port = test::UnusedPort();
  const std::string text =
      "10061: Connection refused.  Verify that a server is available. at 127.0.0.1 on Port:" + std::to_string(port);
  {
    test::AppHooksRecorder hooks;
    ConnectedSocket client(port);
    client.socket.Loaded();
    ASSERT_TRUE(ProcessUntil([&] { return !hooks.Errors().empty(); }));
    EXPECT_EQ(hooks.Errors(), std::vector<std::string>{text});
    EXPECT_EQ(client.socket.LastSocketError(), link::kErrConnectionRefused);
    EXPECT_FALSE(client.socket.Active());
  }
  {
    test::AppHooksRecorder hooks;
    ConnectedSocket client(port);
    client.socket.SetClientType(link::ctBlocking);
    EXPECT_EQ(test::ErrorOf<link::ESocketError>([&] { client.socket.Loaded(); }), text);
  }
  {
    test::AppHooksRecorder hooks;
    ConnectedSocket client(port);
    std::vector<int> codes;
    client.socket.OnError = [&](int code) { codes.push_back(code); };
    client.socket.Loaded();
    ASSERT_TRUE(ProcessUntil([&] { return !codes.empty(); }));
    EXPECT_EQ(codes, std::vector<int>{link::kErrConnectionRefused});
    EXPECT_TRUE(hooks.Errors().empty());
  }
}

TEST(Framing, AFailedLookupNamesTheLookup) {
  test::AppHooksRecorder hooks;
  link::TLinkClientSocket socket;
  socket.SetHost("no-such-host.invalid");
  socket.SetPort(7773);
  socket.Open();
  ASSERT_TRUE(ProcessUntil([&] { return !hooks.Errors().empty(); }, std::chrono::seconds(30)));
  ASSERT_EQ(hooks.Errors().size(), 1U);
  EXPECT_EQ(hooks.Errors()[0].rfind("Windows socket error: ", 0), 0U) << hooks.Errors()[0];
  EXPECT_NE(hooks.Errors()[0].find(" (11001), on API 'ASync Lookup'"), std::string::npos) << hooks.Errors()[0];
  EXPECT_EQ(socket.LastSocketError(), link::kErrHostNotFound);
}

TEST(Framing, ACustomConnectWithoutAddressOrPortEndsTheProgram) {
  struct Case {
    const char* host;
    int port;
  };
  for (const Case& c : {Case{"", 7773}, Case{"127.0.0.1", 0}, Case{"", 0}}) {
    test::AppHooksRecorder hooks;
    test::ScriptedPresenter presenter;
    link::TLinkClientSocket socket;
    socket.SetConnectAction(link::caCustomConnect);
    socket.OnCustomConnect = [&] {
      socket.SetHost(c.host);
      socket.SetPort(c.port);
    };
    socket.Loaded();
    EXPECT_EQ(presenter.Texts(), std::vector<std::string>{link::kAddressNotSetText});
    EXPECT_EQ(hooks.Terminations(), std::vector<int>{1});
    EXPECT_FALSE(socket.Active());
  }
}

}  // namespace
