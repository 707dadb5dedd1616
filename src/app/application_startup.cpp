#include "app/application_startup.h"

#include "app/connection_context.h"
#include "base/format_settings.h"
#include "base/named_params.h"
#include "base/runtime.h"
#include "base/startup.h"
#include "data/remote/query_startup.h"
#include "data/remote/query_utils.h"
#include "ui/ui_startup.h"
#include "ui/work_windows.h"

namespace mero::app {

StartupWindows::StartupWindows() = default;
StartupWindows::~StartupWindows() = default;
StartupWindows::StartupWindows(StartupWindows&&) noexcept = default;
StartupWindows& StartupWindows::operator=(StartupWindows&&) noexcept = default;

bool InitApplication(StartupWindows& windows) {
  data::QueryGlobals().keepDoubleQuotes = true;
  windows.work = std::make_unique<ui::TOOVF>();
  windows.gauge = std::make_unique<ui::TGaugeF>();
  // They stay open for the whole run; the program ends with its main window.
  windows.work->setAttribute(Qt::WA_QuitOnClose, false);
  windows.gauge->setAttribute(Qt::WA_QuitOnClose, false);
  windows.work->ShowOffScreen();
  base::InitBasu(0);
  ui::InitUI(0);
  Ctx().AppName = "MERO";
  data::InitQueryUtils(true);
  base::Rt().dateFmtMode = 3;
  base::ProcessFormats().shortDateFormat = "dd/mm/yyyy";
  base::LoadTheNamedParameters();
  base::ProcessFormats().shortDateFormat = "dd/mm/yyyy";
  base::Rt().debugLevel = 0;
  return true;
}

void EndApplication() { ui::ShutdownUI(); }

}  // namespace mero::app
