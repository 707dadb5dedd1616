#include "data/dataset_utils.h"

#include <exception>
#include <memory>
#include <utility>

#include "base/encoding.h"
#include "base/format_settings.h"
#include "base/message_seam.h"
#include "base/number_format.h"
#include "base/runtime.h"
#include "base/text_routines.h"
#include "base/trace.h"
#include "data/database_error.h"
#include "data/field.h"

namespace mero::data {

using namespace mero::base::literals;

namespace {

bool Debugging() { return base::Rt().debugLevel > 0; }

TField& FieldOf(TDataSet& ds, std::string_view field) { return ds.FieldByName(base::StrTrim(field)); }

// A comma text in the usual list form: an item holding a blank, a control
// character, a comma or a double quote is double-quoted, its quotes doubled.
std::string CommaText(const std::vector<std::string>& items) {
  std::string out;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) out += ',';
    const std::string& item = items[i];
    bool quote = false;
    for (const char c : item) {
      if (static_cast<unsigned char>(c) <= ' ' || c == ',' || c == '"') {
        quote = true;
        break;
      }
    }
    if (!quote) {
      out += item;
      continue;
    }
    out += '"';
    for (const char c : item) {
      if (c == '"') out += '"';
      out += c;
    }
    out += '"';
  }
  return out;
}

void SplitLines(std::string_view text, std::vector<std::string>& lines) {
  lines.clear();
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = start;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    lines.emplace_back(text.substr(start, end - start));
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
}

// The failure of a setter: the message (always, or only when debugging).
void ReportSetFailure(std::string_view field, bool always) {
  if (always || Debugging()) base::ShowMess(SetFieldFailedText(base::StrTrim(field)));
}

// Runs a write; false after a refusal, which is reported.
template <typename Write>
bool TryWrite(std::string_view field, bool alwaysReport, Write write) {
  try {
    write();
    return true;
  } catch (const std::exception&) {
    ReportSetFailure(field, alwaysReport);
    return false;
  }
}

// Views see nothing while the cursor walks; it returns to its row after.
class CursorWalk {
 public:
  explicit CursorWalk(TDataSet& ds) : ds_(ds), mark_(ds.GetBookmark()), quiet_(ds) {}
  ~CursorWalk() {
    try {
      if (ds_.BookmarkValid(mark_)) ds_.GotoBookmark(mark_);
    } catch (...) {
      // The row went away meanwhile: the cursor stays where the walk ended.
    }
  }
  CursorWalk(const CursorWalk&) = delete;
  CursorWalk& operator=(const CursorWalk&) = delete;

 private:
  TDataSet& ds_;
  TBookmark mark_;
  // Ends after the cursor is back: the views hear of the walk once.
  DisabledControls quiet_;
};

struct UtilsState {
  bool initialized = false;
  std::unique_ptr<TMyDictInfo> dict;
  std::vector<std::string> lookupNames;
  std::vector<std::string> lookupLabels;
  SQLDisplay display;
};

UtilsState& State() {
  static UtilsState state;
  return state;
}

}  // namespace

std::string SetFieldFailedText(std::string_view field) {
  return "Σφάλμα κατα την μεταβολή τιμής. Πεδίο : "_gr + std::string(field);
}

bool DataSetIsEmpty(TDataSet& ds) {
  if (!ds.Active()) return true;
  const bool empty = ds.IsEmpty();
  if (Debugging() && (ds.Bof() && ds.Eof()) != empty) base::ShowMess(kEmptinessDisagrees);
  return empty;
}

bool IsEditing(const TDataSet& ds) { return ds.State() == dsEdit || ds.State() == dsInsert; }

base::Variant FieldValue(TDataSet& ds, std::string_view field) {
  if (!ds.Active()) return {};
  const std::string name = base::StrTrim(field);
  if (const TField* f = ds.FindField(name)) return f->Value();
  std::int32_t index = 0;
  if (!base::TryStrToInt(name, index)) return ds.FieldByName(name).Value();
  if (index < 0 || index >= ds.FieldCount()) {
    throw EDatabaseError("Field index " + std::to_string(index) + " out of range");
  }
  return ds.Fields(index).Value();
}

std::string FieldStr(TDataSet& ds, std::string_view field, int width) {
  std::string text = ds.Active() ? FieldOf(ds, field).AsString() : std::string();
  if (width > 0) text = base::FitStr(text, width, true);
  return text;
}

