#include "server/sql_dialect.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <memory>
#include <string>

#include "base/clock.h"
#include "base/date_time.h"
#include "server/database.h"
#include "server/session_vars.h"
#include "support/error_text.h"
#include "support/temp_dir.h"

using namespace mero;

namespace {

class SqlDialect : public ::testing::Test {
 protected:
  SqlDialect() : db_(dir_.File("d.db"), server::Database::Mode::Create) { server::RegisterSqlDialect(db_, vars_); }

  // The first value of a SQLite query: text as it is, numbers as SQLite
  // prints them, "<null>", or "error: " and the message.
  std::string Eval(const std::string& expression) {
    const std::string sql = "SELECT " + expression;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_.Handle(), sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
      return std::string("error: ") + sqlite3_errmsg(db_.Handle());
    }
    std::string out;
    if (sqlite3_step(st) == SQLITE_ROW) {
      switch (sqlite3_column_type(st, 0)) {
        case SQLITE_NULL:
          out = "<null>";
          break;
        case SQLITE_INTEGER:
          out = "int " + std::to_string(sqlite3_column_int64(st, 0));
          break;
        case SQLITE_FLOAT: {
          char buf[40];
          std::snprintf(buf, sizeof buf, "real %.10g", sqlite3_column_double(st, 0));
          out = buf;
          break;
        }
        default:
          out = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
      }
    } else {
      out = std::string("error: ") + sqlite3_errmsg(db_.Handle());
    }
    sqlite3_finalize(st);
    return out;
  }

  test::TempDir dir_;
  server::SessionVars vars_;
  server::Database db_;
};

struct Case {
  const char* expression;
  const char* result;
};

TEST_F(SqlDialect, UpperAndLowerKnowGreek) {
  const Case cases[] = {
      {"UPPER('άλφα ςσ έήίόύώ ϊϋ')", "ΆΛΦΑ ΣΣ ΈΉΊΌΎΏ ΪΫ"},
      {"LOWER('ΆΛΦΑ Σ ABC')", "άλφα σ abc"},
      {"upper('ΐΰ € abc')", "ΐΰ € ABC"},  // no capitals of their own
      {"UPPER(NULL)", "<null>"},
      {"UPPER('')", "<null>"},
      {"UPPER(5)", "5"},
  };
  for (const Case& c : cases) EXPECT_EQ(Eval(c.expression), c.result) << c.expression;
}

TEST_F(SqlDialect, LikeIsCaseSensitiveWithOracleWildcards) {
  const Case cases[] = {
      {"'abc' LIKE 'a%'", "int 1"},
      {"'Abc' LIKE 'a%'", "int 0"},
      {"'ABC' LIKE 'abc'", "int 0"},
      {"'Άλφα' LIKE 'άλφα'", "int 0"},
      {"'άλφα' LIKE '_λ%'", "int 1"},  // _ is one character, not one byte
      {"'άλφα' LIKE '__φα'", "int 1"},
      {"'abc' LIKE '%b%'", "int 1"},
      {"'abc' LIKE '%%c'", "int 1"},
      {"'abcbc' LIKE '%bc'", "int 1"},
      {"'abcbd' LIKE '%bc'", "int 0"},
      {"'abc' LIKE 'ab'", "int 0"},
      {"'ab' LIKE 'abc%'", "int 0"},
      {"'a_b' LIKE 'a\\_b' ESCAPE '\\'", "int 1"},
      {"'axb' LIKE 'a\\_b' ESCAPE '\\'", "int 0"},
      {"'100%' LIKE '100!%' ESCAPE '!'", "int 1"},
      {"'1000' LIKE '100!%' ESCAPE '!'", "int 0"},
      {"NULL LIKE 'a'", "<null>"},
      {"'ab' NOT LIKE 'a%'", "int 0"},
      {"'x' LIKE 'a\\b' ESCAPE '\\'", "error: ORA-01424: missing or illegal character following the escape character"},
      {"'x' LIKE 'a' ESCAPE 'ab'", "error: ORA-01425: escape character must be character string of length 1"},
  };
  for (const Case& c : cases) EXPECT_EQ(Eval(c.expression), c.result) << c.expression;
}

TEST_F(SqlDialect, TruncCutsDatesAndNumbers) {
  const Case cases[] = {
      {"TRUNC(45356.75)", "int 45356"},
      {"TRUNC(45356)", "int 45356"},
      {"TRUNC(-1.25)", "int -1"},  // 29/12/1899: the day of a date before the epoch
      {"TRUNC(5.678, 2)", "real 5.67"},
      {"TRUNC(45356.75, 'MM')", "int 45352"},
      {"TRUNC(45356.75, 'yyyy')", "int 45292"},
      {"TRUNC(45356.75, 'HH24')", "real 45356.75"},
      {"TRUNC('7.9')", "int 7"},
      {"TRUNC(NULL)", "<null>"},
      {"TRUNC('abc')", "error: ORA-01722: invalid number"},
      {"TRUNC(45356.75, 'XX')", "error: ORA-01899: bad precision specifier"},
  };
  for (const Case& c : cases) EXPECT_EQ(Eval(c.expression), c.result) << c.expression;
}

