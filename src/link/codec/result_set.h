#pragma once

#include <bit>
#include <cassert>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/variant.h"

namespace mero::link {

// One field definition as the field list holds it: the name, the field type
// code and the declared size. The type may lie outside the known codes; such
// a field holds nothing.
struct FieldDef {
  std::string name;
  int type = 0;
  int size = 0;

  friend bool operator==(const FieldDef&, const FieldDef&) = default;
};

// The FastFields text of a definition: "NAME,TYPE,SIZE".
std::string FastFieldsEntry(const FieldDef& def);
// Reads an entry from the right, so that a name may hold commas; a type or a
// size that is not an integer reads 0, and an entry without commas is all name.
FieldDef ParseFastFieldsEntry(std::string_view entry);
std::vector<FieldDef> FieldDefsFromFastFields(const std::vector<std::string>& fastFields);

// Decodes a field-definition payload into FastFields entries, in payload
// order. Fixed-char and wide strings become strings (type 1), a type that is
// not a positive integer becomes 1, a size that is not a positive integer 25.
// An item with fewer than three parts raises ELinkResultSetException; the
// call is all or nothing.
std::vector<std::string> DecodeFieldDefs(std::string_view payload);

// What the packet argument of a row payload asks of the rows already held.
struct PacketArgument {
  bool replace = false;  // a fresh result: the held rows are dropped first
  bool count = false;    // a further packet: the caller counts the rows it added
  // The packet cursor id to keep from now on: the argument itself when it is
  // positive, -1 after the last packet; none when the cursor stays as it was.
  std::optional<std::int32_t> cursor;
};
PacketArgument ReadPacketArgument(std::int32_t p);

// What one row payload did.
struct RowsDecoded {
  std::size_t rowsAdded = 0;
  bool endMarker = false;  // the payload ended with the "NULL" end-of-data marker
  PacketArgument packet;
};

// Decoded rows against a field list: one 16-byte cell per field per row, and
// one byte arena for text, fixed bytes and long values. Decoding appends;
// Clear() keeps the capacity, so a set reused across payloads stops
// allocating once it has grown.
//
// What a cell holds follows the field type:
//   ftString, ftFixedChar, ftWideString, ftGuid   Text(), cut to the size
//   ftSmallint, ftWord, ftInteger, ftAutoInc,
//   ftLargeint                                    Int()
//   ftBoolean                                     Bool()
//   ftFloat, ftCurrency, ftBCD                    Double()
//   ftDate                                        Double(): whole days
//   ftDateTime                                    Double(): the date-time number
//   ftTime                                        Int(): milliseconds since midnight
//   ftBytes (cut to the size), ftVarBytes, ftBlob,
//   ftMemo, ftGraphic, ftFmtMemo, ftTypedBinary,
//   ftDataSet                                     Text(): the bytes
//   any other type                                nothing (0)
class RowSet {
 public:
  RowSet() = default;
  explicit RowSet(std::vector<FieldDef> fields) { SetFields(std::move(fields)); }

  // Sets the field list and drops the rows.
  void SetFields(std::vector<FieldDef> fields);
  const std::vector<FieldDef>& Fields() const { return fields_; }
  std::size_t FieldCount() const { return fields_.size(); }

  std::size_t RowCount() const { return rowCount_; }
  // Drops every row; buffers keep their capacity.
  void Clear();

  bool IsNull(std::size_t row, std::size_t col) const { return At(row, col).null; }
  std::int64_t Int(std::size_t row, std::size_t col) const { return std::bit_cast<std::int64_t>(At(row, col).bits); }
  double Double(std::size_t row, std::size_t col) const { return std::bit_cast<double>(At(row, col).bits); }
  bool Bool(std::size_t row, std::size_t col) const { return At(row, col).bits != 0; }
  std::string_view Text(std::size_t row, std::size_t col) const {
    const std::uint64_t bits = At(row, col).bits;
    return {arena_.data() + static_cast<std::uint32_t>(bits), static_cast<std::size_t>(bits >> 32)};
  }
  // The value as a Variant by the field's type (NULL as Variant::Null(); a
  // time of day as the date-time number of that time); for tests and for
  // code that is not on a hot path.
  base::Variant Value(std::size_t row, std::size_t col) const;

 private:
  friend class RowPayloadReader;
  friend RowsDecoded DecodeRows(std::string_view payload, std::int32_t packetArgument, RowSet& rows);

  // How a column stores its values; derived once from the field type.
  enum class Store : std::uint8_t {
    None,
    Text,
    Int16,
    Word,
    Int32,
    Int64,
    Boolean,
    Float,
    Date,
    Time,
    DateTime,
    Bytes,
    Long
  };

  struct Column {
    Store store = Store::None;
    std::uint32_t size = 0;  // the declared size; text and fixed bytes are cut to it
  };

  // Integer, double bit pattern, or arena offset (low half) and length (high
  // half). Left unset on creation, so that growing the cells for a row costs
  // nothing: the decoder writes every cell of every row it keeps.
  struct Cell {
    Cell() {}  // NOLINT: deliberately not zeroed
    std::uint64_t bits;
    bool null;
  };

  const Cell& At(std::size_t row, std::size_t col) const {
    assert(row < rowCount_ && col < fields_.size());
    return cells_[row * fields_.size() + col];
  }

  std::vector<FieldDef> fields_;
  std::vector<Column> columns_;
  std::vector<Cell> cells_;
  std::string arena_;
  std::size_t rowCount_ = 0;
};

// Decodes a row payload into `rows` (against its field list) after applying
// the packet argument: P >= 0 drops the held rows first. Decoding stops at the
// "NULL" end marker; bytes after the last row end that do not complete a row
// are ignored. A malformed payload raises ELinkResultSetException and takes
// back every row the call added.
RowsDecoded DecodeRows(std::string_view payload, std::int32_t packetArgument, RowSet& rows);

}  // namespace mero::link
