#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "link/codec/field_type.h"

namespace mero::data {

// How a field's value is held in a row. Decided once per field when the row
// layout is made; whatever reads, writes, sorts or locates a value goes by
// this and not by the type again.
enum class TStorageKind : std::uint8_t {
  None,      // the field holds nothing (width 0)
  Text,      // ftString, ftFixedChar, ftWideString, ftGuid: cut to the size,
             // zero-padded; the text ends at the size or its first zero byte
  Bytes,     // ftBytes: exactly the size, zero-filled
  Int16,     // ftSmallint
  Word,      // ftWord, unsigned 16 bits
  Bool,      // ftBoolean, 16 bits (0 or 1)
  Int32,     // ftInteger, ftAutoInc
  Int64,     // ftLargeint
  Double,    // ftFloat, ftCurrency, ftBCD
  Date,      // ftDate: the day number, 64 bits
  Time,      // ftTime: milliseconds since midnight, 32 bits
  DateTime,  // ftDateTime: the date-time number rounded to the millisecond
  Memo,      // ftMemo, ftFmtMemo: a handle into the blob list, read as text
  Blob,      // the other long types: a handle into the blob list, read as bytes
};

// A memo or blob, kept in the blob list by handle.
inline bool IsLongKind(TStorageKind kind) { return kind == TStorageKind::Memo || kind == TStorageKind::Blob; }

// One field of a dataset's row layout.
struct TLinkFieldEntry {
  int fieldNo = 0;  // 1-based
  std::string name;
  link::TFieldType type = link::ftUnknown;
  int size = 0;  // declared size
  TStorageKind kind = TStorageKind::None;
  std::uint32_t width = 0;   // bytes in a row
  std::uint32_t offset = 0;  // where the value starts among the row's values
};

// The field list: one entry per field in definition order, with the storage
// width that follows from the type and the running offset.
class TLinkFieldList {
 public:
  // The most a row's values may take; Add raises EDatabaseError "The fields
  // need more than <n> bytes a row" past it.
  static constexpr std::uint32_t kMaxDataSize = 64u << 20;

  // Bytes a value of the type takes in a row: the declared size for
  // ftString, ftBytes, ftFixedChar, ftWideString and ftGuid; 2 for
  // ftSmallint, ftWord, ftBoolean; 4 for ftInteger, ftTime, ftAutoInc and the
  // long-value handles; 8 for floats, currency, BCD, ftDate, ftDateTime,
  // ftLargeint; 0 for any other type.
  static std::uint32_t StorageWidth(link::TFieldType type, int size);
  static TStorageKind StorageKind(link::TFieldType type);
  // The size a field definition carries: the declared size for types 1, 12,
  // 13, 23, 24, 29 and 35, else 0.
  static int DefinitionSize(link::TFieldType type, int size);
  // A type code as a field type; codes outside 0..35 hold nothing (ftUnknown).
  static link::TFieldType TypeOfCode(int code);

  void Clear();
  void Add(std::string name, link::TFieldType type, int size);
  bool Empty() const { return entries_.empty(); }
  std::size_t Count() const { return entries_.size(); }
  const TLinkFieldEntry& operator[](std::size_t index) const { return entries_[index]; }
  const std::vector<TLinkFieldEntry>& Entries() const { return entries_; }
  // Case-insensitive; -1 when absent.
  int IndexOf(std::string_view name) const;
  // The width of all values of a row.
  std::uint32_t DataSize() const { return dataSize_; }

 private:
  std::vector<TLinkFieldEntry> entries_;
  std::uint32_t dataSize_ = 0;
};

}  // namespace mero::data
