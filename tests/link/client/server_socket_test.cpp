// The client socket against the real mero-server: custom connect, login,
// requests, the cipher ports and whole-message compression.

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "base/encoding.h"
#include "link/client/client_socket.h"
#include "link/client/client_test_support.h"
#include "link/client/recording_dataset.h"
#include "link/client/socket_setup.h"
#include "link/codec/link_errors.h"
#include "support/error_text.h"
#include "support/scripted_presenter.h"
#include "support/server_process.h"
#include "support/temp_dir.h"

using namespace mero;
using namespace mero::base::literals;
using test::ConnectedSocket;
using test::ProcessUntil;
using test::RecordingDataset;

namespace {

// One demo server for the suite, with one offered file.
class ServerSocketTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    files_ = std::make_unique<test::TempDir>();
    std::ofstream(files_->File("form.frm"), std::ios::binary) << std::string("form\0bytes", 10);
    test::ServerProcess::Options options;
    options.filesDir = files_->Path().string();
    server_ = std::make_unique<test::ServerProcess>(options);
  }
  static void TearDownTestSuite() {
    server_.reset();
    files_.reset();
  }

  // A socket logged in as MARIA, its server-information reply received.
  std::unique_ptr<ConnectedSocket> LoggedIn(test::SocketSetup setup = {}) {
    auto client = std::make_unique<ConnectedSocket>(server_->Port(), setup);
    client->socket.Loaded();
    EXPECT_TRUE(ProcessUntil([&] { return client->verdict.has_value() && client->socket.ServerNumber() != 0; }))
        << server_->Log();
    EXPECT_EQ(client->verdict, true);
    return client;
  }

  static std::unique_ptr<test::TempDir> files_;
  static std::unique_ptr<test::ServerProcess> server_;
  test::AppHooksRecorder hooks_;
};

std::unique_ptr<test::TempDir> ServerSocketTest::files_;
std::unique_ptr<test::ServerProcess> ServerSocketTest::server_;

TEST_F(ServerSocketTest, CustomConnectLogsInAndAsksForTheServerNumber) {
  struct Case {
    const char* user;
    const char* password;
    bool verdict;
  };
  const Case cases[] = {{"ADMIN", "admin", true}, {"MARIA", "wrong", false}, {"NOBODY", "nikos", false}};
  for (const Case& c : cases) {
    ConnectedSocket client(server_->Port(), {c.user, c.password, {}});
    std::vector<std::string> statuses;
    client.socket.OnConnectStatusChange = [&](const std::string& s) { statuses.push_back(s); };
    client.socket.Loaded();
    ASSERT_TRUE(ProcessUntil([&] { return client.verdict.has_value(); })) << c.user;
    EXPECT_EQ(*client.verdict, c.verdict) << c.user;
    EXPECT_EQ(client.socket.Host(), "127.0.0.1");
    EXPECT_EQ(client.socket.AnchorStatus(), link::TACConnectedToServer);
    EXPECT_EQ(statuses, std::vector<std::string>{"Connected to Server"});
    if (c.verdict) {
      ASSERT_TRUE(ProcessUntil([&] { return client.socket.ServerNumber() != 0; }));
      EXPECT_DOUBLE_EQ(client.socket.ServerNumber(), 1.31);
    }
  }
  EXPECT_TRUE(hooks_.Errors().empty());
  EXPECT_TRUE(hooks_.Terminations().empty());
}

TEST_F(ServerSocketTest, RefusedLoginWithoutHandlerShowsTheTextAndEndsTheProgram) {
  test::ScriptedPresenter presenter;
  ConnectedSocket client(server_->Port(), {"MARIA", "wrong", {}});
  client.socket.OnLoginAttempt = nullptr;
  client.socket.Loaded();
  ASSERT_TRUE(ProcessUntil([&] { return !hooks_.Terminations().empty(); }));
  EXPECT_EQ(hooks_.Terminations(), std::vector<int>{1});
  EXPECT_EQ(presenter.Texts(), std::vector<std::string>{link::kBadLoginText});
}

