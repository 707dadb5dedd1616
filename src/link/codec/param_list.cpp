#include "link/codec/param_list.h"

#include <limits>
#include <utility>

#include "base/date_format.h"
#include "base/format_settings.h"
#include "base/message_seam.h"
#include "base/number_format.h"
#include "base/text_routines.h"
#include "link/codec/link_errors.h"
#include "link/codec/wire_int.h"

namespace mero::link {
namespace {

constexpr char kSeparator = 6;

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

std::int32_t IntOrZero(std::string_view text) {
  std::int32_t v = 0;
  return base::TryStrToInt(text, v) ? v : 0;
}

std::int64_t Int64OrZero(std::string_view text) {
  std::int64_t v = 0;
  return base::TryStrToInt64(text, v) ? v : 0;
}

[[noreturn]] void Damaged(std::size_t offset, const std::string& detail) {
  throw ELinkParamException("Parameter list damaged at byte " + std::to_string(offset) + ": " + detail + ".");
}

// A type code or direction read from the wire: 0 when not a number, as the
// list has always read it; a number that does not fit the byte is damage.
std::uint8_t WireByte(std::string_view text, std::size_t offset, const char* what) {
  const std::int32_t v = IntOrZero(text);
  if (v < 0 || v > 255) Damaged(offset, std::string(what) + " " + std::to_string(v) + " out of range");
  return static_cast<std::uint8_t>(v);
}

// Names compare without regard to case, Greek letters included.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (base::UpperChar(a[i]) != base::UpperChar(b[i])) return false;
  }
  return true;
}

bool IsFloatType(TFieldType t) { return t == ftFloat || t == ftCurrency || t == ftBCD; }

// Numbers in SQL text always take '.' as the decimal point, whatever the
// display formats say.
std::string FloatForSQL(double value) {
  base::FormatSettings fs;
  fs.decimalSeparator = '.';
  return base::FloatToStr(value, fs);
}

}  // namespace

// ---------------------------------------------------------------------------
// TLinkParamItem

void TLinkParamItem::SetSize(std::int32_t size) {
  if (size < 0) return;
  switch (dataType_) {
    case ftString:
    case ftBytes:
    case ftBlob:
    case ftMemo:
    case ftGraphic:
    case ftGuid:
      size_ = size;
      break;
    default:
      break;
  }
}

base::Variant TLinkParamItem::Value() const {
  using base::Variant;
  if (isNull_) return Variant::Null();
  switch (dataType_) {
    case ftString:
      return Variant::Text(ValueText());
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
      return Variant::Integer(ValueInt());
    case ftBoolean:
      return Variant::Boolean(ValueBool());
    case ftFloat:
    case ftCurrency:
    case ftBCD:
      return Variant::Double(ValueFloat());
    case ftDate:
    case ftTime:
    case ftDateTime:
      return Variant::Date(ValueFloat());
    case ftBlob:
      return Variant::Bytes(raw_);
    case ftMemo:
    case ftGuid:
      return Variant::Text(raw_);
    case ftLargeint:
      return Variant::Int64(Int64OrZero(raw_));
    default:
      return Variant::Null();
  }
}

void TLinkParamItem::SetValue(const base::Variant& value) {
  using Kind = base::Variant::Kind;
  isNull_ = false;
  const TFieldType declared = dataType_;
  switch (value.kind()) {
    case Kind::Null:
      isNull_ = true;
      break;
    case Kind::Integer:
      SetInteger(value.AsInteger());
      break;
    case Kind::Int64:
      SetLargeint(value.AsInt64());
      break;
    case Kind::Double:
      SetFloat(value.AsDouble());
      break;
    case Kind::Date:
      SetDateTime(value.AsDouble());
      break;
    case Kind::Boolean:
      SetBoolean(value.AsBoolean());
      break;
    case Kind::Text:
      SetString(value.AsText());
      break;
    case Kind::Bytes:
      SetBlob(value.AsText());
      break;
    case Kind::Empty:
      dataType_ = ftUnknown;
      isNull_ = true;
      break;
  }
  if (declared != ftUnknown) dataType_ = declared;
}

