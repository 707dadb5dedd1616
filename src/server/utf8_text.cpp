#include "server/utf8_text.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "base/encoding.h"
#include "base/text_routines.h"

namespace mero::server {
namespace {

// Every character of windows-1253 lies below this code point.
constexpr char32_t kCodePageLimit = 0x2200;
// Every letter with a case in windows-1253 lies below this code point.
constexpr char32_t kCaseLimit = 0x400;

struct Tables {
  std::array<std::uint8_t, kCodePageLimit> toWin1253{};  // 0: not in the code page (or NUL)
  std::array<char32_t, kCaseLimit> upper{};
  std::array<char32_t, kCaseLimit> lower{};

  // Built from the client's own code page and case routines, so that the
  // server's UPPER agrees with UpperStr byte for byte.
  Tables() {
    for (char32_t c = 0; c < kCaseLimit; ++c) upper[c] = lower[c] = c;
    std::array<char32_t, 256> cp{};
    for (int b = 0; b < 256; ++b) {
      const std::string u = base::Win1253ToUtf8(std::string(1, static_cast<char>(b)));
      std::size_t pos = 0;
      cp[static_cast<std::size_t>(b)] = (u == "?" && b != '?') ? 0 : NextCodePoint(u, pos);
      const char32_t c = cp[static_cast<std::size_t>(b)];
      if (c != 0 && c < kCodePageLimit) toWin1253[c] = static_cast<std::uint8_t>(b);
    }
    for (int b = 1; b < 256; ++b) {
      const char32_t c = cp[static_cast<std::size_t>(b)];
      if (c == 0 || c >= kCaseLimit) continue;
      const auto ub = static_cast<unsigned char>(base::UpperChar(static_cast<char>(b)));
      const auto lb = static_cast<unsigned char>(base::LowerChar(static_cast<char>(b)));
      if (cp[ub] != 0 && cp[ub] < kCaseLimit) upper[c] = cp[ub];
      if (cp[lb] != 0 && cp[lb] < kCaseLimit) lower[c] = cp[lb];
    }
  }
};

const Tables& T() {
  static const Tables tables;
  return tables;
}

void AppendCodePoint(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::string MapCase(std::string_view text, const std::array<char32_t, kCaseLimit>& map) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    const auto b = static_cast<unsigned char>(text[pos]);
    if (b < 0x80) {
      out.push_back(static_cast<char>(map[b]));
      ++pos;
      continue;
    }
    const std::size_t start = pos;
    const char32_t c = NextCodePoint(text, pos);
    if (pos - start > 1 && c < kCaseLimit && map[c] != c) {
      AppendCodePoint(out, map[c]);
    } else {
      out.append(text.substr(start, pos - start));
    }
  }
  return out;
}

}  // namespace

bool IsAscii(std::string_view text) {
  const char* p = text.data();
  std::size_t n = text.size();
  while (n >= 8) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    if ((w & 0x8080808080808080ULL) != 0) return false;
    p += 8;
    n -= 8;
  }
  while (n > 0) {
    if (static_cast<unsigned char>(*p) >= 0x80) return false;
    ++p;
    --n;
  }
  return true;
}

char32_t NextCodePoint(std::string_view text, std::size_t& pos) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  const unsigned char c = p[pos];
  if (c < 0x80) {
    ++pos;
    return c;
  }
  const std::size_t want = c >= 0xC2 && c < 0xE0 ? 2 : c >= 0xE0 && c < 0xF0 ? 3 : c >= 0xF0 && c < 0xF5 ? 4 : 1;
  std::size_t len = 1;
  while (len < want && pos + len < n && (p[pos + len] & 0xC0) == 0x80) ++len;
  if (len != want || want == 1) {
    ++pos;
    return c;
  }
  char32_t cp = c & (want == 2 ? 0x1F : want == 3 ? 0x0F : 0x07);
  for (std::size_t i = 1; i < len; ++i) cp = (cp << 6) | (p[pos + i] & 0x3F);
  pos += len;
  return cp;
}

std::size_t Utf8Length(std::string_view text) {
  std::size_t count = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (static_cast<unsigned char>(text[pos]) < 0x80) {
      ++pos;
    } else {
      NextCodePoint(text, pos);
    }
    ++count;
  }
  return count;
}

void AppendUtf8AsWin1253(std::string& out, std::string_view utf8) {
  const Tables& t = T();
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const std::size_t n = utf8.size();
  // Each character takes at least one byte of UTF-8 and exactly one byte of
  // windows-1253, so the text never grows.
  const std::size_t start = out.size();
  out.resize(start + n);
  char* dst = out.data() + start;
  std::size_t i = 0;
  while (i < n) {
    // Eight bytes at a time while they are ASCII, or four two-byte
    // characters (Greek), each as the one-by-one path below reads it.
    while (i + 8 <= n) {
      std::uint64_t word;
      std::memcpy(&word, p + i, 8);
      if ((word & 0x8080808080808080ULL) == 0) {
        std::memcpy(dst, &word, 8);
        dst += 8;
        i += 8;
        continue;
      }
      if ((word & 0xC0E0C0E0C0E0C0E0ULL) != 0x80C080C080C080C0ULL) break;
      std::uint8_t b[4];
      bool overlong = false;
      for (int k = 0; k < 4; ++k) {
        const auto lead = static_cast<unsigned>(word >> (16 * k)) & 0xFF;
        const auto cont = static_cast<unsigned>(word >> (16 * k + 8)) & 0xFF;
        overlong = overlong || lead < 0xC2;
        b[k] = t.toWin1253[((lead & 0x1F) << 6) | (cont & 0x3F)];
      }
      if (overlong) break;
      for (int k = 0; k < 4; ++k) dst[k] = b[k] != 0 ? static_cast<char>(b[k]) : '?';
      dst += 4;
      i += 8;
    }
    if (i == n) break;
    const unsigned char c = p[i];
    if (c < 0x80) {
      *dst++ = static_cast<char>(c);
      ++i;
      continue;
    }
    // Greek and the Latin-1 signs: two bytes, looked up at once.
    if (c >= 0xC2 && c < 0xE0 && i + 1 < n && (p[i + 1] & 0xC0) == 0x80) {
      const std::uint8_t b = t.toWin1253[(static_cast<char32_t>(c & 0x1F) << 6) | (p[i + 1] & 0x3F)];
      *dst++ = b != 0 ? static_cast<char>(b) : '?';
      i += 2;
      continue;
    }
    std::size_t pos = i;
    const char32_t cp = NextCodePoint(utf8, pos);
    const bool broken = pos - i == 1;  // a byte of no sequence
    const std::uint8_t b = !broken && cp < kCodePageLimit ? t.toWin1253[cp] : 0;
    *dst++ = b != 0 ? static_cast<char>(b) : '?';
    i = pos;
  }
  out.resize(static_cast<std::size_t>(dst - out.data()));
}

std::string Utf8Upper(std::string_view text) { return MapCase(text, T().upper); }

std::string Utf8Lower(std::string_view text) { return MapCase(text, T().lower); }

}  // namespace mero::server
