#include "server/sql_tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "server/database.h"
#include "support/error_text.h"

using namespace mero;
using server::SqlTokenKind;

namespace {

// "kind:value" per token, the End token left out: S strings, Q quoted names,
// I names, N numbers, P placeholders, O operators; a leading ^ marks a token
// after a line break.
std::string Describe(std::string_view sql) {
  std::string out;
  for (const server::SqlToken& t : server::TokenizeSql(sql)) {
    if (t.kind == SqlTokenKind::End) break;
    if (!out.empty()) out += ' ';
    if (t.lineBreakBefore) out += '^';
    switch (t.kind) {
      case SqlTokenKind::String:
        out += "S:" + t.value;
        break;
      case SqlTokenKind::QuotedIdentifier:
        out += "Q:" + t.value;
        break;
      case SqlTokenKind::Identifier:
        out += "I:" + std::string(t.text);
        break;
      case SqlTokenKind::Number:
        out += "N:" + std::string(t.text);
        break;
      case SqlTokenKind::Placeholder:
        out += "P:" + t.value;
        break;
      case SqlTokenKind::Operator:
        out += "O:" + std::string(t.text);
        break;
      case SqlTokenKind::End:
        break;
    }
  }
  return out;
}

struct TokenCase {
  const char* sql;
  const char* tokens;
};

TEST(SqlTokenizer, SplitsAwkwardInput) {
  const TokenCase cases[] = {
      {"select 'O''K' from DUAL", "I:select S:O'K I:from I:DUAL"},
      {"''", "S:"},
      {"'a--b /* c */'", "S:a--b /* c */"},
      {"\"Mixed Case\".x", "Q:Mixed Case O:. I:x"},
      {"SEQ_UP_Delt.NextVal", "I:SEQ_UP_Delt O:. I:NextVal"},
      {"a$b#c_1", "I:a$b#c_1"},
      {"1 1.5 .5 2. 3e4 5E-2", "N:1 N:1.5 N:.5 N:2. N:3e4 N:5E-2"},
      {"x:=1;:MemoCOMM", "I:x O::= N:1 O:; P:MemoCOMM"},
      {"a||b<>c!=d^=e>=f<=g", "I:a O:|| I:b O:<> I:c O:!= I:d O:^= I:e O:>= I:f O:<= I:g"},
      {"a -- comment ; 'x\nb", "I:a ^I:b"},
      {"a /* one\ntwo */ b", "I:a ^I:b"},
      {"a/**/b", "I:a I:b"},
      {"Insert Into T (A)\r Values (1)", "I:Insert I:Into I:T O:( I:A O:) ^I:Values O:( N:1 O:)"},
      {"where NAME='Άλφα ςσ'", "I:where I:NAME O:= S:Άλφα ςσ"},
      {"ΌνομαΠεδίου = 1", "I:ΌνομαΠεδίου O:= N:1"},
      {"count(*)", "I:count O:( O:* O:)"},
      {"   \t\r\n  ", ""},
  };
  for (const TokenCase& c : cases) EXPECT_EQ(Describe(c.sql), c.tokens) << c.sql;
}

TEST(SqlTokenizer, RefusesBrokenInputWithOracleTexts) {
  const TokenCase cases[] = {
      {"select 'abc from dual", "ORA-01756: quoted string not properly terminated"},
      {"select 'it''s", "ORA-01756: quoted string not properly terminated"},
      {"select \"abc from dual", "ORA-01740: missing double quote in identifier"},
      {"select \"\" from dual", "ORA-01741: illegal zero-length identifier"},
      {"select 1 /* open", "ORA-01742: comment not properly terminated"},
      {"select ? from dual", "ORA-00911: invalid character"},
      {"select a & b", "ORA-00911: invalid character"},
      {"select : x", "ORA-00911: invalid character"},
  };
  for (const TokenCase& c : cases) {
    EXPECT_EQ(test::ErrorOf<server::SqlError>([&] { server::TokenizeSql(c.sql); }), c.tokens) << c.sql;
  }
  const std::string withNul("select 'a\0b'", 12);
  EXPECT_EQ(test::ErrorOf<server::SqlError>([&] { server::TokenizeSql(withNul); }), "ORA-00911: invalid character");
}

TEST(SqlTokenizer, KeywordsCompareWithoutCase) {
  const std::vector<server::SqlToken> tokens = server::TokenizeSql("SeLeCt \"select\" x");
  EXPECT_TRUE(tokens[0].Is("SELECT"));
  EXPECT_TRUE(tokens[0].Is("select"));
  EXPECT_FALSE(tokens[1].Is("SELECT"));  // a quoted name is never a keyword
  EXPECT_FALSE(tokens[2].Is("SELECT"));
  EXPECT_EQ(tokens.back().kind, SqlTokenKind::End);
}

TEST(SqlTokenizer, PositionsCountLinesAndCharacters) {
  EXPECT_EQ(server::SqlPosition("BEGIN\n  Άλφα x", 17), "line 2, column 8");
  EXPECT_EQ(server::SqlPosition("abc", 0), "line 1, column 1");
  EXPECT_EQ(server::SqlPosition("a\r\nb\rc", 5), "line 3, column 1");
}

}  // namespace
