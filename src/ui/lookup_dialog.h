#pragma once

#include <string>

#include "base/message_seam.h"

namespace mero::ui {

// The lookup dialog over the request; the chosen key or the initial value.
std::string RunLookup(const base::LookupRequest& request);

}  // namespace mero::ui
