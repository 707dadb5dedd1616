// mero: the program a user starts. The start-up, then the main window, whose
// first show runs the login; the session ends when the main window closes.

#include <QApplication>
#include <utility>

#include "app/application_startup.h"
#include "app/connection_context.h"
#include "app/domain_windows.h"
#include "app/main_window.h"
#include "app/stop_signals.h"
#include "app/user_rights.h"
#include "link/client/application_hooks.h"
#include "printers/printer_context.h"
#include "printers/printer_menu_window.h"
#include "printers/reference_registers_window.h"
#include "printers/requisition_editor_window.h"
#include "printers/workbench_window.h"
#include "ui/date_box_rules.h"
#include "ui/event_guard.h"

namespace {

using namespace mero;

// The domain's windows behind the main window's buttons. The shell knows
// none of them; the program hands them over here.
class ProgramWindows final : public app::DomainWindows {
 public:
  explicit ProgramWindows(printers::RequisitionEditorOpener editor) : editor_(std::move(editor)) {}
  void OpenPrinterMenu() override { printers::OpenPrinterMenu(editor_); }
  void OpenWorkbench() override { printers::OpenWorkbench(); }
  void OpenUnits() override { printers::OpenUnits(); }
  void OpenDeliveryPoints() override { printers::OpenDeliveryPoints(); }
  void OpenContractConsumables() override { printers::OpenContractConsumables(); }
  void OpenPrinterModels() override { printers::OpenPrinterModels(); }

 private:
  printers::RequisitionEditorOpener editor_;
};

}  // namespace

int main(int argc, char** argv) {
  using namespace mero;
  ui::GuardedApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("mero"));
  QApplication::setDesktopFileName(QStringLiteral("mero"));
  ui::SetStartupFinished(false);

  app::StartupWindows startup;
  if (!app::InitApplication(startup)) return 1;
  ui::SetStartupFinished(true);
  // The link ends the program through the event loop, so that the windows
  // and the connection close in order.
  link::SetTerminateHook([](int code) { QCoreApplication::exit(code); });

  // The printer windows read who is working from the shell's context.
  printers::SetUserContextSource([] {
    return printers::UserContext{app::Ctx().CurrentUser, app::UserCtx().CurrentContract};
  });
  ProgramWindows windows(printers::OpenRequisitionEditor);
  app::TMeroMainF mainWindow(windows);
  bool stopped = false;
  app::OnStopSignals([&mainWindow, &stopped] {
    stopped = true;
    if (mainWindow.Logic().ShowHandled()) {
      mainWindow.close();
    } else {
      QCoreApplication::exit(0);
    }
  });
  mainWindow.show();
  const int status = QApplication::exec();
  mainWindow.Logic().Disconnect();
  app::EndApplication();
  if (status != 0) return status;
  return stopped ? 0 : mainWindow.ExitStatus();
}
