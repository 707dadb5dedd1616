#pragma once

#include <string_view>

namespace mero::embedded {

// The bytes of a file compiled into the program (the server's SQL scripts);
// empty when there is none of that name.
std::string_view File(std::string_view name);

}  // namespace mero::embedded