namespace {

// The field's value read by `read`; 0 for a closed dataset, a NULL or a
// value that does not convert.
template <typename T, typename Read>
T NumberOrZero(TDataSet& ds, std::string_view field, Read read) {
  if (!ds.Active()) return 0;
  const TField& f = FieldOf(ds, field);
  if (f.IsNull()) return 0;
  try {
    return read(f);
  } catch (const EDatabaseError&) {
    return 0;
  }
}

}  // namespace

int FieldInt(TDataSet& ds, std::string_view field) {
  return NumberOrZero<int>(ds, field, [](const TField& f) { return f.AsInteger(); });
}

double FieldFloat(TDataSet& ds, std::string_view field) {
  return NumberOrZero<double>(ds, field, [](const TField& f) { return f.AsFloat(); });
}

base::TDateTime FieldDate(TDataSet& ds, std::string_view field) {
  return NumberOrZero<base::TDateTime>(ds, field, [](const TField& f) { return f.AsDateTime(); });
}

bool FieldBool(TDataSet& ds, std::string_view field) {
  if (!ds.Active()) return false;
  return FieldOf(ds, field).AsBoolean();
}

void FieldLines(TDataSet& ds, std::string_view field, std::vector<std::string>& lines) {
  SplitLines(FieldStr(ds, field, 0), lines);
}

bool SetFieldStr(TDataSet& ds, std::string_view field, std::string_view text) {
  if (ds.State() == dsBrowse) return false;
  return TryWrite(field, true, [&] {
    TField& f = FieldOf(ds, field);
    if (text.empty()) {
      f.Clear();
    } else {
      f.SetAsString(text);
    }
  });
}

void SetFieldInt(TDataSet& ds, std::string_view field, int value) {
  try {
    FieldOf(ds, field).SetAsInteger(value);
  } catch (const std::exception&) {
    ReportSetFailure(field, false);
    throw;
  }
}

void SetFieldFloat(TDataSet& ds, std::string_view field, double value) { FieldOf(ds, field).SetAsFloat(value); }

bool SetFieldDate(TDataSet& ds, std::string_view field, base::TDateTime value) {
  if (value == 0 || ds.State() == dsBrowse) return false;
  return TryWrite(field, false, [&] { FieldOf(ds, field).SetAsDateTime(value); });
}

bool SetFieldBool(TDataSet& ds, std::string_view field, bool value) {
  return TryWrite(field, false, [&] { FieldOf(ds, field).SetAsBoolean(value); });
}

bool SetFieldLines(TDataSet& ds, std::string_view field, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return TryWrite(field, false, [&] { FieldOf(ds, field).SetAsString(text); });
}

int ColumnValues(TDataSet& ds, std::string_view field, std::vector<std::string>& list) {
  list.clear();
  if (!ds.Active()) return 0;
  const std::string name = base::StrTrim(field);
  const bool allFields = name == "*" || name == "@";
  const TField* column = allFields ? nullptr : &ds.FieldByName(name);
  CursorWalk walk(ds);
  ds.First();
  while (!ds.Eof()) {
    if (column != nullptr) {
      list.push_back(column->AsString());
    } else {
      std::string line;
      for (int i = 0; i < ds.FieldCount(); ++i) {
        if (i > 0) line += '|';
        line += ds.Fields(i).AsString();
      }
      list.push_back(std::move(line));
    }
    ds.Next();
  }
  return static_cast<int>(list.size());
}

std::string FieldListText(TDataSet& ds, int what, bool visibleOnly) {
  if (what < 1 || what > 3) return {};
  std::vector<std::string> items;
  for (int i = 0; i < ds.FieldCount(); ++i) {
    const TField& f = ds.Fields(i);
    if (visibleOnly && !f.Visible()) continue;
    switch (what) {
      case 1:
        items.push_back(f.FieldName());
        break;
      case 2:
        items.push_back(f.DisplayLabel());
        break;
      default:
        items.push_back(std::to_string(f.DisplayWidth()));
        break;
    }
  }
  return CommaText(items);
}

std::string FieldNameOfLabel(TDataSet& ds, std::string_view label) {
  const std::string wanted = base::UpperStr(base::StrTrim(label));
  for (int i = 0; i < ds.FieldCount(); ++i) {
    const TField& f = ds.Fields(i);
    if (base::UpperStr(f.DisplayLabel()) == wanted) return f.FieldName();
  }
  return {};
}

std::string LabelOfField(TDataSet& ds, std::string_view name) {
  const std::string wanted = base::UpperStr(base::StrTrim(name));
  for (int i = 0; i < ds.FieldCount(); ++i) {
    const TField& f = ds.Fields(i);
    if (base::UpperStr(f.FieldName()) == wanted) return f.DisplayLabel();
  }
  return {};
}