std::string TLinkParamItem::ValueText() const {
  if (isNull_) return dataType_ == ftGuid ? kNullGuid : std::string();
  const base::FormatSettings& fs = base::ProcessFormats();
  switch (dataType_) {
    case ftFloat:
    case ftCurrency:
    case ftBCD:
      return base::FloatToStr(ValueFloat(), fs);
    case ftDate:
      return base::FormatDateTime(fs.shortDateFormat, ValueFloat(), fs);
    case ftTime:
      return base::FormatDateTime(fs.longTimeFormat, ValueFloat(), fs);
    case ftDateTime:
      // Formatted apart so that the time's "mm" is never read as a month.
      return base::FormatDateTime(fs.shortDateFormat, ValueFloat(), fs) + " " +
             base::FormatDateTime(fs.longTimeFormat, ValueFloat(), fs);
    default:
      return raw_;
  }
}

std::int32_t TLinkParamItem::ValueInt() const { return isNull_ ? 0 : IntOrZero(raw_); }

double TLinkParamItem::ValueFloat() const { return isNull_ ? 0 : DecodeFloat9(raw_); }

bool TLinkParamItem::ValueBool() const { return !isNull_ && base::UpperStr(raw_) == "TRUE"; }

void TLinkParamItem::SetText(std::string_view text) {
  if (dataType_ == ftUnknown) dataType_ = ftString;
  auto fail = [this]() { throw ELinkParamException("Unable to call SetAsText for " + name_); };
  switch (dataType_) {
    case ftString:
      SetString(std::string(text));
      return;
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
      SetInteger(IntOrZero(text));
      return;
    case ftLargeint:
      SetLargeint(Int64OrZero(text));
      return;
    case ftBoolean:
      SetBoolean(base::UpperStr(base::StrTrim(text)) == "TRUE");
      return;
    case ftFloat:
    case ftCurrency:
    case ftBCD: {
      double v = 0;
      if (!text.empty() && !base::TryStrToFloat(text, v)) fail();
      SetFloat(v);
      return;
    }
    case ftDate:
    case ftTime:
    case ftDateTime: {
      if (text.empty()) break;
      base::TDateTime v = 0;
      if (dataType_ == ftDate) {
        if (!base::TryStrToDate(text, v)) fail();
        SetDate(v);
      } else if (dataType_ == ftTime) {
        if (!base::TryStrToTime(text, v)) fail();
        SetTime(v);
      } else {
        if (!base::TryStrToDateTime(text, v)) fail();
        SetDateTime(v);
      }
      return;
    }
    case ftBlob:
      SetBlob(std::string(text));
      return;
    case ftMemo:
      SetMemo(std::string(text));
      return;
    case ftGuid:
      if (!IsGuidText(text)) fail();
      SetGuid(text);
      return;
    default:
      break;
  }
  isNull_ = false;
}

void TLinkParamItem::SetInteger(std::int32_t value) {
  raw_ = std::to_string(value);
  dataType_ = ftInteger;
  isNull_ = false;
}

void TLinkParamItem::SetSmallint(std::int16_t value) {
  raw_ = std::to_string(value);
  dataType_ = ftSmallint;
  isNull_ = false;
}

void TLinkParamItem::SetLargeint(std::int64_t value) {
  raw_ = std::to_string(value);
  dataType_ = ftLargeint;
  isNull_ = false;
}

void TLinkParamItem::SetFloat(double value) {
  raw_ = EncodeFloat9(value);
  dataType_ = ftFloat;
  isNull_ = false;
}

void TLinkParamItem::SetDate(base::TDateTime value) {
  raw_ = EncodeFloat9(value);
  dataType_ = ftDate;
  isNull_ = false;
}

void TLinkParamItem::SetTime(base::TDateTime value) {
  raw_ = EncodeFloat9(value);
  dataType_ = ftTime;
  isNull_ = false;
}

void TLinkParamItem::SetDateTime(base::TDateTime value) {
  raw_ = EncodeFloat9(value);
  dataType_ = ftDateTime;
  isNull_ = false;
}

void TLinkParamItem::SetBoolean(bool value) {
  raw_ = value ? "True" : "False";
  dataType_ = ftBoolean;
  isNull_ = false;
}

void TLinkParamItem::SetString(std::string value) {
  raw_ = std::move(value);
  dataType_ = ftString;
  isNull_ = false;
}

void TLinkParamItem::SetMemo(std::string value) {
  raw_ = std::move(value);
  dataType_ = ftMemo;
  isNull_ = false;
}

void TLinkParamItem::SetBlob(std::string bytes) {
  raw_ = std::move(bytes);
  dataType_ = ftBlob;
  isNull_ = false;
}

