#include "app/sql_shell.h"

#include <algorithm>
#include <cctype>

#include "base/date_format.h"
#include "base/encoding.h"
#include "base/number_format.h"
#include "base/text_routines.h"
#include "base/variant_routines.h"

namespace mero::app {
namespace {

// Whether the text ends inside a quoted literal.
bool InsideQuotes(std::string_view text) {
  bool inside = false;
  for (char c : text) {
    if (c == '\'') inside = !inside;
  }
  return inside;
}

std::string FirstWord(std::string_view text) {
  const std::string t = base::StrTrim(text);
  std::size_t n = 0;
  while (n < t.size() && (std::isalpha(static_cast<unsigned char>(t[n])) != 0)) ++n;
  return base::UpperStr(t.substr(0, n));
}

// The text, which ends with ";", closes an anonymous block: "… END;".
bool EndsBlock(std::string_view text) {
  const std::string body = base::UpperStr(base::StrTrim(text.substr(0, text.size() - 1)));
  if (body.size() < 3 || body.compare(body.size() - 3, 3, "END") != 0) return false;
  if (body.size() == 3) return true;
  const char before = body[body.size() - 4];
  return std::isalnum(static_cast<unsigned char>(before)) == 0 && before != '_';
}

std::size_t DisplayWidth(std::string_view utf8) {
  std::size_t n = 0;
  for (unsigned char c : utf8) {
    if ((c & 0xC0) != 0x80) ++n;
  }
  return n;
}

std::string Pad(const std::string& utf8, std::size_t width, bool right) {
  const std::size_t w = DisplayWidth(utf8);
  if (w >= width) return utf8;
  const std::string pad(width - w, ' ');
  return right ? pad + utf8 : utf8 + pad;
}

bool IsNumeric(int type) {
  return type == 2 || type == 3 || type == 4 || type == 6 || type == 7 || type == 8 || type == 14 || type == 25;
}

std::string CellText(const link::RowSet& rows, std::size_t r, std::size_t c) {
  if (rows.IsNull(r, c)) return std::string();
  const int type = rows.Fields()[c].type;
  const base::Variant v = rows.Value(r, c);
  if (type == 9) return base::FormatDateTime("dd/mm/yyyy", v.AsDouble());
  if (type == 11) {
    const base::TDateTime x = v.AsDouble();
    return base::FormatDateTime(base::TimeOfDayMSecs(x) == 0 ? "dd/mm/yyyy" : "dd/mm/yyyy hh:nn:ss", x);
  }
  if (type == 6 || type == 7 || type == 8) {
    base::FormatSettings dot;
    dot.decimalSeparator = '.';
    return base::FloatToStr(v.AsDouble(), dot);
  }
  return base::Win1253ToUtf8(base::VarToStrZ(v));
}

}  // namespace

std::optional<std::string> StatementSplitter::AddLine(std::string_view line) {
  const std::string trimmed = base::StrTrim(line);
  if (trimmed == "/" && !InsideQuotes(current_)) return Finish();
  if (!current_.empty()) current_ += "\n";
  current_ += std::string(line);
  const std::string all = base::StrTrim(current_);
  if (InsideQuotes(all) || all.empty() || all.back() != ';') return std::nullopt;
  const std::string first = FirstWord(all);
  if (first == "BEGIN" || first == "DECLARE") {
    if (!EndsBlock(all)) return std::nullopt;
    current_.clear();
    return all;  // a block keeps its final ";"
  }
  current_.clear();
  std::string statement = base::StrTrim(all.substr(0, all.size() - 1));
  if (statement.empty()) return std::nullopt;
  return statement;
}

std::optional<std::string> StatementSplitter::Finish() {
  std::string all = base::StrTrim(current_);
  current_.clear();
  if (all.empty()) return std::nullopt;
  return all;
}

void ResultDataset::LinkFieldDefs(std::string_view payload) {
  rows_.SetFields(link::FieldDefsFromFastFields(link::DecodeFieldDefs(payload)));
}

void ResultDataset::LinkRows(std::string_view payload, std::int32_t packetArgument) {
  link::DecodeRows(payload, packetArgument, rows_);
}

bool IsQuery(std::string_view statement) {
  const std::string first = FirstWord(statement);
  return first == "SELECT" || first == "WITH";
}

std::string FormatTable(const link::RowSet& rows) {
  const std::size_t cols = rows.FieldCount();
  std::vector<std::string> header;
  std::vector<std::size_t> width(cols, 0);
  for (std::size_t c = 0; c < cols; ++c) {
    header.push_back(base::Win1253ToUtf8(rows.Fields()[c].name));
    width[c] = DisplayWidth(header[c]);
  }
  std::vector<std::vector<std::string>> cells(rows.RowCount());
  for (std::size_t r = 0; r < rows.RowCount(); ++r) {
    for (std::size_t c = 0; c < cols; ++c) {
      cells[r].push_back(CellText(rows, r, c));
      width[c] = std::max(width[c], DisplayWidth(cells[r][c]));
    }
  }
  std::string out;
  auto line = [&](const std::vector<std::string>& values, bool alignNumbers) {
    std::string text;
    for (std::size_t c = 0; c < cols; ++c) {
      if (c > 0) text += " | ";
      text += Pad(values[c], width[c], alignNumbers && IsNumeric(rows.Fields()[c].type));
    }
    out += base::RemoveTrailing(text) + "\n";
  };
  line(header, false);
  std::string rule;
  for (std::size_t c = 0; c < cols; ++c) {
    if (c > 0) rule += "-+-";
    rule += std::string(width[c], '-');
  }
  out += rule + "\n";
  for (const auto& row : cells) line(row, true);
  out += "(" + std::to_string(rows.RowCount()) + (rows.RowCount() == 1 ? " row)\n" : " rows)\n");
  return out;
}

}  // namespace mero::app
