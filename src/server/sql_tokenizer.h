#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mero::server {

enum class SqlTokenKind : std::uint8_t {
  Identifier,        // unquoted: a letter, then letters, digits, _ $ #
  QuotedIdentifier,  // "Name": value holds the name without the quotes
  String,            // 'text': value holds the text, doubled quotes undone
  Number,            // 12, 1.5, .5, 1., 2E3
  Placeholder,       // :name (long values sent beside the statement): value holds the name
  Operator,          // ( ) , ; . + - * / % = < > || := <> != ^= >= <= =>
  End,               // after the last token
};

struct SqlToken {
  SqlTokenKind kind = SqlTokenKind::End;
  std::string_view text;         // as written, quotes included
  std::string value;             // decoded: strings, quoted identifiers, placeholders
  std::size_t offset = 0;        // byte offset in the statement text
  bool lineBreakBefore = false;  // a CR or LF separates it from the previous token

  // A keyword or unquoted name, compared without regard to (ASCII) case.
  bool Is(std::string_view word) const;
  bool IsOp(std::string_view op) const { return kind == SqlTokenKind::Operator && text == op; }
};

// Splits Oracle SQL (UTF-8) into tokens; comments and blanks are dropped.
// The last token is always End. Raises SqlError with Oracle's text for an
// unterminated literal (ORA-01756), identifier (ORA-01740), an empty quoted
// identifier (ORA-01741), an unterminated comment (ORA-01742) and a character
// that SQL does not use (ORA-00911).
std::vector<SqlToken> TokenizeSql(std::string_view sql);

// "line L, column C" (both from 1) of a byte offset, for block errors.
std::string SqlPosition(std::string_view sql, std::size_t offset);

}  // namespace mero::server
