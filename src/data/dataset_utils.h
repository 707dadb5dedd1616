#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "base/date_time.h"
#include "base/variant.h"
#include "data/dataset.h"
#include "link/codec/field_type.h"

namespace mero::data {

// The message a field setter shows: "Σφάλμα κατα την μεταβολή τιμής. Πεδίο : "
// and the field name (windows-1253).
std::string SetFieldFailedText(std::string_view field);
// Shown (when debugging) when the begin-and-end test and the emptiness test
// of a dataset disagree.
inline constexpr const char* kEmptinessDisagrees = "BOF&EOF and IsEMpty Disagree";

// Fields are named by their name (trimmed, any case). Getters and setters
// raise "<dataset>:Field '<name>' not found" for a name the dataset lacks.

// True for a closed dataset or one without a row that passes its filter.
bool DataSetIsEmpty(TDataSet& ds);
// The dataset is in edit or insert state.
bool IsEditing(const TDataSet& ds);

// The value of a field; field may also be a 0-based field index in text
// (tried as a name first). Empty for a closed dataset. An index outside the
// fields raises "Field index <n> out of range".
base::Variant FieldValue(TDataSet& ds, std::string_view field);
// The field's text; width > 0 cuts it or pads it with blanks on the right.
std::string FieldStr(TDataSet& ds, std::string_view field, int width = 0);
// NULL or a value that does not convert gives 0.
int FieldInt(TDataSet& ds, std::string_view field);
double FieldFloat(TDataSet& ds, std::string_view field);
base::TDateTime FieldDate(TDataSet& ds, std::string_view field);
bool FieldBool(TDataSet& ds, std::string_view field);
// The lines of the field's text (CR LF, LF or CR end a line).
void FieldLines(TDataSet& ds, std::string_view field, std::vector<std::string>& lines);

// Setters. Those that return a flag return true when they wrote the field
// and false when they did not: SetFieldStr and SetFieldDate write nothing in
// browse state (silently), SetFieldDate nothing for a zero date, and any of
// them nothing when the dataset or the field refused the value, which shows
// SetFieldFailedText of the field (SetFieldStr always, the others only when
// debugging).
//
// An empty text makes the field NULL.
bool SetFieldStr(TDataSet& ds, std::string_view field, std::string_view text);
// The dataset's error reaches the caller (shown first when debugging).
void SetFieldInt(TDataSet& ds, std::string_view field, int value);
// The dataset's error reaches the caller.
void SetFieldFloat(TDataSet& ds, std::string_view field, double value);
bool SetFieldDate(TDataSet& ds, std::string_view field, base::TDateTime value);
bool SetFieldBool(TDataSet& ds, std::string_view field, bool value);
// The lines, each followed by CR LF, as the field's text.
bool SetFieldLines(TDataSet& ds, std::string_view field, const std::vector<std::string>& lines);

// The field's text of every row, first to last, into list (replacing what it
// held); field "*" or "@" joins all fields' texts with "|". The cursor goes
// back to its row; views see nothing meanwhile. Returns the count.
int ColumnValues(TDataSet& ds, std::string_view field, std::vector<std::string>& list);
// Comma text of the field names (what 1), display labels (2) or display
// widths (3), of the visible fields only when visibleOnly. Another what
// gives an empty text.
std::string FieldListText(TDataSet& ds, int what, bool visibleOnly);
// The name of the field with that display label, and the label of the field
// with that name, both compared upper-cased; empty when none matches.
std::string FieldNameOfLabel(TDataSet& ds, std::string_view label);
std::string LabelOfField(TDataSet& ds, std::string_view name);

// The display width a field of that type gets by default; displayWidth is the
// width it has now (used for the text and byte types).
int DefaultDisplayWidth(link::TFieldType type, int displayWidth);
// Every field's display width to its default (at most max when max > 0);
// float, currency and BCD fields show "#,###.00".
void SetDefaultWidths(TDataSet& ds, int max);

// Colours of the navigation panel as 0xRRGGBB.
inline constexpr std::uint32_t kColourRed = 0xFF0000;
inline constexpr std::uint32_t kColourMagenta = 0xFF00FF;
inline constexpr std::uint32_t kColourCyan = 0x00FFFF;
// Red for edit (2), magenta for insert (3), cyan for any other state.
std::uint32_t StateColour(int state);

// Table descriptions for the lookup dialog: per table (upper-cased) a
// ";"-separated flag text, its field names, and per field a ":"-separated
// descriptor whose first part is the label. This system registers no table,
// so every question finds nothing and callers use their defaults.
class TMyDictInfo {
 public:
  // Registers (or replaces) a table.
  void AddTable(std::string_view table, std::string flags, std::vector<std::string> fields,
                std::vector<std::string> descriptors);
  bool HasTable(std::string_view table) const;
  // Empty when the table is not registered.
  std::string Flags(std::string_view table) const;
  std::vector<std::string> FieldNames(std::string_view table) const;
  std::string Descriptor(std::string_view table, std::string_view field) const;
  // The first part of the field's descriptor; empty when none.
  std::string Label(std::string_view table, std::string_view field) const;

 private:
  struct Table {
    std::string flags;
    std::vector<std::string> fields;
    std::vector<std::string> descriptors;
  };
  std::map<std::string, Table, std::less<>> tables_;
};

// Shows an SQL text to the user. Until the user interface installs its SQL
// window, a non-empty text goes to the message window (the message seam).
using SQLDisplay = std::function<void(const std::string& sql)>;
// Installs a display; an empty function restores the default.
void SetSQLDisplay(SQLDisplay display);
void ShowSQL(const std::string& sql);

// Once per run (later calls do nothing): makes the dictionary and the lookup
// lists, and shows the SQL display (empty) when the debug level is above 0.
void InitDataSetUtils();
// Forgets what InitDataSetUtils made and restores the default SQL display,
// so that a test can start again from nothing.
void ResetDataSetUtils();
// The dictionary (made on first use when InitDataSetUtils has not run).
TMyDictInfo& DictInfo();
// The two lists the lookup dialog keeps its state in: the parsed field names
// of its visible-field list and their labels.
std::vector<std::string>& LookupFieldNames();
std::vector<std::string>& LookupFieldLabels();

}  // namespace mero::data
