#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "base/date_time.h"
#include "base/variant.h"
#include "link/codec/field_type.h"

namespace mero::data {

class TDataSet;
class TLinkFilterTreeReader;

// What a field type holds, for code that treats fields by family.
bool IsTextType(link::TFieldType type);     // ftString, ftFixedChar, ftWideString, ftGuid
bool IsNumericType(link::TFieldType type);  // integers, floats, currency, BCD, auto-increment, large integer
bool IsDateType(link::TFieldType type);     // ftDate, ftTime, ftDateTime
// Memo and blob types, kept in the blob list: ftVarBytes, ftBlob, ftMemo,
// ftGraphic, ftFmtMemo, ftTypedBinary, ftDataSet.
bool IsLongType(link::TFieldType type);

// One column of a dataset as code and views see it: what it is called and
// shown as, and its value in the dataset's active row.
//
// Reading a NULL field gives an empty text, 0, false or the zero date; a
// value that cannot be converted to what is asked raises EDatabaseError.
// Writing is allowed only while the dataset is in an edit-capable state.
class TField {
 public:
  TField(TDataSet& dataSet, std::string name, link::TFieldType type, int size);
  TField(const TField&) = delete;
  TField& operator=(const TField&) = delete;
  virtual ~TField() = default;

  TDataSet& DataSet() const { return *dataSet_; }
  const std::string& FieldName() const { return name_; }
  link::TFieldType DataType() const { return type_; }
  int Size() const { return size_; }
  // The 1-based number of the field-list entry it is bound to; 0 while unbound.
  int FieldNo() const { return fieldNo_; }
  // Its position among the dataset's fields.
  int Index() const { return index_; }

  // Display settings. The label defaults to the field name, the width to
  // what the type needs.
  const std::string& DisplayLabel() const { return displayLabel_.empty() ? name_ : displayLabel_; }
  void SetDisplayLabel(std::string text) { displayLabel_ = std::move(text); }
  int DisplayWidth() const;
  void SetDisplayWidth(int width) { displayWidth_ = width; }
  bool Visible() const { return visible_; }
  void SetVisible(bool value) { visible_ = value; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value) { readOnly_ = value; }
  // A post with this field NULL fails.
  bool Required() const { return required_; }
  void SetRequired(bool value) { required_ = value; }
  // FormatFloat patterns for numbers, FormatDateTime patterns for dates.
  const std::string& DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(std::string pattern) { displayFormat_ = std::move(pattern); }
  const std::string& EditFormat() const { return editFormat_; }
  void SetEditFormat(std::string pattern) { editFormat_ = std::move(pattern); }
  // A filter expression every new value must pass; field names in it stand
  // for the new value.
  const std::string& CustomConstraint() const { return customConstraint_; }
  void SetCustomConstraint(std::string expression);
  const std::string& ConstraintErrorMessage() const { return constraintErrorMessage_; }
  void SetConstraintErrorMessage(std::string text) { constraintErrorMessage_ = std::move(text); }

  // Runs before a new value is kept; raising refuses the value.
  std::function<void(TField&)> OnValidate;
  // Runs after a new value was kept.
  std::function<void(TField&)> OnChange;

  bool IsNull() const;
  // By type: Text (text types, memos), Integer (2, 3, 4, 14), Int64 (25),
  // Boolean, Double (6, 7, 8), Date (9, 10, 11: the date-time number), Bytes
  // (fixed bytes and blobs); Null when NULL or for a type that holds nothing.
  base::Variant Value() const;
  void SetValue(const base::Variant& value);

  // Text: numbers with ',' as decimal separator, dates in the short date
  // format (date-times add the long time format when they have a time),
  // booleans "True"/"False".
  std::string AsString() const;
  // "" makes the field NULL for every type but ftGuid; other types parse it.
  void SetAsString(std::string_view text);
  std::int32_t AsInteger() const;
  void SetAsInteger(std::int32_t value);
  std::int64_t AsLargeInt() const;
  void SetAsLargeInt(std::int64_t value);
  double AsFloat() const;
  void SetAsFloat(double value);
  base::TDateTime AsDateTime() const;
  void SetAsDateTime(base::TDateTime value);
  bool AsBoolean() const;
  void SetAsBoolean(bool value);
  // Makes the field NULL.
  void Clear();

  // The value as a view shows it: DisplayFormat applied to numbers and dates.
  std::string DisplayText() const;
  // A value of this field (read elsewhere, such as a row the cursor is not
  // on) as DisplayText shows it.
  std::string DisplayTextOf(const base::Variant& value) const;

 private:
  friend class TDataSet;

  TDataSet* dataSet_;
  std::string name_;
  link::TFieldType type_;
  int size_;
  int fieldNo_ = 0;
  int index_ = -1;
  bool persistent_ = false;
  std::string displayLabel_;
  int displayWidth_ = -1;
  bool visible_ = true;
  bool readOnly_ = false;
  bool required_ = false;
  std::string displayFormat_;
  std::string editFormat_;
  std::string customConstraint_;
  std::shared_ptr<TLinkFilterTreeReader> constraint_;
  std::string constraintErrorMessage_;
};

}  // namespace mero::data
