#include "app/login_sequence.h"

#include <gtest/gtest.h>

#include <QHostAddress>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QTcpServer>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/connection_context.h"
#include "app/connection_module.h"
#include "app/main_window_logic.h"
#include "app/user_rights.h"
#include "base/encoding.h"
#include "base/file_routines.h"
#include "base/runtime.h"
#include "data/remote/table_cache.h"
#include "link/client/client_socket.h"
#include "support/debug_log_lines.h"
#include "support/login_helper.h"
#include "support/scripted_presenter.h"
#include "support/server_process.h"
#include "support/temp_dir.h"
#include "ui/lookup_logic.h"

using namespace mero;
using namespace mero::base::literals;

namespace {

// The login of the main window's first show, against the real server: the
// user's settings and the debug log in a folder of the test's own, the login
// window answered from the script.
class LoginSequence : public test::ClientTest {
 protected:
  void SetUp() override {
    test::ClientTest::SetUp();
    const char* config = std::getenv("XDG_CONFIG_HOME");
    oldConfig_ = config != nullptr ? config : "";
    setenv("XDG_CONFIG_HOME", dir_.File("config").c_str(), 1);
    base::Runtime& rt = base::Rt();
    rt.paramNames = {"MYDEBUG"};
    rt.paramValues = {"1"};
    rt.paramListsExist = true;
    rt.debugLogFileName = dir_.File("debug.txt");
    app::Ctx().AppName = "MERO";
  }
  void TearDown() override {
    ui::SetLookupKeepsFilterCase(false);
    if (oldConfig_.empty()) {
      unsetenv("XDG_CONFIG_HOME");
    } else {
      setenv("XDG_CONFIG_HOME", oldConfig_.c_str(), 1);
    }
    test::ClientTest::TearDown();
  }
  // The program's words that aim the socket at the test's server.
  static std::vector<std::string> PortWord(int port) { return {"Port=" + std::to_string(port)}; }

  bool Logged(const std::string& line) const {
    const std::vector<std::string> lines = test::LogTexts(base::Rt().debugLogFileName);
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }

