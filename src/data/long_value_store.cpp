#include "data/long_value_store.h"

namespace mero::data {

bool TLinkBlobList::Live(std::int32_t handle) const {
  return handle > 0 && static_cast<std::size_t>(handle) <= entries_.size() &&
         entries_[static_cast<std::size_t>(handle) - 1].used;
}

std::int32_t TLinkBlobList::Add(int fieldNo, std::string_view bytes) {
  std::int32_t handle;
  if (!free_.empty()) {
    handle = free_.back();
    free_.pop_back();
  } else {
    entries_.emplace_back();
    handle = static_cast<std::int32_t>(entries_.size());
  }
  Entry& e = entries_[static_cast<std::size_t>(handle) - 1];
  e.bytes.assign(bytes);
  e.fieldNo = fieldNo;
  e.used = true;
  ++live_;
  return handle;
}

std::string_view TLinkBlobList::Bytes(std::int32_t handle) const {
  if (!Live(handle)) return {};
  return entries_[static_cast<std::size_t>(handle) - 1].bytes;
}

int TLinkBlobList::FieldNo(std::int32_t handle) const {
  return Live(handle) ? entries_[static_cast<std::size_t>(handle) - 1].fieldNo : 0;
}

void TLinkBlobList::Set(std::int32_t handle, std::string_view bytes) {
  if (Live(handle)) entries_[static_cast<std::size_t>(handle) - 1].bytes.assign(bytes);
}

void TLinkBlobList::Remove(std::int32_t handle) {
  if (!Live(handle)) return;
  Entry& e = entries_[static_cast<std::size_t>(handle) - 1];
  e.used = false;
  std::string().swap(e.bytes);
  free_.push_back(handle);
  --live_;
}

void TLinkBlobList::Clear() {
  entries_.clear();
  free_.clear();
  live_ = 0;
}

}  // namespace mero::data
