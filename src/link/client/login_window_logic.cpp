#include "link/client/login_window_logic.h"

#include "base/text_routines.h"

namespace mero::link {

bool TLinkLoginWindowLogic::IsCancelPair(const std::string& user, const std::string& password) {
  return base::UpperStr(base::StrTrim(user)) == kCancelUser &&
         base::UpperStr(base::StrTrim(password)) == kCancelPassword;
}

TLinkLoginWindowLogic::Step TLinkLoginWindowLogic::Answer(bool ok, const std::string& user,
                                                          const std::string& password) {
  if (ok && !IsCancelPair(user, password)) return Step::Login;
  ++cancels_;
  return cancels_ >= 3 ? Step::Terminate : Step::AskExit;
}

}  // namespace mero::link
