#include "base/text_routines.h"

#include <algorithm>

#include "base/encoding.h"

namespace mero::base {
namespace {

bool IsTrimmed(char c) { return c == ' ' || (c >= 9 && c <= 13); }

// A field of GetNFieldEx keeps at most this many characters of the rest.
constexpr std::size_t kRestLimit = 32000;

}  // namespace

std::string_view StrTrimView(std::string_view s) {
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && IsTrimmed(s[b])) ++b;
  while (e > b && IsTrimmed(s[e - 1])) --e;
  return s.substr(b, e - b);
}

std::string StrTrim(std::string_view s) { return std::string(StrTrimView(s)); }

std::string GetNFieldEx(std::string_view s, std::string_view sep, int n, bool trim) {
  std::string_view rest = s;
  int found = 0;
  std::string field;
  bool taken = false;
  if (!sep.empty()) {
    while (found < n) {
      const std::size_t at = rest.find(sep);
      if (at == std::string_view::npos) break;
      ++found;
      if (found == n) {
        field = std::string(rest.substr(0, at));
        taken = true;
        break;
      }
      rest = rest.substr(at + sep.size());
      if (rest.size() > kRestLimit) rest = rest.substr(0, kRestLimit);
    }
  }
  if (!taken) {
    if (found == 0 && n == 1) {
      field = std::string(s);
    } else if (found + 1 == n) {
      field = std::string(rest);
    }
  }
  return trim ? StrTrim(field) : field;
}

std::string GetNField(std::string_view s, std::string_view sep, int n) { return GetNFieldEx(s, sep, n, true); }

int FieldCount(std::string_view s, std::string_view sep) {
  if (s.empty()) return 0;
  if (sep.empty()) return 1;
  int count = 1;
  std::string_view rest = s;
  while (true) {
    const std::size_t at = rest.find(sep);
    if (at == std::string_view::npos) break;
    rest = rest.substr(at + sep.size());
    if (rest.empty()) break;
    ++count;
  }
  return count;
}

int FieldIndex(std::string_view value, std::string_view s, std::string_view sep) {
  if (value.empty() || s.empty() || sep.empty()) return 0;
  const int count = FieldCount(s, sep);
  for (int n = 1; n <= count; ++n) {
    if (GetNField(s, sep, n) == value) return n;
  }
  return 0;
}

void SplitToList(std::string_view s, std::string_view sep, std::vector<std::string>& list, bool trim) {
  list.clear();
  if (s.empty()) return;
  std::string text = trim ? StrTrim(s) : std::string(s);
  if (sep.empty() || text.find(sep) == std::string::npos) {
    list.push_back(text);
    return;
  }
  std::string_view rest = text;
  std::size_t at;
  while ((at = rest.find(sep)) != std::string_view::npos) {
    std::string piece(rest.substr(0, at));
    if (trim) piece = StrTrim(piece);
    list.push_back(piece.empty() ? " " : piece);
    rest = rest.substr(at + sep.size());
  }
  if (!rest.empty()) {
    std::string piece(rest);
    if (trim) piece = StrTrim(piece);
    list.push_back(piece.empty() ? " " : piece);
  }
}

std::string JoinList(const std::vector<std::string>& list, std::string_view sep, std::string_view quote,
                     std::string_view skip) {
  std::string out;
  const std::string skipKey = UpperStr(StrTrim(skip));
  bool first = true;
  for (const std::string& item : list) {
    if (!skip.empty() && UpperStr(StrTrim(item)) == skipKey) continue;
    if (!first) out += sep;
    first = false;
    out += quote;
    out += item;
    out += quote;
  }
  return out;
}

std::string LeftOf(std::string_view s, std::string_view sub) {
  const std::size_t at = sub.empty() ? std::string_view::npos : s.find(sub);
  return at == std::string_view::npos ? std::string() : StrTrim(s.substr(0, at));
}

std::string RightOf(std::string_view s, std::string_view sub) {
  const std::size_t at = sub.empty() ? std::string_view::npos : s.find(sub);
  return at == std::string_view::npos ? std::string(s) : std::string(s.substr(at + sub.size()));
}

void SplitAtChar(std::string_view s, char c, std::string& left, std::string& right) {
  const std::size_t at = s.find(c);
  if (at == std::string_view::npos) {
    left = std::string(s);
    right.clear();
    return;
  }
  left = std::string(s.substr(0, at));
  right = std::string(s.substr(at + 1));
}

std::string ReplaceAll(std::string_view s, std::string_view oldText, std::string_view newText) {
  if (s.empty() || oldText.empty() || oldText == newText) return std::string(s);
  std::string out;
  std::size_t pos = 0;
  std::size_t at;
  while ((at = s.find(oldText, pos)) != std::string_view::npos) {
    out.append(s.substr(pos, at - pos));
    out.append(newText);
    pos = at + oldText.size();
  }
  out.append(s.substr(pos));
  return out;
}

