#include "server/sql_tokenizer.h"

#include "server/database.h"
#include "server/utf8_text.h"

namespace mero::server {
namespace {

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

bool IsNameStart(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 0x80; }

bool IsNamePart(unsigned char c) { return IsNameStart(c) || IsDigit(c) || c == '_' || c == '$' || c == '#'; }

bool IsBlank(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

constexpr std::string_view kTwoCharOps[] = {"||", ":=", "<>", "!=", "^=", ">=", "<=", "=>"};
constexpr std::string_view kOneCharOps = "(),;.+-*/%=<>@";

}  // namespace

bool SqlToken::Is(std::string_view word) const {
  if (kind != SqlTokenKind::Identifier || text.size() != word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    char a = text[i];
    char b = word[i];
    if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 32);
    if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 32);
    if (a != b) return false;
  }
  return true;
}

std::vector<SqlToken> TokenizeSql(std::string_view sql) {
  // SQLite reads a statement only up to a NUL byte; no SQL text holds one.
  if (sql.find('\0') != std::string_view::npos) throw SqlError("ORA-00911: invalid character");
  std::vector<SqlToken> tokens;
  tokens.reserve(sql.size() / 4 + 2);
  const std::size_t n = sql.size();
  std::size_t i = 0;
  bool lineBreak = false;
  auto at = [&](std::size_t k) -> unsigned char { return k < n ? static_cast<unsigned char>(sql[k]) : 0; };
  auto push = [&](SqlTokenKind kind, std::size_t start, std::size_t end) -> SqlToken& {
    SqlToken& t = tokens.emplace_back();
    t.kind = kind;
    t.text = sql.substr(start, end - start);
    t.offset = start;
    t.lineBreakBefore = lineBreak;
    lineBreak = false;
    return t;
  };
  while (i < n) {
    const unsigned char c = at(i);
    if (IsBlank(c)) {
      if (c == '\r' || c == '\n') lineBreak = true;
      ++i;
      continue;
    }
    if (c == '-' && at(i + 1) == '-') {
      while (i < n && sql[i] != '\n' && sql[i] != '\r') ++i;
      continue;
    }
    if (c == '/' && at(i + 1) == '*') {
      const std::size_t close = sql.find("*/", i + 2);
      if (close == std::string_view::npos) throw SqlError("ORA-01742: comment not properly terminated");
      for (std::size_t k = i; k < close; ++k) {
        if (sql[k] == '\n' || sql[k] == '\r') lineBreak = true;
      }
      i = close + 2;
      continue;
    }
    const std::size_t start = i;
    if (c == '\'') {
      std::string value;
      ++i;
      for (;;) {
        const std::size_t q = sql.find('\'', i);
        if (q == std::string_view::npos) throw SqlError("ORA-01756: quoted string not properly terminated");
        value.append(sql.substr(i, q - i));
        if (at(q + 1) == '\'') {
          value.push_back('\'');
          i = q + 2;
          continue;
        }
        i = q + 1;
        break;
      }
      push(SqlTokenKind::String, start, i).value = std::move(value);
      continue;
    }
    if (c == '"') {
      const std::size_t q = sql.find('"', i + 1);
      if (q == std::string_view::npos) throw SqlError("ORA-01740: missing double quote in identifier");
      if (q == i + 1) throw SqlError("ORA-01741: illegal zero-length identifier");
      i = q + 1;
      push(SqlTokenKind::QuotedIdentifier, start, i).value = std::string(sql.substr(start + 1, q - start - 1));
      continue;
    }
    if (IsDigit(c) || (c == '.' && IsDigit(at(i + 1)))) {
      while (IsDigit(at(i))) ++i;
      if (at(i) == '.' && at(i + 1) != '.') {
        ++i;
        while (IsDigit(at(i))) ++i;
      }
      if ((at(i) == 'e' || at(i) == 'E') &&
          (IsDigit(at(i + 1)) || ((at(i + 1) == '+' || at(i + 1) == '-') && IsDigit(at(i + 2))))) {
        i += 2;
        while (IsDigit(at(i))) ++i;
      }
      push(SqlTokenKind::Number, start, i);
      continue;
    }
    if (IsNameStart(c)) {
      while (i < n && IsNamePart(at(i))) ++i;
      push(SqlTokenKind::Identifier, start, i);
      continue;
    }
    if (c == ':' && IsNamePart(at(i + 1))) {
      ++i;
      while (i < n && IsNamePart(at(i))) ++i;
      push(SqlTokenKind::Placeholder, start, i).value = std::string(sql.substr(start + 1, i - start - 1));
      continue;
    }
    bool matched = false;
    for (std::string_view op : kTwoCharOps) {
      if (sql.substr(i, 2) == op) {
        i += 2;
        push(SqlTokenKind::Operator, start, i);
        matched = true;
        break;
      }
    }
    if (matched) continue;
    if (kOneCharOps.find(static_cast<char>(c)) != std::string_view::npos) {
      ++i;
      push(SqlTokenKind::Operator, start, i);
      continue;
    }
    throw SqlError("ORA-00911: invalid character");
  }
  SqlToken& end = tokens.emplace_back();
  end.kind = SqlTokenKind::End;
  end.offset = n;
  end.lineBreakBefore = lineBreak;
  return tokens;
}

std::string SqlPosition(std::string_view sql, std::size_t offset) {
  std::size_t line = 1;
  std::size_t lineStart = 0;
  for (std::size_t k = 0; k < offset && k < sql.size(); ++k) {
    if (sql[k] == '\n' || (sql[k] == '\r' && (k + 1 >= sql.size() || sql[k + 1] != '\n'))) {
      ++line;
      lineStart = k + 1;
    }
  }
  const std::size_t end = offset < sql.size() ? offset : sql.size();
  const std::size_t column = Utf8Length(sql.substr(lineStart, end - lineStart)) + 1;
  return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

}  // namespace mero::server
