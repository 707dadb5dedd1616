// What the server drives: file pieces, utility replies 13, 14 and 15, the
// patch program, redirect and its fallback, reconnect notices, client
// upgrade, and frames wrapped in HTTP.

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/runtime.h"
#include "link/client/client_socket.h"
#include "link/client/client_windows.h"
#include "link/client/metadata_cache.h"
#include "link/client/peer_session.h"
#include "link/client/recording_dataset.h"
#include "link/codec/link_errors.h"
#include "link/codec/result_set_encoder.h"
#include "support/current_directory.h"
#include "support/error_text.h"
#include "support/temp_dir.h"

using namespace mero;
using K = link::MessageKind;
using test::ConnectedSocket;
using test::PeerConnection;
using test::PeerSession;
using test::ProcessUntil;
using test::RecordingDataset;
using test::ScriptedPeer;

namespace {

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

link::TLinkStringLine ParamsLine(K kind, int number, const link::TLinkParamList& list, int replyFlag) {
  link::TLinkStringLine line = ScriptedPeer::Line(kind);
  line.AddInt(number);
  line.AddText(list.ToText());
  line.AddInt(replyFlag);
  return line;
}

link::TLinkStringLine Utility(int code, const link::TLinkParamList& list) {
  link::TLinkStringLine line = ScriptedPeer::Line(K::ServerUtility);
  line.AddInt(code);
  line.AddText(list.ToText());
  return line;
}

link::TLinkStringLine Coded(int number, std::string_view text) {
  link::TLinkStringLine line = ScriptedPeer::Line(K::CodedMessage);
  line.AddInt(number);
  line.AddText(text);
  return line;
}

link::TLinkParamList Piece(const std::string& name, const std::string& data, int size, const std::string& finished) {
  link::TLinkParamList list;
  list.SetNamedValue("LocalFileName", base::Variant::Text(name));
  list.AddTyped("Data", link::ftBlob, link::ptInput).SetBlob(data);
  list.SetNamedValue("FileSize", base::Variant::Integer(size));
  list.SetNamedValue("Finished", base::Variant::Text(finished));
  return list;
}

using test::DirectoryScope;

TEST(ServerDriven, FilePiecesAreAppendedUntilTheLastAndReportProgress) {
  test::AppHooksRecorder hooks;
  test::TempDir dir;
  DirectoryScope scope(dir.Path());
  const std::string name = "sub/dir/file.bin";
  std::ofstream(dir.File("plain")) << "a file, not a folder";
  const std::string blocked = "plain/inner.bin";
  bool done = false;
  std::vector<std::string> progress;
  std::vector<int> coded;
  PeerSession session(
      [&](PeerConnection& c, ScriptedPeer&) {
        c.Send(
            ParamsLine(K::CodedParamList, link::kFilePieceMessage, Piece(name, std::string("ab\0", 3), 6, "False"), 0));
        c.Send(ParamsLine(K::DatasetParamList, link::kFilePieceMessage, Piece(name, "cde", 6, "true"), 0));
        c.Send(ParamsLine(K::CodedParamList, link::kFilePieceMessage, Piece(blocked, "x", 1, "True"), 0));
        c.Send(Coded(1, "done"));
        c.WaitClosed();
      },
      {},
      [&](link::TLinkClientSocket& s) {
        s.OnFileProgress = [&](const std::string& n, std::int64_t piece, std::int64_t size, std::int64_t written) {
          progress.push_back(n + " " + std::to_string(piece) + " " + std::to_string(size) + " " +
                             std::to_string(written));
        };
        s.OnCodedParamList = [&](int id, const link::TLinkParamList&) { coded.push_back(id); };
        s.OnCodedMessage = [&](int, const std::string&) { done = true; };
      });
  link::TLinkClientSocket& socket = session.socket();
  ASSERT_TRUE(ProcessUntil([&] { return done; }));
  EXPECT_EQ(ReadFile(name), std::string("ab\0cde", 6));
  EXPECT_EQ(progress, (std::vector<std::string>{name + " 3 6 3", name + " 3 6 6"}));
  ASSERT_EQ(hooks.Errors().size(), 1U);
  EXPECT_EQ(hooks.Errors()[0].rfind("Cannot write file " + blocked + ": ", 0), 0U) << hooks.Errors()[0];
  EXPECT_TRUE(coded.empty()) << "file pieces are not coded parameter lists";
  socket.Close();
}

// The server names the file of a piece; a name that would land outside the
// current directory is refused whole, and the pieces after it still arrive.
TEST(ServerDriven, FilePiecesWithNamesOutsideTheCurrentDirectoryAreRefused) {
  test::AppHooksRecorder hooks;
  test::TempDir outside;
  test::TempDir dir;
  std::filesystem::create_directory(dir.Path() / "inner");
  DirectoryScope scope(dir.Path() / "inner");
  const std::vector<std::string> refused = {"../escape.bin", outside.File("absolute.bin"), "sub/../../up.bin",
                                            "..\\back.bin", "C:drive.bin"};
  bool done = false;
  PeerSession session(
      [&](PeerConnection& c, ScriptedPeer&) {
        for (const std::string& name : refused) {
          c.Send(ParamsLine(K::CodedParamList, link::kFilePieceMessage, Piece(name, "x", 1, "True"), 0));
        }
        c.Send(ParamsLine(K::CodedParamList, link::kFilePieceMessage, Piece("kept/ok.bin", "ok", 2, "True"), 0));
        c.Send(Coded(1, "done"));
        c.WaitClosed();
      },
      {}, [&](link::TLinkClientSocket& s) { s.OnCodedMessage = [&](int, const std::string&) { done = true; }; });
  ASSERT_TRUE(ProcessUntil([&] { return done; }));
  std::vector<std::string> expected;
  for (const std::string& name : refused) {
    expected.push_back("Cannot write file " + name + ": not a plain relative file name");
  }
  EXPECT_EQ(hooks.Errors(), expected);
  EXPECT_EQ(ReadFile("kept/ok.bin"), "ok");
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "escape.bin"));
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "up.bin"));
  EXPECT_TRUE(std::filesystem::is_empty(outside.Path()));
  session.socket().Close();
}

