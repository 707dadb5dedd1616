#include "data/remote/query_utils.h"

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>

#include "base/date_format.h"
#include "base/date_routines.h"
#include "base/encoding.h"
#include "base/exception.h"
#include "base/file_routines.h"
#include "base/number_format.h"
#include "base/runtime.h"
#include "base/text_routines.h"
#include "base/trace.h"
#include "base/variant_routines.h"
#include "data/dataset_utils.h"
#include "data/field.h"
#include "data/memory_dataset.h"
#include "data/remote/application_dataset.h"
#include "data/remote/base_client_dataset.h"
#include "link/client/client_socket.h"

namespace mero::data {

namespace {

SqlWaitCursorHook& WaitCursorHook() {
  static SqlWaitCursorHook hook;
  return hook;
}

// Frees a query of its own on every way out of an operation.
class QueryHolder {
 public:
  explicit QueryHolder(link::TLinkClientSocket* socket = nullptr) : query_(NewQuery()) {
    if (socket != nullptr) query_->SetLinkClientSocket(socket);
  }
  ~QueryHolder() { FreeQuery(query_); }
  QueryHolder(const QueryHolder&) = delete;
  QueryHolder& operator=(const QueryHolder&) = delete;
  TKZLINK& operator*() const { return *query_; }
  TKZLINK* operator->() const { return query_.get(); }

