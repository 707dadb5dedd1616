#pragma once

#include <optional>
#include <string>
#include <vector>

namespace mero::link {

// What the program's arguments override in the socket. Each word is looked
// for without regard to case; the first argument containing it counts.
struct TLinkCommandLine {
  std::optional<int> port;                    // "Port=": characters 6 to 10 as an integer > 0
  bool http = false;                          // "HTTP"
  std::optional<std::string> proxiedAddress;  // "ServerProxiedAddress": the text after the first "="
  std::optional<int> proxiedPort;             // "ServerProxiedPort": the same, as an integer
  std::optional<std::string> address;         // "IPAddress": the text after the first "="
  bool compression = false;                   // "Compression"
  bool loginDialog = false;                   // "Login"

  static TLinkCommandLine Parse(const std::vector<std::string>& args);
};

}  // namespace mero::link
