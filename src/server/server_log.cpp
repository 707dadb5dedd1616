#include "server/server_log.h"

#include <atomic>
#include <cstdio>
#include <mutex>

#include "base/clock.h"
#include "base/date_format.h"

namespace mero::server {
namespace {

std::atomic<bool> g_quiet{false};

}  // namespace

void AppendEscaped(std::string& line, std::string_view text, bool quoted) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (quoted && (c == '"' || c == '\\')) {
      line.push_back('\\');
      line.push_back(c);
    } else if (b >= 0x20 && b != 0x7F) {
      line.push_back(c);
    } else if (c == '\n') {
      line += "\\n";
    } else if (c == '\r') {
      line += "\\r";
    } else if (c == '\t') {
      line += "\\t";
    } else {
      line += "\\x";
      line.push_back(kHex[b >> 4]);
      line.push_back(kHex[b & 0x0F]);
    }
  }
}

void Log(const std::string& text) {
  if (g_quiet.load()) return;
  static std::mutex mutex;
  std::string line = base::FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", base::Now()) + " ";
  AppendEscaped(line, text, false);
  line.push_back('\n');
  std::lock_guard lock(mutex);
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

void SetLogQuiet(bool quiet) { g_quiet.store(quiet); }

void LogSession(const SessionName& session, const std::string& user, const std::string& text) {
  Log("#" + std::to_string(session.number) + " " + session.peer + " " + (user.empty() ? "-" : user) + ": " + text);
}

}  // namespace mero::server
