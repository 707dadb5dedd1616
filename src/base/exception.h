#pragma once

#include <stdexcept>
#include <string>

namespace mero::base {

// Failures carry the system's fixed texts (windows-1253 bytes); the edge that
// shows them to the user converts the text once.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& text) : std::runtime_error(text) {}
};

}  // namespace mero::base