 private:
  std::unique_ptr<TKZLINK> query_;
};

// Shows the wait cursor for as long as it lives.
class WaitCursor {
 public:
  WaitCursor() {
    if (WaitCursorHook()) WaitCursorHook()(true);
  }
  ~WaitCursor() {
    if (WaitCursorHook()) WaitCursorHook()(false);
  }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

// Seconds with three decimals, for the log.
std::string SecondsText(std::chrono::steady_clock::duration elapsed) {
  const double seconds = std::chrono::duration<double>(elapsed).count();
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.3f", seconds);
  return buffer;
}

std::vector<std::string> SplitNames(std::string_view text, std::string_view separator) {
  std::vector<std::string> out;
  if (text.empty()) return out;
  if (separator.empty()) {
    out.emplace_back(base::UpperStr(base::StrTrim(text)));
    return out;
  }
  std::size_t start = 0;
  while (true) {
    const std::size_t pos = text.find(separator, start);
    out.emplace_back(base::UpperStr(base::StrTrim(text.substr(start, pos - start))));
    if (pos == std::string_view::npos) break;
    start = pos + separator.size();
  }
  return out;
}

// A date-time number read from a value: dates and numbers as they are, texts
// in the process formats.
double DateOfVariant(const base::Variant& v) {
  using Kind = base::Variant::Kind;
  switch (v.kind()) {
    case Kind::Date:
    case Kind::Double:
      return v.AsDouble();
    case Kind::Integer:
    case Kind::Int64:
      return static_cast<double>(v.AsInt64());
    case Kind::Text: {
      base::TDateTime date = 0;
      return base::TryStrToDateTime(v.AsText(), date) ? date : 0;
    }
    default:
      return 0;
  }
}

// The value text of a field, written with the process's decimal separator.
std::string FixedText(double value, int decimals, bool trimZeros) {
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  std::string text = buffer;
  if (trimZeros) {
    const std::size_t point = text.find('.');
    if (point != std::string::npos) {
      std::size_t end = text.find_last_not_of('0');
      if (end == point) --end;
      text.erase(end + 1);
    }
  }
  const std::size_t point = text.find('.');
  if (point != std::string::npos) text[point] = base::ProcessFormats().decimalSeparator;
  return text;
}

bool HasFolder(const std::string& file) { return file.find_first_of("/\\") != std::string::npos; }

}  // namespace

QueryUtilsState& QueryGlobals() {
  static QueryUtilsState state;
  return state;
}

link::TLinkClientSocket* SharedSocket() { return QueryGlobals().socket; }
void SetSharedSocket(link::TLinkClientSocket* socket) { QueryGlobals().socket = socket; }
TKZLINK* GlobalQuery() { return QueryGlobals().globalQuery; }
void SetGlobalQuery(TKZLINK* query) { QueryGlobals().globalQuery = query; }

void SetSqlWaitCursor(SqlWaitCursorHook hook) { WaitCursorHook() = std::move(hook); }

void detail::ResetQueryGlobals() {
  WaitCursorHook() = nullptr;
  QueryGlobals() = QueryUtilsState{};
}

std::unique_ptr<TKZLINK> NewQuery() {
  auto query = std::make_unique<TKZLINK>();
  if (SharedSocket() != nullptr) query->SetLinkClientSocket(SharedSocket());
  return query;
}

void FreeQuery(std::unique_ptr<TKZLINK>& query) {
  if (!query) return;
  // Closing may talk to the server (an open packet cursor); a failure there
  // must not stop the query from being freed.
  try {
    query->Close();
  } catch (const std::exception&) {
  }
  query.reset();
}

bool OpenQuery(TLinkBaseClientDataSet& query) {
  QueryUtilsState& state = QueryGlobals();
  query.Close();
  if (query.Name().empty()) query.SetName("ON_THE_FLY");
  if (query.LinkClientSocket() == nullptr && state.socket != nullptr) query.SetLinkClientSocket(state.socket);
  query.SetSQLOption(link::soFetchMemos, true);
  if (!state.keepDoubleQuotes) {
    const std::string text = query.SQLText();
    const std::string rewritten = base::ReplaceAll(text, "\"", "'");
    if (rewritten != text) {
      const link::TLinkParamList params = query.Params();
      query.SetSQLText(rewritten);
      query.Params() = params;
    }
  }
  const std::string sql = query.SQLText();
  const int level = base::Rt().debugLevel;
  try {
    if (state.socket != nullptr && !state.socket->Active()) state.socket->OpenAndWait();
    state.connected = state.socket != nullptr && state.socket->Connected();
    if (level > 0) ShowSQL(sql);
    WaitCursor cursor;
    std::string line;
    const auto start = std::chrono::steady_clock::now();
    if (level > 1) {
      line = "S>" + base::TimeStampStr();
      base::DebugLog(line);
      if (level > 8) base::DebugLog(sql);
    }
    query.Open();
    if (level > 1) {
      base::DebugLog(line + " End:" + base::TimeStampStr() + "  DUR=**" +
                     SecondsText(std::chrono::steady_clock::now() - start) + "**");
    }
  } catch (...) {
    state.connected = state.socket != nullptr && state.socket->Connected();
    ShowSQL(sql);
    throw;
  }
  return !query.IsEmpty();
}

bool OpenSQL(TLinkBaseClientDataSet& query, std::string_view sql, int keyMode, std::string_view table,
             std::string_view keyField) {
  query.Close();
  query.SetSQLText(sql);
  SetQueryKey(query, keyMode, table, keyField);
  return OpenQuery(query);
}

void SetQueryKey(TLinkBaseClientDataSet& query, int mode, std::string_view table, std::string_view keyField) {
  auto* kz = dynamic_cast<TKZLINK*>(&query);
  if (kz == nullptr || mode == -1) return;
  if (mode == 1) {
    kz->SetzKeyF(std::string(keyField));
    kz->SetzKeyTAB(std::string(table));
  } else {
    kz->SetzKeyF({});
    kz->SetzKeyTAB({});
  }
  kz->SetzzIMCID(std::string(table));
}

void RunStatement(const std::string& sql, bool commit, link::TLinkClientSocket* socket) {
  QueryHolder query(socket);
  query->SendStatement(sql);
  if (base::Rt().debugLevel > 8) base::DebugLog(sql);
  if (commit) query->SendStatement("commit");
}

void ExecSQL(const std::string& sql) { RunStatement(sql, false); }
void ExecSQLCommit(const std::string& sql) { RunStatement(sql, true); }
void CommitWork() { ExecSQL("commit"); }
void CommitWork(link::TLinkClientSocket* socket) { RunStatement("commit", false, socket); }

void RefreshQuery(TDataSet& ds) {
  if (!ds.Active()) {
    ds.Open();
    return;
  }
  // "At the end" also covers a cursor on the last row, so that a list kept
  // on its newest row follows the rows added since.
  const bool atEnd = ds.Eof() || (ds.RecNo() > 0 && ds.RecNo() == ds.RecordCount());
  const TBookmark bookmark = ds.GetBookmark();
  {
    DisabledControls quiet(ds);
    ds.Close();
    if (QCoreApplication::instance() != nullptr) QCoreApplication::processEvents();
    if (auto* remote = dynamic_cast<TLinkBaseClientDataSet*>(&ds)) {
      // One more blank marks the statement as changed, the way a window's
      // edited SQL would be.
      std::vector<std::string> lines = remote->SQL();
      if (lines.empty()) lines.emplace_back();
      lines.back() += ' ';
      remote->SetSQL(std::move(lines));
    }
    ds.Open();
    if (!ds.IsEmpty()) {
      if (atEnd) {
        ds.Last();
      } else if (bookmark && ds.BookmarkValid(bookmark)) {
        ds.GotoBookmark(bookmark);
      }
    }
  }
}

base::Variant SelectValue(std::string_view sql, std::string_view column) {
  QueryHolder query;
  const bool rows = OpenSQL(*query, sql, -1);
  // The row count is a number for no rows too.
  if (column == "#") return base::Variant::Integer(query->NonEmptyCount());
  if (!rows) return base::Variant::Null();
  return FieldValue(*query, column.empty() ? std::string_view("0") : column);
}

double SelectFloat(std::string_view sql) { return base::VarToFloatZ(SelectValue(sql, "0")); }

base::TDateTime SelectDate(std::string_view sql) { return DateOfVariant(SelectValue(sql, "0")); }

int SelectInt(std::string_view sql) {
  const double value = std::nearbyint(SelectFloat(sql));
  if (!(value >= static_cast<double>(std::numeric_limits<int>::min()) &&
        value <= static_cast<double>(std::numeric_limits<int>::max()))) {
    throw base::Exception(std::string(errors::kIntegerOutOfRange) + FixedText(value, 0, false));
  }
  return static_cast<int>(value);
}

std::string SelectStr(std::string_view sql) { return base::VarToStrZ(SelectValue(sql, "0")); }

int SelectList(std::string_view sql, std::string_view column, std::vector<std::string>& list) {
  list.clear();
  QueryHolder query;
  if (OpenSQL(*query, sql, -1)) ColumnValues(*query, column, list);
  return static_cast<int>(list.size());
}

void SelectPairs(std::vector<std::string>& list, std::string_view sql, bool withDash) {
  list.clear();
  QueryHolder query;
  try {
    OpenSQL(*query, sql, -1);
  } catch (const std::exception&) {
    return;
  }
  if (withDash) list.emplace_back("-\t");
  const bool one = query->FieldCount() == 1;
  for (query->First(); !query->Eof(); query->Next()) {
    const std::string code = query->Fields(0).AsString();
    list.push_back(one ? code + "\t" + code : query->Fields(1).AsString() + "\t" + code);
  }
}

base::Variant LookupValue(std::string_view table, std::string_view keyField, std::string_view field,
                          std::string_view key) {
  const std::string sql = "select " + std::string(field) + " from " + std::string(table) + " where (" +
                          std::string(keyField) + "=" + base::QuotedStr(key) + ") ";
  return SelectValue(sql, field);
}

std::string LookupStr(std::string_view table, std::string_view keyField, std::string_view field, std::string_view key) {
  return base::VarToStrZ(LookupValue(table, keyField, field, key));
}

void SetQueryParam(TLinkBaseClientDataSet& query, std::string_view name, const base::Variant& value) {
  query.ParamByName(base::StrTrim(name)).SetValue(value);
}

void SetQueryParamStr(TLinkBaseClientDataSet& query, std::string_view name, std::string_view text) {
  query.ParamByName(base::StrTrim(name)).SetText(text);
}

base::Variant GetQueryParam(TLinkBaseClientDataSet& query, std::string_view name) {
  return query.ParamByName(base::StrTrim(name)).Value();
}

std::string GetQueryParamStr(TLinkBaseClientDataSet& query, std::string_view name) {
  link::TLinkParamItem& item = query.ParamByName(base::StrTrim(name));
  try {
    return item.ValueText();
  } catch (const std::exception&) {
    return {};
  }
}

void CopyRecord(TDataSet& src, TDataSet& dst, std::string_view except, std::string_view separator) {
  const std::vector<std::string> skipped = SplitNames(except, separator);
  for (int i = 0; i < src.FieldCount(); ++i) {
    const std::string& name = src.Fields(i).FieldName();
    if (std::find(skipped.begin(), skipped.end(), base::UpperStr(name)) != skipped.end()) continue;
    CopyFieldValue(src, dst, name);
  }
}

void CopyFieldValue(TDataSet& src, TDataSet& dst, std::string_view field) {
  const std::string name = base::StrTrim(field);
  const TField& from = src.FieldByName(name);
  const std::string text = FieldStr(src, name);
  if (text.empty()) {
    SetFieldStr(dst, name, "");
    return;
  }
  const TField& to = dst.FieldByName(name);
  const link::TFieldType type = from.DataType();
  if (IsTextType(type)) {
    const bool cut = to.Size() > 0 && IsTextType(to.DataType());
    SetFieldStr(dst, name, cut ? text.substr(0, static_cast<std::size_t>(to.Size())) : text);
    return;
  }
  switch (type) {
    case link::ftSmallint:
    case link::ftInteger:
    case link::ftWord:
      SetFieldInt(dst, name, FieldInt(src, name));
      break;
    case link::ftLargeint:
    case link::ftAutoInc:
      // A 64-bit key would not survive the 32-bit setter.
      if (!IsEditing(dst)) break;
      dst.FieldByName(name).SetAsLargeInt(from.AsLargeInt());
      break;
    case link::ftBoolean:
      SetFieldBool(dst, name, FieldBool(src, name));
      break;
    case link::ftFloat:
    case link::ftCurrency:
    case link::ftBCD:
      SetFieldFloat(dst, name, FieldFloat(src, name));
      break;
    case link::ftDate:
    case link::ftTime:
    case link::ftDateTime:
      if (text != "00/00/00") SetFieldDate(dst, name, FieldDate(src, name));
      break;
    case link::ftMemo:
      if (IsTextType(to.DataType()) && to.Size() > 0) {
        SetFieldStr(dst, name, text.substr(0, static_cast<std::size_t>(to.Size())));
      } else {
        std::vector<std::string> lines;
        FieldLines(src, name, lines);
        SetFieldLines(dst, name, lines);
      }
      break;
    default:
      break;
  }
}

FieldTextKind FieldTextKindOf(const TField& field) {
  const link::TFieldType type = field.DataType();
  if (IsTextType(type)) return fkText;
  switch (type) {
    case link::ftSmallint:
    case link::ftInteger:
    case link::ftWord:
    case link::ftAutoInc:
    case link::ftLargeint:
      return fkInteger;
    case link::ftFloat:
    case link::ftCurrency:
    case link::ftBCD:
      return fkNumber;
    case link::ftDate:
    case link::ftTime:
    case link::ftDateTime:
      return fkDate;
    case link::ftBoolean:
      return fkBoolean;
    default:
      return fkNone;
  }
}

std::string FieldToText(const TField& field, FieldTextKind kind, int dateFormat, bool exactFloats) {
  if (field.IsNull()) return {};
  switch (kind) {
    case fkText:
      return base::QuotedStr(field.AsString());
    case fkInteger:
      return std::to_string(field.AsLargeInt());
    case fkNumber: {
      const double value = field.AsFloat();
      if (std::isfinite(value) && value == std::trunc(value)) return FixedText(value, 0, false);
      return exactFloats ? FixedText(value, 16, true) : FixedText(value, 6, false);
    }
    case fkDate:
      return base::QuotedStr(base::DateToStrMode(field.AsDateTime(), dateFormat));
    case fkBoolean:
      return field.AsBoolean() ? "1" : "0";
    default:
      return {};
  }
}

std::string RecordToText(TDataSet& /*ds*/, std::string_view separator, bool toOem,
                         const std::vector<const TField*>& fields, int unquote, int dateFormat) {
  std::string line;
  for (const TField* field : fields) {
    const FieldTextKind kind = FieldTextKindOf(*field);
    if (kind == fkNone) continue;
    if (unquote == 1 && kind == fkText) {
      // The value as stored: a quote inside is a quote, not two.
      line += field->IsNull() ? std::string() : field->AsString();
    } else if (unquote == 1 && kind == fkDate) {
      line += field->IsNull() ? std::string() : base::DateToStrMode(field->AsDateTime(), dateFormat);
    } else {
      line += FieldToText(*field, kind, dateFormat, true);
    }
    line += separator;
  }
  return toOem ? base::Win1253ToCp737(line) : line;
}

int ExportToTextFile(const std::string& file, TDataSet& ds, std::string_view separator, int unquote, int dateFormat,
                     bool toOem) {
  const std::string path = HasFolder(file) ? file : base::ExpImpDir() + "/" + file;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw base::Exception(std::string(errors::kExportFileFailed) + path);
  std::vector<const TField*> fields;
  for (int i = 0; i < ds.FieldCount(); ++i) {
    if (ds.Fields(i).Visible()) fields.push_back(&ds.Fields(i));
  }
  int count = 0;
  if (!ds.Active()) return count;
  const TBookmark bookmark = ds.GetBookmark();
  {
    DisabledControls quiet(ds);
    for (ds.First(); !ds.Eof(); ds.Next()) {
      out << RecordToText(ds, separator, toOem, fields, unquote, dateFormat) << "\r\n";
      ++count;
    }
    if (bookmark && ds.BookmarkValid(bookmark)) ds.GotoBookmark(bookmark);
  }
  out.flush();
  if (!out) throw base::Exception(std::string(errors::kExportFileFailed) + path);
  return count;
}

int SumColumns(TDataSet& ds, std::string_view fields, ColumnSums& sums) {
  sums.fill(0);
  std::vector<std::string> names;
  for (std::string& name : SplitNames(fields, "|")) {
    if (names.size() == sums.size() - 1) break;
    names.push_back(std::move(name));
  }
  if (!names.empty() && names.back().empty()) names.pop_back();
  if (!ds.Active()) return 0;

  auto walk = [&](TDataSet& rows) {
    int records = 0;
    for (rows.First(); !rows.Eof(); rows.Next()) {
      for (std::size_t i = 0; i < names.size(); ++i) {
        if (!names[i].empty()) sums[i + 1] += FieldFloat(rows, names[i]);
      }
      ++records;
    }
    QueryGlobals().recordCount = records;
  };

  if (auto* memory = dynamic_cast<TLinkDataSet*>(&ds)) {
    const TBookmark bookmark = memory->GetBookmark();
    {
      DisabledControls quiet(*memory);
      walk(*memory);
      if (bookmark && memory->BookmarkValid(bookmark)) memory->GotoBookmark(bookmark);
    }
  } else {
    TLinkDataSet copy;
    std::function<void()> afterScroll = std::move(ds.AfterScroll);
    ds.AfterScroll = nullptr;
    try {
      DisabledControls quiet(ds);
      copy.LoadFromDataSet(ds);
    } catch (...) {
      ds.AfterScroll = std::move(afterScroll);
      throw;
    }
    ds.AfterScroll = std::move(afterScroll);
    walk(copy);
  }
  return static_cast<int>(names.size());
}

}  // namespace mero::data
