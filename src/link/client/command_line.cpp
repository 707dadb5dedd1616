#include "link/client/command_line.h"

#include <cstdint>
#include <string_view>

#include "base/number_format.h"
#include "base/text_routines.h"

namespace mero::link {
namespace {

// The first argument that contains the word (without regard to case) and
// none of the longer words given.
const std::string* FindWord(const std::vector<std::string>& args, std::string_view word, std::string_view unless = {}) {
  const std::string upperWord = base::UpperStr(word);
  const std::string upperUnless = base::UpperStr(unless);
  for (const std::string& arg : args) {
    const std::string upper = base::UpperStr(arg);
    if (upper.find(upperWord) == std::string::npos) continue;
    if (!upperUnless.empty() && upper.find(upperUnless) != std::string::npos) continue;
    return &arg;
  }
  return nullptr;
}

std::string AfterEquals(const std::string& arg) {
  const std::size_t eq = arg.find('=');
  return eq == std::string::npos ? std::string() : arg.substr(eq + 1);
}

}  // namespace

TLinkCommandLine TLinkCommandLine::Parse(const std::vector<std::string>& args) {
  TLinkCommandLine out;
  // "ServerProxiedPort=" also holds "Port=": it must not move the server's port.
  if (const std::string* arg = FindWord(args, "Port=", "ServerProxiedPort")) {
    std::int32_t value = 0;
    const std::string digits = arg->size() > 5 ? arg->substr(5, 5) : std::string();
    if (base::TryStrToInt(digits, value) && value > 0) out.port = value;
  }
  out.http = FindWord(args, "HTTP") != nullptr;
  if (const std::string* arg = FindWord(args, "ServerProxiedAddress")) out.proxiedAddress = AfterEquals(*arg);
  if (const std::string* arg = FindWord(args, "ServerProxiedPort")) {
    std::int32_t value = 0;
    out.proxiedPort = base::TryStrToInt(AfterEquals(*arg), value) ? value : 0;
  }
  if (const std::string* arg = FindWord(args, "IPAddress")) out.address = AfterEquals(*arg);
  out.compression = FindWord(args, "Compression") != nullptr;
  out.loginDialog = FindWord(args, "Login") != nullptr;
  return out;
}

}  // namespace mero::link
