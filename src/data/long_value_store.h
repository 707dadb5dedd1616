#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mero::data {

// The long values (memos, blobs) of a dataset's rows. A row holds the handle
// of its entry; handle 0 means no entry. Freed handles are reused.
class TLinkBlobList {
 public:
  std::int32_t Add(int fieldNo, std::string_view bytes);
  // The bytes of a live handle; empty for 0 or a freed handle.
  std::string_view Bytes(std::int32_t handle) const;
  int FieldNo(std::int32_t handle) const;
  void Set(std::int32_t handle, std::string_view bytes);
  void Remove(std::int32_t handle);
  void Clear();
  // Live entries.
  std::size_t Count() const { return live_; }

 private:
  struct Entry {
    std::string bytes;
    int fieldNo = 0;
    bool used = false;
  };
  bool Live(std::int32_t handle) const;

  std::vector<Entry> entries_;
  std::vector<std::int32_t> free_;
  std::size_t live_ = 0;
};

}  // namespace mero::data