std::string ResultSetText(const std::vector<link::FieldDef>& defs, const std::vector<std::vector<std::string>>& rows) {
  std::string defsPayload;
  link::ResultSetEncoder(defsPayload).AddFieldDefs(defs);
  std::string rowsPayload;
  link::ResultSetEncoder encoder(rowsPayload);
  for (const auto& row : rows) {
    for (std::size_t k = 0; k < row.size(); ++k) {
      if (defs[k].type == link::ftMemo) {
        encoder.AddLong(row[k]);
      } else {
        encoder.AddText(row[k]);
      }
    }
    encoder.EndRow();
  }
  encoder.Finish();
  return link::EncodeResultSetText(defsPayload, rowsPayload);
}

TEST(ServerDriven, UtilityRepliesCacheMetadataSetSQLTextAndWriteThePatcher) {
  test::AppHooksRecorder hooks;
  test::TempDir dir;
  DirectoryScope scope(dir.Path());
  const std::string columns = ResultSetText({{"COLUMN_NAME", link::ftString, 30}, {"DATA_TYPE", link::ftInteger, 0}},
                                            {{"ID", "3"}, {"NAME", "1"}});
  const std::string cache = ResultSetText({{"NAME", link::ftString, 30}, {"SET", link::ftMemo, 0}},
                                          {{"UORG", columns}, {"EMPTY", ResultSetText({{"X", 1, 5}}, {})}});
  bool done = false;
  std::vector<int> codes;
  std::string before;
  PeerSession session(
      [&](PeerConnection& c, ScriptedPeer&) {
        link::TLinkParamList metadata;
        metadata.AddTyped("Sets", link::ftMemo, link::ptInput).SetMemo(cache);
        c.Send(Utility(13, metadata));
        link::TLinkParamList sql;
        sql.SetNamedValue("DateMaskForSQL", base::Variant::Text("yyyy-mm-dd"));
        sql.SetNamedValue("DateTimeMaskForSQL", base::Variant::Text("yyyy-mm-dd hh:nn:ss"));
        sql.SetNamedValue("TimeMaskForSQL", base::Variant::Text("hh:nn"));
        sql.SetNamedValue("SQLOptions", base::Variant::Integer(0xFFFF));
        sql.SetNamedValue("UpdateSQLSyntax", base::Variant::Integer(link::usOracle));
        c.Send(Utility(14, sql));
        link::TLinkParamList patcher;
        patcher.AddTyped("Patcher", link::ftBlob, link::ptInput).SetBlob(std::string("MZ\0patch", 8));
        c.Send(Utility(15, patcher));
        c.Send(Coded(1, "done"));
        c.WaitClosed();
      },
      {},
      [&](link::TLinkClientSocket& s) {
        before = test::ErrorOf<link::ELinkMetaDataException>([&] { s.MetaDataCache().Find("UORG"); });
        s.OnServerUtilityInfoEvent = [&](int code, const link::TLinkParamList&) { codes.push_back(code); };
        s.OnCodedMessage = [&](int, const std::string&) { done = true; };
      });
  link::TLinkClientSocket& socket = session.socket();
  EXPECT_EQ(before, "MetaData Not Cached!");
  ASSERT_TRUE(ProcessUntil([&] { return done; }));
  EXPECT_EQ(codes, (std::vector<int>{13, 14, 15}));

  const link::RowSet& uorg = socket.MetaDataCache().Find("uorg");
  ASSERT_EQ(uorg.RowCount(), 2U);
  EXPECT_EQ(uorg.Text(1, 0), "NAME");
  EXPECT_EQ(uorg.Int(0, 1), 3);
  EXPECT_EQ(socket.MetaDataCache().Find("EMPTY").RowCount(), 0U);
  EXPECT_EQ(test::ErrorOf<link::ELinkMetaDataException>([&] { socket.MetaDataCache().Find("UP_DELT"); }),
            "UP_DELT not found in cache");

  EXPECT_EQ(socket.DateMaskForSQL(), "yyyy-mm-dd");
  EXPECT_EQ(socket.DateTimeMaskForSQL(), "yyyy-mm-dd hh:nn:ss");
  EXPECT_EQ(socket.TimeMaskForSQL(), "hh:nn");
  EXPECT_EQ(socket.SQLOptions(), 0x3FF);
  EXPECT_EQ(socket.UpdateSQLSyntax(), link::usOracle);
  EXPECT_EQ(ReadFile(dir.Path() / "patcher.exe"), std::string("MZ\0patch", 8));
  EXPECT_TRUE(hooks.Errors().empty());
  socket.Close();
}

