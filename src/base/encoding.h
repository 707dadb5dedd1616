#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace mero::base {

// Text inside MERO is windows-1253 bytes in std::string. These conversions are
// the only places where other encodings meet it. Characters that the target
// code page cannot hold become '?'; nothing is dropped silently.
std::string Utf8ToWin1253(std::string_view utf8);
std::string Win1253ToUtf8(std::string_view text);
// The OEM code page 737 used by text printers and DOS-style exports.
std::string Win1253ToCp737(std::string_view text);

template <std::size_t N>
struct FixedString {
  char bytes[N]{};
  constexpr FixedString(const char (&s)[N]) { std::copy_n(s, N, bytes); }
  constexpr std::string_view view() const { return {bytes, N - 1}; }
};

namespace literals {

// "Μήνυμα"_gr: a Greek literal written in UTF-8 in the source, converted to
// windows-1253 once, on first use, and kept for the life of the process.
template <FixedString S>
const std::string& operator""_gr() {
  static const std::string converted = Utf8ToWin1253(S.view());
  return converted;
}

}  // namespace literals
}  // namespace mero::base
