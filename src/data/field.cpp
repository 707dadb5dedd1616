#include "data/field.h"

#include "base/date_format.h"
#include "base/number_format.h"
#include "data/database_error.h"
#include "data/dataset.h"
#include "data/field_value.h"
#include "data/filter_expression.h"

namespace mero::data {

using base::Variant;

bool IsTextType(link::TFieldType type) {
  return type == link::ftString || type == link::ftFixedChar || type == link::ftWideString || type == link::ftGuid;
}

bool IsNumericType(link::TFieldType type) {
  switch (type) {
    case link::ftSmallint:
    case link::ftInteger:
    case link::ftWord:
    case link::ftFloat:
    case link::ftCurrency:
    case link::ftBCD:
    case link::ftAutoInc:
    case link::ftLargeint:
      return true;
    default:
      return false;
  }
}

bool IsDateType(link::TFieldType type) {
  return type == link::ftDate || type == link::ftTime || type == link::ftDateTime;
}

bool IsLongType(link::TFieldType type) {
  switch (type) {
    case link::ftVarBytes:
    case link::ftBlob:
    case link::ftMemo:
    case link::ftGraphic:
    case link::ftFmtMemo:
    case link::ftTypedBinary:
    case link::ftDataSet:
      return true;
    default:
      return false;
  }
}

TField::TField(TDataSet& dataSet, std::string name, link::TFieldType type, int size)
    : dataSet_(&dataSet), name_(std::move(name)), type_(type), size_(size) {}

int TField::DisplayWidth() const {
  if (displayWidth_ >= 0) return displayWidth_;
  switch (type_) {
    case link::ftString:
    case link::ftFixedChar:
    case link::ftWideString:
    case link::ftGuid:
    case link::ftBytes:
      return size_;
    case link::ftSmallint:
      return 6;
    case link::ftInteger:
    case link::ftAutoInc:
      return 11;
    case link::ftWord:
    case link::ftBoolean:
      return 5;
    case link::ftLargeint:
      return 15;
    case link::ftDateTime:
      return 18;
    default:
      return 10;
  }
}

void TField::SetCustomConstraint(std::string expression) {
  std::shared_ptr<TLinkFilterTreeReader> tree;
  if (expression.find_first_not_of(" \t\r\n") != std::string::npos) {
    tree = std::make_shared<TLinkFilterTreeReader>(expression);
  }
  constraint_ = std::move(tree);
  customConstraint_ = std::move(expression);
}

bool TField::IsNull() const {
  if (!dataSet_->Active()) return true;
  return dataSet_->FieldIsNull(*this);
}

Variant TField::Value() const {
  if (!dataSet_->Active()) return Variant::Null();
  return dataSet_->ReadField(*this);
}

void TField::SetValue(const Variant& value) { dataSet_->WriteField(*this, value); }

std::string TField::AsString() const { return ValueText(Value(), type_); }

void TField::SetAsString(std::string_view text) { SetValue(Variant::Text(std::string(text))); }

std::int32_t TField::AsInteger() const {
  const Variant v = ToFieldValue(Value(), link::ftInteger, name_);
  return v.IsNull() ? 0 : v.AsInteger();
}

void TField::SetAsInteger(std::int32_t value) { SetValue(Variant::Integer(value)); }

std::int64_t TField::AsLargeInt() const {
  const Variant v = ToFieldValue(Value(), link::ftLargeint, name_);
  return v.IsNull() ? 0 : v.AsInt64();
}

void TField::SetAsLargeInt(std::int64_t value) { SetValue(Variant::Int64(value)); }

double TField::AsFloat() const {
  const Variant v = ToFieldValue(Value(), link::ftFloat, name_);
  return v.IsNull() ? 0 : v.AsDouble();
}

void TField::SetAsFloat(double value) { SetValue(Variant::Double(value)); }

base::TDateTime TField::AsDateTime() const {
  const Variant v = Value();
  if (v.kind() == Variant::Kind::Date) return v.AsDouble();
  const Variant d = ToFieldValue(v, link::ftDateTime, name_);
  return d.IsNull() ? 0 : d.AsDouble();
}

void TField::SetAsDateTime(base::TDateTime value) { SetValue(Variant::Date(value)); }

bool TField::AsBoolean() const {
  const Variant v = ToFieldValue(Value(), link::ftBoolean, name_);
  return !v.IsNull() && v.AsBoolean();
}

void TField::SetAsBoolean(bool value) { SetValue(Variant::Boolean(value)); }

void TField::Clear() { SetValue(Variant::Null()); }

std::string TField::DisplayText() const { return DisplayTextOf(Value()); }

std::string TField::DisplayTextOf(const Variant& v) const {
  if (v.IsNull() || v.IsEmpty()) return std::string();
  if (!displayFormat_.empty()) {
    if (IsNumericType(type_)) {
      const Variant n = ToFieldValue(v, link::ftFloat, name_);
      return base::FormatFloat(displayFormat_, n.IsNull() ? 0 : n.AsDouble());
    }
    if (IsDateType(type_)) return base::FormatDateTime(displayFormat_, v.AsDouble());
  }
  return ValueText(v, type_);
}

}  // namespace mero::data
