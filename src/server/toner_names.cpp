#include "server/toner_names.h"

#include "base/encoding.h"
#include "base/text_routines.h"

namespace mero::server {

std::string UpperLogin(std::string_view utf8) {
  return base::Win1253ToUtf8(base::UpperStr(base::StrTrim(base::Utf8ToWin1253(utf8))));
}

bool TonerUidNamesUser(std::string_view tonerUid, std::string_view login) {
  const std::string user = UpperLogin(login);
  return !user.empty() && UpperLogin(tonerUid) == user;
}

}  // namespace mero::server