int DefaultDisplayWidth(link::TFieldType type, int displayWidth) {
  switch (type) {
    case link::ftUnknown:
      return 2;
    case link::ftString:
    case link::ftBytes:
    case link::ftVarBytes:
      return displayWidth <= 60 ? displayWidth : 30;
    case link::ftSmallint:
    case link::ftWord:
    case link::ftBoolean:
      return 5;
    case link::ftFloat:
    case link::ftCurrency:
    case link::ftBCD:
      return 15;
    case link::ftDate:
      // The long-year switch: dates show four-digit years when the short
      // date format has them.
      return base::ProcessFormats().shortDateFormat.find("yyyy") != std::string::npos ? 10 : 8;
    case link::ftAutoInc:
      return 0;
    default:
      return type >= 18 ? 0 : 10;
  }
}

void SetDefaultWidths(TDataSet& ds, int max) {
  for (int i = 0; i < ds.FieldCount(); ++i) {
    TField& f = ds.Fields(i);
    int width = DefaultDisplayWidth(f.DataType(), f.DisplayWidth());
    if (max > 0 && width > max) width = max;
    f.SetDisplayWidth(width);
    const link::TFieldType type = f.DataType();
    if (type == link::ftFloat || type == link::ftCurrency || type == link::ftBCD) f.SetDisplayFormat("#,###.00");
  }
}

std::uint32_t StateColour(int state) {
  switch (state) {
    case dsEdit:
      return kColourRed;
    case dsInsert:
      return kColourMagenta;
    default:
      return kColourCyan;
  }
}

// TMyDictInfo

void TMyDictInfo::AddTable(std::string_view table, std::string flags, std::vector<std::string> fields,
                           std::vector<std::string> descriptors) {
  for (std::string& f : fields) f = base::UpperStr(base::StrTrim(f));
  descriptors.resize(fields.size());
  tables_[base::UpperStr(base::StrTrim(table))] = Table{std::move(flags), std::move(fields), std::move(descriptors)};
}

bool TMyDictInfo::HasTable(std::string_view table) const {
  return tables_.find(base::UpperStr(base::StrTrim(table))) != tables_.end();
}

std::string TMyDictInfo::Flags(std::string_view table) const {
  const auto it = tables_.find(base::UpperStr(base::StrTrim(table)));
  return it == tables_.end() ? std::string() : it->second.flags;
}

std::vector<std::string> TMyDictInfo::FieldNames(std::string_view table) const {
  const auto it = tables_.find(base::UpperStr(base::StrTrim(table)));
  return it == tables_.end() ? std::vector<std::string>() : it->second.fields;
}

std::string TMyDictInfo::Descriptor(std::string_view table, std::string_view field) const {
  const auto it = tables_.find(base::UpperStr(base::StrTrim(table)));
  if (it == tables_.end()) return {};
  const std::string name = base::UpperStr(base::StrTrim(field));
  const Table& t = it->second;
  for (std::size_t i = 0; i < t.fields.size(); ++i) {
    if (t.fields[i] == name) return t.descriptors[i];
  }
  return {};
}

std::string TMyDictInfo::Label(std::string_view table, std::string_view field) const {
  return base::GetNField(Descriptor(table, field), ":", 1);
}

// The SQL display and the start of the utilities

void SetSQLDisplay(SQLDisplay display) { State().display = std::move(display); }

void ShowSQL(const std::string& sql) {
  const SQLDisplay& display = State().display;
  if (display) {
    display(sql);
  } else if (!sql.empty()) {
    base::MessDlg(sql, base::mkInformation, 0, -1);
  }
}

void InitDataSetUtils() {
  UtilsState& s = State();
  if (s.initialized) return;
  s.initialized = true;
  if (!s.dict) s.dict = std::make_unique<TMyDictInfo>();
  s.lookupNames.clear();
  s.lookupLabels.clear();
  if (Debugging()) ShowSQL({});
}

void ResetDataSetUtils() {
  UtilsState& s = State();
  s.initialized = false;
  s.dict.reset();
  s.lookupNames.clear();
  s.lookupLabels.clear();
  s.display = nullptr;
}

TMyDictInfo& DictInfo() {
  UtilsState& s = State();
  if (!s.dict) s.dict = std::make_unique<TMyDictInfo>();
  return *s.dict;
}

std::vector<std::string>& LookupFieldNames() { return State().lookupNames; }
std::vector<std::string>& LookupFieldLabels() { return State().lookupLabels; }

}  // namespace mero::data
