#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/variant.h"
#include "data/change_log_dataset.h"
#include "link/client/client_socket.h"
#include "link/client/link_dataset.h"
#include "link/codec/field_type.h"
#include "link/codec/param_list.h"

namespace mero::data {

namespace errors {
inline constexpr const char* kNoUpdateTableName = "No UpdateTableName Assigned.";
// A WHERE without a condition would change every row of the table.
inline constexpr const char* kNoPrimeFields = "No PrimeFields Assigned.";
}  // namespace errors

// Which fields form the WHERE of generated UPDATE and DELETE statements.
enum TUpdateMode : std::uint8_t { upWhereAll = 0, upWhereChanged = 1, upWhereKeyOnly = 2 };

// The socket's settings that shape generated SQL.
struct TLinkSQLSyntax {
  link::TLinkUpdateSQL syntax = link::usBDE;
  std::uint16_t options = 0;  // bit n for link::TLinkServerSQLOptionTypes n
  std::string dateMask;
  std::string dateTimeMask;
  std::string timeMask;
  // The socket's OnCustomSQLSyntax: asked first for every value written.
  std::function<void(const link::LinkSQLField& field, std::string& result, bool& handled)> customSQLSyntax;

  bool Has(link::TLinkServerSQLOptionTypes option) const { return (options >> option) & 1U; }
  // The settings of a socket (defaults when there is none).
  static TLinkSQLSyntax Of(const link::TLinkClientSocket* socket);
};

// A field of the dataset as the statements see it.
struct TUpdateField {
  std::string name;
  link::TFieldType type = link::ftUnknown;
  bool readOnly = false;
};

// A value and its display text (empty for NULL), as the value hook sees them.
struct TUpdateValue {
  base::Variant value;  // Null for NULL
  std::string text;
};

// One change-log entry: its kind, the logged values and, for a row still in
// the dataset, the row's values now; one value per field, in field order.
struct TUpdateEntry {
  TLogDelta delta = ldModified;
  std::vector<TUpdateValue> logged;
  std::vector<TUpdateValue> current;  // empty when the row is not held (or not yet posted)
};

// The dataset's settings for generated statements.
struct TUpdateTarget {
  std::string dataSetName;  // names the dataset in error texts
  std::string tableName;    // may carry a schema prefix: NQ.UP_DELT
  std::vector<std::string> primeFields;
  TUpdateMode updateMode = upWhereKeyOnly;
  std::string autoIncrementField;
  std::string oracleSequence;
  std::uint16_t selectOptions = 0;  // bit n for link::TLinkSelectSQLOptions n
};

// The statements a change log stands for, and the long values they name.
struct TUpdateStatements {
  std::vector<std::string> statements;
  link::TLinkParamList longValues;
};

// Turns change-log entries into INSERT, UPDATE and DELETE statements:
//
//   modified  UPDATE T SET C = V,C = V  Where C = V AND C = V
//   deleted   DELETE FROM T  Where C = V
//   inserted  Insert Into T (C,C)<CR> Values (V,V)
//
// C is a column reference (T.NAME in UPDATE and WHERE, NAME in an INSERT,
// as the socket's options say), V a value: the socket's value hook first,
// then NULL, the literal of the field's type, or a ":Memo<NAME>"-style
// placeholder for a long value, whose value joins the long-value list.
// WHERE values are the logged ones; a NULL compares with IS NULL.
class TLinkUpdateSQLBuilder {
 public:
  TLinkUpdateSQLBuilder(TUpdateTarget target, TLinkSQLSyntax syntax, std::vector<TUpdateField> fields);

  // The statement of one entry, or empty when it stands for none (a
  // modified row with no changed field, a row no longer held). Raises
  // EDatabaseError "No UpdateTableName Assigned.", "No PrimeFields
  // Assigned." (a WHERE without a condition) or the "not found" text of a
  // prime field that is not a field.
  std::string Statement(const TUpdateEntry& entry, link::TLinkParamList& longValues) const;
  TUpdateStatements Build(const std::vector<TUpdateEntry>& entries) const;

  // The text of one execute request: every statement followed by CR LF;
  // with transaction, the start text before them and the end text after,
  // each as a line of its own ("BEGIN TRANSACTION" and "COMMIT" when empty).
  static std::string RequestText(const std::vector<std::string>& statements, bool transaction,
                                 const std::string& transactionStart, const std::string& transactionEnd);

  // The fields a statement writes: not read-only, not the auto-increment
  // field, no ftAutoInc (unless soIgnoreAutoIncrement), long values only
  // with their fetch option.
  bool Writes(std::size_t field) const;

 private:
  std::string Update(const TUpdateEntry& entry, link::TLinkParamList& longValues) const;
  std::string Delete(const TUpdateEntry& entry, link::TLinkParamList& longValues) const;
  std::string Insert(const TUpdateEntry& entry, link::TLinkParamList& longValues) const;
  std::string Where(const TUpdateEntry& entry, link::TLinkParamList& longValues) const;
  std::string Terminated(std::string statement, bool insert) const;
  // T.NAME (or NAME) with the field name quoted as the options say.
  std::string Column(const std::string& name, bool qualified) const;
  std::string Value(std::size_t field, const TUpdateValue& value, link::TLinkParamList& longValues) const;
  std::string Literal(link::TFieldType type, const base::Variant& value, const std::string& text) const;
  std::string Placeholder(std::size_t field, const base::Variant& value, link::TLinkParamList& longValues) const;
  int FieldIndex(const std::string& name) const;
  bool Changed(const TUpdateEntry& entry, std::size_t field) const;

  TUpdateTarget target_;
  TLinkSQLSyntax syntax_;
  std::vector<TUpdateField> fields_;
};

}  // namespace mero::data
