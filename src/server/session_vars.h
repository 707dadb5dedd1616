#pragma once

#include <optional>
#include <string>

namespace mero::server {

// What a session knows about its user, shared by the SQL engine and the
// server functions of that session's connection.
struct SessionVars {
  std::string loginUser;      // the user name as the user table holds it
  std::string clientAddress;  // the peer's address, for the audit
  // The package variables P1.USRID and P1.USRIP, set by the update blocks.
  std::optional<std::string> usrid;
  std::optional<std::string> usrip;
};

}  // namespace mero::server
