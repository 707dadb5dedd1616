#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/date_time.h"
#include "base/variant.h"
#include "data/sql_parts.h"

namespace mero::link {
class TLinkClientSocket;
}

namespace mero::data {

class TDataSet;
class TField;
class TLinkBaseClientDataSet;
class TKZLINK;

namespace errors {
// SelectInt of a value outside the 32-bit range; the value follows.
inline constexpr const char* kIntegerOutOfRange = "The value does not fit an integer: ";
// ExportToTextFile could not create or write the file; the path follows.
inline constexpr const char* kExportFileFailed = "Unable to write the export file ";
}  // namespace errors

// The state the query utilities share across the program: the one client
// socket every query uses, the global query, whether the socket was found
// connected at the last OpenQuery, and the row count of the last cache load
// or SumColumns walk.
struct QueryUtilsState {
  link::TLinkClientSocket* socket = nullptr;
  // The query the windows borrow; the connect hook makes it the connection
  // module's query, the login sequence clears it.
  TKZLINK* globalQuery = nullptr;
  bool connected = false;
  int recordCount = 0;
  bool initialized = false;
  // Double quotes in a statement are sent as typed; when false, OpenQuery
  // turns them into single quotes first.
  bool keepDoubleQuotes = true;
};
QueryUtilsState& QueryGlobals();

// The shared socket (not owned).
link::TLinkClientSocket* SharedSocket();
void SetSharedSocket(link::TLinkClientSocket* socket);
// The global query (not owned; nullptr clears it).
TKZLINK* GlobalQuery();
void SetGlobalQuery(TKZLINK* query);

// Shown while a statement waits for the server (true) and taken down after
// (false); nothing is shown until a window layer sets one.
using SqlWaitCursorHook = std::function<void(bool busy)>;
void SetSqlWaitCursor(SqlWaitCursorHook hook);

namespace detail {
// For ResetQueryUtils (query_startup.h): the shared state and the wait
// cursor back as they were at load time.
void ResetQueryGlobals();
}  // namespace detail

// A new closed TKZLINK on the shared socket, with empty SQL.
std::unique_ptr<TKZLINK> NewQuery();
// Closes and destroys the query (nothing for none).
void FreeQuery(std::unique_ptr<TKZLINK>& query);

// Opens the query with logging, timing and the SQL display; true when the
// result has a row. A query without a socket gets the shared one, which is
// connected again when it is not active. An open error shows the SQL and
// passes on.
bool OpenQuery(TLinkBaseClientDataSet& query);
// Closes the query, gives it the statement, applies SetQueryKey (keyMode -1
// leaves the key settings alone) and returns OpenQuery.
bool OpenSQL(TLinkBaseClientDataSet& query, std::string_view sql, int keyMode = -1, std::string_view table = {},
             std::string_view keyField = {});
// For a TKZLINK and mode != -1: mode 1 makes keyField its key of table;
// other modes clear the key; the cache table becomes table in both.
void SetQueryKey(TLinkBaseClientDataSet& query, int mode, std::string_view table, std::string_view keyField);

// Sends one statement on a query of its own, then "commit" when asked. A
// server error is raised, and then no commit is sent. Debug level > 8 logs
// the statement. The query is on the given socket, else on the shared one.
void RunStatement(const std::string& sql, bool commit, link::TLinkClientSocket* socket = nullptr);
void ExecSQL(const std::string& sql);
void ExecSQLCommit(const std::string& sql);
void CommitWork();
// "commit" on that socket's session (nullptr: the shared socket's), where a
// dataset on a socket of its own sent its change.
void CommitWork(link::TLinkClientSocket* socket);
// Re-reads an open dataset in place, back on the same row (or on the last
// row when it was at the end); a closed dataset is opened.
void RefreshQuery(TDataSet& ds);

// The first row's value of column (a name, or a 0-based index as text;
// empty means "0"), Null without rows; "#" gives the row count, 0 for none.
base::Variant SelectValue(std::string_view sql, std::string_view column);
// The first column of the first row; Null or unconvertible gives 0.
double SelectFloat(std::string_view sql);
base::TDateTime SelectDate(std::string_view sql);
// SelectFloat rounded half to even; a value outside the 32-bit range raises.
int SelectInt(std::string_view sql);
// The first column of the first row as text; empty for Null.
std::string SelectStr(std::string_view sql);
// The column's text of every row; returns the line count.
int SelectList(std::string_view sql, std::string_view column, std::vector<std::string>& list);
// "text<TAB>code" lines: column 1 and column 0, or the only column twice;
// withDash puts "-\t" first. Open errors leave the list empty.
void SelectPairs(std::vector<std::string>& list, std::string_view sql, bool withDash);
// SelectValue of field in the row of table whose keyField is key (quoted).
base::Variant LookupValue(std::string_view table, std::string_view keyField, std::string_view field,
                          std::string_view key);
std::string LookupStr(std::string_view table, std::string_view keyField, std::string_view field, std::string_view key);

// Parameters by trimmed name.
void SetQueryParam(TLinkBaseClientDataSet& query, std::string_view name, const base::Variant& value);
void SetQueryParamStr(TLinkBaseClientDataSet& query, std::string_view name, std::string_view text);
base::Variant GetQueryParam(TLinkBaseClientDataSet& query, std::string_view name);
std::string GetQueryParamStr(TLinkBaseClientDataSet& query, std::string_view name);

// Copies every field of src's current row not named in except (a list
// separated by separator) into the field of the same name of dst's row.
void CopyRecord(TDataSet& src, TDataSet& dst, std::string_view except, std::string_view separator);
void CopyFieldValue(TDataSet& src, TDataSet& dst, std::string_view field);

// How FieldToText writes a field.
enum FieldTextKind : int { fkNone = 0, fkText = 1, fkInteger = 2, fkNumber = 3, fkDate = 4, fkBoolean = 5 };
FieldTextKind FieldTextKindOf(const TField& field);
// The field as a literal: "" for NULL, texts and dates in single quotes.
std::string FieldToText(const TField& field, FieldTextKind kind, int dateFormat, bool exactFloats);
// The listed fields of the current row, each followed by separator; unquote
// 1 drops the quotes; toOem converts the line to the OEM code page.
std::string RecordToText(TDataSet& ds, std::string_view separator, bool toOem, const std::vector<const TField*>& fields,
                         int unquote, int dateFormat);
// Writes one line per record over the visible fields; a bare file name goes
// to the export folder. Returns the line count.
int ExportToTextFile(const std::string& file, TDataSet& ds, std::string_view separator, int unquote, int dateFormat,
                     bool toOem);

// sums[i] is the total of the i-th name (from 1) of the "|"-separated list
// (at most 40 names). Returns the number of fields summed.
using ColumnSums = std::array<double, 41>;
int SumColumns(TDataSet& ds, std::string_view fields, ColumnSums& sums);

}  // namespace mero::data
