#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mero::base {

// Text routines of the run-time services. Text is windows-1253; positions are
// 1-based; "trimmed" means trimmed by StrTrim.

// Removes leading and trailing spaces and characters 9..13.
std::string StrTrim(std::string_view s);
// The same, as a view into s.
std::string_view StrTrimView(std::string_view s);
// The n-th field of s separated by sep (n from 1), trimmed when asked.
std::string GetNFieldEx(std::string_view s, std::string_view sep, int n, bool trim);
std::string GetNField(std::string_view s, std::string_view sep, int n);
// 0 for an empty text; else 1 plus the separators, where a separator that ends
// the remaining text adds nothing.
int FieldCount(std::string_view s, std::string_view sep);
// First n whose trimmed field equals value (case-sensitive); 0 if none.
int FieldIndex(std::string_view value, std::string_view s, std::string_view sep);
// Fills the list with the fields of s; an empty field is stored as " ".
void SplitToList(std::string_view s, std::string_view sep, std::vector<std::string>& list, bool trim);
// quote + item + quote joined by sep; items equal to skip (trimmed, upper
// case) are left out when skip is not empty.
std::string JoinList(const std::vector<std::string>& list, std::string_view sep, std::string_view quote,
                     std::string_view skip);
// Trimmed text before the first sub; empty when sub does not occur.
std::string LeftOf(std::string_view s, std::string_view sub);
// Text after the first sub; the whole s when sub does not occur.
std::string RightOf(std::string_view s, std::string_view sub);
// Split at the first c; without c: left = s, right empty.
void SplitAtChar(std::string_view s, char c, std::string& left, std::string& right);
std::string ReplaceAll(std::string_view s, std::string_view oldText, std::string_view newText);
std::string RemoveTrailing(std::string_view s, std::string_view sub = " ");
std::string RemoveLeading(std::string_view s, std::string_view sub = " ");
// Trims, then pads with c to width on the left (left = 1) or on the right.
std::string PadStr(std::string_view s, char c, int width, int left);
// Modes: 1 '0' left, 2 '0' right, 11 space left, 12 space right.
std::string PadStr(std::string_view s, int width, int mode);
std::string FitStr(std::string_view s, int width, bool padRight);
std::string CenterStr(std::string_view s, int width);
std::string StrOfChar(int n, char c);
std::string UpperStr(std::string_view s);
std::string LowerStr(std::string_view s);
std::string QuotedStr(std::string_view s);
// The text between two quote characters, each quote inside doubled.
std::string AnsiQuotedStr(std::string_view s, char quote);
// Removes every thousands separator ('.') and trims.
std::string RemoveThousandSep(std::string_view s);
// The text in the OEM code page 737; at most 2047 characters.
std::string AnsiToOemStr(std::string_view s);

// Upper and lower case of one windows-1253 character: Latin and Greek
// letters; accented Greek capitals keep their accent; final sigma upper-cases
// to Σ.
char UpperChar(char c);
char LowerChar(char c);

}  // namespace mero::base