TEST(ServerDriven, ADamagedMetadataCacheIsRefusedWhole) {
  link::TLinkMetaDataCache cache;
  struct Case {
    const char* name;
    std::string text;
  };
  const Case cases[] = {
      {"too short", "ab"},
      {"definitions past the end", std::string("\x10\0\0\0abc", 7)},
      {"one column", ResultSetText({{"NAME", link::ftString, 10}}, {{"UORG"}})},
      {"inner set damaged", ResultSetText({{"NAME", link::ftString, 10}, {"SET", link::ftMemo, 0}}, {{"UORG", "xy"}})},
  };
  for (const Case& c : cases) {
    EXPECT_THROW(cache.Load(c.text), link::ELinkResultSetException) << c.name;
    EXPECT_FALSE(cache.Cached()) << c.name;
  }
}

TEST(ServerDriven, TheLoginAsksForAPatcherOnlyWhenItIsMissing) {
  struct Case {
    const char* patchFile;
    bool patcherExists;
    bool asks;
  };
  for (const Case& c : {Case{"patch.zip", false, true}, Case{"patch.zip", true, false}, Case{"", false, false}}) {
    test::AppHooksRecorder hooks;
    test::TempDir dir;
    DirectoryScope scope(dir.Path());
    if (c.patcherExists) std::ofstream(dir.File("patcher.exe")) << "MZ";
    std::atomic<int> asked{-1};
    {
      ScriptedPeer peer([&](ScriptedPeer& p) {
        auto connection = p.Accept();
        const link::TLinkStringLine login = connection->AnswerLogin(true);
        const std::string_view fifth = login.Field(5);
        const auto params = link::TLinkParamList::FromText(fifth.substr(fifth.find('\x02') + 1));
        asked = params.FindByName("NeedPatcher") != nullptr ? 1 : 0;
        if (params.GetByName("MYVERSION").ValueText() != "1,31") throw std::runtime_error("MYVERSION lost");
        if (fifth.substr(0, fifth.find('\x02')) != "1,31") throw std::runtime_error("version lost");
        connection->WaitClosed();
      });
      ConnectedSocket client(peer.Port());
      client.socket.SetPatchFile(c.patchFile);
      client.socket.Loaded();
      ASSERT_TRUE(ProcessUntil([&] { return asked >= 0; }));
      client.socket.Close();
    }
    EXPECT_EQ(asked == 1, c.asks) << c.patchFile << " " << c.patcherExists;
  }
}

