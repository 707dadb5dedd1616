#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace mero::server {

// How much of a text a client sent the log holds: a user name, an application
// name or a version; and a whole line, whatever it holds.
inline constexpr std::size_t kLoggedNameLength = 40;
inline constexpr std::size_t kLogLineLength = 2000;

// One line on the server's log (standard error), with the local time; safe
// from every thread. Texts are UTF-8. The text is escaped and cut by
// AppendEscaped after kLogLineLength characters, so that nothing a client
// sends can start a line of its own or make one line unbounded.
void Log(const std::string& text);

// The one escape of the log: appends up to maxChars characters of text, then
// "…" when there was more. Control characters (C0, DEL, C1), the Unicode line
// and paragraph separators and bytes that are not UTF-8 are written as \n, \r,
// \t, \xNN (bytes) and \uNNNN (code points); quoted also escapes '"' and '\\',
// for a text written between quotes.
void AppendEscaped(std::string& line, std::string_view text, bool quoted, std::size_t maxChars = std::string::npos);

// A client's text as the log shows it: in double quotes, escaped, cut after
// maxChars characters (the "…" inside the quotes).
std::string QuotedText(std::string_view text, std::size_t maxChars);

// A user name as a session line shows it: as it is when it is no longer than
// kLoggedNameLength and holds only plain characters (no blank, control, quote,
// backslash or colon, which could make it read as another part of the line);
// otherwise as QuotedText. An empty name is "-".
std::string LoggedName(std::string_view name);

// Lines are dropped while quiet (tests).
void SetLogQuiet(bool quiet);

// Whom a session's lines are about: its number, counted from 1 since the
// server started, and the client's address. Several sessions may come from
// one address under one user; the number tells them apart.
struct SessionName {
  std::uint64_t number = 0;
  std::string peer;
};

// "#N ADDR USER: text", USER as LoggedName writes it ("-" before a login).
void LogSession(const SessionName& session, const std::string& user, const std::string& text);

}  // namespace mero::server
