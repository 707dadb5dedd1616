// What a connection may cost the server: a login's user name is bounded
// before it is logged or remembered, a connection that does not log in is
// ended, and sessions beyond the limit are refused. A real mero-server
// process where the connection matters.

#include <gtest/gtest.h>

#include <thread>

#include "base/encoding.h"
#include "server/request_handler.h"
#include "server_db.h"
#include "support/link_test_client.h"
#include "support/server_process.h"

using namespace mero;
using namespace mero::base::literals;
using namespace std::chrono_literals;
using test::LinkTestClient;

namespace {

link::TLinkStringLine LoginLine(const std::string& user, const std::string& password) {
  link::TLinkStringLine line;
  line.SetKind(link::MessageKind::Login);
  line.AddInt(1);
  line.AddText(user);
  line.AddText(password);
  line.AddText("MERO");
  line.AddText(std::string("1,31\x02", 5));
  return line;
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// A name is measured as the client sends it, one byte a character: sixteen
// Greek letters (32 bytes of UTF-8) are a name a user can have.
TEST(LoginLimits, ANameLongerThanAnyUsersLeavesNoThrottleRecord) {
  server::SetLogQuiet(true);
  test::ServerDb db;
  server::ServerConfig config;
  config.database = db.Path();
  config.loginDelayMs = 1;
  struct Case {
    const char* name;
    std::string user;
    std::size_t records;  // after the failed login
  };
  const Case cases[] = {
      {"a name as wide as the column", "ΑΒΓΔΕΖΗΘΙΚΛΜΝΞΟΠ"_gr, 1},
      {"one character more", "ΑΒΓΔΕΖΗΘΙΚΛΜΝΞΟΠΡ"_gr, 0},
      {"a megabyte", std::string(1 << 20, 'N'), 0},
      {"blanks around a short name are no part of it", std::string(1 << 20, ' ') + "NIKOS ", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    server::ServerContext fresh(config);
    server::RequestHandler handler(fresh, {1, "127.0.0.1"});
    const auto out =
        handler.Handle(link::TLinkStringLine::Parse(LoginLine(c.user, "x").Finish()), link::acNoCompression);
    ASSERT_EQ(out.replies.size(), 1u);
    const auto verdict = link::TLinkStringLine::Parse(std::string(out.replies[0]));
    EXPECT_TRUE(verdict.Is(link::MessageKind::Login));
    EXPECT_EQ(verdict.Field(1), "0");
    EXPECT_EQ(fresh.throttle.Records(server::LoginThrottle::Clock::now()), c.records);
  }
  server::SetLogQuiet(false);
}

TEST(LoginLimits, AHugeNameCostsOneShortLineAndTheSessionGoesOn) {
  test::ServerProcess server;
  LinkTestClient client(server.Port());
  const std::size_t before = server.Log().size();
  constexpr int kTries = 4;
  for (int i = 0; i < kTries; ++i) {
    std::string name(1 << 20, static_cast<char>('A' + i));
    name[100] = '\n';
    EXPECT_FALSE(client.Login(name, "x"));
  }
  EXPECT_TRUE(client.Login("MARIA", "maria"));
  ASSERT_TRUE(server.WaitForLog("MARIA: login accepted")) << server.Log();
  const std::string log = server.Log();
  EXPECT_EQ(Count(log, "login refused, a user name of 1048576 characters is longer than any user's"),
            static_cast<std::size_t>(kTries));
  EXPECT_LT(log.size() - before, kTries * 300u) << log;
}

test::ServerProcess::Options With(std::vector<std::string> extra) {
  test::ServerProcess::Options options;
  options.extra = std::move(extra);
  return options;
}

TEST(SessionLimits, AConnectionThatDoesNotLogInInTimeIsEnded) {
  test::ServerProcess server(With({"--login-timeout", "1"}));
  LinkTestClient silent(server.Port());
  LinkTestClient chatty(server.Port());  // busy, but never logged in
  LinkTestClient working(server.Port());
  ASSERT_TRUE(working.Login("MARIA", "maria"));

  bool chattyEnded = false;
  for (const auto until = std::chrono::steady_clock::now() + 10s;
       !chattyEnded && std::chrono::steady_clock::now() < until;) {
    try {
      chatty.ServerVersion();
      std::this_thread::sleep_for(200ms);
    } catch (const std::runtime_error&) {
      chattyEnded = true;
    }
  }
  EXPECT_TRUE(chattyEnded);
  EXPECT_TRUE(silent.WaitClosed(10s));
  ASSERT_TRUE(server.WaitForLog("-: closed: not logged in within 1 s")) << server.Log();
  // A logged-in session may be idle as long as it likes.
  EXPECT_TRUE(working.Quiet(1500ms));
  EXPECT_EQ(working.Select("select count(*) from UORG").error, "");
  EXPECT_EQ(Count(server.Log(), "closed: not logged in within 1 s"), 2u) << server.Log();
}

TEST(SessionLimits, AConnectionBeyondTheLimitIsToldWhyAndClosed) {
  test::ServerProcess server(With({"--max-sessions", "2"}));
  auto first = std::make_unique<LinkTestClient>(server.Port());
  ASSERT_TRUE(first->Login("MARIA", "maria"));
  LinkTestClient second(server.Port());
  ASSERT_TRUE(second.Login("NIKOS", "nikos"));

  // The client sends its login at once and reads afterwards.
  LinkTestClient third(server.Port());
  third.Send(LoginLine("ADMIN", "admin"));
  const link::TLinkStringLine told = third.Receive();
  EXPECT_TRUE(told.Is(link::MessageKind::MessageBox)) << told.DispatchKind();
  EXPECT_EQ(told.Field(1), "ORA-00018: maximum number of sessions exceeded");
  EXPECT_TRUE(third.WaitClosed(5s));
  EXPECT_TRUE(server.WaitForLog("-: refused, 2 sessions already (max-sessions)")) << server.Log();
  EXPECT_EQ(second.Select("select count(*) from UORG").error, "");  // the sessions within go on

  // A session that ends frees its place.
  first.reset();
  ASSERT_TRUE(server.WaitForLog("MARIA: disconnected")) << server.Log();
  bool admitted = false;
  for (const auto until = std::chrono::steady_clock::now() + 5s;
       !admitted && std::chrono::steady_clock::now() < until;) {
    LinkTestClient again(server.Port());
    try {
      admitted = again.Login("ADMIN", "admin");
    } catch (const std::runtime_error&) {
      std::this_thread::sleep_for(50ms);  // its thread was still finishing
    }
  }
  EXPECT_TRUE(admitted) << server.Log();
}

}  // namespace
