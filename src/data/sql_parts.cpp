#include "data/sql_parts.h"

#include <initializer_list>

#include "base/text_routines.h"
#include "data/search_condition.h"

namespace mero::data {

namespace {

// Cuts one clause from the left of text. Without its start keyword the
// clause is empty and text stays. Otherwise the clause runs from after the
// keyword to the first place where an end keyword begins, and text then
// starts with that keyword. With no such place, or one right after the start
// keyword, the clause is all that is left and nothing remains; for the select
// list, whose end is FROM, the clause is then empty and text stays.
std::string CutClause(std::string& text, std::string_view start, std::initializer_list<std::string_view> ends,
                      bool isSelectList) {
  // Upper-casing is byte for byte, so positions in the upper-cased copy are
  // positions in text.
  const std::string upper = base::UpperStr(text);
  const std::size_t at = upper.find(start);
  if (at == std::string::npos) return std::string();
  const std::size_t from = at + start.size();
  const std::string_view scan = std::string_view(upper).substr(from);
  std::size_t end = std::string_view::npos;
  for (std::size_t i = 0; i < scan.size() && end == std::string_view::npos; ++i) {
    for (std::string_view keyword : ends) {
      if (scan.substr(i).starts_with(keyword)) {
        end = i;
        break;
      }
    }
  }
  if (end != std::string_view::npos && end > 0) {
    std::string clause = base::StrTrim(std::string_view(text).substr(from, end));
    text.erase(0, from + end);
    return clause;
  }
  if (isSelectList) return std::string();
  std::string clause = text.substr(from);
  text.clear();
  return clause;
}

}  // namespace

void SplitSQL(std::string_view sql, RSQLParts& parts) {
  std::string text(sql);
  const std::size_t select = base::UpperStr(text).find("SELECT");
  if (select != std::string::npos) text.erase(0, select);
  parts.selectList = CutClause(text, "SELECT", {"FROM"}, true);
  parts.from = CutClause(text, "FROM", {"WHERE", "ORDER BY", "GROUP BY"}, false);
  parts.where = CutClause(text, "WHERE", {"ORDER BY", "GROUP BY"}, false);
  parts.groupBy = CutClause(text, "GROUP BY", {"ORDER BY", "HAVING"}, false);
  parts.having = CutClause(text, "HAVING", {"ORDER BY"}, false);
  parts.orderBy = CutClause(text, "ORDER BY", {}, false);
}

RSQLParts SplitSQL(std::string_view sql) {
  RSQLParts parts;
  SplitSQL(sql, parts);
  return parts;
}

std::string JoinSQL(const RSQLParts& parts) {
  if (parts.selectList.empty() && parts.where.empty()) return std::string();
  std::string sql = "SELECT " + parts.selectList + " FROM " + parts.from;
  if (!parts.where.empty()) sql += " WheRe " + parts.where;
  if (!parts.groupBy.empty()) sql += " Group By " + parts.groupBy;
  if (!parts.having.empty()) sql += " HAVING " + parts.having;
  if (!parts.orderBy.empty()) sql += " Order By " + parts.orderBy;
  return sql;
}

std::string AddSQLWhere(std::string_view sql, std::string_view condition) {
  RSQLParts parts = SplitSQL(sql);
  // The existing WHERE goes in parentheses: AND binds tighter than OR, and
  // "a=1 or b=2 AND (ID=5)" would let every row with a=1 through.
  if (!condition.empty()) {
    const std::string current = base::StrTrim(parts.where);
    parts.where = current.empty() ? std::string(condition) : AndCondition("(" + current + ")", condition);
  }
  return JoinSQL(parts);
}

}  // namespace mero::data
