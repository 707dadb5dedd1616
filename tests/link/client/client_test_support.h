#pragma once

// What the client socket's tests share: a loop that lets Qt deliver events
// until a condition holds, and recorders for the application's error display
// and its termination. The Qt application itself is made by the programs'
// main (support/qt_test_main.cpp).

#include <gtest/gtest.h>

#include <chrono>
#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace mero::test {

// Lets Qt deliver events until the condition holds; false when it still
// does not after the time-out (a guard against a hanging test, not a measure).
bool ProcessUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = std::chrono::seconds(15));

// Records what reaches the application's error display and the termination
// hook while it lives; the program is never ended.
class AppHooksRecorder {
 public:
  AppHooksRecorder();
  ~AppHooksRecorder();
  AppHooksRecorder(const AppHooksRecorder&) = delete;
  AppHooksRecorder& operator=(const AppHooksRecorder&) = delete;

  // The texts shown by the error display, and the exit codes asked for.
  const std::vector<std::string>& Errors() const { return errors_; }
  const std::vector<int>& Terminations() const { return terminations_; }
  // The type name of each failure shown (std::exception's dynamic type).
  const std::vector<std::string>& ErrorTypes() const { return types_; }

 private:
  std::vector<std::string> errors_;
  std::vector<std::string> types_;
  std::vector<int> terminations_;
};

}  // namespace mero::test