TEST_F(ServerSocketTest, SelectsDecodeIntoTheDatasetAndErrorsAreCollected) {
  auto client = LoggedIn();
  link::TLinkClientSocket& socket = client->socket;
  RecordingDataset ds;
  EXPECT_EQ(socket.RequestSelect(&ds, "", "select ID, NAME from UORG where ID = '0.01'", -1, 0), "");
  ASSERT_EQ(ds.rows.RowCount(), 1U);
  EXPECT_EQ(ds.rows.Text(0, 1), "Πρυτανεία"_gr);
  EXPECT_EQ(socket.FindDataSet(1), &ds);

  struct Case {
    const char* sql;
    const char* error;
  };
  const Case cases[] = {
      {"select * from NO_SUCH_TABLE", "[LINK SERVER ERROR]ORA-00942: table or view does not exist"},
      {"select count(*) from UORG", ""},
  };
  for (const Case& c : cases) {
    RecordingDataset other;
    EXPECT_EQ(socket.RequestSelect(&other, "", c.sql, -1, 0), c.error) << c.sql;
    EXPECT_EQ(socket.CollectError(), "") << "collected once";
  }
}

TEST_F(ServerSocketTest, ZeroRowsAndPacketsFollowTheServersCursor) {
  auto client = LoggedIn();
  link::TLinkClientSocket& socket = client->socket;

  RecordingDataset defsOnly;
  EXPECT_EQ(socket.RequestSelect(&defsOnly, "", "select ID, NAME from UORG", 0, 0), "");
  ASSERT_EQ(defsOnly.fieldDefs.size(), 1U);
  ASSERT_GE(defsOnly.payloads.size(), 1U);
  // The definitions also reach the row reader, with packet argument 0.
  EXPECT_EQ(defsOnly.payloads[0].packet, 0);
  EXPECT_EQ(defsOnly.payloads[0].payload, defsOnly.fieldDefs[0]);
  EXPECT_EQ(defsOnly.rows.RowCount(), 0U);

  RecordingDataset all;
  ASSERT_EQ(socket.RequestSelect(&all, "", "select ID from UORG order by ID", -1, 0), "");
  ASSERT_GT(all.rows.RowCount(), 4U);

  RecordingDataset packets;
  ASSERT_EQ(socket.RequestSelect(&packets, "", "select ID from UORG order by ID", 2, 1 << link::soPackets), "");
  EXPECT_EQ(packets.rows.RowCount(), 2U);
  EXPECT_GT(packets.cursor, 0);
  int fetches = 0;
  while (packets.cursor > 0 && fetches < 100) {
    socket.RequestNextPacket(&packets, packets.cursor, 0, 2);
    ++fetches;
  }
  EXPECT_EQ(packets.cursor, -1);
  ASSERT_EQ(packets.rows.RowCount(), all.rows.RowCount());
  for (std::size_t r = 0; r < all.rows.RowCount(); ++r) EXPECT_EQ(packets.rows.Text(r, 0), all.rows.Text(r, 0));
}

TEST_F(ServerSocketTest, StatementsReturnTheServersTextAndPassThroughRaisesIt) {
  auto client = LoggedIn({"ADMIN", "admin", {}});
  link::TLinkClientSocket& socket = client->socket;
  RecordingDataset ds;
  EXPECT_EQ(socket.RequestExec(&ds, "", "update UORG set TEL1 = '2310' where ID = '0.01'", "", "", true), "");
  EXPECT_EQ(socket.RequestExec(&ds, "", "commit", "", "", true), "");
  EXPECT_EQ(socket.RequestExec(&ds, "", "update NO_SUCH_TABLE set A = 1", "", "", true),
            "[LINK SERVER ERROR]ORA-00942: table or view does not exist");
  RecordingDataset check;
  ASSERT_EQ(socket.RequestSelect(&check, "", "select TEL1 from UORG where ID = '0.01'", -1, 0), "");
  EXPECT_EQ(check.rows.Text(0, 0), "2310");

  EXPECT_EQ(test::ErrorOf<link::ELinkSQLException>(
                [&] { socket.RequestPassThroughSelect(&ds, "", "select * from NO_SUCH_TABLE", -1, 0); }),
            "ORA-00942: table or view does not exist");
  EXPECT_EQ(socket.CollectError(), "");
}

TEST_F(ServerSocketTest, ParameterListsAndCodedMessages) {
  auto client = LoggedIn();
  link::TLinkClientSocket& socket = client->socket;
  std::optional<link::TLinkParamList> count = socket.RequestParamList(2000, {});
  ASSERT_TRUE(count.has_value());
  ASSERT_EQ(count->Count(), 1);
  EXPECT_EQ(count->ItemAt(0).ValueInt(), 1);
  link::TLinkParamList ask;
  ask.AddValue(base::Variant::Integer(0));  // files are counted from 0
  std::optional<link::TLinkParamList> file = socket.RequestParamList(2001, ask);
  ASSERT_TRUE(file.has_value());
  ASSERT_EQ(file->Count(), 3);
  EXPECT_EQ(file->ItemAt(0).ValueStream(), std::string("form\0bytes", 10));
  EXPECT_EQ(file->ItemAt(1).ValueText(), "form.frm");
  link::TLinkParamList past;
  past.AddValue(base::Variant::Integer(1));
  EXPECT_FALSE(socket.RequestParamList(2001, past).has_value()) << "an empty reply list is none";

  std::vector<std::pair<int, std::string>> coded;
  socket.OnCodedMessage = [&](int id, const std::string& text) { coded.emplace_back(id, text); };
  socket.PostCodedMessage(3001, "MARIA;maria;MERO;1,31");
  ASSERT_TRUE(ProcessUntil([&] { return !coded.empty(); }));
  EXPECT_EQ(coded[0].first, 13001);
  EXPECT_FALSE(coded[0].second.empty());
}