TEST(ServerDriven, RedirectMovesTheConnectionAndFallsBackOnceWhenItIsLost) {
  test::AppHooksRecorder hooks;
  std::atomic<bool> backAtAnchor{false};
  ScriptedPeer server([&](ScriptedPeer& p) {
    auto c = p.Accept();
    c->AcceptLogin();
    c->Close();
  });
  const int serverPort = server.Port();
  ScriptedPeer anchor([&](ScriptedPeer& p) {
    auto first = p.Accept();
    first->Expect(K::Login);
    link::TLinkParamList target;
    target.AddValue(base::Variant::Text("127.0.0.1:" + std::to_string(serverPort)));
    link::TLinkStringLine redirect = ScriptedPeer::Line(K::Redirect);
    redirect.AddText(target.ToText());
    first->Send(redirect);
    first->WaitClosed();
    auto second = p.Accept();
    second->AcceptLogin();
    backAtAnchor = true;
    second->WaitClosed();
  });
  ConnectedSocket client(anchor.Port());
  std::vector<std::string> statuses;
  client.socket.OnConnectStatusChange = [&](const std::string& s) { statuses.push_back(s); };
  client.socket.Loaded();
  ASSERT_TRUE(ProcessUntil([&] { return backAtAnchor.load(); }));
  EXPECT_EQ(client.socket.Port(), anchor.Port());
  EXPECT_EQ(client.socket.RedirectMemory(), "127.0.0.1:" + std::to_string(anchor.Port()));
  const std::string to = "Connecting from Anchor to Server 127.0.0.1:" + std::to_string(serverPort);
  EXPECT_EQ(statuses,
            (std::vector<std::string>{"Connected to Server", to, "Connected to Server", "Disconnected from Server",
                                      "Disconnected, Anchor Available", "Connected to Server"}));
  EXPECT_EQ(hooks.Errors(), std::vector<std::string>{link::kDisconnectedText});
  client.socket.Close();
}

