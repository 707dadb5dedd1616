#pragma once

#include <string>
#include <vector>

#include "data/remote/update_client_dataset.h"

namespace mero::data {

// The remote query dataset the windows declare: a TLinkUpdateClientDataSet
// with the settings kept beside it. The behaviour follows UpdateMethod;
// EditMode is only a label ("Read Only", "After Post", "Cached", "Cached
// Provider").
class TLinkClientDataSet : public TLinkUpdateClientDataSet {
 public:
  explicit TLinkClientDataSet(std::string name = {});

  const std::string& EditMode() const { return editMode_; }
  void SetEditMode(std::string label) { editMode_ = std::move(label); }
  // Fields to read back after an insert; kept, never used by this system.
  const std::vector<std::string>& RefetchOnInsert() const { return refetchOnInsert_; }
  void SetRefetchOnInsert(std::vector<std::string> names) { refetchOnInsert_ = std::move(names); }

 private:
  std::string editMode_ = "Read Only";
  std::vector<std::string> refetchOnInsert_;
};

}  // namespace mero::data
