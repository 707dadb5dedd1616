#include "data/remote/update_sql_builder.h"

#include <string_view>
#include <utility>

#include "base/date_format.h"
#include "base/format_settings.h"
#include "base/number_format.h"
#include "base/text_routines.h"
#include "data/database_error.h"
#include "data/field.h"

namespace mero::data {

using link::TFieldType;

namespace {

constexpr const char* kLineBreak = "\r\n";

bool SameName(std::string_view a, std::string_view b) {
  return base::UpperStr(base::StrTrimView(a)) == base::UpperStr(base::StrTrimView(b));
}

// Numbers in SQL always take '.' as the decimal point, whatever the display
// formats say: "2,5" would read as two values.
const base::FormatSettings& SQLNumberFormats() {
  static const base::FormatSettings fs = [] {
    base::FormatSettings s = base::FormatSettings::Greek();
    s.decimalSeparator = '.';
    s.thousandSeparator = ',';
    return s;
  }();
  return fs;
}

// Oracle's default date form names the months in English.
const base::FormatSettings& OracleDateFormats() {
  static const base::FormatSettings fs = [] {
    base::FormatSettings s = base::FormatSettings::Greek();
    const char* months[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    for (int i = 0; i < 12; ++i) s.shortMonthNames[static_cast<std::size_t>(i)] = months[i];
    return s;
  }();
  return fs;
}

// Long values travel as parameters; the placeholder names their kind.
const char* LongPrefix(TFieldType t) {
  switch (t) {
    case link::ftMemo:
      return "Memo";
    case link::ftBlob:
      return "Blob";
    case link::ftBytes:
      return "Bytes";
    case link::ftVarBytes:
      return "VarBytes";
    case link::ftGraphic:
      return "Graphic";
    case link::ftFmtMemo:
      return "FmtMemo";
    case link::ftTypedBinary:
      return "TypedBinary";
    default:
      return nullptr;
  }
}

bool IsLongValue(TFieldType t) { return LongPrefix(t) != nullptr; }

// Types whose fields a statement never writes: they hold nothing in the
// dataset, or have no fetch option.
bool NeverWritten(TFieldType t) {
  switch (t) {
    case link::ftUnknown:
    case link::ftParadoxOle:
    case link::ftDBaseOle:
    case link::ftCursor:
    case link::ftADT:
    case link::ftArray:
    case link::ftReference:
    case link::ftDataSet:
    case link::ftOraBlob:
    case link::ftOraClob:
    case link::ftVariant:
    case link::ftInterface:
    case link::ftIDispatch:
      return true;
    default:
      return false;
  }
}

std::string IntegerText(const base::Variant& v) {
  switch (v.kind()) {
    case base::Variant::Kind::Integer:
    case base::Variant::Kind::Int64:
    case base::Variant::Kind::Boolean:
      return std::to_string(v.AsInt64());
    case base::Variant::Kind::Double:
    case base::Variant::Kind::Date:
      return base::FloatToStr(v.AsDouble(), SQLNumberFormats());
    default:
      return v.AsText();
  }
}

}  // namespace

TLinkSQLSyntax TLinkSQLSyntax::Of(const link::TLinkClientSocket* socket) {
  TLinkSQLSyntax s;
  if (socket == nullptr) return s;
  s.syntax = socket->UpdateSQLSyntax();
  s.options = socket->SQLOptions();
  s.dateMask = socket->DateMaskForSQL();
  s.dateTimeMask = socket->DateTimeMaskForSQL();
  s.timeMask = socket->TimeMaskForSQL();
  s.customSQLSyntax = socket->OnCustomSQLSyntax;
  return s;
}

TLinkUpdateSQLBuilder::TLinkUpdateSQLBuilder(TUpdateTarget target, TLinkSQLSyntax syntax,
                                             std::vector<TUpdateField> fields)
    : target_(std::move(target)), syntax_(std::move(syntax)), fields_(std::move(fields)) {}

int TLinkUpdateSQLBuilder::FieldIndex(const std::string& name) const {
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    if (SameName(fields_[i].name, name)) return static_cast<int>(i);
  }
  return -1;
}

bool TLinkUpdateSQLBuilder::Writes(std::size_t field) const {
  const TUpdateField& f = fields_[field];
  if (f.readOnly || NeverWritten(f.type)) return false;
  if (!target_.autoIncrementField.empty() && SameName(f.name, target_.autoIncrementField)) return false;
  const auto option = [this](link::TLinkSelectSQLOptions o) { return ((target_.selectOptions >> o) & 1U) != 0; };
  switch (f.type) {
    case link::ftAutoInc:
      return option(link::soIgnoreAutoIncrement);
    case link::ftMemo:
      return option(link::soFetchMemos);
    case link::ftBlob:
    case link::ftGraphic:
    case link::ftFmtMemo:
    case link::ftTypedBinary:
      return option(link::soFetchBlobs);
    case link::ftBytes:
    case link::ftVarBytes:
      return option(link::soFetchBytes);
    default:
      return true;
  }
}

bool TLinkUpdateSQLBuilder::Changed(const TUpdateEntry& entry, std::size_t field) const {
  if (field >= entry.logged.size() || field >= entry.current.size()) return false;
  const TUpdateValue& was = entry.logged[field];
  const TUpdateValue& now = entry.current[field];
  if (was.value.IsNull() != now.value.IsNull()) return true;
  return was.text != now.text;
}

std::string TLinkUpdateSQLBuilder::Column(const std::string& name, bool qualified) const {
  std::string column;
  if (syntax_.Has(link::ssUseQuotesInFieldNames)) {
    column = "\"" + name + "\"";
  } else if (syntax_.Has(link::ssBracketsInFieldNames)) {
    column = "[" + name + "]";
  } else {
    column = name;
  }
  return qualified ? target_.tableName + "." + column : column;
}

std::string TLinkUpdateSQLBuilder::Literal(TFieldType type, const base::Variant& value, const std::string& text) const {
  if (IsTextType(type)) {
    // Inside double quotes a double quote is doubled as well: the value can
    // never end the literal early.
    return base::AnsiQuotedStr(value.AsText(), syntax_.Has(link::ssDoubleQuoteStrings) ? '"' : '\'');
  }
  const auto quoteDate = [this](std::string s) { return syntax_.Has(link::ssNoQuotesInDates) ? s : "'" + s + "'"; };
  switch (type) {
    case link::ftBoolean:
      if (syntax_.Has(link::ssBooleanAsInteger)) return value.AsBoolean() ? "1" : "0";
      return value.AsBoolean() ? "True" : "False";
    case link::ftFloat:
    case link::ftCurrency:
    case link::ftBCD: {
      const double v = value.AsDouble();
      if (v == 0) return "0";
      std::string s = base::FormatFloat("###############.###############", v, SQLNumberFormats());
      // Below the fifteenth decimal the pattern leaves nothing.
      return s.empty() || s == "-" ? "0" : s;
    }
    case link::ftDate:
      if (!syntax_.dateMask.empty()) return quoteDate(base::FormatDateTime(syntax_.dateMask, value.AsDouble()));
      return quoteDate(base::FormatDateTime("DD-MMM-YYYY", value.AsDouble(), OracleDateFormats()));
    case link::ftDateTime:
      if (!syntax_.dateTimeMask.empty()) {
        return quoteDate(base::FormatDateTime(syntax_.dateTimeMask, value.AsDouble()));
      }
      return quoteDate(base::FormatDateTime("DD-MMM-YYYY HH:NN:SS", value.AsDouble(), OracleDateFormats()));
    case link::ftTime:
      return quoteDate(
          base::FormatDateTime(syntax_.timeMask.empty() ? "hh:nn:ss" : syntax_.timeMask, value.AsDouble()));
    case link::ftSmallint:
    case link::ftInteger:
    case link::ftWord:
    case link::ftAutoInc:
    case link::ftLargeint:
      return IntegerText(value);
    default:
      return text;
  }
}

std::string TLinkUpdateSQLBuilder::Placeholder(std::size_t field, const base::Variant& value,
                                               link::TLinkParamList& longValues) const {
  const TUpdateField& f = fields_[field];
  const std::string base = std::string(LongPrefix(f.type)) + base::ReplaceAll(f.name, " ", "_");
  // Two rows' values of one field in one request need names of their own.
  std::string name = base;
  for (int n = 2; longValues.FindByName(name) != nullptr; ++n) name = base + "_" + std::to_string(n);
  link::TLinkParamItem& item = longValues.AddItem();
  item.SetName(name);
  if (f.type == link::ftMemo || f.type == link::ftFmtMemo) {
    item.SetMemo(value.AsText());
  } else {
    item.SetBlob(value.AsText());
  }
  return ":" + name;
}

std::string TLinkUpdateSQLBuilder::Value(std::size_t field, const TUpdateValue& value,
                                         link::TLinkParamList& longValues) const {
  const TUpdateField& f = fields_[field];
  if (syntax_.customSQLSyntax) {
    link::LinkSQLField asked{f.name, f.type, value.value.IsNull() ? base::Variant::Null() : value.value,
                             value.value.IsNull() ? std::string() : value.text};
    std::string result;
    bool handled = false;
    syntax_.customSQLSyntax(asked, result, handled);
    if (handled) return result;
  }
  if (value.value.IsNull() || value.value.IsEmpty()) return "NULL";
  if (IsLongValue(f.type)) return Placeholder(field, value.value, longValues);
  return Literal(f.type, value.value, value.text);
}

std::string TLinkUpdateSQLBuilder::Where(const TUpdateEntry& entry, link::TLinkParamList& longValues) const {
  std::vector<std::size_t> conditionFields;
  const auto add = [&conditionFields](std::size_t i) {
    for (std::size_t known : conditionFields) {
      if (known == i) return;
    }
    conditionFields.push_back(i);
  };
  if (target_.updateMode == upWhereKeyOnly || target_.updateMode == upWhereChanged) {
    for (const std::string& key : target_.primeFields) {
      if (base::StrTrim(key).empty()) continue;
      const int i = FieldIndex(key);
      if (i < 0) throw EDatabaseError(FieldNotFoundText(target_.dataSetName, base::StrTrim(key)));
      add(static_cast<std::size_t>(i));
    }
  }
  if (target_.updateMode == upWhereChanged) {
    for (std::size_t i = 0; i < fields_.size(); ++i) {
      if (Writes(i) && !IsLongValue(fields_[i].type) && Changed(entry, i)) add(i);
    }
  } else if (target_.updateMode == upWhereAll) {
    for (std::size_t i = 0; i < fields_.size(); ++i) {
      if (!fields_[i].readOnly && !NeverWritten(fields_[i].type) && !IsLongValue(fields_[i].type)) add(i);
    }
  }
  if (conditionFields.empty()) throw EDatabaseError(errors::kNoPrimeFields);

  std::string where = " Where ";
  bool first = true;
  for (std::size_t i : conditionFields) {
    if (!first) where += " AND ";
    first = false;
    const TUpdateValue& logged = entry.logged[i];
    // "= NULL" is never true: the row would silently stay as it was.
    if (logged.value.IsNull()) {
      where += Column(fields_[i].name, !syntax_.Has(link::ssNoTableNameInUpdateStatements)) + " IS NULL";
    } else {
      where += Column(fields_[i].name, !syntax_.Has(link::ssNoTableNameInUpdateStatements)) + " = " +
               Value(i, logged, longValues);
    }
  }
  return where;
}

std::string TLinkUpdateSQLBuilder::Terminated(std::string statement, bool insert) const {
  if (syntax_.Has(link::ssTerminateWithSemiColon) || (insert && syntax_.syntax == link::usAccess)) statement += ";";
  return statement;
}

std::string TLinkUpdateSQLBuilder::Update(const TUpdateEntry& entry, link::TLinkParamList& longValues) const {
  std::string sets;
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    if (!Writes(i) || !Changed(entry, i)) continue;
    if (!sets.empty()) sets += ",";
    sets += Column(fields_[i].name, !syntax_.Has(link::ssNoTableNameInUpdateStatements)) + " = " +
            Value(i, entry.current[i], longValues);
  }
  if (sets.empty()) return {};
  const std::string where = Where(entry, longValues);
  return Terminated("UPDATE " + target_.tableName + " SET " + sets + " " + where, false);
}