  test::TempDir dir_;
  std::string oldConfig_;
};

TEST_F(LoginSequence, MariaLogsInAndTheAfterLoginStepsFillTheContext) {
  test::ServerProcess server;
  test::ScriptedPresenter presenter;
  presenter.AnswerLogin("  maria", " maria ");
  app::MeroMainLogic logic(PortWord(server.Port()));
  logic.ShowHandler();

  ASSERT_TRUE(app::Ctx().LoggedIn) << server.Log();
  EXPECT_TRUE(logic.ShowHandled());
  EXPECT_FALSE(logic.CloseRequested());
  EXPECT_EQ(logic.ExitStatus(), 0);
  EXPECT_EQ(app::Ctx().LoginUser, "MARIA");  // trimmed and upper-cased
  EXPECT_EQ(app::Ctx().LoginPassword, "maria");
  EXPECT_EQ(app::Ctx().CurrentUser, "maria");
  EXPECT_EQ(logic.Caption(), "TALV Universal App (maria) 1,31");
  EXPECT_EQ(logic.VerLabel(), "V 1,31");
  EXPECT_FALSE(logic.WorkbenchVisible());
  EXPECT_FALSE(logic.WebMapVisible());
  EXPECT_TRUE(logic.HookInstalled());

  const app::UserRightsContext& u = app::UserCtx();
  EXPECT_EQ(u.UserDept, "");  // stored as "-"
  EXPECT_EQ(u.OtherDepts, "D04;D02;");
  EXPECT_EQ(u.UserDeptList, (std::vector<std::string>{"D02", "D04"}));
  EXPECT_EQ(u.DefaultDept, "D04");
  EXPECT_FALSE(u.UserRights.empty());
  EXPECT_FALSE(u.CurrentContract.empty());  // the demo's contract is open today

  EXPECT_TRUE(ui::LookupKeepsFilterCase());
  ASSERT_NE(data::MemCol(), nullptr);
  ASSERT_NE(data::MemCol()->Table("UP_OVPARAMS"), nullptr);
  EXPECT_NE(data::MemCol()->Table("QAPOL"), nullptr);
  // The login window remembers the name as typed.
  EXPECT_EQ(base::RegReadStr("MEROUserName", ""), "  maria");
  for (const char* line : {"On-TryConnecttoDB", "About to Enter Wait Loop ", "Exit wait LOOP", "Exiting TryConnecttoDB"}) {
    EXPECT_TRUE(Logged(line)) << line;
  }
  // No message: the login went through without a word.
  for (const auto& shown : presenter.AllShown()) {
    EXPECT_EQ(shown.ask, test::ScriptedPresenter::Ask::Login) << shown.text;
  }
  logic.Disconnect();
  EXPECT_TRUE(server.WaitForLog("MARIA: disconnected")) << server.Log();
}

TEST_F(LoginSequence, TheDebugPromptSetsTheLevel) {
  test::ScriptedPresenter presenter;
  presenter.AnswerInput("12");
  app::MeroMainLogic::RunDebugPrompt();
  EXPECT_EQ(base::Rt().debugLevel, 12);
  ASSERT_EQ(presenter.AllShown().size(), 1u);
  EXPECT_EQ(presenter.AllShown()[0].text, "DEBUG=");
  EXPECT_EQ(presenter.AllShown()[0].fontIndex, 3);  // the input's length
}

TEST_F(LoginSequence, AdminSeesTheSuperUserButtonsAndTheRememberedName) {
  base::RegWriteStr("MEROUserName", "admin");
  test::ServerProcess server;
  test::ScriptedPresenter presenter;
  presenter.AnswerLogin("admin", "admin");
  app::MeroMainLogic logic(PortWord(server.Port()));
  logic.ShowHandler();
  ASSERT_TRUE(app::Ctx().LoggedIn) << server.Log();
  ASSERT_FALSE(presenter.AllShown().empty());
  EXPECT_EQ(presenter.AllShown()[0].text, "admin");  // the window opened with it
  EXPECT_EQ(logic.Caption(), "TALV Universal App (admin) 1,31");
  EXPECT_TRUE(logic.WorkbenchVisible());
  EXPECT_TRUE(logic.WebMapVisible());
}

TEST_F(LoginSequence, RefusedPasswordClosesWithTheModulesMessageAndSendsNothingMore) {
  test::ServerProcess server;
  test::ScriptedPresenter presenter;
  presenter.AnswerLogin("maria", "wrong");
  app::MeroMainLogic logic(PortWord(server.Port()));
  logic.ShowHandler();
  EXPECT_FALSE(app::Ctx().LoggedIn);
  EXPECT_EQ(app::Ctx().LoginState, 0);
  EXPECT_TRUE(logic.CloseRequested());
  EXPECT_TRUE(logic.ShowHandled());
  EXPECT_EQ(logic.ExitStatus(), 1);
  EXPECT_EQ(logic.Caption(), "TALV Universal App");
  EXPECT_FALSE(logic.HookInstalled());
  EXPECT_TRUE(app::UserCtx().CurrentContract.empty());
  const std::vector<std::string> texts = presenter.Texts();
  ASSERT_EQ(texts.size(), 2u);  // the login window, then the refusal
  EXPECT_EQ(texts[1].rfind("Εσφαλμένο UserName/Password"_gr, 0), 0u) << texts[1];
}

TEST_F(LoginSequence, BlankNameOrPasswordOrCancelAsksNoServer) {
  struct Case {
    const char* name;
    bool cancel;
    const char* user;
    const char* password;
    std::string message;
  };
  const Case cases[] = {
      {"blank user", false, "   ", "maria", "Ασυμπλήρωτο UserName"_gr},
      {"blank password", false, "maria", "  ", "Ασυμπλήρωτο PassWord"_gr},
      {"cancel", true, "", "", "Ασυμπλήρωτο UserName"_gr},
  };
  for (const Case& c : cases) {
    app::ResetClientState();
    test::ScriptedPresenter presenter;
    if (c.cancel) {
      presenter.CancelLogin();
    } else {
      presenter.AnswerLogin(c.user, c.password);
    }
    app::MeroMainLogic logic({"Port=1"});
    logic.ShowHandler();
    EXPECT_EQ(logic.Module(), nullptr) << c.name;
    EXPECT_TRUE(logic.CloseRequested()) << c.name;
    EXPECT_EQ(logic.ExitStatus(), 1) << c.name;
    ASSERT_EQ(presenter.Texts().size(), 2u) << c.name;
    EXPECT_EQ(presenter.Texts()[1], c.message) << c.name;
  }
}

TEST_F(LoginSequence, NoServerShowsTheSocketsErrorOnce) {
  // A port that was free a moment ago: nothing listens there.
  int port = 0;
  {
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    port = probe.serverPort();
  }
  test::ScriptedPresenter presenter;
  presenter.AnswerLogin("maria", "maria");
  app::MeroMainLogic logic(PortWord(port));
  logic.ShowHandler();
  EXPECT_FALSE(app::Ctx().LoggedIn);
  EXPECT_EQ(app::Ctx().LoginState, -1);
  EXPECT_TRUE(logic.CloseRequested());
  const std::vector<std::string> texts = presenter.Texts();
  ASSERT_EQ(texts.size(), 2u);  // the login window and the socket's error
  EXPECT_NE(texts[1], app::ServerDidNotAnswerText("127.0.0.1", std::to_string(port)));
}

TEST_F(LoginSequence, AConnectionStillPendingIsNamed) {
  // A listener that accepts nothing, its queue filled by two connections of
  // the test's own: the client's connection stays pending.
  const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(listener, 0);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(::listen(listener, 0), 0);
  socklen_t length = sizeof address;
  ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
  const int port = ntohs(address.sin_port);
  std::vector<int> fillers;
  for (int i = 0; i < 2; ++i) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    fillers.push_back(fd);
  }
  test::ScriptedPresenter presenter;
  presenter.AnswerLogin("maria", "maria");
  {
    app::MeroMainLogic logic(PortWord(port));
    logic.ShowHandler();
    EXPECT_FALSE(app::Ctx().LoggedIn);
    EXPECT_TRUE(logic.CloseRequested());
  }
  for (const int fd : fillers) ::close(fd);
  ::close(listener);
  const std::vector<std::string> texts = presenter.Texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[1], app::ServerDidNotAnswerText("127.0.0.1", std::to_string(port)));
}

}  // namespace
