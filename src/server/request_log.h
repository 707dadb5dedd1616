#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

#include "link/codec/string_line.h"

namespace mero::server {

// A statement's text on the log is cut to this many characters, then "…".
inline constexpr std::size_t kLoggedSqlLength = 400;

// The request as the operator reads it: its kind and what it asked for, the
// statement in quotes or the number of the message, cursor or dataset. A
// login and the login information message (3001) carry a password, so they
// are named by kind and number alone. Never raises, even for a request that
// lacks the fields of its kind.
std::string DescribeRequest(const link::TLinkStringLine& request);

// A text as the client sent it (windows-1253) for the log: UTF-8 in double
// quotes, escaped and cut after maxChars characters as QuotedText does; only
// the part that is shown is converted.
std::string QuotedWire(std::string_view wireText, std::size_t maxChars);

// A statement as QuotedWire writes it, cut after kLoggedSqlLength characters.
std::string QuotedSql(std::string_view wireSql);

// "request WHAT, 1.234 ms, OUTCOME".
std::string RequestLine(const std::string& what, std::chrono::steady_clock::duration took, const std::string& outcome);

}  // namespace mero::server