std::string TLinkUpdateSQLBuilder::Delete(const TUpdateEntry& entry, link::TLinkParamList& longValues) const {
  return Terminated("DELETE FROM " + target_.tableName + " " + Where(entry, longValues), false);
}

std::string TLinkUpdateSQLBuilder::Insert(const TUpdateEntry& entry, link::TLinkParamList& longValues) const {
  const bool qualified = syntax_.Has(link::ssTableNameInInsertStatments) && syntax_.syntax != link::usAccess;
  std::string columns;
  std::string values;
  const auto add = [&](const std::string& column, const std::string& value) {
    if (!columns.empty()) {
      columns += ",";
      values += ",";
    }
    columns += column;
    values += value;
  };
  const bool sequenced = !target_.autoIncrementField.empty() && !target_.oracleSequence.empty();
  const int sequenceField = sequenced ? FieldIndex(target_.autoIncrementField) : -1;
  if (sequenced && sequenceField < 0) {
    add(Column(base::StrTrim(target_.autoIncrementField), qualified), target_.oracleSequence + ".NextVal");
  }
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    if (static_cast<int>(i) == sequenceField) {
      add(Column(fields_[i].name, qualified), target_.oracleSequence + ".NextVal");
      continue;
    }
    if (!Writes(i)) continue;
    const TUpdateValue& v = entry.current[i];
    // Only fields with a value: NULLs and empty texts are left to the
    // table's defaults.
    bool hasValue = !v.value.IsNull() && !v.value.IsEmpty();
    if (hasValue && !IsDateType(fields_[i].type)) {
      hasValue = IsLongValue(fields_[i].type) ? !v.value.AsText().empty() : !v.text.empty();
    }
    if (!hasValue) continue;
    add(Column(fields_[i].name, qualified), Value(i, v, longValues));
  }
  return Terminated("Insert Into " + target_.tableName + " (" + columns + ")\r Values (" + values + ")", true);
}

