#include "data/sql_parts.h"

#include <gtest/gtest.h>

#include <string>

#include "base/encoding.h"

using namespace mero;
using namespace mero::base::literals;
using namespace std::string_literals;

namespace {

void ExpectParts(const data::RSQLParts& actual, const data::RSQLParts& expected) {
  EXPECT_EQ(actual.selectList, expected.selectList);
  EXPECT_EQ(actual.from, expected.from);
  EXPECT_EQ(actual.where, expected.where);
  EXPECT_EQ(actual.orderBy, expected.orderBy);
  EXPECT_EQ(actual.groupBy, expected.groupBy);
  EXPECT_EQ(actual.having, expected.having);
}

TEST(SplitSQL, ClausesAreCutAtTheirKeywordsAndJoinedInTheirOwnSpelling) {
  const struct {
    std::string sql;
    data::RSQLParts parts;
    std::string joined;
  } cases[] = {
      {"select * from UP_Delt order by ID", {"*", "UP_Delt", "", " ID", "", ""}, "SELECT * FROM UP_Delt Order By  ID"},
      {"select d, count(*) from T where a=1 group by d having count(*)>1 order by d",
       {"d, count(*)", "T", "a=1", " d", "d", "count(*)>1"},
       "SELECT d, count(*) FROM T WheRe a=1 Group By d HAVING count(*)>1 Order By  d"},
      {"select a from T group by a order by a",
       {"a", "T", "", " a", "a", ""},
       "SELECT a FROM T Group By a Order By  a"},
      {"Select a From T Where b=2", {"a", "T", " b=2", "", "", ""}, "SELECT a FROM T WheRe  b=2"},
      // Text before SELECT is dropped; a clause that runs to the end keeps
      // its blanks.
      {"/* list */ select a from T", {"a", " T", "", "", "", ""}, "SELECT a FROM  T"},
      // Clause texts keep their own case, Greek included.
      {"select * from T where dsc = '"s + "αβγ"_gr + "' order by dsc",
       {"*", "T", "dsc = '"s + "αβγ"_gr + "'", " dsc", "", ""},
       "SELECT * FROM T WheRe dsc = '"s + "αβγ"_gr + "' Order By  dsc"},
      // Keywords are found inside longer names as well.
      {"select ID, DTFROM from T", {"ID, DT", " from T", "", "", "", ""}, "SELECT ID, DT FROM  from T"},
      // Without FROM the select list stays empty.
      {"select 1", {}, ""},
      {"update T set a=1 where b=2", {"", "", " b=2", "", "", ""}, "SELECT  FROM  WheRe  b=2"},
      {"", {}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sql);
    const data::RSQLParts parts = data::SplitSQL(c.sql);
    ExpectParts(parts, c.parts);
    EXPECT_EQ(data::JoinSQL(parts), c.joined);
  }
}

TEST(JoinSQL, NothingWithoutASelectListOrAWhereClause) {
  EXPECT_EQ(data::JoinSQL({"", "T", "", " ID", "ID", "x"}), "");
  EXPECT_EQ(data::JoinSQL({"a", "T", "", "", "", ""}), "SELECT a FROM T");
  EXPECT_EQ(data::JoinSQL({"a", "T", "b=1", "c", "d", "e"}),
            "SELECT a FROM T WheRe b=1 Group By d HAVING e Order By c");
}

TEST(AddSQLWhere, TheConditionNarrowsWhatTheStatementSelects) {
  const struct {
    const char* sql;
    const char* condition;
    const char* expected;
  } cases[] = {
      {"select * from UP_Delt order by ID", "(ID=5)", "SELECT * FROM UP_Delt WheRe (ID=5) Order By  ID"},
      {"select * from T where a=1", "(ID=5)", "SELECT * FROM T WheRe (a=1) AND (ID=5)"},
      // The statement's own OR must not swallow the added condition.
      {"select * from T where a=1 or b=2 order by a", "(ID=5)",
       "SELECT * FROM T WheRe (a=1 or b=2) AND (ID=5) Order By  a"},
      {"select d, count(*) from T where a=1 group by d having count(*)>1", "(d>0)",
       "SELECT d, count(*) FROM T WheRe (a=1) AND (d>0) Group By d HAVING  count(*)>1"},
      {"select * from T where a=1", "", "SELECT * FROM T WheRe  a=1"},
      {"select * from T", "", "SELECT * FROM  T"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.sql) + " + " + c.condition);
    EXPECT_EQ(data::AddSQLWhere(c.sql, c.condition), c.expected);
  }
}

}  // namespace