void TLinkParamItem::SetGuid(std::string_view guid) {
  dataType_ = ftGuid;
  if (IsGuidText(guid)) {
    raw_ = std::string(guid);
    isNull_ = false;
  } else {
    raw_.clear();
    isNull_ = true;
  }
}

bool TLinkParamItem::IsGuidText(std::string_view text) {
  if (text.size() != 38 || text.front() != '{' || text.back() != '}') return false;
  for (std::size_t i = 1; i < 37; ++i) {
    const bool hyphenPlace = i == 9 || i == 14 || i == 19 || i == 24;
    if (hyphenPlace ? text[i] != '-' : !IsHexDigit(text[i])) return false;
  }
  return true;
}

// ---------------------------------------------------------------------------
// TLinkParamList

TLinkParamList::TLinkParamList(const TLinkParamList& other) { other.CopyTo(*this, true); }

TLinkParamList& TLinkParamList::operator=(const TLinkParamList& other) {
  if (this != &other) other.CopyTo(*this, true);
  return *this;
}

TLinkParamItem& TLinkParamList::Append(std::unique_ptr<TLinkParamItem> item) {
  items_.push_back(std::move(item));
  return *items_.back();
}

TLinkParamItem& TLinkParamList::AddItem() {
  int n = Count();
  std::string name = "Param" + std::to_string(n);
  while (FindByName(name) != nullptr) name = "Param" + std::to_string(++n);
  auto item = std::make_unique<TLinkParamItem>();
  item->SetName(std::move(name));
  return Append(std::move(item));
}

TLinkParamItem& TLinkParamList::AddValue(const base::Variant& value) {
  TLinkParamItem& item = AddItem();
  item.SetName("FastAdd" + std::to_string(Count() - 1));
  item.SetParamType(ptInput);
  item.SetValue(value);
  return item;
}

TLinkParamItem& TLinkParamList::SetNamedValue(std::string_view name, const base::Variant& value) {
  TLinkParamItem* item = FindByName(name);
  if (item == nullptr) {
    item = &AddItem();
    item->SetName(std::string(name));
    item->SetParamType(ptInput);
  }
  item->SetValue(value);
  return *item;
}

TLinkParamItem& TLinkParamList::AddTyped(std::string_view name, TFieldType dataType, TLinkParamType paramType) {
  TLinkParamItem& item = AddItem();
  item.SetName(std::string(name));
  item.SetDataType(dataType);
  item.SetParamType(paramType);
  return item;
}

const TLinkParamItem* TLinkParamList::FindByName(std::string_view name) const {
  for (const auto& item : items_) {
    if (SameName(base::StrTrimView(item->Name()), name)) return item.get();
  }
  return nullptr;
}

TLinkParamItem* TLinkParamList::FindByName(std::string_view name) {
  return const_cast<TLinkParamItem*>(std::as_const(*this).FindByName(name));
}

const TLinkParamItem& TLinkParamList::GetByName(std::string_view name) const {
  const TLinkParamItem* item = FindByName(name);
  if (item == nullptr) throw ELinkParamException("Parameter Not Found: " + std::string(name));
  return *item;
}

TLinkParamItem& TLinkParamList::GetByName(std::string_view name) {
  return const_cast<TLinkParamItem&>(std::as_const(*this).GetByName(name));
}

const TLinkParamItem& TLinkParamList::ItemAt(int index) const {
  if (index < 0 || index >= Count()) {
    throw ELinkParamException("Index " + std::to_string(index) + " Out of bounds");
  }
  return *items_[static_cast<std::size_t>(index)];
}

TLinkParamItem& TLinkParamList::ItemAt(int index) {
  return const_cast<TLinkParamItem&>(std::as_const(*this).ItemAt(index));
}

std::string TLinkParamList::ToText(bool onlyInput) const {
  std::string out;
  std::string body;
  for (const auto& item : items_) {
    if (onlyInput && item->ParamType() != ptInput && item->ParamType() != ptInputOutput) continue;
    body.clear();
    body += item->Name();
    body += kSeparator;
    body += std::to_string(static_cast<int>(item->DataType()));
    body += kSeparator;
    body += std::to_string(static_cast<int>(item->ParamType()));
    body += kSeparator;
    body += item->IsNull() ? '1' : '0';
    body += kSeparator;
    body += std::to_string(item->RawValue().size());
    body += kSeparator;
    body += item->RawValue();
    if (body.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
      throw ELinkParamException("Parameter " + item->Name() + " is too large for a parameter list.");
    }
    AppendInt32(out, static_cast<std::int32_t>(body.size()));
    out += body;
  }
  return out;
}

