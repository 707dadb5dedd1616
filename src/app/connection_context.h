#pragma once

#include <cstdint>
#include <string>

namespace mero::link {
class TLinkClientSocket;
}

namespace mero::app {

// The process-wide connection context: written by the login sequence and by
// the connection module's hooks, read by every later part of the client.
// Texts are windows-1253.
struct ConnectionContext {
  std::string AppName;
  std::string LoginUser;      // the typed user name, trimmed and upper-cased
  std::string LoginPassword;  // the typed password, trimmed
  std::string ServerPort = "7773";
  std::string ServerAddress;
  std::int32_t LoginState = -1;  // -1 no verdict yet, 1 accepted, 0 refused
  bool LoginVerdict = false;
  bool LoggedIn = false;
  std::string CurrentUser;  // the login name in lower case, used in SQL
  std::int32_t LastCodedReply = 0;
  // The process-wide socket (the connection module's), once it is created.
  link::TLinkClientSocket* socket = nullptr;
};

ConnectionContext& Ctx();

// The built-in default server address.
inline constexpr const char* kDefaultServerAddress = "127.0.0.1";

// Waits while processing every pending event: returns at once for
// x ≤ 0.0001, else after x units of 0.864 s (x is a fraction of a day
// × 100000).
void WaitWithMessages(double x);

// Forgets the login: not logged in, no current user, no login information;
// the socket, if any, is closed.
void ResetConnection();

// Puts every value of the connection context back to its load-time value
// (ResetClientState); the socket is only forgotten, not closed.
void ResetConnectionContext();

// Sends the login information request 3001 (user;password;application;
// version from the socket) and waits for the reply 13001: at least 31 waits
// of 0.1 and at most 51.
void SendLoginRequest();

}  // namespace mero::app
