#include "link/client/http_transport.h"

#include "base/text_routines.h"
#include "link/client/socket_errors.h"
#include "link/codec/link_errors.h"
#include "link/codec/message_stack.h"
#include "link/codec/wire_int.h"

namespace mero::link {
namespace {

constexpr std::size_t kMaxHead = 65536;
constexpr std::string_view kEndOfHead = "\r\n\r\n";

[[noreturn]] void Refused() { throw ELinkConnectException(SocketErrorMessage(kErrConnectionRefused)); }

}  // namespace

std::string THttpTransport::RequestHead(std::size_t frameLength, bool socketAddressSet) const {
  std::string head;
  if (socketAddressSet) {
    head += "POST http://" + address_ + ":" + std::to_string(port_) + "/ HTTP/1.0\r\n";
  } else {
    head += "POST LINKSHTTP / HTTP/1.0\r\n";
  }
  head += "Accept: */*\r\n";
  head += "Accept-Language: en-us\r\n";
  head += "Content-Type: application/x-www-form-urlencoded\r\n";
  head += "User-Agent: Mozilla/4.0 \r\n";
  if (address_.empty()) {
    head += "Host: localhost\r\n";
  } else {
    head += "HOST: " + address_ + (port_ != 0 ? ":" + std::to_string(port_) : std::string()) + "\r\n";
  }
  head += "Connection: Keep-Alive\r\n";
  head += "Content-Length: " + std::to_string(frameLength) + "\r\n";
  head += "\r\n";
  return head;
}

void THttpTransport::Reset() {
  inHead_ = true;
  head_.clear();
  lengthBytes_.clear();
  frameLeft_ = 0;
}

std::string THttpTransport::Filter(std::string_view bytes) {
  std::string out;
  while (!bytes.empty()) {
    if (inHead_) {
      const std::size_t before = head_.size();
      head_.append(bytes);
      const std::size_t end = head_.find(kEndOfHead);
      if (end == std::string::npos) {
        if (head_.size() > kMaxHead) Refused();
        return out;
      }
      const std::string upper = base::UpperStr(std::string_view(head_).substr(0, end));
      if (upper.find("10061") != std::string::npos || upper.find("ERROR") != std::string::npos) Refused();
      // What followed the head in this read belongs to the body.
      const std::size_t bodyStart = end + kEndOfHead.size() - before;
      bytes = bytes.substr(bodyStart);
      head_.clear();
      inHead_ = false;
      continue;
    }
    if (frameLeft_ == 0) {
      // At a frame boundary: four length bytes, or the next response head.
      const std::size_t take = std::min<std::size_t>(4 - lengthBytes_.size(), bytes.size());
      lengthBytes_.append(bytes.substr(0, take));
      bytes = bytes.substr(take);
      if (lengthBytes_.size() < 4) return out;
      if (lengthBytes_ == "HTTP") {
        // A length can never read "HTTP" (it would exceed the largest frame).
        inHead_ = true;
        head_ = std::move(lengthBytes_);
        lengthBytes_.clear();
        continue;
      }
      const std::int32_t n = GetInt32(lengthBytes_.data());
      out += lengthBytes_;
      lengthBytes_.clear();
      // A bad length is left to the frame cutter, which refuses it.
      if (n < 0 || n > kMaxFrameLength) {
        out.append(bytes);
        return out;
      }
      frameLeft_ = n;
      continue;
    }
    const std::size_t take =
        static_cast<std::size_t>(std::min<std::int64_t>(frameLeft_, static_cast<std::int64_t>(bytes.size())));
    out.append(bytes.substr(0, take));
    bytes = bytes.substr(take);
    frameLeft_ -= static_cast<std::int64_t>(take);
  }
  return out;
}

}  // namespace mero::link
