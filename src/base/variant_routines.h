#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/variant.h"

namespace mero::base {

// The value for "no number" throughout the system.
constexpr std::int32_t NullInt = -3299;

bool VarHasValue(const Variant& v);
// Text of v; empty for empty, null or a failed conversion.
std::string VarToStrZ(const Variant& v);
std::int32_t VarToIntNull(const Variant& v);
std::int32_t VarToIntZ(const Variant& v);
double VarToFloatZ(const Variant& v);

// Item i (from 0); empty text when the list is absent or i is past the end.
std::string GetListItem(const std::vector<std::string>* list, int i);
// Replaces item i, appending empty items up to i - 1 first; -1 when the list
// is absent.
int SetListItem(std::vector<std::string>* list, int i, const std::string& s);
// Removes every item that begins with prefix (";" when prefix is empty).
void DeleteCommentLines(std::vector<std::string>& list, const std::string& prefix);

}  // namespace mero::base
