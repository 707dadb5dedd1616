// The server's request log as the operator reads it: a real mero-server
// process with --log-requests, driven through the link.

#include "server/request_log.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <thread>

#include "base/encoding.h"
#include "link/codec/string_line.h"
#include "support/link_test_client.h"
#include "support/server_process.h"

using namespace mero;
using namespace mero::base::literals;
using test::LinkTestClient;

namespace {

struct RequestLine {
  int session = 0;
  std::string user;
  std::string what;
  std::string outcome;
};

// Every request line of the log, in order; a request line of another form
// fails the test.
std::vector<RequestLine> RequestLines(const std::string& log) {
  static const std::regex form(
      R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} #(\d+) 127\.0\.0\.1 (\S+): request (.*?), \d+\.\d{3} ms, (.*))");
  std::vector<RequestLine> out;
  std::istringstream in(log);
  for (std::string line; std::getline(in, line);) {
    if (line.find(": request ") == std::string::npos) continue;
    std::smatch m;
    if (!std::regex_match(line, m, form)) {
      ADD_FAILURE() << "not a request line: " << line;
      continue;
    }
    out.push_back({std::stoi(m[1]), m[2], m[3], m[4]});
  }
  return out;
}

// The session number of the (only) accepted login of the user.
int SessionOf(const std::string& log, const std::string& user) {
  std::smatch m;
  const std::regex accepted("#(\\d+) 127\\.0\\.0\\.1 " + user + ": login accepted");
  return std::regex_search(log, m, accepted) ? std::stoi(m[1]) : -1;
}

test::ServerProcess::Options Logging() {
  test::ServerProcess::Options options;
  options.extra = {"--log-requests"};
  return options;
}

TEST(RequestLog, EachRequestIsOneLineWithItsKindTextAndOutcome) {
  test::ServerProcess server(Logging());
  const std::string longWhere(600, 'x');
  const std::string longSql = "select count(*) from UORG where NAME = '" + longWhere + "'";
  struct Case {
    const char* name;
    std::function<void(LinkTestClient&)> send;
    std::string user;
    std::string what;
    std::string outcome;
  };
  const Case cases[] = {
      {"before the login", [](LinkTestClient& c) { c.Select("select count(*) from UORG"); }, "-",
       "select \"select count(*) from UORG\"", "ORA-01012: not logged on"},
      {"server information", [](LinkTestClient& c) { c.ServerVersion(); }, "-", "utility 6", "ok"},
      {"login", [](LinkTestClient& c) { ASSERT_TRUE(c.Login("MARIA", "maria")); }, "-", "login", "ok"},
      {"select", [](LinkTestClient& c) { c.Select("select ID from UORG"); }, "MARIA", "select \"select ID from UORG\"",
       "ok"},
      {"failing statement", [](LinkTestClient& c) { c.Exec("update NO_SUCH_TABLE set A = 1"); }, "MARIA",
       "execute \"update NO_SUCH_TABLE set A = 1\"", "ORA-00942: table or view does not exist"},
      {"lines, quotes and a backslash on one line",
       [](LinkTestClient& c) { c.Select("select ID\r\nfrom UORG where NAME <> 'a\"b\\c'"); }, "MARIA",
       R"(select "select ID\r\nfrom UORG where NAME <> 'a\"b\\c'")", "ok"},
      {"Greek text in UTF-8",
       [](LinkTestClient& c) { c.Select("select ID from UORG where NAME = '"_gr + "Πρυτανεία"_gr + "'"); }, "MARIA",
       "select \"select ID from UORG where NAME = 'Πρυτανεία'\"", "ok"},
      {"a long statement is cut", [&](LinkTestClient& c) { c.Select(longSql); }, "MARIA",
       "select \"" + longSql.substr(0, server::kLoggedSqlLength) + "…\"", "ok"},
      {"pass-through select", [](LinkTestClient& c) { c.Select("select ID from UORG", -1, 0, 1, true); }, "MARIA",
       "pass-through select \"select ID from UORG\"", "ok"},
      {"next packet of a cursor that is not open",
       [](LinkTestClient& c) {
         LinkTestClient::SelectReply reply;
         reply.packet = 99;
         try {
           c.NextPacket(reply, 1);
         } catch (const std::exception&) {
         }
       },
       "MARIA", "next packet 99", "ORA-01001: invalid cursor"},
      {"parameter list", [](LinkTestClient& c) { c.ParamList(2000, {}); }, "MARIA", "param list 2000", "ok"},
  };
  LinkTestClient client(server.Port());
  for (const Case& c : cases) c.send(client);
  client.ServerVersion();  // a last request, so that every line before it is on the log
  ASSERT_TRUE(server.WaitForLog("MARIA: request utility 6")) << server.Log();

  const std::vector<RequestLine> lines = RequestLines(server.Log());
  ASSERT_EQ(lines.size(), std::size(cases) + 1) << server.Log();
  const int session = SessionOf(server.Log(), "MARIA");
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].name);
    EXPECT_EQ(lines[i].session, session);
    EXPECT_EQ(lines[i].user, cases[i].user);
    EXPECT_EQ(lines[i].what, cases[i].what);
    EXPECT_EQ(lines[i].outcome, cases[i].outcome);
  }
}

