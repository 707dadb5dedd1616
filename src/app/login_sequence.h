#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace mero::app {

class TDM1;

// The login window under the settings key prefix: it opens with the user name
// remembered under prefix + "UserName". OK sets LoginUser (trimmed, upper
// case) and LoginPassword (trimmed) and remembers the typed name; Cancel
// changes nothing and returns false.
bool AskLoginDetails(const std::string& keyPrefix);

// The text shown when the connection is still being made, or made without a
// verdict, after both waits.
std::string ServerDidNotAnswerText(const std::string& address, const std::string& port);

// The whole login: asks for the user and password, creates the connection
// module (whose socket connects at once), waits for the server's verdict,
// and on an accepted login sends the login information, lower-cases
// CurrentUser, sets LoggedIn and runs afterLogin on the module. Returns the module, or
// nullptr when none was created (a blank user name or password). args are
// the program's words for the socket (empty: the process's own).
std::unique_ptr<TDM1> TryConnecttoDB(const std::function<void(TDM1&)>& afterLogin, std::vector<std::string> args = {});

}  // namespace mero::app