TEST(ServerDriven, ReconnectNoticesReopenTheConnection) {
  test::AppHooksRecorder hooks;
  std::atomic<int> logins{0};
  ScriptedPeer proxied([&](ScriptedPeer& p) {
    auto c = p.Accept();
    c->AcceptLogin();
    ++logins;
    c->WaitClosed();
  });
  ScriptedPeer peer([&](ScriptedPeer& p) {
    auto first = p.Accept();
    first->AcceptLogin();
    ++logins;
    first->Send(ScriptedPeer::Line(K::ReconnectNotice));
    first->WaitClosed();
    auto second = p.Accept();
    second->AcceptLogin();
    ++logins;
    second->Send(ScriptedPeer::Line(K::Reconnect));
    second->WaitClosed();
  });
  test::SocketSetup setup;
  setup.args = {"ServerProxiedAddress=127.0.0.1", "ServerProxiedPort=" + std::to_string(proxied.Port())};
  ConnectedSocket client(peer.Port(), setup);
  std::vector<std::string> statuses;
  client.socket.OnConnectStatusChange = [&](const std::string& s) { statuses.push_back(s); };
  client.socket.Loaded();
  ASSERT_TRUE(ProcessUntil([&] { return logins == 3; }));
  EXPECT_EQ(client.socket.ReconnectNoticeCount(), 1);
  EXPECT_EQ(client.socket.Port(), proxied.Port());
  EXPECT_EQ(client.socket.ServerProxiedAddress(), "127.0.0.1");
  EXPECT_EQ(statuses, (std::vector<std::string>{"Connected to Server", "No Connection", "Connected to Server",
                                                "Connected to Server", "Connected to Server"}));
  EXPECT_TRUE(hooks.Errors().empty());
  client.socket.Close();
}

class RecordingWindows : public link::LinkClientWindows {
 public:
  RecordingWindows() { link::SetLinkClientWindows(this); }
  ~RecordingWindows() override { link::SetLinkClientWindows(nullptr); }
  RecordingWindows(const RecordingWindows&) = delete;
  RecordingWindows& operator=(const RecordingWindows&) = delete;
  bool AskLogin(std::string&, std::string&) override { return false; }
  void ShowUpgradeProgress(bool on) override { log.push_back(on ? "progress on" : "progress off"); }
  void SetWaitCursor(link::TWaitingCursor) override { log.push_back("cursor"); }
  void RestoreCursor() override { log.push_back("restore"); }
  std::vector<std::string> log;
};

TEST(ServerDriven, AClientUpgradeSwapsTheProgramAndStartsItWithTheSameArguments) {
  test::AppHooksRecorder hooks;
  RecordingWindows windows;
  test::TempDir dir;
  DirectoryScope scope(dir.Path());
  const std::filesystem::path program = dir.Path() / "mero client";
  std::ofstream(program) << "old program";
  const std::string newProgram = "#!/bin/sh\nprintf '%s\\n' \"$@\" > started.txt\n";
  PeerSession session(
      [&](PeerConnection& c, ScriptedPeer&) {
        c.Send(ScriptedPeer::Line(K::UpgradeProgress));
        link::TLinkStringLine upgrade = ScriptedPeer::Line(K::ClientUpgrade);
        upgrade.AddStream(newProgram);
        c.Send(upgrade);
        c.WaitClosed();
      },
      {"MARIA", "maria", {"--flag", "it's a test"}},
      [&](link::TLinkClientSocket& s) { s.SetProgramFile(program.string()); });
  ASSERT_TRUE(ProcessUntil([&] { return !hooks.Terminations().empty(); }));
  EXPECT_EQ(hooks.Terminations(), std::vector<int>{0});
  EXPECT_EQ(windows.log, (std::vector<std::string>{"progress on", "progress off"}));
  // The script runs on its own once the program has ended.
  const std::filesystem::path started = dir.Path() / "started.txt";
  ASSERT_TRUE(ProcessUntil([&] {
    return std::filesystem::exists(started) && ReadFile(started) == "--flag\nit's a test\n" &&
           !std::filesystem::exists(dir.Path() / "ReStart.sh");
  }));
  EXPECT_EQ(ReadFile(program), newProgram);
  EXPECT_EQ(ReadFile(dir.Path() / "mero client.OLD"), "old program");
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "TempFile.exe"));
  session.socket().Close();
}

