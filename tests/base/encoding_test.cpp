#include "base/encoding.h"

#include <gtest/gtest.h>

using namespace mero;

namespace {

using namespace mero::base::literals;

TEST(Encoding, GreekLiteralBecomesWin1253Once) {
  const std::string& a = "Μήνυμα"_gr;
  EXPECT_EQ(a, "\xCC\xDE\xED\xF5\xEC\xE1");
  EXPECT_EQ(&a, &"Μήνυμα"_gr);  // the same converted object every time
}

TEST(Encoding, RoundTripsEveryWin1253Letter) {
  std::string all;
  for (int c = 0x20; c < 0x100; ++c) {
    // Code points that windows-1253 leaves undefined.
    if (c == 0x81 || c == 0x88 || c == 0x8A || c == 0x8C || c == 0x8D || c == 0x8E || c == 0x8F || c == 0x90 ||
        c == 0x98 || c == 0x9A || c == 0x9C || c == 0x9D || c == 0x9E || c == 0x9F || c == 0xAA || c == 0xD2 ||
        c == 0xFF) {
      continue;
    }
    all.push_back(static_cast<char>(c));
  }
  EXPECT_EQ(base::Utf8ToWin1253(base::Win1253ToUtf8(all)), all);
}

TEST(Encoding, UnmappableCharactersBecomeQuestionMarks) {
  EXPECT_EQ(base::Utf8ToWin1253("a\xE4\xB8\xAD"
                                "b"),
            "a?b");                                 // a CJK letter
  EXPECT_EQ(base::Utf8ToWin1253("x\xFFy"), "x?y");  // invalid UTF-8
  EXPECT_EQ(base::Win1253ToUtf8("\xD2"), "?");      // undefined in windows-1253
}

TEST(Encoding, OemCodePage737) {
  // Α (0xC1 in windows-1253) is 0x80 in code page 737; ω is 0xE0.
  EXPECT_EQ(base::Win1253ToCp737("\xC1\xF9 A"), "\x80\xE0 A");
}

}  // namespace
