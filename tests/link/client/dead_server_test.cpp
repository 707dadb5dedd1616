// A server that dies, vanishes or goes silent while the client waits: every
// wait ends with the disconnect text, the socket is left closed, and later
// requests fail at once. A watchdog ends a wait that would otherwise hang, so
// a fault fails the test instead of stalling the run.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "link/client/client_socket.h"
#include "link/client/client_test_support.h"
#include "link/client/peer_session.h"
#include "link/client/recording_dataset.h"
#include "link/client/scripted_peer.h"
#include "link/client/socket_setup.h"
#include "link/codec/link_errors.h"
#include "support/error_text.h"
#include "support/server_process.h"

using namespace mero;
using namespace std::chrono_literals;
using test::ConnectedSocket;
using test::PeerConnection;
using test::PeerSession;
using test::ProcessUntil;
using test::RecordingDataset;
using test::ScriptedPeer;
using K = link::MessageKind;
using Clock = std::chrono::steady_clock;

namespace {

// Ends the reply wait in progress (as the quit message would) once the limit
// has passed, and remembers that it had to.
class Watchdog {
 public:
  Watchdog(link::TLinkSmartWait& wait, std::chrono::milliseconds limit)
      : thread_([this, &wait, limit] {
          std::unique_lock lock(mutex_);
          if (stop_cv_.wait_for(lock, limit, [this] { return stop_; })) return;
          fired_ = true;
          while (!stop_cv_.wait_for(lock, 50ms, [this] { return stop_; })) wait.Quit();
        }) {}
  ~Watchdog() {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    stop_cv_.notify_all();
    thread_.join();
  }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

  bool Fired() const { return fired_; }

 private:
  std::mutex mutex_;
  std::condition_variable stop_cv_;
  bool stop_ = false;
  std::atomic<bool> fired_{false};
  std::thread thread_;
};

// A socket logged in to the server and past its server-information reply.
std::unique_ptr<ConnectedSocket> LoggedIn(int port) {
  auto client = std::make_unique<ConnectedSocket>(port);
  client->socket.Loaded();
  EXPECT_TRUE(ProcessUntil([&] { return client->verdict.has_value() && client->socket.ServerNumber() != 0; }));
  EXPECT_EQ(client->verdict, true);
  return client;
}

// The state a lost connection leaves: closed, no wait, and every request that
// waits refused at once.
void ExpectDisconnected(link::TLinkClientSocket& socket) {
  EXPECT_FALSE(socket.Active());
  EXPECT_FALSE(socket.SmartWait().Waiting());
  EXPECT_EQ(socket.AnchorStatus(), link::TACDisconnectedFromServer);
  RecordingDataset ds;
  EXPECT_EQ(
      test::ErrorOf<link::ELinkConnectException>([&] { socket.RequestSelect(&ds, "", "select 1 from DUAL", -1, 0); }),
      link::kNoSocketText);
  EXPECT_EQ(test::ErrorOf<link::ELinkConnectException>([&] { socket.RequestExec(&ds, "", "commit", "", "", true); }),
            link::kNoSocketText);
}

// Far more rows than the server can count before it is killed.
constexpr const char* kEndlessSelect =
    "select count(*) from UP_CONS_REQ a, UP_CONS_REQ b, UP_CONS_REQ c, UP_CONS_REQ d, UP_CONS_REQ e";

}  // namespace

