#include "ui/report_definition.h"

#include <algorithm>

#include "base/macros.h"
#include "base/number_routines.h"
#include "base/runtime.h"
#include "base/screen_rules.h"
#include "base/text_routines.h"
#include "data/field.h"

namespace mero::ui {

namespace {

void SetText(std::string& text, std::string_view given) {
  if (given.empty()) return;
  if (given == "-") {
    text.clear();
  } else {
    text = std::string(given);
  }
}

// The numbered texts the title macros read, by position; the system keeps
// none, so the titles print as written.
const std::vector<std::string>& TitleMacroValues() {
  static const std::vector<std::string> none;
  return none;
}

std::vector<std::string> TitleLines(const std::string& text) {
  std::string expanded = text;
  base::ExpandMacros(expanded, &TitleMacroValues(), false);
  std::vector<std::string> lines;
  if (!text.empty()) base::SplitToList(expanded, ";", lines, true);
  return lines;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  if (text.empty()) return lines;
  base::SplitToList(base::ReplaceAll(text, "\r\n", "\n"), "\n", lines, false);
  if (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

}  // namespace

char FieldKindLetter(link::TFieldType type) {
  if (data::IsNumericType(type)) return 'N';
  if (data::IsDateType(type)) return 'D';
  return 'C';
}

int PrintWidth(int pixels) {
  const int n = base::PixelsToChars(pixels);
  const double product = static_cast<double>(static_cast<long double>(n) * 1.1L);
  const int width = base::RoundInt(product) + 1;
  return width == 1 ? 2 : width;
}

TMyRpt::TMyRpt() : leftText(base::Rt().reportHeaderTemplate), rightText(base::Rt().reportDateLabel) {
  SetTitles("", "", "");
}

void TMyRpt::SetTitles(std::string_view title, std::string_view left, std::string_view right) {
  SetText(titleText, title);
  SetText(leftText, left);
  SetText(rightText, right);
  titleLines = TitleLines(titleText);
  leftLines = TitleLines(leftText);
  rightLines = TitleLines(rightText);
}

void TMyRpt::SetSums(std::string_view names, std::string_view texts) {
  sumNames = SplitLines(names);
  sumTexts = SplitLines(texts);
}

int TMyRpt::TitleRows() const {
  const int n = static_cast<int>(titleLines.size() + std::max(leftLines.size(), rightLines.size()));
  return std::max(3, n);
}

int TMyRpt::ColumnStart(int k) const {
  if (selected.empty()) return 0;
  if (k <= 0) return 1;
  int start = rowNumberWidth + 2;
  for (int i = 1; i < k && i <= static_cast<int>(selected.size()); ++i) {
    start += selected[static_cast<std::size_t>(i - 1)].width + 1;
  }
  return start;
}

int TMyRpt::ReportWidth() const {
  if (selected.empty()) return 0;
  int width = rowNumberWidth + 1 + static_cast<int>(selected.size()) - 1;
  for (const TRptSelFld& f : selected) width += f.width;
  return width;
}

}  // namespace mero::ui
