#include "link/client/application_hooks.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <utility>

#include "base/message_seam.h"

namespace mero::link {
namespace {

void DefaultErrorDisplay(std::exception_ptr failure) {
  try {
    std::rethrow_exception(std::move(failure));
  } catch (const std::exception& e) {
    base::ShowMess(e.what());
  } catch (...) {
    base::ShowMess("Unknown failure");
  }
}

void DefaultTerminate(int exitCode) {
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
  std::exit(exitCode);
}

ErrorDisplay& Display() {
  static ErrorDisplay display;
  return display;
}

TerminateHook& Hook() {
  static TerminateHook hook;
  return hook;
}

}  // namespace

void SetErrorDisplay(ErrorDisplay display) { Display() = std::move(display); }

void ShowApplicationError(std::exception_ptr failure) {
  if (!failure) return;
  if (Display()) {
    Display()(std::move(failure));
  } else {
    DefaultErrorDisplay(std::move(failure));
  }
}

void SetTerminateHook(TerminateHook hook) { Hook() = std::move(hook); }

void TerminateApplication(int exitCode) {
  if (Hook()) {
    Hook()(exitCode);
  } else {
    DefaultTerminate(exitCode);
  }
}

void ResetApplicationHooks() {
  Display() = nullptr;
  Hook() = nullptr;
}

}  // namespace mero::link
