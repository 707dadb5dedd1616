#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace mero::server {

// UTF-8 text routines of the server: the database stores UTF-8, the client
// speaks windows-1253, and Oracle's case rules are those of the client's
// UpperStr/LowerStr (accented Greek capitals keep their accent, ς → Σ).

// True when every byte is below 0x80.
bool IsAscii(std::string_view text);

// Characters, not bytes; a broken sequence counts one per byte.
std::size_t Utf8Length(std::string_view text);

// Appends the text in windows-1253 to out; characters the code page cannot
// hold become '?'. ASCII is copied as it is.
void AppendUtf8AsWin1253(std::string& out, std::string_view utf8);

// Oracle's UPPER and LOWER on UTF-8: ASCII and Greek letters; everything else
// is kept.
std::string Utf8Upper(std::string_view text);
std::string Utf8Lower(std::string_view text);

// Reads one code point at pos and moves pos past it; a broken sequence reads
// as its first byte.
char32_t NextCodePoint(std::string_view text, std::size_t& pos);

}  // namespace mero::server
