#include "server/server_log.h"

#include <atomic>
#include <cstdio>
#include <mutex>

#include "base/clock.h"
#include "base/date_format.h"
#include "server/utf8_text.h"

namespace mero::server {
namespace {

std::atomic<bool> g_quiet{false};

constexpr char kHex[] = "0123456789ABCDEF";

void AppendHex(std::string& line, char32_t value, int digits) {
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) line.push_back(kHex[(value >> shift) & 0x0F]);
}

// Code points that move the cursor or the reading order: shown, they could
// make a text look like another line or another part of this one.
bool Invisible(char32_t c) {
  return c < 0xA0 || c == 0x2028 || c == 0x2029 || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2066 && c <= 0x2069);
}

}  // namespace

void AppendEscaped(std::string& line, std::string_view text, bool quoted, std::size_t maxChars) {
  std::size_t chars = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (chars++ == maxChars) {
      line += "…";
      return;
    }
    const std::size_t start = pos;
    const char c = text[pos];
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      ++pos;
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
        AppendHex(line, b, 2);
      }
      continue;
    }
    const char32_t cp = NextCodePoint(text, pos);
    const std::size_t length = pos - start;
    const char32_t least = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
    if (length == 1 || cp < least || (cp >= 0xD800 && cp < 0xE000) || cp > 0x10FFFF) {
      // Not UTF-8 (an overlong form could hide a line break): byte by byte.
      line += "\\x";
      AppendHex(line, b, 2);
      pos = start + 1;
    } else if (Invisible(cp)) {
      line += "\\u";
      AppendHex(line, cp, 4);
    } else {
      line.append(text.substr(start, length));
    }
  }
}

std::string QuotedText(std::string_view text, std::size_t maxChars) {
  std::string out = "\"";
  AppendEscaped(out, text, true, maxChars);
  out.push_back('"');
  return out;
}

std::string LoggedName(std::string_view name) {
  if (name.empty()) return "-";
  std::string bare;
  AppendEscaped(bare, name, true, kLoggedNameLength);
  if (bare == name && name.find_first_of(" :") == std::string_view::npos) return bare;
  return QuotedText(name, kLoggedNameLength);
}

void Log(const std::string& text) {
  if (g_quiet.load()) return;
  static std::mutex mutex;
  std::string line = base::FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", base::Now()) + " ";
  AppendEscaped(line, text, false, kLogLineLength);
  line.push_back('\n');
  std::lock_guard lock(mutex);
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

void SetLogQuiet(bool quiet) { g_quiet.store(quiet); }

void LogSession(const SessionName& session, const std::string& user, const std::string& text) {
  Log("#" + std::to_string(session.number) + " " + session.peer + " " + LoggedName(user) + ": " + text);
}

}  // namespace mero::server
