#pragma once

#include <string_view>

namespace mero::base {

// Whether a file name that came over the link may be written where it says:
// a relative name whose parts are separated by '/' and none of which is
// empty, "." or "..". Refused besides: an absolute path, any backslash or
// ':' (drive letters, another platform's separators and streams) and control
// characters. The name is resolved against the current directory.
bool IsPlainRelativeName(std::string_view name);

}  // namespace mero::base