TEST(ServerDriven, AnUpgradeHandlerCanTakeTheUpgradeOver) {
  test::AppHooksRecorder hooks;
  test::TempDir dir;
  DirectoryScope scope(dir.Path());
  std::string received;
  std::vector<std::string> script;
  PeerSession session(
      [&](PeerConnection& c, ScriptedPeer&) {
        link::TLinkStringLine upgrade = ScriptedPeer::Line(K::ClientUpgrade);
        upgrade.AddStream(std::string("new\0program", 11));
        c.Send(upgrade);
        c.WaitClosed();
      },
      {},
      [&](link::TLinkClientSocket& s) {
        s.SetProgramFile((dir.Path() / "mero").string());
        s.OnAutoClientUpgrade = [&](std::string_view program, std::vector<std::string>& lines, bool& handled) {
          received = program;
          script = lines;
          handled = true;
        };
      });
  ASSERT_TRUE(ProcessUntil([&] { return !received.empty(); }));
  EXPECT_EQ(received, std::string("new\0program", 11));
  ASSERT_FALSE(script.empty());
  EXPECT_EQ(script.front(), "#!/bin/sh");
  EXPECT_TRUE(hooks.Terminations().empty());
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "TempFile.exe"));
  session.socket().Close();
}

// One HTTP request as the client sends it: the head and the frame it announces.
struct HttpRequest {
  std::string head;
  link::TLinkStringLine message;
};

HttpRequest ReadHttpRequest(PeerConnection& c, std::string& buffered) {
  std::size_t end;
  while ((end = buffered.find("\r\n\r\n")) == std::string::npos) buffered += c.ReceiveRaw();
  HttpRequest request;
  request.head = buffered.substr(0, end + 4);
  buffered.erase(0, end + 4);
  const std::string lengthField = "Content-Length: ";
  const std::size_t at = request.head.find(lengthField);
  if (at == std::string::npos) throw std::runtime_error("no Content-Length");
  const std::size_t length = std::stoul(request.head.substr(at + lengthField.size()));
  while (buffered.size() < length) buffered += c.ReceiveRaw();
  const std::string frame = buffered.substr(0, length);
  buffered.erase(0, length);
  link::TLinkMessageStack stack;
  std::string message;
  stack.Feed(frame, [&](std::string_view payload) { message = link::UnpackMessage(payload, {}); });
  if (message.empty()) throw std::runtime_error("the body is not one frame");
  request.message = link::TLinkStringLine::Parse(message);
  return request;
}

