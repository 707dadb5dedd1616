#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/date_time.h"
#include "base/variant.h"
#include "link/codec/field_type.h"

namespace mero::link {

// Direction of a parameter; any other byte value is carried unchanged.
enum TLinkParamType : std::uint8_t {
  ptUnknown = 0,
  ptInput = 1,
  ptOutput = 2,
  ptInputOutput = 3,
  ptResult = 4,
};

// One named, typed value of a parameter list. The value is kept as the bytes
// that travel on the link (its "value text"); the typed readers and writers
// convert from and to that encoding:
//   1 string, 16 memo, 15 blob, 12 bytes: the bytes themselves;
//   2, 3, 4, 14, 25: decimal text; 5: "True" / "False";
//   6, 7, 8 and the dates 9, 10, 11: byte 5 then the 8-byte double;
//   35: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
class TLinkParamItem {
 public:
  static constexpr const char* kNullGuid = "{00000000-0000-0000-0000-000000000000}";

  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  TLinkParamType ParamType() const { return paramType_; }
  void SetParamType(TLinkParamType type) { paramType_ = type; }
  TFieldType DataType() const { return dataType_; }
  void SetDataType(TFieldType type) { dataType_ = type; }
  bool IsNull() const { return isNull_; }
  void SetIsNull(bool isNull) { isNull_ = isNull; }
  std::int32_t Size() const { return size_; }
  // Takes only values >= 0, and only for string, bytes, blob, memo, graphic
  // and GUID items; otherwise the size stays as it is.
  void SetSize(std::int32_t size);
  // The value text: the encoded value exactly as it travels.
  const std::string& RawValue() const { return raw_; }
  void SetRawValue(std::string bytes) { raw_ = std::move(bytes); }

  // The value as a variant, read by DataType; null items read as null.
  base::Variant Value() const;
  // Stores the variant in the encoding of its kind, then restores the
  // declared DataType unless that was ftUnknown.
  void SetValue(const base::Variant& value);

  // Display text: numbers with the process's decimal separator, dates in its
  // short date and long time formats; a null GUID item gives kNullGuid.
  std::string ValueText() const;
  // 0 when null or not a 32-bit number.
  std::int32_t ValueInt() const;
  // The decoded 9-byte float; 0 when null or not in that form.
  double ValueFloat() const;
  bool ValueBool() const;
  // A copy of the value bytes.
  std::string ValueStream() const { return raw_; }

  // Sets the value from text according to DataType (ftUnknown becomes
  // ftString). A text that cannot be read for the type raises
  // ELinkParamException "Unable to call SetAsText for " + Name.
  void SetText(std::string_view text);

  // Each stores its encoding, sets the matching DataType and clears IsNull.
  void SetInteger(std::int32_t value);
  void SetSmallint(std::int16_t value);
  void SetLargeint(std::int64_t value);
  void SetFloat(double value);
  void SetDate(base::TDateTime value);
  void SetTime(base::TDateTime value);
  void SetDateTime(base::TDateTime value);
  void SetBoolean(bool value);
  void SetString(std::string value);
  void SetMemo(std::string value);
  void SetBlob(std::string bytes);
  // A text that is not a braced GUID leaves the item null.
  void SetGuid(std::string_view guid);

  // True for the braced form with hex digits and hyphens in their places.
  static bool IsGuidText(std::string_view text);

 private:
  std::string name_;
  TLinkParamType paramType_ = ptInput;
  TFieldType dataType_ = ftUnknown;
  bool isNull_ = false;
  std::int32_t size_ = 0;
  std::string raw_;
};

// Settings used while writing parameter values into SQL text.
struct TLinkRenderSettings {
  bool hashDates = false;    // dates enclosed in '#'
  bool quoteDates = true;    // dates enclosed in single quotes (when not hashDates)
  bool doubleQuote = false;  // strings enclosed in double quotes
  bool usDates = false;      // month first when no mask applies
  std::string dateMask;      // format of ftDate values, e.g. "dd/mm/yyyy"
  std::string dateTimeMask;  // format of ftDateTime values
};

// Asked for each parameter while rendering SQL; a text replaces the
// placeholder (after one blank), no text leaves the item to the usual rules.
using TCustomParamSyntax = std::function<std::optional<std::string>(const TLinkParamItem& item)>;

// An ordered list of parameters (index from 0). Items are held individually,
// so a reference to an item stays valid while the list grows.
class TLinkParamList {
 public:
  TLinkParamList() = default;
  TLinkParamList(const TLinkParamList& other);
  TLinkParamList& operator=(const TLinkParamList& other);
  TLinkParamList(TLinkParamList&&) noexcept = default;
  TLinkParamList& operator=(TLinkParamList&&) noexcept = default;
  ~TLinkParamList() = default;

  int Count() const { return static_cast<int>(items_.size()); }
  void Clear() { items_.clear(); }

  // Appends an input item named "Param" + n, n counting up from Count() to
  // the first free name.
  TLinkParamItem& AddItem();
  // Appends an input item named "FastAdd" + its index holding the value.
  TLinkParamItem& AddValue(const base::Variant& value);
  // Sets the value of the named item, appending an input item when absent.
  TLinkParamItem& SetNamedValue(std::string_view name, const base::Variant& value);
  TLinkParamItem& AddTyped(std::string_view name, TFieldType dataType, TLinkParamType paramType);

  // First item whose trimmed name equals name without regard to case.
  TLinkParamItem* FindByName(std::string_view name);
  const TLinkParamItem* FindByName(std::string_view name) const;
  // As FindByName; raises ELinkParamException "Parameter Not Found: " + name.
  TLinkParamItem& GetByName(std::string_view name);
  const TLinkParamItem& GetByName(std::string_view name) const;
  // Raises ELinkParamException "Index " + index + " Out of bounds".
  TLinkParamItem& ItemAt(int index);
  const TLinkParamItem& ItemAt(int index) const;

  // The wire form: per item a 4-byte little-endian body length, then the
  // body Name 06 DataType 06 ParamType 06 IsNull 06 value-length 06 value.
  // With onlyInput, only ptInput and ptInputOutput items are written.
  std::string ToText(bool onlyInput = false) const;
  // Reads the wire form; a damaged text raises ELinkParamException
  // "Parameter list damaged: …" naming the byte offset of the record.
  static TLinkParamList FromText(std::string_view text);

  // Copies the rendering settings and appends copies of every item to
  // target, after emptying it when clear is set.
  void CopyTo(TLinkParamList& target, bool clear) const;
  TLinkParamList Clone() const;

  // Replaces the items with one input item per placeholder of the SQL text,
  // in order of first appearance, each name once.
  void ParamsFromSQL(const std::vector<std::string>& sqlLines);
  // Writes the values into the SQL text line by line, each line followed by
  // one blank. The settings stay with the list; usDates is cleared after.
  std::string RenderSQL(const std::vector<std::string>& sqlLines, const TLinkRenderSettings& settings,
                        const TCustomParamSyntax& customSyntax = {});
  // The item's value as an SQL literal under the list's settings.
  std::string SQLLiteral(const TLinkParamItem& item) const;

  const TLinkRenderSettings& RenderSettings() const { return settings_; }
  void SetRenderSettings(const TLinkRenderSettings& settings) { settings_ = settings; }

 private:
  TLinkParamItem& Append(std::unique_ptr<TLinkParamItem> item);

  std::vector<std::unique_ptr<TLinkParamItem>> items_;
  TLinkRenderSettings settings_;
};

}  // namespace mero::link
