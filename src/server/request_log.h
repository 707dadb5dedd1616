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

// A statement (windows-1253) as one bounded line: UTF-8 in double quotes,
// with \" \\ \n \r \t \xNN escapes, cut after kLoggedSqlLength characters.
std::string QuotedSql(std::string_view wireSql);

// "request WHAT, 1.234 ms, OUTCOME".
std::string RequestLine(const std::string& what, std::chrono::steady_clock::duration took,
                        const std::string& outcome);

}  // namespace mero::server
