// The socket's settings: the command-line overrides, where Connect aims,
// the defaults and presets of its properties, the error texts, and the
// dataset registry.

#include <gtest/gtest.h>

#include <QAbstractSocket>
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/client/client_socket.h"
#include "link/client/command_line.h"
#include "link/client/peer_session.h"
#include "link/client/recording_dataset.h"
#include "link/client/socket_errors.h"
#include "link/codec/link_errors.h"
#include "support/error_text.h"

using namespace mero;
using test::ConnectedSocket;
using test::PeerConnection;
using test::PeerSession;
using test::ProcessUntil;
using test::RecordingDataset;
using test::ScriptedPeer;

namespace {

TEST(CommandLine, EachWordOverridesItsSetting) {
  struct Case {
    std::vector<std::string> args;
    std::optional<int> port;
    std::optional<std::string> address;
    std::optional<std::string> proxiedAddress;
    std::optional<int> proxiedPort;
    bool http, compression, login;
  };
  const Case cases[] = {
      {{}, {}, {}, {}, {}, false, false, false},
      {{"Port=8080"}, 8080, {}, {}, {}, false, false, false},
      {{"pORT=8080"}, 8080, {}, {}, {}, false, false, false},
      // Characters 6 to 10 are read: with a slash they begin with "=".
      {{"/Port=8080"}, {}, {}, {}, {}, false, false, false},
      {{"Port=123456"}, 12345, {}, {}, {}, false, false, false},
      {{"Port=0"}, {}, {}, {}, {}, false, false, false},
      {{"Port=abc", "Port=9000"}, {}, {}, {}, {}, false, false, false},
      {{"ServerProxiedPort=9000"}, {}, {}, {}, 9000, false, false, false},
      {{"ServerProxiedPort=9000", "Port=8080"}, 8080, {}, {}, 9000, false, false, false},
      {{"ServerProxiedAddress=10.0.0.5"}, {}, {}, "10.0.0.5", {}, false, false, false},
      {{"IPAddress=10.1.1.1", "ipaddress=10.2.2.2"}, {}, "10.1.1.1", {}, {}, false, false, false},
      {{"--http", "COMPRESSION", "-login"}, {}, {}, {}, {}, true, true, true},
  };
  for (const Case& c : cases) {
    const link::TLinkCommandLine cl = link::TLinkCommandLine::Parse(c.args);
    const std::string name = c.args.empty() ? "(none)" : c.args[0];
    EXPECT_EQ(cl.port, c.port) << name;
    EXPECT_EQ(cl.address, c.address) << name;
    EXPECT_EQ(cl.proxiedAddress, c.proxiedAddress) << name;
    EXPECT_EQ(cl.proxiedPort, c.proxiedPort) << name;
    EXPECT_EQ(cl.http, c.http) << name;
    EXPECT_EQ(cl.compression, c.compression) << name;
    EXPECT_EQ(cl.loginDialog, c.login) << name;
  }
}

TEST(CommandLine, OverridesApplyToTheSocket) {
  link::TLinkClientSocket socket;
  socket.SetHost("server.example");
  socket.SetAutoLoginDlg(link::ltLoginNoDlg);
  socket.ApplyCommandLine({"Port=7780", "IPAddress=10.1.1.1", "Compression", "Login", "HTTP"});
  EXPECT_EQ(socket.Port(), 7780);
  EXPECT_EQ(socket.Address(), "10.1.1.1");
  EXPECT_EQ(socket.Host(), "") << "the address given is where the connection goes";
  EXPECT_EQ(socket.Compression(), link::acLinkZLib);
  EXPECT_EQ(socket.AutoLoginDlg(), link::ltLoginDlg);
  EXPECT_TRUE(socket.HTTPTransport());
}

// Where Connect sends the connection, seen from a peer that must be reached.
TEST(CommandLine, ConnectAimsAtLocalAddressesNamesAndTheIPAddressOverride) {
  test::AppHooksRecorder hooks;
  for (const std::string address : {"LocalHost", "local"}) {
    std::atomic<bool> reached{false};
    ScriptedPeer peer([&](ScriptedPeer& p) {
      auto c = p.Accept();
      c->AcceptLogin();
      reached = true;
      c->WaitClosed();
    });
    ConnectedSocket client(peer.Port());
    client.socket.OnCustomConnect = [&, port = peer.Port()] {
      client.socket.SetAddress(address);
      client.socket.SetPort(port);
    };
    client.socket.Loaded();
    ASSERT_TRUE(ProcessUntil([&] { return reached.load(); })) << address;
    EXPECT_EQ(client.socket.Address(), "127.0.0.1");
    client.socket.Close();
  }
  {
    std::atomic<bool> reached{false};
    ScriptedPeer peer([&](ScriptedPeer& p) {
      auto c = p.Accept();
      c->AcceptLogin();
      reached = true;
      c->WaitClosed();
    });
    test::SocketSetup setup;
    setup.args = {"IPAddress=127.0.0.1", "Port=" + std::to_string(peer.Port())};
    ConnectedSocket client(0, setup);
    client.socket.OnCustomConnect = [&] {
      client.socket.SetHost("no-such-host.invalid");
      client.socket.SetPort(1);
    };
    client.socket.Loaded();
    ASSERT_TRUE(ProcessUntil([&] { return reached.load(); }));
    client.socket.Close();
  }
  EXPECT_TRUE(hooks.Errors().empty());
  // An address that begins with a letter is a host name to look up.
  ConnectedSocket named(7773);
  named.socket.OnCustomConnect = [&] {
    named.socket.SetAddress("no-such-host.invalid");
    named.socket.SetPort(7773);
  };
  named.socket.Loaded();
  EXPECT_EQ(named.socket.Host(), "no-such-host.invalid");
  ASSERT_TRUE(ProcessUntil([&] { return !hooks.Errors().empty(); }, std::chrono::seconds(30)));
  EXPECT_NE(hooks.Errors()[0].find("on API 'ASync Lookup'"), std::string::npos) << hooks.Errors()[0];
}

TEST(SocketSettings, DefaultsOfANewSocket) {
  link::TLinkClientSocket s;
  EXPECT_EQ(s.ApplicationName(), "");
  EXPECT_EQ(s.ApplicationVersion(), "");
  EXPECT_EQ(s.ConnectAction(), link::caFastConnectCombo);
  EXPECT_EQ(s.AutoLoginDlg(), link::ltNoChallenge);
  EXPECT_EQ(s.Encryption(), link::etNoEncryption);
  EXPECT_EQ(s.Compression(), link::acNoCompression);
  EXPECT_EQ(s.SQLTransactionStart(), "BEGIN TRANSACTION");
  EXPECT_EQ(s.SQLTransactionEnd(), "COMMIT");
  EXPECT_EQ(s.UpdateSQLSyntax(), link::usBDE);
  EXPECT_EQ(s.SQLOptions(), 0);
  EXPECT_EQ(s.SQLDialect(), link::sqlNone);
  EXPECT_EQ(s.SQLErrorHandling(), 1U << link::seAsExceptions);
  EXPECT_EQ(s.CursorOnQueries(), link::cqNoChange);
  EXPECT_FALSE(s.ProgressBar());
  EXPECT_EQ(s.AnchorStatus(), link::TACNoAnchor);
  EXPECT_EQ(s.AnchorStatusText(), "No Connection");
  EXPECT_EQ(s.ClientType(), link::ctNonBlocking);
  EXPECT_EQ(s.ServerNumber(), 0);
  EXPECT_FALSE(s.Active());
}

TEST(SocketSettings, DialectsPresetOptionsAndMasks) {
  struct Case {
    link::TSQLDialect dialect;
    std::uint16_t options;
    const char* dateMask;
    const char* dateTimeMask;
  };
  const Case cases[] = {
      {link::sqlDialect1, 0x009, "", ""},
      {link::sqlDialect7, 0x009, "", ""},
      {link::sqlDialect2, 0x010, "", ""},
      {link::sqlDialect3, 0x004, "", ""},
      {link::sqlDialect4, 0x000, "DD-MMM-YYYY", "DD-MMM-YYYY HH:NN:SS"},
      {link::sqlDialect8, 0x101, "YYYY-MM-DD", "YYYY-MM-DD HH:NN:SS"},
      {link::sqlNone, 0x000, "", ""},
  };
  for (const Case& c : cases) {
    link::TLinkClientSocket s;
    s.SetSQLOptions(0x3FF);
    s.SetSQLDialect(c.dialect);
    EXPECT_EQ(s.SQLOptions(), c.options) << int{c.dialect};
    EXPECT_EQ(s.DateMaskForSQL(), c.dateMask) << int{c.dialect};
    EXPECT_EQ(s.DateTimeMaskForSQL(), c.dateTimeMask) << int{c.dialect};
  }
}

TEST(SocketSettings, SelectOptionsLoseCompressWhenEveryMessageIsCompressed) {
  link::TLinkClientSocket s;
  const int options = (1 << link::soCompress) | (1 << link::soPackets);
  for (const auto& [compression, kept] :
       {std::pair{link::acNoCompression, true}, std::pair{link::acLinkCompress, false},
        std::pair{link::acUserDefined, false}, std::pair{link::acLinkZLib, true}}) {
    s.SetCompression(compression);
    EXPECT_EQ(s.SendableSelectOptions(options), kept ? options : 1 << link::soPackets) << int{compression};
  }
}

TEST(SocketSettings, SocketErrorCodesAndTexts) {
  struct Case {
    int code;
    const char* text;
  };
  const Case cases[] = {
      {10053,
       "10053: Software caused connection abort.  The server terminated the connection. It is possible that the "
       "server has terminated. at 10.0.0.1 on Port:7773"},
      {10054,
       "10054: Software caused connection abort.  The server terminated the connection. It is possible that the "
       "server has terminated. at 10.0.0.1 on Port:7773"},
      {10061, "10061: Connection refused.  Verify that a server is available. at 10.0.0.1 on Port:7773"},
      {10065,
       "10065: The client cannot reach the destination network. Verify that your target network is available "
       "and that a firewall is not blocking your protocol and port at 10.0.0.1 on Port:7773"},
      {10060, "Asynchronous socket error 10060"},
  };
  for (const Case& c : cases) EXPECT_EQ(link::AsyncSocketErrorText(c.code, "10.0.0.1", 7773), c.text) << c.code;
  EXPECT_EQ(link::WindowsSocketErrorText("Host not found", 11001, "ASync Lookup"),
            "Windows socket error: Host not found (11001), on API 'ASync Lookup'");
  const std::pair<QAbstractSocket::SocketError, int> mapped[] = {
      {QAbstractSocket::ConnectionRefusedError, 10061}, {QAbstractSocket::NetworkError, 10065},
      {QAbstractSocket::HostNotFoundError, 11001},      {QAbstractSocket::RemoteHostClosedError, 0},
      {QAbstractSocket::SocketTimeoutError, 10060},
  };
  for (const auto& [qt, code] : mapped) EXPECT_EQ(link::LinkSocketErrorCode(qt), code) << qt;
}

TEST(SocketSettings, AConnectedSocketRefusesNewTargetsAndASecondOpen) {
  test::AppHooksRecorder hooks;
  PeerSession session([](PeerConnection& c, ScriptedPeer&) { c.WaitClosed(); });
  link::TLinkClientSocket& socket = session.socket();
  const std::vector<std::function<void()>> changes = {[&] { socket.SetPort(1); }, [&] { socket.SetHost("other"); },
                                                      [&] { socket.SetAddress("10.0.0.1"); },
                                                      [&] { socket.SetService("echo"); }};
  for (const auto& change : changes) {
    EXPECT_EQ(test::ErrorOf<link::ESocketError>(change), "Can't change value while socket is active");
  }
  EXPECT_NO_THROW(socket.SetHost(socket.Host())) << "the same value is no change";
  EXPECT_EQ(test::ErrorOf<link::ESocketError>([&] { socket.Open(); }), "Socket already open");
  EXPECT_FALSE(socket.LocalAddress().empty());
  socket.Close();
  EXPECT_TRUE(socket.LocalAddress().empty());
  EXPECT_NO_THROW(socket.SetPort(1));
}

TEST(SocketSettings, TheRegistryWatchesDatasetsAndSocketFromBothSides) {
  auto survivor = std::make_unique<RecordingDataset>();
  {
    link::TLinkClientSocket socket;
    auto first = std::make_unique<RecordingDataset>();
    EXPECT_EQ(socket.RegisterDataSet(first.get()), 1);
    EXPECT_EQ(socket.RegisterDataSet(survivor.get()), 2);
    first.reset();
    EXPECT_EQ(socket.FindDataSet(1), nullptr) << "a destroyed dataset leaves the registry";
    RecordingDataset third;
    EXPECT_EQ(socket.RegisterDataSet(&third), 3) << "numbers are never reused";
    socket.UnregisterDataSet(&third);
    EXPECT_EQ(socket.FindDataSet(3), nullptr);
    EXPECT_EQ(socket.FindDataSet(2), survivor.get());
  }
  EXPECT_TRUE(survivor->socketGone);
  survivor.reset();  // must not reach the destroyed socket
}

TEST(SocketSettings, DatasetsWaitingForTheConnectionOpenOnceItIsMade) {
  test::AppHooksRecorder hooks;
  RecordingDataset ds;
  RecordingDataset gone;
  PeerSession session([](PeerConnection& c, ScriptedPeer&) { c.WaitClosed(); }, {},
                      [&](link::TLinkClientSocket& s) {
                        s.OpenWhenConnected(&ds);
                        s.OpenWhenConnected(&ds);
                        s.OpenWhenConnected(&gone);
                        s.UnregisterDataSet(&gone);
                      });
  EXPECT_EQ(ds.deferredOpens, 1);
  EXPECT_EQ(gone.deferredOpens, 0);
  session.socket().Close();
}

}  // namespace
