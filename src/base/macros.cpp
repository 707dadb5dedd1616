#include "base/macros.h"

#include "base/number_routines.h"
#include "base/text_routines.h"

namespace mero::base {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string ValueOf(const std::vector<std::string>& values, int number, bool byKey) {
  if (!byKey) return number < static_cast<int>(values.size()) ? values[static_cast<std::size_t>(number)] : "";
  const std::string key = IntToStrZ(number, 4);
  for (const std::string& entry : values) {
    const std::size_t eq = entry.find('=');
    if (eq != std::string::npos && UpperStr(StrTrim(entry.substr(0, eq))) == key) return entry.substr(eq + 1);
  }
  return std::string();
}

}  // namespace

int ExpandMacros(std::string& text, const std::vector<std::string>* values, bool byKey) {
  if (text.empty() || values == nullptr || values->empty() || text.find("!!") == std::string::npos) return 0;
  int result = 2;
  int replaced = 0;
  std::size_t p;
  while ((p = text.find("!!")) != std::string::npos && replaced < kMaxMacroReplacements) {
    const std::size_t digits = p + 4 < text.size() && IsDigit(text[p + 4]) ? 3 : 2;
    const std::string numberText = text.substr(p + 2, digits);
    const int number = StrToIntZ(numberText);
    if (number <= 0) {
      text.erase(p, 2);
      continue;
    }
    std::size_t tokenLength = 2 + numberText.size();
    bool leadingHash = false;
    if (p == 0 && p + tokenLength < text.size() && text[p + tokenLength] == '#') {
      ++tokenLength;
      leadingHash = true;
    }
    result = leadingHash ? 1 : 2;
    text.replace(p, tokenLength, ValueOf(*values, number, byKey));
    ++replaced;
  }
  if (text.empty()) text = " ";
  return result;
}

}  // namespace mero::base
