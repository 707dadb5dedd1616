#include "server/server_config.h"

#include <fstream>
#include <stdexcept>
#include <string_view>

#include "base/number_format.h"
#include "base/text_routines.h"

namespace mero::server {
namespace {

int ParseInt(const std::string& text, const std::string& what) {
  std::int32_t v = 0;
  if (!base::TryStrToInt(text, v)) throw std::invalid_argument(what + " must be a number, not \"" + text + "\"");
  return v;
}

// The items of a list separated by any of the separator characters.
std::vector<std::string> Items(const std::string& text, std::string_view separators) {
  std::vector<std::string> out;
  std::string item;
  for (char c : text + separators.front()) {
    if (separators.find(c) == std::string_view::npos) {
      item.push_back(c);
      continue;
    }
    if (!base::StrTrim(item).empty()) out.push_back(base::StrTrim(item));
    item.clear();
  }
  return out;
}

}  // namespace

bool Endpoint::Cipher() const { return port >= 7771 && port <= 7779; }

void ServerConfig::ApplyDefaults() {
  if (listen.empty()) listen.push_back(Endpoint{});
}

int ParseAtLeast(const std::string& text, const std::string& what, int least) {
  std::int32_t v = 0;
  if (!base::TryStrToInt(base::StrTrim(text), v) || v < least) {
    throw std::invalid_argument(what + " must be a whole number of at least " + std::to_string(least) + ", not \"" +
                                text + "\"");
  }
  return v;
}

bool ParseSwitch(const std::string& text, const std::string& what) {
  const std::string t = base::LowerStr(base::StrTrim(text));
  if (t == "yes" || t == "on" || t == "true" || t == "1") return true;
  if (t == "no" || t == "off" || t == "false" || t == "0") return false;
  throw std::invalid_argument(what + " must be yes or no, not \"" + text + "\"");
}

Endpoint ParseEndpoint(const std::string& text) {
  const std::string t = base::StrTrim(text);
  Endpoint e;
  const std::size_t colon = t.rfind(':');
  const std::string portText = colon == std::string::npos ? t : t.substr(colon + 1);
  if (colon != std::string::npos && colon > 0) e.address = t.substr(0, colon);
  std::int32_t port = 0;
  if (!base::TryStrToInt(portText, port) || port < 0 || port > 65535) {
    throw std::invalid_argument("listen address must be ADDR:PORT with a port from 0 (any free port) to 65535, not \"" +
                                text + "\"");
  }
  e.port = port;
  return e;
}

void LoadConfigFile(const std::string& path, ServerConfig& config) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot read the configuration file " + path);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    const std::string t = base::StrTrim(line);
    if (t.empty() || t[0] == '#') continue;
    const std::size_t eq = t.find('=');
    const std::string where = path + ":" + std::to_string(number) + ": ";
    if (eq == std::string::npos) throw std::runtime_error(where + "expected key = value");
    const std::string key = base::LowerStr(base::StrTrim(t.substr(0, eq)));
    const std::string value = base::StrTrim(t.substr(eq + 1));
    try {
      if (key == "db") config.database = value;
      else if (key == "listen")
        for (const std::string& e : Items(value, ", ")) config.listen.push_back(ParseEndpoint(e));
      else if (key == "files") config.filesDir = value;
      else if (key == "application") config.applicationName = value;
      // A version such as "1,31" holds a comma, so versions are separated by ';' or blanks.
      else if (key == "versions") config.acceptedVersions = Items(value, "; ");
      else if (key == "busy-timeout") config.busyTimeoutMs = ParseInt(value, "busy-timeout");
      else if (key == "login-delay") config.loginDelayMs = ParseInt(value, "login-delay");
      else if (key == "login-timeout") config.loginTimeoutS = ParseAtLeast(value, "login-timeout", 1);
      else if (key == "max-sessions") config.maxSessions = ParseAtLeast(value, "max-sessions", 1);
      else if (key == "wal-pages") config.walPages = ParseInt(value, "wal-pages");
      else if (key == "log-requests") config.logRequests = ParseSwitch(value, "log-requests");
      else throw std::invalid_argument("unknown setting \"" + key + "\"");
    } catch (const std::invalid_argument& e) {
      throw std::runtime_error(where + e.what());
    }
  }
}

}  // namespace mero::server