TEST_F(ServerSocketTest, CompressionArgumentAndCompressedRows) {
  test::SocketSetup setup;
  setup.args = {"--verbose", "compression"};
  auto client = LoggedIn(setup);
  link::TLinkClientSocket& socket = client->socket;
  EXPECT_EQ(socket.Compression(), link::acLinkZLib);
  RecordingDataset ds;
  EXPECT_EQ(socket.RequestSelect(&ds, "", "select NAME from UORG where ID = '0.01'", -1, 1 << link::soCompress), "");
  ASSERT_EQ(ds.rows.RowCount(), 1U);
  EXPECT_EQ(ds.rows.Text(0, 0), "Πρυτανεία"_gr);

  // Without whole-message compression the server compresses the rows it is
  // asked to, and the socket inflates them.
  auto plain = LoggedIn();
  ASSERT_EQ(plain->socket.Compression(), link::acNoCompression);
  RecordingDataset rows;
  EXPECT_EQ(plain->socket.RequestSelect(&rows, "", "select NAME from UORG order by ID", -1, 1 << link::soCompress), "");
  EXPECT_GT(rows.rows.RowCount(), 4U);
  ASSERT_FALSE(rows.payloads.empty());
  EXPECT_NE(rows.payloads.back().payload.find("Πρυτανεία"_gr), std::string::npos) << "rows reach the dataset inflated";
}

TEST_F(ServerSocketTest, RequestsOnAClosedSocketFailAtOnce) {
  auto client = LoggedIn();
  link::TLinkClientSocket& socket = client->socket;
  socket.Close();
  RecordingDataset ds;
  const std::vector<std::function<void()>> requests = {
      [&] { socket.RequestSelect(&ds, "", "select 1 from DUAL", -1, 0); },
      [&] { socket.RequestExec(&ds, "", "commit", "", "", true); },
      [&] { socket.RequestParamList(2000, {}); },
      [&] { socket.RequestNextPacket(&ds, 1, 0, 2); },
      [&] { socket.RequestPassThroughSelect(&ds, "", "select 1 from DUAL", -1, 0); },
  };
  for (const auto& request : requests) {
    EXPECT_EQ(test::ErrorOf<link::ELinkConnectException>(request), link::kNoSocketText);
  }
  // Messages that wait for nothing write nothing.
  socket.PostCodedMessage(3001, "x");
  socket.CloseServerCursor(&ds);
  EXPECT_TRUE(hooks_.Errors().empty());
}

// The connection module switches the link cipher on for ports 7771–7779.
TEST_F(ServerSocketTest, CipherPortsAndPlainPorts) {
  std::unique_ptr<test::ServerProcess> server;
  for (int plain : {7770, 7780}) {
    for (int port = 7771; port <= 7779 && !server; ++port) {
      test::ServerProcess::Options options;
      options.ports = {port, plain};
      try {
        server = std::make_unique<test::ServerProcess>(options);
      } catch (const std::exception&) {
      }
    }
  }
  if (!server) GTEST_SKIP() << "no pair of a cipher port and 7770 or 7780 is free on this machine";
  for (int port : server->Ports()) {
    ConnectedSocket client(port);
    client.socket.Loaded();
    ASSERT_TRUE(ProcessUntil([&] { return client.verdict.has_value() && client.socket.ServerNumber() != 0; })) << port;
    EXPECT_EQ(client.socket.Encryption(), link::IsCipherPort(port) ? link::etUserDefined : link::etNoEncryption);
    RecordingDataset ds;
    EXPECT_EQ(client.socket.RequestSelect(&ds, "", "select NAME from UORG where ID = '0.01'", -1, 0), "") << port;
    ASSERT_EQ(ds.rows.RowCount(), 1U);
    EXPECT_EQ(ds.rows.Text(0, 0), "Πρυτανεία"_gr);
  }
}

}  // namespace
