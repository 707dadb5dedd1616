#pragma once

// Logging in for the tests of the client, and the fixture they start from.
// Header-only: it needs the client's libraries (app), which the support
// library does not link.

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/client_state.h"
#include "app/connection_context.h"
#include "app/connection_module.h"
#include "link/client/client_socket.h"

namespace mero::test {

// A test of the client that starts and ends with the client's process-wide
// state reset, so that it sees nothing another test left behind.
class ClientTest : public ::testing::Test {
 protected:
  void SetUp() override { app::ResetClientState(); }
  void TearDown() override { app::ResetClientState(); }
};

// How many waits of 0.1 (86 ms each) a login is given for its verdict.
inline constexpr int kLoginWaits = 116;

// Logs in the way the login sequence does: the connection context gets what
// the login window collects, the connection module is created (its socket
// connects at once), and the verdict is awaited in LoginState, which stays
// -1 when none came.
inline std::unique_ptr<app::TDM1> LoginThroughModule(int port, const std::string& user = "MARIA",
                                                     const std::string& password = "maria",
                                                     std::vector<std::string> args = {}) {
  app::ConnectionContext& c = app::Ctx();
  c.AppName = "MERO";
  c.LoginUser = user;
  c.LoginPassword = password;
  c.ServerPort = std::to_string(port);
  c.ServerAddress = "127.0.0.1";
  c.LoginState = -1;
  auto module = std::make_unique<app::TDM1>(std::move(args));
  for (int i = 0; i < kLoginWaits && c.LoginState == -1; ++i) app::WaitWithMessages(0.1);
  return module;
}

// A socket of a test's own, logged in on a session of its own beside the
// connection module's, with the module's SQL dialect. Raises when the login
// is refused.
inline std::unique_ptr<link::TLinkClientSocket> LoginOwnSocket(int port, const std::string& user = "MARIA",
                                                               const std::string& password = "maria") {
  auto socket = std::make_unique<link::TLinkClientSocket>();
  link::TLinkClientSocket& s = *socket;
  // A blocking connect returns once the verdict is in.
  s.SetClientType(link::ctBlocking);
  s.SetConnectAction(link::caCustomConnect);
  s.SetAutoLoginDlg(link::ltLoginNoDlg);
  s.SetProgramArguments({});
  s.SetUpdateSQLSyntax(link::usOracle);
  s.SetDateMaskForSQL("dd/mm/yyyy");
  s.SetDateTimeMaskForSQL("dd/mm/yyyy hh:nn:ss");
  s.OnCustomConnect = [&s, port, user, password] {
    s.SetUserName(user);
    s.SetPassword(password);
    s.SetApplicationName("MERO");
    s.SetApplicationVersion("1,31");
    s.SetHost("127.0.0.1");
    s.SetPort(port);
  };
  bool verified = false;
  s.OnLoginAttempt = [&verified](bool v) { verified = v; };
  s.Loaded();
  s.OnLoginAttempt = nullptr;
  if (!verified) throw std::runtime_error("the login of " + user + " was refused");
  return socket;
}

}  // namespace mero::test