TEST(DeadServer, AServerKilledDuringAWaitEndsItWithinASecond) {
  struct Case {
    const char* name;
    bool stopFirst;  // stopped before the request, so it is never read
    const char* sql;
  };
  const Case cases[] = {
      {"while it runs a long select", false, kEndlessSelect},
      {"with the request unread", true, "select 1 from DUAL"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::AppHooksRecorder hooks;
    test::ServerProcess server;
    auto client = LoggedIn(server.Port());
    link::TLinkClientSocket& socket = client->socket;
    socket.SetReplyTimeLimit(0);  // the kill alone must end the wait
    std::vector<std::string> statuses;
    socket.OnConnectStatusChange = [&](const std::string& status) { statuses.push_back(status); };
    if (c.stopFirst) server.Freeze();
    const Clock::time_point start = Clock::now();
    Clock::time_point killed{};
    socket.SmartWait().OnWaitTick = [&] {
      if (killed == Clock::time_point{} && Clock::now() - start > 300ms) {
        server.Kill();
        killed = Clock::now();
      }
    };
    Watchdog dog(socket.SmartWait(), 20s);
    RecordingDataset ds;
    EXPECT_EQ(test::ErrorOf<link::ELinkConnectException>([&] { socket.RequestSelect(&ds, "", c.sql, -1, 0); }),
              link::kDisconnectedText);
    const Clock::duration afterKill = Clock::now() - killed;
    ASSERT_NE(killed, Clock::time_point{}) << "the wait ended before the server was killed";
    EXPECT_LT(afterKill, 1s);
    EXPECT_FALSE(dog.Fired());
    EXPECT_TRUE(ds.payloads.empty()) << "no rows came";
    EXPECT_EQ(statuses, std::vector<std::string>{"Disconnected from Server"});
    socket.SmartWait().OnWaitTick = nullptr;
    ExpectDisconnected(socket);
    EXPECT_TRUE(hooks.Errors().empty()) << "the failure went to the request only";
  }
}

TEST(DeadServer, AServerKilledWhileNothingWaitsIsReportedToTheErrorDisplay) {
  test::AppHooksRecorder hooks;
  test::ServerProcess server;
  auto client = LoggedIn(server.Port());
  server.Kill();
  EXPECT_TRUE(ProcessUntil([&] { return !hooks.Errors().empty(); }, 5s));
  EXPECT_EQ(hooks.Errors(), std::vector<std::string>{link::kDisconnectedText});
  ExpectDisconnected(client->socket);
}

// The peer drops every packet: no close ever arrives, so only the socket's
// keep-alive (and the time limit on unacknowledged data) can notice.
TEST(DeadServer, AVanishedServerIsNoticedByKeepAliveAndReportedAsAClose) {
  const link::TLinkKeepAlive quick{1, 1, 2};
  for (const bool waiting : {true, false}) {
    SCOPED_TRACE(waiting ? "during a wait" : "while idle");
    test::AppHooksRecorder hooks;
    PeerSession session(
        [](PeerConnection& c, ScriptedPeer& peer) {
          c.Vanish();
          peer.WaitForStep(1, 60s);
        },
        {},
        [&](link::TLinkClientSocket& s) {
          s.SetKeepAlive(quick);
          s.SetReplyTimeLimit(0);
        });
    link::TLinkClientSocket& socket = session.socket();
    if (waiting) {
      Watchdog dog(socket.SmartWait(), 30s);
      RecordingDataset ds;
      EXPECT_EQ(test::ErrorOf<link::ELinkConnectException>(
                    [&] { socket.RequestSelect(&ds, "", "select 1 from DUAL", -1, 0); }),
                link::kDisconnectedText);
      EXPECT_FALSE(dog.Fired()) << "keep-alive did not notice the vanished server";
      EXPECT_TRUE(hooks.Errors().empty());
    } else {
      EXPECT_TRUE(ProcessUntil([&] { return !hooks.Errors().empty(); }, 30s));
      EXPECT_EQ(hooks.Errors(), std::vector<std::string>{link::kDisconnectedText});
    }
    ExpectDisconnected(socket);
    session.peer.Signal(1);
  }
}

// The peer keeps the connection and answers at the TCP level, but never
// replies: only the wait's time limit ends the wait. Traffic that is not the
// reply restarts the count.
TEST(DeadServer, ASilentServerEndsTheWaitAfterTheTimeLimitAndTrafficRestartsIt) {
  struct Case {
    const char* name;
    int notices;  // coded messages sent before the reply, one every 400 ms
    bool replies;
  };
  const Case cases[] = {
      {"silent", 0, false},
      {"slow but busy", 5, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::AppHooksRecorder hooks;
    std::atomic<bool> closedByClient{false};
    PeerSession session(
        [&](PeerConnection& conn, ScriptedPeer& peer) {
          conn.Expect(K::Select);
          for (int i = 0; i < c.notices; ++i) {
            std::this_thread::sleep_for(400ms);
            link::TLinkStringLine notice = ScriptedPeer::Line(K::CodedMessage);
            notice.AddInt(7000 + i);
            notice.AddText("working");
            conn.Send(notice);
          }
          if (c.replies) conn.Send(ScriptedPeer::Line(K::Release));
          closedByClient = conn.WaitClosed(20s);
          peer.WaitForStep(1, 20s);
        },
        {}, [](link::TLinkClientSocket& s) { s.SetReplyTimeLimit(1); });
    link::TLinkClientSocket& socket = session.socket();
    int notices = 0;
    socket.OnCodedMessage = [&](int, const std::string&) { ++notices; };
    Watchdog dog(socket.SmartWait(), 20s);
    RecordingDataset ds;
    const Clock::time_point start = Clock::now();
    const std::string error =
        test::ErrorOf<link::ELinkConnectException>([&] { socket.RequestSelect(&ds, "", "select 1 from DUAL", -1, 0); });
    const Clock::duration waited = Clock::now() - start;
    EXPECT_FALSE(dog.Fired());
    EXPECT_EQ(notices, c.notices);
    if (c.replies) {
      EXPECT_EQ(error, "<no error>");
      EXPECT_TRUE(socket.Connected());
      socket.Close();
    } else {
      EXPECT_EQ(error, link::ReplyTimeoutText(1));
      EXPECT_GE(waited, 1s) << "the wait ended before its time limit";
      ExpectDisconnected(socket);
    }
    session.peer.Signal(1);
    ASSERT_TRUE(session.ProcessUntilPeerFinished());
    EXPECT_TRUE(closedByClient) << "the client keeps a connection it gave up";
    EXPECT_TRUE(hooks.Errors().empty());
  }
}

TEST(DeadServer, AServerThatNeverAnswersTheLoginEndsTheLoginWait) {
  test::AppHooksRecorder hooks;
  std::atomic<bool> closedByClient{false};
  ScriptedPeer peer([&](ScriptedPeer& p) {
    auto conn = p.Accept();
    conn->Expect(K::Login);
    closedByClient = conn->WaitClosed(20s);
  });
  ConnectedSocket client(peer.Port());
  client.socket.SetReplyTimeLimit(1);
  Watchdog dog(client.socket.SmartWait(), 20s);
  client.socket.Loaded();
  EXPECT_TRUE(ProcessUntil([&] { return !hooks.Errors().empty(); }, 20s));
  EXPECT_FALSE(dog.Fired());
  EXPECT_EQ(hooks.Errors(), std::vector<std::string>{link::ReplyTimeoutText(1)});
  EXPECT_FALSE(client.verdict.has_value());
  ExpectDisconnected(client.socket);
  EXPECT_TRUE(ProcessUntil([&] { return peer.Finished(); }, 20s));
  EXPECT_TRUE(closedByClient);
}

// A listener whose queue of connections is full drops every new connection
// request unanswered, as a server machine that has stopped does.
TEST(DeadServer, ABlockingOpenGivesUpOnAServerThatNeverAnswersAfterItsLimit) {
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ASSERT_EQ(listen(listener, 0), 0);
  socklen_t len = sizeof addr;
  getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len);
  std::vector<int> fillers;
  for (int i = 0; i < 2; ++i) {
    fillers.push_back(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
    connect(fillers.back(), reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  }
  std::this_thread::sleep_for(100ms);  // the handshakes the queue takes are done

  test::AppHooksRecorder hooks;
  ConnectedSocket client(ntohs(addr.sin_port));
  client.socket.SetClientType(link::ctBlocking);
  client.socket.SetConnectTimeLimit(1);
  const Clock::time_point start = Clock::now();
  EXPECT_EQ(test::ErrorOf<link::ESocketError>([&] { client.socket.Loaded(); }), "Asynchronous socket error 10060");
  EXPECT_GE(Clock::now() - start, 1s);
  EXPECT_FALSE(client.socket.Active());
  EXPECT_FALSE(client.verdict.has_value());
  EXPECT_TRUE(hooks.Errors().empty());
  for (const int fd : fillers) close(fd);
  close(listener);
}
