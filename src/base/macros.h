#pragma once

#include <string>
#include <vector>

namespace mero::base {

// Most tokens ExpandMacros replaces in one text. A value may bring in tokens
// of its own; one that names itself would otherwise never end.
constexpr int kMaxMacroReplacements = 1000;

// Replaces the tokens "!!" + two or three digits in text: by key, with the
// value of the NAME=VALUE entry named by the number in four digits ("!!509"
// → "0509"); otherwise with the list item at that index (from 0). A leading
// token followed by "#" takes the "#" with it. Returns 0 when nothing was
// looked up (empty text, no values, no "!!"), 1 when the last token replaced
// was such a leading "#" token, else 2. An empty result becomes " ".
int ExpandMacros(std::string& text, const std::vector<std::string>* values, bool byKey);

}  // namespace mero::base
