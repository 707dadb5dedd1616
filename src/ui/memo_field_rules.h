#pragma once

#include <string>

namespace mero::data {
class TField;
}

namespace mero::ui {

// Why the long-text editor refuses a field, or empty when it takes it: only
// text fields longer than 20 characters are worth a window of their own.
std::string MemoFieldRefusal(const data::TField& field);

}  // namespace mero::ui
