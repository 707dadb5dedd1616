#pragma once

// The text of the exception of type E that a call raises, or "<no error>", so
// that a table of bad inputs can compare exact error texts.

#include <functional>
#include <string>

namespace mero::test {

template <typename E>
std::string ErrorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const E& e) {
    return e.what();
  }
  return "<no error>";
}

}  // namespace mero::test