TEST(RequestLog, PasswordsOfLoginsAndLoginInformationAreNeverWritten) {
  const std::string password = "Pw-4711-unlikely";
  const std::string wrong = "Wrong-0815-unlikely";
  test::ServerProcess::Options options = Logging();
  options.prepare = [&](const std::string& database) {
    std::string output;
    ASSERT_EQ(test::RunMeroServer({"user", "add", "AUDITOR", "--db", database}, &output, password + "\n"), 0) << output;
  };
  test::ServerProcess server(options);
  LinkTestClient client(server.Port());
  EXPECT_FALSE(client.Login("AUDITOR", wrong));
  EXPECT_TRUE(client.Login("AUDITOR", password));
  EXPECT_NE(client.LoginInfo("AUDITOR;" + password + ";MERO;1,31"), "");
  EXPECT_EQ(client.LoginInfo("AUDITOR;" + wrong + ";MERO;1,31"), "");
  client.ServerVersion();
  ASSERT_TRUE(server.WaitForLog("AUDITOR: request utility 6")) << server.Log();

  const std::string log = server.Log();
  EXPECT_EQ(log.find(password), std::string::npos) << log;
  EXPECT_EQ(log.find(wrong), std::string::npos) << log;
  const std::vector<RequestLine> lines = RequestLines(log);
  ASSERT_EQ(lines.size(), 5u) << log;
  const std::pair<std::string, std::string> expected[] = {
      {"login", "refused"}, {"login", "ok"}, {"coded message 3001", "ok"}, {"coded message 3001", "refused"}};
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(lines[i].what, expected[i].first) << i;
    EXPECT_EQ(lines[i].outcome, expected[i].second) << i;
  }
}

TEST(RequestLog, ParallelSessionsAreToldApartByTheirNumbers) {
  test::ServerProcess server(Logging());
  constexpr int kSelects = 10;
  auto work = [&](const std::string& user, const std::string& password, const std::string& mark) {
    LinkTestClient client(server.Port());
    ASSERT_TRUE(client.Login(user, password));
    for (int i = 0; i < kSelects; ++i) {
      EXPECT_EQ(client.Select("select count(*) from UORG where ID <> '" + mark + "'").error, "");
    }
  };
  std::thread a(work, "MARIA", "maria", "from-a");
  std::thread b(work, "NIKOS", "nikos", "from-b");
  a.join();
  b.join();
  ASSERT_TRUE(server.WaitForLog("MARIA: disconnected") && server.WaitForLog("NIKOS: disconnected")) << server.Log();

  const std::string log = server.Log();
  const int sessionA = SessionOf(log, "MARIA");
  const int sessionB = SessionOf(log, "NIKOS");
  ASSERT_GT(sessionA, 0) << log;
  ASSERT_GT(sessionB, 0) << log;
  EXPECT_NE(sessionA, sessionB);
  int fromA = 0;
  int fromB = 0;
  for (const RequestLine& line : RequestLines(log)) {
    if (line.what.find("from-a") != std::string::npos) {
      ++fromA;
      EXPECT_EQ(line.session, sessionA) << line.what;
      EXPECT_EQ(line.user, "MARIA");
    } else if (line.what.find("from-b") != std::string::npos) {
      ++fromB;
      EXPECT_EQ(line.session, sessionB) << line.what;
      EXPECT_EQ(line.user, "NIKOS");
    }
  }
  EXPECT_EQ(fromA, kSelects);
  EXPECT_EQ(fromB, kSelects);
  // The session's other lines carry its number too.
  for (const auto& [number, user] : {std::pair{sessionA, "MARIA"}, std::pair{sessionB, "NIKOS"}}) {
    const std::string prefix = "#" + std::to_string(number) + " 127.0.0.1 ";
    EXPECT_NE(log.find(prefix + "-: connected"), std::string::npos) << log;
    EXPECT_NE(log.find(prefix + user + ": login accepted"), std::string::npos) << log;
    EXPECT_NE(log.find(prefix + user + ": disconnected"), std::string::npos) << log;
  }
}

