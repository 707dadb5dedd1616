#include "server/utf8_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/encoding.h"

using namespace mero;
using namespace mero::base::literals;

namespace {

std::string ToWin1253(std::string_view utf8) {
  std::string out = "kept:";
  server::AppendUtf8AsWin1253(out, utf8);
  return out.substr(5);
}

// Every text of the code page, of any length and mix, Greek runs starting at
// every offset of an eight-byte word, comes back byte for byte.
TEST(Utf8Text, TextsOfTheCodePageComeBackWhole) {
  std::vector<char> alphabet;
  for (int b = 1; b < 256; ++b) {
    if (base::Win1253ToUtf8(std::string(1, static_cast<char>(b))) != "?" || b == '?') {
      alphabet.push_back(static_cast<char>(b));
    }
  }
  const std::string greek = "αβγδεζηθικλμνξοπρστυφχψωΆΈΉΊΌΎΏΐΰϊϋόύώ"_gr;
  std::mt19937 rng(1253);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int length = static_cast<int>(rng() % 40);
    for (int k = 0; k < length; ++k) {
      // Mostly Greek, so that the two-byte runs are long and broken up at random.
      text.push_back(rng() % 4 != 0 ? greek[rng() % greek.size()] : alphabet[rng() % alphabet.size()]);
    }
    ASSERT_EQ(ToWin1253(base::Win1253ToUtf8(text)), text) << "round " << round;
  }
}

TEST(Utf8Text, CharactersOutsideTheCodePageAndBrokenBytesBecomeQuestionMarks) {
  struct Case {
    std::string utf8;
    std::string win1253;
  };
  const std::vector<Case> cases = {
      {"αβγδ€εζηθ", "αβγδ€εζηθ"_gr},  // three bytes inside a Greek run
      {"αβγδ\xC1\x81"
       "εζ",
       "αβγδ??εζ"_gr},                               // an overlong 'A' is no character
      {"αβγ\xCE", "αβγ?"_gr},                        // cut in the middle of a character
      {"ЖЖЖЖЖЖ", "??????"},                          // two bytes, not in the code page
      {"\xCE\xA2\xCE\xA2\xCE\xA2\xCE\xA2", "????"},  // U+03A2: a hole among the capitals
      {"abc😀αβγδεζ", "abc?αβγδεζ"_gr},
      {"\x80\xBFxyzαβγδ", "??xyzαβγδ"_gr},
  };
  for (const Case& c : cases) EXPECT_EQ(ToWin1253(c.utf8), c.win1253) << c.utf8;
}

}  // namespace
