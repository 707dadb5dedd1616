#include "app/login_sequence.h"

#include <QCoreApplication>

#include "app/connection_context.h"
#include "app/connection_module.h"
#include "base/encoding.h"
#include "base/file_routines.h"
#include "base/format_settings.h"
#include "base/message_seam.h"
#include "base/runtime.h"
#include "base/text_routines.h"
#include "base/trace.h"
#include "data/remote/query_startup.h"
#include "data/remote/query_utils.h"
#include "link/client/client_socket.h"

namespace mero::app {
namespace {

using namespace base::literals;

// Up to 31 waits of 0.1 for the verdict of the login hook.
void WaitForVerdict() {
  const ConnectionContext& c = Ctx();
  int counter = 0;
  do {
    WaitWithMessages(0.1);
    ++counter;
    QCoreApplication::processEvents();
  } while (counter <= 30 && c.LoginState != 0 && c.LoginState != 1);
}

void FixDateFormats() {
  base::Rt().dateFmtMode = 3;
  base::ProcessFormats().shortDateFormat = "dd/mm/yyyy";
}

}  // namespace

bool AskLoginDetails(const std::string& keyPrefix) {
  std::string user = base::RegReadStr(keyPrefix + "UserName", "");
  std::string password;
  if (!base::AskLogin(user, password)) return false;
  ConnectionContext& c = Ctx();
  c.LoginUser = base::StrTrim(base::UpperStr(user));
  c.LoginPassword = base::StrTrim(password);
  base::RegWriteStr(keyPrefix + "UserName", user);
  return true;
}

std::string ServerDidNotAnswerText(const std::string& address, const std::string& port) {
  return "Ο διακομιστής "_gr + address + ":" + port + " δεν απάντησε. Δοκιμάστε ξανά αργότερα."_gr;
}

std::unique_ptr<TDM1> TryConnecttoDB(const std::function<void(TDM1&)>& afterLogin, std::vector<std::string> args) {
  base::DebugLog("On-TryConnecttoDB");
  data::InitQueryUtils(false);
  data::SetGlobalQuery(nullptr);
  FixDateFormats();
  ResetConnection();

  ConnectionContext& c = Ctx();
  c.ServerPort = "7773";
  c.ServerAddress = kDefaultServerAddress;
  c.LoginState = -1;
  AskLoginDetails(c.AppName);
  c.LoggedIn = false;
  if (base::StrTrim(c.LoginUser).empty()) {
    base::ShowMess("Ασυμπλήρωτο UserName"_gr);
    return nullptr;
  }
  if (base::StrTrim(c.LoginPassword).empty()) {
    base::ShowMess("Ασυμπλήρωτο PassWord"_gr);
    return nullptr;
  }

  auto module = std::make_unique<TDM1>(std::move(args));
  WaitForVerdict();
  c.socket = &module->ACS1();
  base::DebugLog("About to Enter Wait Loop ");
  WaitForVerdict();
  base::DebugLog("Exit wait LOOP");
  WaitWithMessages(0);

  c.LoggedIn = false;
  if (c.LoginVerdict) {
    SendLoginRequest();
    c.CurrentUser = base::LowerStr(c.CurrentUser);
    c.LoggedIn = true;
    if (afterLogin) afterLogin(*module);
  } else if (c.LoginState == -1 && module->ACS1().Active()) {
    // Still connecting, or connected without a verdict: without a word the
    // user would not know why the program closes.
    const link::TLinkClientSocket& s = module->ACS1();
    base::ShowMess(ServerDidNotAnswerText(s.Host().empty() ? s.Address() : s.Host(), std::to_string(s.Port())));
  }
  base::DebugLog("Exiting TryConnecttoDB");
  WaitWithMessages(0);
  return module;
}

}  // namespace mero::app