std::string RemoveTrailing(std::string_view s, std::string_view sub) {
  if (!sub.empty()) {
    while (s.size() >= sub.size() && s.substr(s.size() - sub.size()) == sub) s.remove_suffix(sub.size());
  }
  return std::string(s);
}

std::string RemoveLeading(std::string_view s, std::string_view sub) {
  if (!sub.empty()) {
    while (s.size() >= sub.size() && s.substr(0, sub.size()) == sub) s.remove_prefix(sub.size());
  }
  return std::string(s);
}

std::string PadStr(std::string_view s, char c, int width, int left) {
  std::string t = StrTrim(s);
  if (static_cast<int>(t.size()) >= width) return t;
  const std::string pad(static_cast<std::size_t>(width) - t.size(), c);
  return left == 1 ? pad + t : t + pad;
}

std::string PadStr(std::string_view s, int width, int mode) {
  switch (mode) {
    case 1:
      return PadStr(s, '0', width, 1);
    case 2:
      return PadStr(s, '0', width, 0);
    case 11:
      return PadStr(s, ' ', width, 1);
    case 12:
      return PadStr(s, ' ', width, 0);
    default:
      return std::string(s);
  }
}

std::string FitStr(std::string_view s, int width, bool padRight) {
  const std::size_t w = width > 0 ? static_cast<std::size_t>(width) : 0;
  if (s.empty()) return std::string(w, ' ');
  if (s.size() >= w) return std::string(s.substr(0, w));
  const std::string pad(w - s.size(), ' ');
  return padRight ? std::string(s) + pad : pad + std::string(s);
}

std::string CenterStr(std::string_view s, int width) {
  std::string t = StrTrim(s);
  const std::size_t w = width > 0 ? static_cast<std::size_t>(width) : 0;
  if (t.size() >= w) return t.substr(0, w);
  const std::size_t before = (w - t.size()) / 2;
  return std::string(before, ' ') + t + std::string(w - t.size() - before, ' ');
}

std::string StrOfChar(int n, char c) { return n <= 0 ? std::string() : std::string(static_cast<std::size_t>(n), c); }

char UpperChar(char ch) {
  const auto c = static_cast<unsigned char>(ch);
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 32);
  if ((c >= 0xE1 && c <= 0xF1) || (c >= 0xF3 && c <= 0xFB)) return static_cast<char>(c - 0x20);
  switch (c) {
    case 0xF2:
      return static_cast<char>(0xD3);  // ς → Σ
    case 0xDC:
      return static_cast<char>(0xA2);  // ά → Ά
    case 0xDD:
      return static_cast<char>(0xB8);  // έ → Έ
    case 0xDE:
      return static_cast<char>(0xB9);  // ή → Ή
    case 0xDF:
      return static_cast<char>(0xBA);  // ί → Ί
    case 0xFC:
      return static_cast<char>(0xBC);  // ό → Ό
    case 0xFD:
      return static_cast<char>(0xBE);  // ύ → Ύ
    case 0xFE:
      return static_cast<char>(0xBF);  // ώ → Ώ
    default:
      return ch;
  }
}

char LowerChar(char ch) {
  const auto c = static_cast<unsigned char>(ch);
  if (c >= 'A' && c <= 'Z') return static_cast<char>(c + 32);
  if ((c >= 0xC1 && c <= 0xD1) || (c >= 0xD3 && c <= 0xDB)) return static_cast<char>(c + 0x20);
  switch (c) {
    case 0xA2:
      return static_cast<char>(0xDC);
    case 0xB8:
      return static_cast<char>(0xDD);
    case 0xB9:
      return static_cast<char>(0xDE);
    case 0xBA:
      return static_cast<char>(0xDF);
    case 0xBC:
      return static_cast<char>(0xFC);
    case 0xBE:
      return static_cast<char>(0xFD);
    case 0xBF:
      return static_cast<char>(0xFE);
    default:
      return ch;
  }
}

std::string UpperStr(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = UpperChar(c);
  return out;
}

std::string LowerStr(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = LowerChar(c);
  return out;
}

std::string QuotedStr(std::string_view s) { return AnsiQuotedStr(s, '\''); }

std::string AnsiQuotedStr(std::string_view s, char quote) {
  std::string out;
  out.reserve(s.size() + 2);
  out.push_back(quote);
  for (char c : s) {
    out.push_back(c);
    if (c == quote) out.push_back(c);
  }
  out.push_back(quote);
  return out;
}

std::string RemoveThousandSep(std::string_view s) { return StrTrim(ReplaceAll(s, ".", "")); }

std::string AnsiToOemStr(std::string_view s) {
  return Win1253ToCp737(s.substr(0, std::min<std::size_t>(s.size(), 2047)));
}

}  // namespace mero::base