TLinkParamList TLinkParamList::FromText(std::string_view text) {
  TLinkParamList list;
  std::size_t p = 0;
  while (p < text.size()) {
    const std::size_t left = text.size() - p;
    if (left < 4) {
      Damaged(p, "only " + std::to_string(left) + " bytes left for a record length");
    }
    const std::int32_t n = GetInt32(text.data() + p);
    if (n < 0) Damaged(p, "negative record length " + std::to_string(n));
    if (static_cast<std::size_t>(n) > left - 4) {
      Damaged(p, "record of " + std::to_string(n) + " bytes runs past the end (" + std::to_string(left - 4) +
                     " bytes left)");
    }
    const std::string_view body = text.substr(p + 4, static_cast<std::size_t>(n));

    std::size_t sep[5];
    std::size_t from = 0;
    for (std::size_t& s : sep) {
      s = body.find(kSeparator, from);
      if (s == std::string_view::npos) Damaged(p, "record has fewer than five separators");
      from = s + 1;
    }
    auto field = [&](int k) { return body.substr(sep[k - 1] + 1, sep[k] - sep[k - 1] - 1); };

    auto item = std::make_unique<TLinkParamItem>();
    item->SetName(std::string(body.substr(0, sep[0])));
    item->SetDataType(static_cast<TFieldType>(WireByte(field(1), p, "type code")));
    item->SetParamType(static_cast<TLinkParamType>(WireByte(field(2), p, "parameter direction")));
    item->SetIsNull(IntOrZero(field(3)) != 0);
    std::int32_t valueLength = 0;
    if (!base::TryStrToInt(field(4), valueLength)) Damaged(p, "value length is not a number");
    if (valueLength < 0) Damaged(p, "negative value length " + std::to_string(valueLength));
    // The value is taken from the end of the body, so it may hold byte 6.
    const std::size_t room = body.size() - from;
    if (static_cast<std::size_t>(valueLength) > room) {
      Damaged(p, "value length " + std::to_string(valueLength) + " exceeds the " + std::to_string(room) +
                     " value bytes of the record");
    }
    item->SetRawValue(std::string(body.substr(body.size() - static_cast<std::size_t>(valueLength))));
    list.Append(std::move(item));
    p += 4 + static_cast<std::size_t>(n);
  }
  return list;
}

void TLinkParamList::CopyTo(TLinkParamList& target, bool clear) const {
  if (&target == this) return;
  target.settings_ = settings_;
  if (clear) target.items_.clear();
  target.items_.reserve(target.items_.size() + items_.size());
  for (const auto& item : items_) target.items_.push_back(std::make_unique<TLinkParamItem>(*item));
}

TLinkParamList TLinkParamList::Clone() const {
  TLinkParamList copy;
  CopyTo(copy, true);
  return copy;
}

void TLinkParamList::ParamsFromSQL(const std::vector<std::string>& sqlLines) {
  std::string s;
  for (std::size_t k = 0; k < sqlLines.size(); ++k) {
    if (k > 0) s += "\r\n";
    s += sqlLines[k];
  }
  std::vector<std::string> names;
  auto record = [&names](std::string name) {
    if (name.empty()) return;
    for (const std::string& known : names) {
      if (SameName(known, name)) return;
    }
    names.push_back(std::move(name));
  };
  auto skipped = [](char c) {
    return c == '\'' || c == '\n' || c == '\r' || c == ' ' || c == ')' || c == '*' || c == '+' || c == ',' ||
           c == '-' || c == ';';
  };
  auto endsName = [](char c) { return c == '\r' || c == ' ' || c == '*' || c == '+' || c == ',' || c == '-'; };

  const std::size_t length = s.find(':') != std::string::npos ? s.size() : 0;
  std::size_t i = 0;  // characters consumed so far
  while (i < length) {
    const char c = s[i++];
    if (c == '\'') {
      const std::size_t close = s.find('\'', i);
      if (close == std::string::npos) {
        base::ShowMess("There is an open quote in your SQL String");
        break;
      }
      i = close + 1;
      continue;
    }
    if (c != ':') continue;
    std::string name;
    while (i < length) {
      const char d = s[i++];
      if (d == ':') throw ELinkParamException("Please check Syntax :param:param must be :param:param");
      if (!skipped(d)) name += d;
      if (endsName(d)) break;
    }
    record(std::move(name));
  }

  items_.clear();
  for (std::string& name : names) {
    auto item = std::make_unique<TLinkParamItem>();
    item->SetName(std::move(name));
    Append(std::move(item));
  }
}

