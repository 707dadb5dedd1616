#include "server/request_log.h"

#include <cstdio>
#include <exception>

#include "base/encoding.h"
#include "server/server_log.h"

namespace mero::server {
namespace {

using link::MessageKind;

std::string_view FieldOrEmpty(const link::TLinkStringLine& request, int k) {
  return k <= request.FieldCount() ? request.Field(k) : std::string_view();
}

// The number in field k, or the field's own text when it is not one (a
// damaged request is logged as it came, within bounds).
std::string NumberField(const link::TLinkStringLine& request, int k) {
  try {
    return std::to_string(request.FieldInt(k));
  } catch (const std::exception&) {
    return QuotedSql(FieldOrEmpty(request, k));
  }
}

}  // namespace

std::string DescribeRequest(const link::TLinkStringLine& request) {
  switch (static_cast<MessageKind>(request.DispatchKind())) {
    case MessageKind::Login:
      return "login";
    case MessageKind::ServerUtility:
      return "utility " + NumberField(request, 1);
    case MessageKind::Select:
      return "select " + QuotedSql(FieldOrEmpty(request, 1));
    case MessageKind::PassThroughSelect:
      return "pass-through select " + QuotedSql(FieldOrEmpty(request, 2));
    case MessageKind::NextPacket:
      return "next packet " + NumberField(request, 1);
    case MessageKind::CloseServerCursor:
      return "close cursor " + NumberField(request, 1);
    case MessageKind::Execute:
      return "execute " + QuotedSql(FieldOrEmpty(request, 1));
    case MessageKind::CodedMessage:
      return "coded message " + NumberField(request, 1);
    case MessageKind::CodedParamList:
      return "param list " + NumberField(request, 1);
    default:
      return "kind " + std::to_string(request.DispatchKind());
  }
}

std::string QuotedWire(std::string_view wireText, std::size_t maxChars) {
  // windows-1253 has one byte per character: one character past the limit is
  // enough for QuotedText to see that the text goes on.
  const std::size_t shown = maxChars == std::string_view::npos ? maxChars : maxChars + 1;
  return QuotedText(base::Win1253ToUtf8(wireText.substr(0, shown)), maxChars);
}

std::string QuotedSql(std::string_view wireSql) { return QuotedWire(wireSql, kLoggedSqlLength); }

std::string RequestLine(const std::string& what, std::chrono::steady_clock::duration took, const std::string& outcome) {
  const double ms = std::chrono::duration<double, std::milli>(took).count();
  char duration[32];
  std::snprintf(duration, sizeof duration, "%.3f ms", ms);
  return "request " + what + ", " + duration + ", " + outcome;
}

}  // namespace mero::server
