#pragma once

#include "printers/reference_list.h"

namespace mero::printers {

// The delivery points (the placeholder "-" never listed), searched by their
// description.
class DeliveryPointsRegister final : public ReferenceList {
 public:
  enum Box : std::size_t { kFilter };

  DeliveryPointsRegister();
  std::string SearchSQL(const ListInput& input) const override;
};

}  // namespace mero::printers