TEST(ServerDriven, HttpWrapsEveryFrameAndSkipsResponseHeads) {
  struct Case {
    bool addressSet;  // the socket aims at Address rather than Host
    const char* requestLine;
  };
  for (const Case& k :
       {Case{false, "POST LINKSHTTP / HTTP/1.0\r\n"}, Case{true, "POST http://app.example:7700/ HTTP/1.0\r\n"}}) {
    test::AppHooksRecorder hooks;
    std::vector<std::string> heads;
    std::vector<int> kinds;
    ScriptedPeer peer([&](ScriptedPeer& p) {
      const std::string ok = "HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\nContent:\r\n\r\n";
      auto c = p.Accept();
      std::string buffered;
      HttpRequest login = ReadHttpRequest(*c, buffered);
      heads.push_back(login.head);
      kinds.push_back(login.message.DispatchKind());
      link::TLinkStringLine verdict = ScriptedPeer::Line(K::Login);
      verdict.AddInt(1);
      c->SendRaw(ok + c->Frame(verdict));
      HttpRequest exec = ReadHttpRequest(*c, buffered);
      kinds.push_back(exec.message.DispatchKind());
      link::TLinkStringLine none = ScriptedPeer::Line(K::SQLError);
      none.AddText(std::string("NULL\x04", 5));
      // Two responses in one write: a coded message, then the reply.
      c->SendRaw(ok + c->Frame(Coded(5, "pushed")) + ok + c->Frame(none));
      // An HTTP/1.0 server ends the exchange; the next message reopens.
      c->Close();
      auto again = p.Accept();
      buffered.clear();
      HttpRequest second = ReadHttpRequest(*again, buffered);
      kinds.push_back(second.message.DispatchKind());
      again->SendRaw(ok + again->Frame(none));
      HttpRequest third = ReadHttpRequest(*again, buffered);
      kinds.push_back(third.message.DispatchKind());
      again->SendRaw("HTTP/1.0 502 Proxy Error\r\n\r\n");
      again->WaitClosed();
    });
    test::SocketSetup setup;
    setup.args = {"HTTP", "ServerProxiedAddress=app.example", "ServerProxiedPort=7700"};
    ConnectedSocket client(peer.Port(), setup);
    if (k.addressSet) {
      client.socket.OnCustomConnect = [&, port = peer.Port()] {
        client.socket.SetPort(port);
        client.socket.SetAddress("127.0.0.1");
      };
    }
    std::vector<std::string> coded;
    client.socket.OnCodedMessage = [&](int, const std::string& t) { coded.push_back(t); };
    client.socket.Loaded();
    ASSERT_TRUE(ProcessUntil([&] { return client.verdict.has_value(); }));
    EXPECT_TRUE(client.socket.HTTPTransport());
    RecordingDataset ds;
    EXPECT_EQ(client.socket.RequestExec(&ds, "", "first", "", "", true), "");
    EXPECT_EQ(coded, std::vector<std::string>{"pushed"});
    ASSERT_TRUE(ProcessUntil([&] { return !client.socket.Active(); }));
    EXPECT_TRUE(hooks.Errors().empty()) << "the end of an exchange is no failure";
    EXPECT_EQ(client.socket.RequestExec(&ds, "", "second", "", "", true), "");
    EXPECT_EQ(
        test::ErrorOf<link::ELinkConnectException>([&] { client.socket.RequestExec(&ds, "", "third", "", "", true); }),
        "10061: Connection refused.  Verify that a server is available.");
    EXPECT_FALSE(client.socket.Active());
    ASSERT_TRUE(ProcessUntil([&] { return peer.Finished(); }));
    const int login = link::KindByte(K::Login);
    const int exec = link::KindByte(K::Execute);
    EXPECT_EQ(kinds, (std::vector<int>{login, exec, exec, exec})) << "no server-information request, no second login";
    ASSERT_FALSE(heads.empty());
    const std::string& head = heads[0];
    EXPECT_EQ(head.rfind(k.requestLine, 0), 0U) << head;
    const std::string lines =
        "Accept: */*\r\nAccept-Language: en-us\r\n"
        "Content-Type: application/x-www-form-urlencoded\r\nUser-Agent: Mozilla/4.0 \r\n"
        "HOST: app.example:7700\r\nConnection: Keep-Alive\r\nContent-Length: ";
    EXPECT_NE(head.find(lines), std::string::npos) << head;
  }
}

}  // namespace

namespace {

TEST(ServerDriven, AReplyWaitShowsItsCursorAndReportsItsStartAndEnd) {
  for (const link::TWaitingCursor mode : {link::cqNoChange, link::cqHourGlass, link::cqSQLHourGlass}) {
    test::AppHooksRecorder hooks;
    RecordingWindows windows;
    PeerSession session([](PeerConnection& c, ScriptedPeer&) {
      c.Expect(K::Execute);
      c.Send(ScriptedPeer::Line(K::Release));
      c.WaitClosed();
    });
    link::TLinkClientSocket& socket = session.socket();
    socket.SetCursorOnQueries(mode);
    socket.SmartWait().OnStartOfWait = [&] { windows.log.push_back("start"); };
    socket.SmartWait().OnEndOfWait = [&] { windows.log.push_back("end"); };
    windows.log.clear();
    RecordingDataset ds;
    EXPECT_EQ(socket.RequestExec(&ds, "", "s", "", "", true), "");
    const std::vector<std::string> expected = mode == link::cqNoChange
                                                  ? std::vector<std::string>{"start", "end"}
                                                  : std::vector<std::string>{"cursor", "start", "end", "restore"};
    EXPECT_EQ(windows.log, expected) << int{mode};
    socket.Close();
  }
}

}  // namespace