std::string TLinkParamList::SQLLiteral(const TLinkParamItem& item) const {
  std::string s = item.ValueText();
  switch (item.DataType()) {
    case ftString:
    case ftMemo:
    case ftGuid:
      // Inside double quotes a single quote is an ordinary character.
      return base::AnsiQuotedStr(s, settings_.doubleQuote ? '"' : '\'');
    case ftDate:
    case ftTime:
    case ftDateTime: {
      const base::TDateTime v = item.ValueFloat();
      if (item.DataType() == ftDate && !settings_.dateMask.empty()) {
        s = base::FormatDateTime(settings_.dateMask, v);
      } else if (item.DataType() == ftDateTime && !settings_.dateTimeMask.empty()) {
        s = base::FormatDateTime(settings_.dateTimeMask, v);
      } else if (settings_.usDates && item.DataType() == ftDate) {
        s = base::FormatDateTime("MM/DD/YYYY", v);
      } else if (settings_.usDates && item.DataType() == ftDateTime) {
        s = base::FormatDateTime("MM/DD/YYYY hh:mm:ss", v);
      }
      if (settings_.hashDates) return "#" + s + "#";
      if (settings_.quoteDates) return "'" + s + "'";
      return s;
    }
    default:
      if (IsFloatType(item.DataType()) && !item.IsNull()) return FloatForSQL(item.ValueFloat());
      return s;
  }
}

std::string TLinkParamList::RenderSQL(const std::vector<std::string>& sqlLines, const TLinkRenderSettings& settings,
                                      const TCustomParamSyntax& customSyntax) {
  settings_ = settings;

  // What each placeholder becomes, worked out once. Items are tried in list
  // order at every ":" of the original text; inserted values are never
  // searched again, so a value holding ":name" stays as it was.
  struct Substitution {
    std::string placeholder;
    std::string text;
    bool nullCompare = false;
  };
  std::vector<Substitution> subs;
  subs.reserve(items_.size());
  for (const auto& item : items_) {
    if (item->Name().empty()) continue;
    Substitution sub{":" + item->Name(), {}, false};
    std::optional<std::string> custom;
    if (customSyntax) custom = customSyntax(*item);
    if (custom) {
      sub.text = " " + *custom;
    } else if (!customSyntax && item->IsNull()) {
      sub.nullCompare = true;
    } else {
      sub.text = " " + SQLLiteral(*item) + " ";
    }
    subs.push_back(std::move(sub));
  }

  std::string out;
  for (const std::string& line : sqlLines) {
    std::string t;
    t.reserve(line.size() + 16);
    std::size_t i = 0;
    while (i < line.size()) {
      const Substitution* hit = nullptr;
      if (line[i] == ':') {
        const std::string_view rest = std::string_view(line).substr(i);
        for (const Substitution& sub : subs) {
          if (rest.starts_with(sub.placeholder)) {
            hit = &sub;
            break;
          }
        }
      }
      if (hit == nullptr) {
        t.push_back(line[i++]);
        continue;
      }
      if (hit->nullCompare) {
        // "= :p" becomes "IS NULL"; anywhere else (IN lists, "<>", ":=") the
        // placeholder becomes a plain NULL so the statement stays valid.
        std::size_t k = t.size();
        while (k > 0 && (t[k - 1] == ' ' || t[k - 1] == '\t')) --k;
        const bool equality = k > 0 && t[k - 1] == '=' &&
                              (k < 2 || (t[k - 2] != '<' && t[k - 2] != '>' && t[k - 2] != '!' && t[k - 2] != ':'));
        if (equality) {
          t.erase(k - 1, 1);
          t += " IS NULL ";
        } else {
          t += " NULL ";
        }
      } else {
        t += hit->text;
      }
      i += hit->placeholder.size();
    }
    out += t;
    out += ' ';
  }
  settings_.usDates = false;
  return out;
}

}  // namespace mero::link
