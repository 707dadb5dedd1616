#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mero::server {

// One line on the server's log (standard error), with the local time; safe
// from every thread. Texts are UTF-8. Control characters are written as
// escapes (\n, \r, \t, \xNN), so that a user name or statement sent by a
// client can never start a line of its own.
void Log(const std::string& text);
// Appends text with its control characters escaped as Log writes them;
// quoted also escapes '"' and '\\', for a text written between quotes.
void AppendEscaped(std::string& line, std::string_view text, bool quoted);
// Lines are dropped while quiet (tests).
void SetLogQuiet(bool quiet);

// Whom a session's lines are about: its number, counted from 1 since the
// server started, and the client's address. Several sessions may come from
// one address under one user; the number tells them apart.
struct SessionName {
  std::uint64_t number = 0;
  std::string peer;
};

// "#N ADDR USER: text", with "-" for the user before a login.
void LogSession(const SessionName& session, const std::string& user, const std::string& text);

}  // namespace mero::server
