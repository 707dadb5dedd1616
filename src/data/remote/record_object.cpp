#include "data/remote/record_object.h"

#include "base/date_routines.h"
#include "base/exception.h"
#include "base/number_format.h"
#include "base/number_routines.h"
#include "base/text_routines.h"
#include "data/dataset.h"
#include "data/field.h"
#include "data/remote/application_dataset.h"
#include "data/remote/query_utils.h"

namespace mero::data {

namespace {

std::string UpperTrim(std::string_view text) { return base::UpperStr(base::StrTrim(text)); }

bool IsWholeNumber(std::string_view text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  if (i == text.size()) return false;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  return true;
}

}  // namespace

TKZBaseInfoOb::TKZBaseInfoOb(std::string_view keyField) : keyField_(UpperTrim(keyField)) {}

void TKZBaseInfoOb::ClearLists() {
  values_.clear();
  list2_.clear();
  list3_.clear();
}

void TKZBaseInfoOb::Reset(std::string_view keyField) {
  keyField_ = UpperTrim(keyField);
  ClearLists();
}

int TKZBaseInfoOb::LoadRow(TDataSet* ds) {
  if (ds == nullptr || ds->FieldCount() == 0) return 0;
  values_.clear();
  keyValue_.clear();
  const bool hasRow = ds->Active() && !ds->IsEmpty();
  for (int i = 0; i < ds->FieldCount(); ++i) {
    const TField& field = ds->Fields(i);
    const std::string name = base::UpperStr(field.FieldName());
    const std::string text = hasRow && !field.IsNull() ? field.AsString() : std::string();
    values_.push_back(name + "=" + text);
    if (name == keyField_) keyValue_ = text;
  }
  AfterLoad();
  return 1;
}

void TKZBaseInfoOb::SetValue(std::string_view name, std::string_view text) {
  values_.push_back(UpperTrim(name) + "=" + std::string(text));
}

void TKZBaseInfoOb::SetFloat(std::string_view name, double number) {
  // The process's own number form, which ValueFloat reads back.
  SetValue(name, base::FormatNum(number, 10));
}

std::string TKZBaseInfoOb::Value(std::string_view name) const {
  const std::string wanted = UpperTrim(name);
  for (const std::string& line : values_) {
    const std::size_t eq = line.find('=');
    if (eq == wanted.size() && line.compare(0, eq, wanted) == 0) return line.substr(eq + 1);
  }
  return {};
}

int TKZBaseInfoOb::ValueInt(std::string_view name) const {
  const std::string text = Value(name);
  std::int32_t value = 0;
  if (!base::TryStrToInt(base::StrTrim(text), value)) {
    throw base::Exception("'" + text + "' is not a valid integer value");
  }
  return value;
}

int TKZBaseInfoOb::ValueIntDef(std::string_view name) const {
  std::int32_t value = 0;
  return base::TryStrToInt(base::StrTrim(Value(name)), value) ? value : 0;
}

double TKZBaseInfoOb::ValueFloat(std::string_view name) const { return base::StrToFloatZ(Value(name)); }

base::TDateTime TKZBaseInfoOb::ValueDate(std::string_view name) const {
  base::TDateTime date = 0;
  return base::StrToDateEx(Value(name).substr(0, 10), false, date) ? date : 0;
}

TKZInfoOb::TKZInfoOb(std::string_view table, bool numericKey, std::string_view keyField)
    : TKZBaseInfoOb(keyField), table_(UpperTrim(table)), numericKey_(numericKey) {}

void TKZInfoOb::Setup(std::string_view table, std::string_view keyField, bool numericKey) {
  Reset(keyField);
  table_ = UpperTrim(table);
  numericKey_ = numericKey;
  // The values are gone: the next Fetch reads the row again whatever its key.
  lastKey_.clear();
}

void TKZInfoOb::LoadFrom(TDataSet* ds, int /*extra*/) {
  lastKey_.clear();
  LoadRow(ds);
}

int TKZInfoOb::Fetch(std::string_view key, int extra, bool force) {
  if (key == lastKey_ && !force) return 1;
  if (numericKey_ && !IsWholeNumber(base::StrTrim(key))) {
    throw base::Exception(std::string(errors::kKeyNotNumeric) + std::string(key));
  }
  std::unique_ptr<TKZLINK> query = NewQuery();
  try {
    keyValue_ = std::string(key);
    const std::string literal = numericKey_ ? base::StrTrim(key) : base::QuotedStr(key);
    OpenSQL(*query, "select * from " + table_ + " where " + KeyField() + "=" + literal, -1);
    LoadFrom(query.get(), extra);
    lastKey_ = std::string(key);
  } catch (...) {
    FreeQuery(query);
    throw;
  }
  FreeQuery(query);
  return 1;
}

}  // namespace mero::data
