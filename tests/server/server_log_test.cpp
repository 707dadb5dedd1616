// How the server's log writes what a client sent: never a line of its own,
// never unbounded, and a name never reads as another part of the line.

#include "server/server_log.h"

#include <gtest/gtest.h>

#include <string>

using namespace mero;

namespace {

std::string Escaped(std::string_view text, bool quoted, std::size_t maxChars = std::string::npos) {
  std::string out;
  server::AppendEscaped(out, text, quoted, maxChars);
  return out;
}

TEST(ServerLog, EverythingThatCouldBreakOrHideALineIsEscaped) {
  struct Case {
    const char* name;
    std::string text;
    std::string plain;   // as Log writes it
    std::string quoted;  // between quotes
  };
  const Case cases[] = {
      {"plain text and Greek letters stay", "ADMIN Πρυτανεία", "ADMIN Πρυτανεία", "ADMIN Πρυτανεία"},
      {"line breaks and tabs", "a\nb\rc\td", R"(a\nb\rc\td)", R"(a\nb\rc\td)"},
      {"other control characters and DEL", std::string("a\0b\x1B[2J\x7F", 8), R"(a\x00b\x1B[2J\x7F)",
       R"(a\x00b\x1B[2J\x7F)"},
      {"quotes and backslashes only between quotes", R"(say "a\b")", R"(say "a\b")", R"(say \"a\\b\")"},
      {"C1 controls (NEL)",
       "a\xC2\x85"
       "b",
       R"(a\u0085b)", R"(a\u0085b)"},
      {"line and paragraph separators",
       "a\xE2\x80\xA8"
       "b\xE2\x80\xA9",
       R"(a\u2028b\u2029)", R"(a\u2028b\u2029)"},
      {"reading-order overrides",
       "a\xE2\x80\xAE"
       "b",
       R"(a\u202Eb)", R"(a\u202Eb)"},
      {"an overlong line break, byte by byte",
       "a\xC0\x8A"
       "b\xE0\x80\x8A",
       R"(a\xC0\x8Ab\xE0\x80\x8A)", R"(a\xC0\x8Ab\xE0\x80\x8A)"},
      {"bytes that are not UTF-8", "a\xFF\xC3", R"(a\xFF\xC3)", R"(a\xFF\xC3)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Escaped(c.text, false), c.plain);
    EXPECT_EQ(Escaped(c.text, true), c.quoted);
  }
}

TEST(ServerLog, TextsAreCutByCharacters) {
  EXPECT_EQ(Escaped("abcdef", false, 3), "abc…");
  EXPECT_EQ(Escaped("abc", false, 3), "abc");
  EXPECT_EQ(Escaped("αβγδ", false, 2), "αβ…");           // characters, not bytes
  EXPECT_EQ(Escaped("\n\n\n\n", false, 2), R"(\n\n…)");  // an escape is one character of the text
  EXPECT_EQ(server::QuotedText("ab\"cd", 3), R"("ab\"…")");
  const std::string huge(1 << 20, 'x');
  EXPECT_EQ(server::QuotedText(huge, 10), "\"" + std::string(10, 'x') + "…\"");
}

TEST(ServerLog, NamesAreBareOnlyWhenNothingInThemCouldMislead) {
  struct Case {
    std::string name;
    std::string logged;
  };
  const Case cases[] = {
      {"MARIA", "MARIA"},
      {"ΕΛΕΝΗ", "ΕΛΕΝΗ"},
      {"", "-"},
      {"ADMIN: login accepted", R"("ADMIN: login accepted")"},
      {"A B", R"("A B")"},
      {"X\nADMIN", R"("X\nADMIN")"},
      {"\"Q\"", R"("\"Q\"")"},
      {std::string(41, 'N'), "\"" + std::string(40, 'N') + "…\""},
      {std::string(40, 'N'), std::string(40, 'N')},
  };
  for (const Case& c : cases) EXPECT_EQ(server::LoggedName(c.name), c.logged) << c.name;
}

}  // namespace
