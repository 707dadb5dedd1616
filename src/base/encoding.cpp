#include "base/encoding.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <stdexcept>

namespace mero::base {
namespace {

// One iconv descriptor per direction and thread: opening one costs far more
// than converting a short text.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts the whole input byte by byte of the single-byte source; a byte
  // the target cannot hold becomes one '?'.
  std::string Convert(std::string_view in) {
    std::string out;
    out.resize(in.size() * 4 + 8);
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    while (srcLeft > 0) {
      if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) != static_cast<std::size_t>(-1)) break;
      if (errno == E2BIG) {
        const std::size_t used = out.size() - dstLeft;
        out.resize(out.size() * 2);
        dst = out.data() + used;
        dstLeft = out.size() - used;
        continue;
      }
      ++src;
      --srcLeft;
      *dst++ = '?';
      --dstLeft;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(out.size() - dstLeft);
    return out;
  }

 private:
  iconv_t cd_;
};

Converter& ToCp737() {
  thread_local Converter c("CP737", "WINDOWS-1253");
  return c;
}

// Code points below this limit cover every character windows-1253 holds.
constexpr char32_t kTableLimit = 0x2200;

// Tables between windows-1253 and Unicode, built once from iconv, so that the
// conversions of every text of the server and the user interface cost a
// table look-up per character.
struct Tables {
  std::array<std::string, 256> toUtf8;                   // "" where the byte is undefined
  std::array<std::uint16_t, kTableLimit> fromUnicode{};  // byte + 1; 0: not in the code page

  Tables() {
    iconv_t cd = iconv_open("UTF-8", "WINDOWS-1253");
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv cannot convert WINDOWS-1253");
    for (int b = 0; b < 256; ++b) {
      char in = static_cast<char>(b);
      char buf[8];
      char* src = &in;
      std::size_t srcLeft = 1;
      char* dst = buf;
      std::size_t dstLeft = sizeof buf;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1)) continue;
      toUtf8[static_cast<std::size_t>(b)].assign(buf, sizeof buf - dstLeft);
      const char32_t cp = Decode(toUtf8[static_cast<std::size_t>(b)]);
      if (cp < kTableLimit) fromUnicode[cp] = static_cast<std::uint16_t>(b + 1);
    }
    iconv_close(cd);
  }

  static char32_t Decode(std::string_view u) {
    const auto c0 = static_cast<unsigned char>(u[0]);
    if (u.size() == 1) return c0;
    if (u.size() == 2) return (static_cast<char32_t>(c0 & 0x1F) << 6) | (static_cast<unsigned char>(u[1]) & 0x3F);
    return (static_cast<char32_t>(c0 & 0x0F) << 12) |
           (static_cast<char32_t>(static_cast<unsigned char>(u[1]) & 0x3F) << 6) |
           (static_cast<unsigned char>(u[2]) & 0x3F);
  }
};

const Tables& CodePage() {
  static const Tables tables;
  return tables;
}

bool IsAscii(std::string_view s) {
  for (unsigned char c : s) {
    if (c >= 0x80) return false;
  }
  return true;
}

}  // namespace

std::string Utf8ToWin1253(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  const Tables& t = CodePage();
  std::string out;
  out.reserve(utf8.size());
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const std::size_t n = utf8.size();
  std::size_t i = 0;
  while (i < n) {
    const unsigned char c = p[i];
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
      ++i;
      continue;
    }
    // The lead byte says how long the sequence is; a broken sequence (a stray
    // continuation byte, a lead without its continuations) becomes one '?'.
    std::size_t want = c >= 0xC2 && c < 0xE0 ? 2 : c >= 0xE0 && c < 0xF0 ? 3 : c >= 0xF0 && c < 0xF5 ? 4 : 1;
    std::size_t len = 1;
    while (len < want && i + len < n && (p[i + len] & 0xC0) == 0x80) ++len;
    char32_t cp = 0xFFFD;
    if (len == want && want > 1) {
      cp = want == 2   ? (static_cast<char32_t>(c & 0x1F) << 6) | (p[i + 1] & 0x3F)
           : want == 3 ? (static_cast<char32_t>(c & 0x0F) << 12) | (static_cast<char32_t>(p[i + 1] & 0x3F) << 6) |
                             (p[i + 2] & 0x3F)
                       : 0x10000;  // beyond the code page
    }
    const std::uint16_t b = cp < kTableLimit ? t.fromUnicode[cp] : 0;
    out.push_back(b != 0 ? static_cast<char>(b - 1) : '?');
    i += len;
  }
  return out;
}

std::string Win1253ToUtf8(std::string_view text) {
  if (IsAscii(text)) return std::string(text);
  const Tables& t = CodePage();
  std::string out;
  out.reserve(text.size() * 2);
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x80) {
      out.push_back(ch);
      continue;
    }
    const std::string& u = t.toUtf8[c];
    if (u.empty()) out.push_back('?');
    else out += u;
  }
  return out;
}

std::string Win1253ToCp737(std::string_view text) {
  if (IsAscii(text)) return std::string(text);
  return ToCp737().Convert(text);
}

}  // namespace mero::base