TEST(RequestLog, OnlyTheSwitchOrTheSettingTurnsItOn) {
  test::TempDir dir;
  const std::string on = dir.File("on.conf");
  std::ofstream(on) << "log-requests = yes\n";
  struct Case {
    const char* name;
    std::vector<std::string> extra;
    bool logged;
  };
  const Case cases[] = {
      {"neither", {}, false},
      {"the switch", {"--log-requests"}, true},
      {"the setting", {"--config", on}, true},
      {"the switch wins over the setting", {"--config", on, "--log-requests=no"}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::ServerProcess::Options options;
    options.extra = c.extra;
    test::ServerProcess server(options);
    {
      LinkTestClient client(server.Port());
      ASSERT_TRUE(client.Login("MARIA", "maria"));
      EXPECT_EQ(client.Exec("update NO_SUCH_TABLE set A = 1"), "ORA-00942: table or view does not exist");
    }
    ASSERT_TRUE(server.WaitForLog("MARIA: disconnected")) << server.Log();
    EXPECT_EQ(server.Log().find(": request "), c.logged ? server.Log().find(": request login") : std::string::npos)
        << server.Log();
  }
}

TEST(RequestLog, AClientsTextCannotStartALineOfItsOwn) {
  test::ServerProcess server(Logging());
  LinkTestClient client(server.Port());
  const std::string forged = "2026-01-01 00:00:00.000 #99 127.0.0.1 ADMIN: login accepted";
  struct Case {
    const char* name;
    std::string user;
    std::string application;
    std::string version;
    std::string logged;  // the refusal as the log shows it
  };
  const Case cases[] = {
      {"a name longer than any user's, cut", "EVIL\n" + forged, "MERO", "1,31",
       R"("EVIL\n2026-01-01 00:00:00.000 #99 127.0.0…": login refused, a user name of 64 characters)"},
      {"a short name that reads as another user", "X\nADMIN: ok", "MERO", "1,31",
       R"("X\nADMIN: ok": login refused, wrong user name or password)"},
      {"an application", "NIKOS", "MERO\r\n" + forged, "1,31",
       R"(NIKOS: login refused, application "MERO\r\n2026-01-01 00:00:00.000 #99 127.0.…" is not served)"},
      {"a version", "NIKOS", "MERO", "1,31\n\"" + forged,
       R"(NIKOS: login refused, version "1,31\n\"2026-01-01 00:00:00.000 #99 127.0.…" is not accepted)"},
  };
  for (const Case& c : cases) EXPECT_FALSE(client.Login(c.user, "x", c.application, c.version)) << c.name;
  EXPECT_EQ(client.Exec("update X set A = 1\n" + forged), "ORA-01012: not logged on");
  client.ServerVersion();
  ASSERT_TRUE(server.WaitForLog(": request utility 6")) << server.Log();
  const std::string log = server.Log();
  EXPECT_EQ(log.find("\n" + forged), std::string::npos) << log;
  EXPECT_EQ(log.find("\nADMIN"), std::string::npos) << log;
  for (const Case& c : cases) EXPECT_NE(log.find(c.logged), std::string::npos) << c.name << "\n" << log;
}

TEST(RequestLog, DescriptionsOfDamagedRequestsNeverRaise) {
  auto line = [](link::MessageKind kind, std::vector<std::string> fields) {
    link::TLinkStringLine l;
    l.SetKind(kind);
    for (const std::string& f : fields) l.AddText(f);
    return link::TLinkStringLine::Parse(l.Finish());
  };
  using K = link::MessageKind;
  struct Case {
    link::TLinkStringLine request;
    std::string described;
  };
  const Case cases[] = {
      {line(K::Select, {}), "select \"\""},
      {line(K::NextPacket, {"abc\n"}), "next packet \"abc\\n\""},
      {line(K::CodedMessage, {}), "coded message \"\""},
      {line(K::CodedMessage, {"3001", "USER;secret;MERO;1,31"}), "coded message 3001"},
      {line(K::Login, {"", "USER", "secret", "MERO", "1,31"}), "login"},
      {line(K::StoredProcedure, {"x"}), "kind 27"},
  };
  for (const Case& c : cases) EXPECT_EQ(server::DescribeRequest(c.request), c.described);
}

}  // namespace
