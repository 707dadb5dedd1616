#pragma once

#include <string>
#include <string_view>

namespace mero::base {

// The named parameter file "NParams.dat" in the application directory: lines
// NAME=VALUE, lines starting with ';' are comments.

// (Re)reads the file; a missing or unreadable file leaves what was read.
void LoadTheNamedParameters();
// The value of the parameter (names compared without regard to case), or the
// default when the lists do not exist yet or the name is absent.
std::string GetNamedParam(std::string_view name, std::string_view defaultValue = {});

}  // namespace mero::base
