#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/date_time.h"

namespace mero::data {

class TDataSet;

namespace errors {
// Fetch of a numeric-key object with a key that is not a whole number; the
// key follows.
inline constexpr const char* kKeyNotNumeric = "The key is not a whole number: ";
}  // namespace errors

// One row of one table kept as NAME=value lines, read by column name.
class TKZBaseInfoOb {
 public:
  explicit TKZBaseInfoOb(std::string_view keyField = {});
  virtual ~TKZBaseInfoOb() = default;

  // Sets the key field (upper-cased) and clears the lists.
  void Reset(std::string_view keyField);
  // The current row of ds as the values; 0 when there is no dataset or no
  // field, else 1 (after AfterLoad).
  int LoadRow(TDataSet* ds);
  // Appends NAME=text; an earlier line of the same name still wins.
  void SetValue(std::string_view name, std::string_view text);
  // The number with 10 decimals.
  void SetFloat(std::string_view name, double number);
  // The first line's value for the trimmed name, any case; empty when none.
  std::string Value(std::string_view name) const;
  // Raises when the value is not an integer.
  int ValueInt(std::string_view name) const;
  // 0 when the value is not an integer.
  int ValueIntDef(std::string_view name) const;
  double ValueFloat(std::string_view name) const;
  // The first 10 characters read as a date; 0 when they are not one.
  base::TDateTime ValueDate(std::string_view name) const;

  const std::string& KeyField() const { return keyField_; }
  const std::string& KeyValue() const { return keyValue_; }
  const std::vector<std::string>& Values() const { return values_; }

  virtual void AfterLoad() {}
  virtual void LoadFrom(TDataSet* ds, int extra) = 0;
  virtual int Fetch(std::string_view key, int extra, bool force) = 0;

 protected:
  void ClearLists();

  std::string keyField_;
  std::vector<std::string> values_;
  std::string keyValue_;
  // Kept for subclasses; cleared with the values.
  std::vector<std::string> list2_;
  std::vector<std::string> list3_;
};

// A record object bound to a table: Fetch loads the row by key from the
// server, once per key unless forced.
class TKZInfoOb : public TKZBaseInfoOb {
 public:
  TKZInfoOb(std::string_view table, bool numericKey, std::string_view keyField);

  // Reset(keyField), then the table (upper-cased) and the flag.
  void Setup(std::string_view table, std::string_view keyField, bool numericKey);
  // Forgets the last key fetched, then LoadRow.
  void LoadFrom(TDataSet* ds, int extra) override;
  // Loads the row whose key field equals key; does nothing when key was
  // the last fetched and force is not set. Returns 1.
  int Fetch(std::string_view key, int extra, bool force) override;

  const std::string& TableName() const { return table_; }
  bool NumericKey() const { return numericKey_; }
  const std::string& LastKey() const { return lastKey_; }

 private:
  std::string table_;
  bool numericKey_ = false;
  std::string lastKey_;
};

}  // namespace mero::data
