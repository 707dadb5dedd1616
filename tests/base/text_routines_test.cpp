#include "base/text_routines.h"

#include <gtest/gtest.h>

#include "base/encoding.h"

using namespace mero;
using namespace mero::base::literals;

namespace {

TEST(TextRoutines, StrTrimRemovesBlanksAndLineControlsOnly) {
  EXPECT_EQ(base::StrTrim(" \t\r\n\v\f abc \x0B"), "abc");
  EXPECT_EQ(base::StrTrim("\x01"
                          "abc\x1F"),
            "\x01"
            "abc\x1F");  // other controls stay
  EXPECT_EQ(base::StrTrim("   "), "");
}

TEST(TextRoutines, GetNFieldTable) {
  struct Case {
    const char* s;
    const char* sep;
    int n;
    const char* expected;
  };
  const Case cases[] = {
      {"a;b;c", ";", 3, "c"}, {"a;b;c", ";", 4, ""},  {"abc", ";", 1, "abc"},   {"a;;c", ";", 2, ""},
      {"a;b;c", ";", 0, ""},  {"a;b;c", ";", -1, ""}, {" a ; b ", ";", 2, "b"}, {"x||y||z", "||", 2, "y"},
      {"a;b;", ";", 3, ""},   {"", ";", 1, ""},       {"abc", ";", 2, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(base::GetNField(c.s, c.sep, c.n), c.expected) << c.s << " " << c.n;
  EXPECT_EQ(base::GetNFieldEx(" a ; b ", ";", 2, false), " b ");
}

TEST(TextRoutines, FieldCountAndIndex) {
  EXPECT_EQ(base::FieldCount("a;b;", ";"), 2);
  EXPECT_EQ(base::FieldCount(";a", ";"), 2);
  EXPECT_EQ(base::FieldCount("", ";"), 0);
  EXPECT_EQ(base::FieldCount("a;;b", ";"), 3);
  EXPECT_EQ(base::FieldIndex("b", "a; b ;c", ";"), 2);
  EXPECT_EQ(base::FieldIndex("B", "a;b", ";"), 0);  // case-sensitive
  EXPECT_EQ(base::FieldIndex("", "a;b", ";"), 0);
}

TEST(TextRoutines, SplitAndJoinLists) {
  std::vector<std::string> list;
  base::SplitToList("a;;b;", ";", list, true);
  EXPECT_EQ(list, (std::vector<std::string>{"a", " ", "b"}));
  base::SplitToList(" x ; y ", ";", list, false);
  EXPECT_EQ(list, (std::vector<std::string>{" x ", " y "}));
  base::SplitToList("", ";", list, true);
  EXPECT_TRUE(list.empty());
  base::SplitToList("solo", ";", list, true);
  EXPECT_EQ(list, std::vector<std::string>{"solo"});

  EXPECT_EQ(base::JoinList({"a", "b", "c"}, ",", "'", ""), "'a','b','c'");
  EXPECT_EQ(base::JoinList({"a", " all ", "c"}, ";", "", "ALL"), "a;c");
  EXPECT_EQ(base::JoinList({}, ",", "'", ""), "");
}

TEST(TextRoutines, PiecesOfText) {
  EXPECT_EQ(base::LeftOf(" name = value", "="), "name");
  EXPECT_EQ(base::LeftOf("novalue", "="), "");
  EXPECT_EQ(base::RightOf("name= value=2", "="), " value=2");
  EXPECT_EQ(base::RightOf("novalue", "="), "novalue");
  std::string l, r;
  base::SplitAtChar("k:v:w", ':', l, r);
  EXPECT_EQ(l, "k");
  EXPECT_EQ(r, "v:w");
  base::SplitAtChar("kv", ':', l, r);
  EXPECT_EQ(l, "kv");
  EXPECT_EQ(r, "");
  EXPECT_EQ(base::ReplaceAll("aaa", "aa", "b"), "ba");  // left to right, no overlap
  EXPECT_EQ(base::ReplaceAll("abc", "", "x"), "abc");
  EXPECT_EQ(base::ReplaceAll("aXa", "x", "y"), "aXa");  // case-sensitive
  EXPECT_EQ(base::RemoveTrailing("ab  "), "ab");
  EXPECT_EQ(base::RemoveTrailing("a;;;", ";"), "a");
  EXPECT_EQ(base::RemoveLeading("00012", "0"), "12");
}

TEST(TextRoutines, PaddingFittingCentring) {
  EXPECT_EQ(base::PadStr(" 7 ", '0', 3, 1), "007");
  EXPECT_EQ(base::PadStr("7", '*', 3, 0), "7**");
  EXPECT_EQ(base::PadStr(" 12345 ", '0', 3, 1), "12345");
  EXPECT_EQ(base::PadStr("5", 3, 1), "005");
  EXPECT_EQ(base::PadStr("5", 3, 2), "500");
  EXPECT_EQ(base::PadStr("5", 3, 11), "  5");
  EXPECT_EQ(base::PadStr("5", 3, 12), "5  ");
  EXPECT_EQ(base::PadStr(" 5", 3, 99), " 5");
  EXPECT_EQ(base::FitStr("", 3, true), "   ");
  EXPECT_EQ(base::FitStr("abcdef", 3, true), "abc");
  EXPECT_EQ(base::FitStr(" a", 4, false), "   a");
  EXPECT_EQ(base::CenterStr(" ab ", 7), "  ab   ");
  EXPECT_EQ(base::CenterStr("abcdef", 4), "abcd");
  EXPECT_EQ(base::StrOfChar(3, '-'), "---");
  EXPECT_EQ(base::StrOfChar(-1, '-'), "");
}

TEST(TextRoutines, GreekCaseAndQuoting) {
  EXPECT_EQ(base::UpperStr("αβγ άέήίόύώ ς abc"_gr), "ΑΒΓ ΆΈΉΊΌΎΏ Σ ABC"_gr);
  EXPECT_EQ(base::LowerStr("ΑΒΓ ΆΈΉΊΌΎΏ ΣΩ ABC"_gr), "αβγ άέήίόύώ σω abc"_gr);
  EXPECT_EQ(base::UpperStr("ϊϋ"_gr), "ΪΫ"_gr);
  EXPECT_EQ(base::QuotedStr("O'Brien"), "'O''Brien'");
  EXPECT_EQ(base::RemoveThousandSep(" 1.234.567 "), "1234567");
  EXPECT_EQ(base::AnsiToOemStr(std::string(3000, 'a')).size(), 2047u);
}

}  // namespace
