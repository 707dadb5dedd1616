#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace mero::link {

// Frames carried inside HTTP requests over the socket's own TCP connection
// (the command-line word "HTTP"). Each frame goes out behind a POST head;
// each response head is skipped before frames are cut again.
class THttpTransport {
 public:
  // The proxied server of the command line; an empty address gives the
  // LINKSHTTP request line and "Host: localhost".
  THttpTransport(std::string proxiedAddress, int proxiedPort)
      : address_(std::move(proxiedAddress)), port_(proxiedPort) {}

  // The request head for a frame of the given length; socketAddressSet is
  // whether the socket's Address is set.
  std::string RequestHead(std::size_t frameLength, bool socketAddressSet) const;

  // Takes received bytes and returns those that belong to frames, with
  // response heads removed. A head that reports a failure (the text "10061",
  // or "error" in any case, before its first empty line) raises
  // ELinkConnectException "10061: Connection refused.  Verify that a server is
  // available."; a head longer than 64 KiB raises it as well.
  std::string Filter(std::string_view bytes);
  // Forgets a partial head and frame (a new connection).
  void Reset();

 private:
  std::string address_;
  int port_ = 0;
  bool inHead_ = true;          // reading a response head
  std::string head_;            // the head so far
  std::string lengthBytes_;     // length bytes of the next frame read so far
  std::int64_t frameLeft_ = 0;  // bytes of the current frame still to pass
};

}  // namespace mero::link
