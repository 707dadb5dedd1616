#pragma once

#include <string>

namespace mero::server {

// One line on the server's log (standard error), with the local time; safe
// from every thread. Texts are UTF-8.
void Log(const std::string& text);
// Lines are dropped while quiet (tests).
void SetLogQuiet(bool quiet);

}  // namespace mero::server
