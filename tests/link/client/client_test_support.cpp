#include "link/client/client_test_support.h"

#include <QCoreApplication>
#include <typeinfo>

#include "link/client/application_hooks.h"

namespace mero::test {

bool ProcessUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

AppHooksRecorder::AppHooksRecorder() {
  link::SetErrorDisplay([this](std::exception_ptr failure) {
    try {
      std::rethrow_exception(failure);
    } catch (const std::exception& e) {
      errors_.push_back(e.what());
      types_.push_back(typeid(e).name());
    }
  });
  link::SetTerminateHook([this](int code) { terminations_.push_back(code); });
}

AppHooksRecorder::~AppHooksRecorder() {
  link::SetErrorDisplay({});
  link::SetTerminateHook({});
}

}  // namespace mero::test
