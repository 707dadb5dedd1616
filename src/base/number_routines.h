#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mero::base {

// Number routines of the run-time services. Parsers remove the thousands
// separator '.' first and read ',' as the decimal separator; they never throw.

std::string IntToStrZ(std::int64_t n, int width);
std::int32_t StrToIntD(std::string_view s, std::int32_t defaultValue);
std::int32_t StrToIntZ(std::string_view s);
std::int32_t StrToIntNull(std::string_view s);
double StrToFloatZ(std::string_view s);
// The form of every number literal in SQL text: '.' decimal point, trailing
// zeros removed down to one ("3.0").
std::string FloatToStrDot(double x, int decimals);
std::string NumFormatStr(int decimals);
std::string FormatNum(double x, int decimals);
std::string FormatInt(double x);
// Nearest integer, halves to the even neighbour.
std::int32_t RoundInt(double x);
double SumList(const std::vector<std::string>& list);
void AddToListItem(std::vector<std::string>& list, int i, double x);

}  // namespace mero::base
