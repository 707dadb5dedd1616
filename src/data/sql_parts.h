#pragma once

#include <string>
#include <string_view>

namespace mero::data {

// The clauses of a SELECT statement, without their keywords.
struct RSQLParts {
  std::string selectList;
  std::string from;
  std::string where;
  std::string orderBy;
  std::string groupBy;
  std::string having;
};

// Cuts a SELECT statement into its clauses. Keywords are matched in any case
// and anywhere, inside longer names and quoted text too, so it is meant for
// simple statements the program writes itself. Text before SELECT is
// dropped; a clause that runs to the end of the statement keeps the blanks
// that follow its keyword.
RSQLParts SplitSQL(std::string_view sql);
void SplitSQL(std::string_view sql, RSQLParts& parts);

// The statement of the parts; empty when both the select list and the WHERE
// clause are empty.
std::string JoinSQL(const RSQLParts& parts);

// The statement with condition AND-ed to its WHERE clause.
std::string AddSQLWhere(std::string_view sql, std::string_view condition);

}  // namespace mero::data