TEST_F(SqlDialect, ConvertsBetweenTextDatesAndNumbers) {
  const Case cases[] = {
      {"TO_DATE('05/03/2024')", "real 45356"},
      {"TO_DATE('05/03/2024 12:00:00', 'DD/MM/YYYY HH24:MI:SS')", "real 45356.5"},
      {"TO_DATE(45356.5)", "real 45356.5"},
      {"TO_DATE(NULL)", "<null>"},
      {"TO_DATE('32/01/2024', 'DD/MM/YYYY')", "error: ORA-01847: day of month must be between 1 and last day of month"},
      {"TO_DATE('x', 'DD/MM/YYYY')",
       "error: ORA-01858: a non-numeric character was found where a numeric was expected"},
      {"TO_CHAR(45356.5, 'DD/MM/YYYY HH24:MI')", "05/03/2024 12:00"},
      {"TO_CHAR(45356, 'YYYY')", "2024"},
      {"TO_CHAR(2.5)", "2.5"},
      {"TO_CHAR(0.5)", ".5"},
      {"TO_CHAR(5)", "5"},
      {"TO_CHAR('text')", "text"},
      {"TO_CHAR(1234.5, '9,999.99')", " 1,234.50"},
      {"TO_CHAR(NULL)", "<null>"},
      {"TO_NUMBER('12')", "int 12"},
      {"TO_NUMBER(' 2.5 ')", "real 2.5"},
      {"TO_NUMBER('x')", "error: ORA-01722: invalid number"},
      {"NVL(NULL, 'a')", "a"},
      {"NVL('b', 'a')", "b"},
      {"MERO_CONCAT('a', NULL, 5, 2.5, 'ά')", "a52.5ά"},
      {"MERO_CONCAT(NULL, NULL)", "<null>"},
      {"MERO_CONCAT('', 0.25)", ".25"},
  };
  for (const Case& c : cases) EXPECT_EQ(Eval(c.expression), c.result) << c.expression;
}

// Any number a client writes may reach a date function: one that is no date
// of the years 1 to 9999 is refused, as Oracle refuses such a year.
TEST_F(SqlDialect, NumbersBeyondTheCalendarAreNoDates) {
  const std::string refused = "error: ORA-01841: (full) year must be between -4713 and +9999, and not be 0";
  const Case cases[] = {
      {"TO_CHAR(1e308 * 10, 'DD/MM/YYYY')", refused.c_str()},
      {"TO_CHAR(-1e308 * 10, 'DD/MM/YYYY HH24:MI')", refused.c_str()},
      {"TO_CHAR(1e300, 'YYYY')", refused.c_str()},
      {"TO_CHAR(2958466, 'DD/MM/YYYY')", refused.c_str()},
      {"TO_CHAR(-693594, 'DD/MM/YYYY')", refused.c_str()},
      {"TRUNC(1e300, 'MM')", refused.c_str()},
      {"TRUNC(-1e300, 'YYYY')", refused.c_str()},
      {"TO_CHAR(2958465.5, 'DD/MM/YYYY HH24:MI')", "31/12/9999 12:00"},
      {"TO_CHAR(-693593, 'DD/MM/YYYY')", "01/01/0001"},
      {"TRUNC(2958465.5, 'MM')", "int 2958435"},
  };
  for (const Case& c : cases) EXPECT_EQ(Eval(c.expression), c.result) << c.expression;
}

TEST_F(SqlDialect, LpadAndRpadCutOrFillToCharacters) {
  const Case cases[] = {
      {"LPAD('abc', 6)", "   abc"},
      {"RPAD('abc', 6)", "abc   "},
      {"LPAD('abc', 8, 'xy')", "xyxyxabc"},  // the last repetition of the pad is cut
      {"RPAD('abc', 8, 'xy')", "abcxyxyx"},
      {"LPAD('abc', 3, '*')", "abc"},
      {"LPAD('abcdef', 3)", "abc"},  // both keep the start of a text that is too long
      {"RPAD('abcdef', 3, '*')", "abc"},
      {"LPAD('abc', 2.9)", "ab"},
      {"LPAD('abc', 0)", "<null>"},
      {"RPAD('abc', -2, 'x')", "<null>"},
      {"LPAD(NULL, 5)", "<null>"},
      {"LPAD('a', NULL)", "<null>"},
      {"RPAD('a', 5, NULL)", "<null>"},
      {"LPAD('', 3, 'x')", "<null>"},
      {"LPAD('άλφα', 6, 'ω')", "ωωάλφα"},
      {"RPAD('Πρυτανεία', 4)", "Πρυτ"},
      {"LPAD('αβ', 5, 'γδ')", "γδγαβ"},
      {"LPAD(7, 3, '0')", "007"},
      {"RPAD(2.5, 5, '0')", "2.500"},
      {"LPAD('x', 4, 0)", "000x"},
      {"LPAD('x', '3')", "  x"},
      {"LPAD('x', 'a')", "error: ORA-01722: invalid number"},
      {"LENGTH(LPAD('x', 5000))", "int 4000"},
  };
  for (const Case& c : cases) EXPECT_EQ(Eval(c.expression), c.result) << c.expression;
}

TEST_F(SqlDialect, SysdateComesFromTheClockInWholeSeconds) {
  const base::TDateTime at = base::CombineDateTime(base::EncodeDate(2024, 3, 5), base::EncodeTime(10, 11, 12, 700));
  base::ScopedClock clock(std::make_shared<base::FixedClock>(at));
  EXPECT_EQ(Eval("TO_CHAR(MERO_SYSDATE(), 'DD/MM/YYYY HH24:MI:SS')"), "05/03/2024 10:11:12");
  EXPECT_EQ(Eval("TRUNC(MERO_SYSDATE())"), "int 45356");
}

TEST(OracleLike, MatchesLongTextsWithoutBlowingUp) {
  // Many % against a text that never matches: the matcher backtracks only to
  // the last %, so this stays linear-ish instead of exponential.
  const std::string text(20000, 'a');
  EXPECT_FALSE(server::OracleLike("%a%a%a%a%a%a%a%a%b", text));
  EXPECT_TRUE(server::OracleLike("%a%a%a%a%a%a%a%a%", text));
}

}  // namespace
