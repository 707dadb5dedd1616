#include "app/main_window_logic.h"

#include "app/connection_context.h"
#include "app/connection_module.h"
#include "app/login_sequence.h"
#include "app/user_rights.h"
#include "base/message_seam.h"
#include "base/number_routines.h"
#include "base/runtime.h"
#include "base/text_routines.h"
#include "base/trace.h"
#include "data/remote/query_utils.h"
#include "data/remote/table_cache.h"
#include "link/client/client_socket.h"
#include "ui/lookup_logic.h"

namespace mero::app {

void LoadPrinterContext() {
  data::TAMemCol* cache = data::MemCol();
  if (cache == nullptr) return;
  cache->AddTable("QAPOL", "select * from QAPOL order by ID", "", "ID");
  cache->AddTable("UP_OVPARAMS", "select * from UP_OVPARAMS", "", "PNM");
}

MeroMainLogic::MeroMainLogic(std::vector<std::string> args) : args_(std::move(args)) {}

MeroMainLogic::~MeroMainLogic() = default;

void MeroMainLogic::ShowHandler() {
  // A step that fails (its error is shown by the caller) still ends the
  // handler, so that the window does not stay locked.
  struct Done {
    bool& handled;
    ~Done() { handled = true; }
  } done{showHandled_};
  closeRequested_ = true;
  module_ = TryConnecttoDB([this](TDM1& module) { AfterLogin(module); }, args_);
  loggedIn_ = Ctx().LoggedIn;
  // Nothing more goes to a refused or dead connection.
  if (!loggedIn_) return;
  closeRequested_ = false;
  AfterLoginSteps();
  caption_ += " " + module_->ACS1().ApplicationVersion();
}

void MeroMainLogic::AfterLogin(TDM1& module) {
  ReadUserRights(module.LWQ());
  caption_ = std::string(kMainCaption) + " (" + Ctx().CurrentUser + ")";
  LoadPrinterContext();
  ui::SetLookupKeepsFilterCase(true);
  verLabel_ = "V " + module.ACS1().ApplicationVersion();
}

void MeroMainLogic::AfterLoginSteps() {
  const std::string superUser = "select F_UP_IS_SUPERUSER(" + base::QuotedStr(Ctx().CurrentUser) + ") from DUAL";
  workbenchVisible_ = data::SelectInt(superUser) == 1;
  webMapVisible_ = data::SelectInt(superUser) == 1;
  UserCtx().CurrentContract = data::SelectStr("select ID from UP_symb where TRUNC(sysdate) between DTFMLim and DTTOLim  ");
  hookInstalled_ = true;
}

void MeroMainLogic::RunDebugPrompt() {
  const std::string answer = base::InputStr(3, "DEBUG=", "1");
  base::Rt().debugLevel = base::StrToIntZ(answer);
  base::ShowDebugWindow();
}

void MeroMainLogic::Disconnect() {
  if (module_ && module_->ACS1().Active()) module_->ACS1().SetActive(false);
  module_.reset();
}

}  // namespace mero::app