std::string TLinkUpdateSQLBuilder::Statement(const TUpdateEntry& entry, link::TLinkParamList& longValues) const {
  if (base::StrTrim(target_.tableName).empty()) throw EDatabaseError(errors::kNoUpdateTableName);
  const std::size_t n = fields_.size();
  if (entry.logged.size() != n) return {};
  switch (entry.delta) {
    case ldModified:
      return entry.current.size() == n ? Update(entry, longValues) : std::string();
    case ldDeleted:
      return Delete(entry, longValues);
    case ldInserted:
      return entry.current.size() == n ? Insert(entry, longValues) : std::string();
  }
  return {};
}

TUpdateStatements TLinkUpdateSQLBuilder::Build(const std::vector<TUpdateEntry>& entries) const {
  TUpdateStatements out;
  for (const TUpdateEntry& entry : entries) {
    std::string statement = Statement(entry, out.longValues);
    if (!statement.empty()) out.statements.push_back(std::move(statement));
  }
  return out;
}

std::string TLinkUpdateSQLBuilder::RequestText(const std::vector<std::string>& statements, bool transaction,
                                               const std::string& transactionStart, const std::string& transactionEnd) {
  std::string text;
  if (transaction) {
    text += transactionStart.empty() ? "BEGIN TRANSACTION" : transactionStart;
    text += kLineBreak;
  }
  for (const std::string& s : statements) {
    text += s;
    text += kLineBreak;
  }
  if (transaction) {
    text += transactionEnd.empty() ? "COMMIT" : transactionEnd;
    text += kLineBreak;
  }
  return text;
}

}  // namespace mero::data
