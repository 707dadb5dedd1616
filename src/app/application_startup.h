#pragma once

#include <memory>

namespace mero::ui {
class TGaugeF;
class TOOVF;
}  // namespace mero::ui

namespace mero::app {

// The windows the start-up makes: the work window (shown off the screen)
// and the progress gauge.
struct StartupWindows {
  std::unique_ptr<ui::TOOVF> work;
  std::unique_ptr<ui::TGaugeF> gauge;
  StartupWindows();
  ~StartupWindows();
  StartupWindows(StartupWindows&&) noexcept;
  StartupWindows& operator=(StartupWindows&&) noexcept;
};

// The start of the program before its main window: double quotes kept in
// SQL, the work and gauge windows, the run-time services, the windows'
// framework, the application name "MERO", the query utilities, the date
// formats (four-digit years, "dd/mm/yyyy"), the named parameters, debug
// level 0. Always true.
bool InitApplication(StartupWindows& windows);

// Undoes the framework's start at the end of the run.
void EndApplication();

}  // namespace mero::app
