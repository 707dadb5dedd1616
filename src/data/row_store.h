#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace mero::data {

// A value inside a row block, which holds it unaligned.
template <typename T>
T LoadValue(const std::uint8_t* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

template <typename T>
void StoreValue(std::uint8_t* p, T v) {
  std::memcpy(p, &v, sizeof v);
}

// The rows of a dataset in list order. Every row is one fixed-size block:
//
//   bytes 0..3            the row's bookmark id (int32)
//   bytes 4..4+dataSize   the field values at their offsets
//   then                  one null flag per field, 32 to a uint32 word
//                         (bit set = NULL)
//
// Blocks live in chunks of up to 1,024 rows (fewer for wide rows, so that a
// chunk stays near 1 MiB), so adding rows never moves the rows already held
// and costs no allocation per row; the list
// order is a vector of slot numbers, which insertion, deletion and sorting
// rearrange without touching the blocks.
class TLinkDBList {
 public:
  static constexpr std::uint32_t kIdSize = 4;

  // Sets the layout and drops every row.
  void SetLayout(std::uint32_t dataSize, std::size_t fieldCount);
  std::uint32_t RowSize() const { return rowSize_; }
  std::uint32_t NullOffset() const { return nullOffset_; }
  std::size_t FieldCount() const { return fieldCount_; }

  std::size_t Count() const { return order_.size(); }
  // Drops every row (the chunks stay for reuse).
  void Clear();
  void Reserve(std::size_t rows);

  std::uint8_t* Row(std::size_t pos) { return Slot(order_[pos]); }
  const std::uint8_t* Row(std::size_t pos) const { return Slot(order_[pos]); }
  std::int32_t Id(std::size_t pos) const { return IdOf(Row(pos)); }
  // Linear search for an id.
  std::optional<std::size_t> PositionOf(std::int32_t id) const;

  // A new block with this id and every field NULL, not yet in the list.
  std::uint32_t NewSlot(std::int32_t id);
  std::uint8_t* Slot(std::uint32_t slot) {
    return chunks_[slot >> chunkShift_].get() + static_cast<std::size_t>(slot & chunkMask_) * rowSize_;
  }
  const std::uint8_t* Slot(std::uint32_t slot) const {
    return chunks_[slot >> chunkShift_].get() + static_cast<std::size_t>(slot & chunkMask_) * rowSize_;
  }
  // Puts a slot into the list at pos (pos == Count() appends).
  void InsertSlot(std::size_t pos, std::uint32_t slot);
  void AppendSlot(std::uint32_t slot) { order_.push_back(slot); }
  // Takes the row at pos out of the list and frees its block.
  void Remove(std::size_t pos);
  // Frees a block that is not in the list.
  void FreeSlot(std::uint32_t slot) { free_.push_back(slot); }
  // The list order, for sorting.
  std::vector<std::uint32_t>& Order() { return order_; }
  const std::vector<std::uint32_t>& Order() const { return order_; }

  // Bookmark ids: the next id to hand out; never an id still in use.
  std::int32_t TakeNextId() { return nextId_++; }
  void ResetIds(std::int32_t next) { nextId_ = next; }
  std::int32_t NextId() const { return nextId_; }

  // Block accessors.
  static std::int32_t IdOf(const std::uint8_t* row) {
    std::int32_t id;
    std::memcpy(&id, row, sizeof id);
    return id;
  }
  static void SetId(std::uint8_t* row, std::int32_t id) { std::memcpy(row, &id, sizeof id); }
  static std::uint8_t* Value(std::uint8_t* row, std::uint32_t offset) { return row + kIdSize + offset; }
  static const std::uint8_t* Value(const std::uint8_t* row, std::uint32_t offset) { return row + kIdSize + offset; }
  bool IsNull(const std::uint8_t* row, std::size_t field) const {
    std::uint32_t word;
    std::memcpy(&word, row + nullOffset_ + (field >> 5) * 4, 4);
    return (word >> (field & 31)) & 1u;
  }
  void SetNull(std::uint8_t* row, std::size_t field, bool isNull) const {
    std::uint32_t word;
    std::uint8_t* at = row + nullOffset_ + (field >> 5) * 4;
    std::memcpy(&word, at, 4);
    const std::uint32_t bit = 1u << (field & 31);
    word = isNull ? (word | bit) : (word & ~bit);
    std::memcpy(at, &word, 4);
  }
  // Every field NULL, every value zero; the id stays.
  void ResetValues(std::uint8_t* row) const;

 private:
  static constexpr std::uint32_t kMaxChunkShift = 10;   // 1,024 rows a chunk at most
  static constexpr std::size_t kChunkBytes = 1u << 20;  // unless that passes 1 MiB

  void AddChunk();

  std::uint32_t chunkShift_ = kMaxChunkShift;
  std::uint32_t chunkMask_ = (1u << kMaxChunkShift) - 1;

  std::uint32_t dataSize_ = 0;
  std::size_t fieldCount_ = 0;
  std::uint32_t nullOffset_ = kIdSize;
  std::uint32_t rowSize_ = kIdSize;
  std::vector<std::unique_ptr<std::uint8_t[]>> chunks_;
  std::uint32_t slotsUsed_ = 0;  // slots handed out of the chunks so far
  std::vector<std::uint32_t> free_;
  std::vector<std::uint32_t> order_;
  std::int32_t nextId_ = 0;
};

}  // namespace mero::data
