#include "data/row_store.h"

#include <algorithm>

namespace mero::data {

void TLinkDBList::SetLayout(std::uint32_t dataSize, std::size_t fieldCount) {
  dataSize_ = dataSize;
  fieldCount_ = fieldCount;
  // Null words start on a 4-byte boundary so that a whole block stays a
  // multiple of 4 bytes.
  nullOffset_ = (kIdSize + dataSize + 3) & ~3u;
  rowSize_ = nullOffset_ + static_cast<std::uint32_t>((fieldCount + 31) / 32) * 4;
  chunkShift_ = kMaxChunkShift;
  while (chunkShift_ > 0 && (static_cast<std::size_t>(rowSize_) << chunkShift_) > kChunkBytes) --chunkShift_;
  chunkMask_ = (1u << chunkShift_) - 1;
  chunks_.clear();
  slotsUsed_ = 0;
  free_.clear();
  order_.clear();
  nextId_ = 0;
}

void TLinkDBList::Clear() {
  order_.clear();
  free_.clear();
  slotsUsed_ = 0;
  nextId_ = 0;
}

void TLinkDBList::Reserve(std::size_t rows) {
  order_.reserve(rows);
  const std::size_t slots = slotsUsed_ + rows;
  const std::size_t chunks = (slots + chunkMask_) >> chunkShift_;
  while (chunks_.size() < chunks) AddChunk();
}

void TLinkDBList::AddChunk() {
  chunks_.push_back(std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(rowSize_) << chunkShift_));
}

std::optional<std::size_t> TLinkDBList::PositionOf(std::int32_t id) const {
  for (std::size_t pos = 0; pos < order_.size(); ++pos) {
    if (Id(pos) == id) return pos;
  }
  return std::nullopt;
}

std::uint32_t TLinkDBList::NewSlot(std::int32_t id) {
  std::uint32_t slot;
  if (!free_.empty()) {
    slot = free_.back();
    free_.pop_back();
  } else {
    slot = slotsUsed_++;
    if ((slot >> chunkShift_) >= chunks_.size()) AddChunk();
  }
  std::uint8_t* row = Slot(slot);
  SetId(row, id);
  ResetValues(row);
  return slot;
}

void TLinkDBList::ResetValues(std::uint8_t* row) const {
  std::fill(row + kIdSize, row + nullOffset_, std::uint8_t{0});
  std::fill(row + nullOffset_, row + rowSize_, std::uint8_t{0xFF});
}

void TLinkDBList::InsertSlot(std::size_t pos, std::uint32_t slot) {
  order_.insert(order_.begin() + static_cast<std::ptrdiff_t>(std::min(pos, order_.size())), slot);
}

void TLinkDBList::Remove(std::size_t pos) {
  free_.push_back(order_[pos]);
  order_.erase(order_.begin() + static_cast<std::ptrdiff_t>(pos));
}

}  // namespace mero::data
