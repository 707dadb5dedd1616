#pragma once

// A small blocking client of the link for tests and benchmarks: real TCP on
// loopback, every byte through link_codec, the way the client socket sends
// and reads them, with a time-out on every read so that a test never hangs.

#include <chrono>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "link/codec/compression.h"
#include "link/codec/message_stack.h"
#include "link/codec/param_list.h"
#include "link/codec/pipeline.h"
#include "link/codec/result_set.h"
#include "link/codec/string_line.h"

namespace mero::test {

class LinkTestClient {
 public:
  // Connects to 127.0.0.1:port; the link cipher is on for ports 7771–7779.
  // Raises std::runtime_error when it cannot connect.
  explicit LinkTestClient(int port) : LinkTestClient(port, link::IsCipherPort(port)) {}
  LinkTestClient(int port, bool cipher);
  ~LinkTestClient();
  LinkTestClient(const LinkTestClient&) = delete;
  LinkTestClient& operator=(const LinkTestClient&) = delete;

  // Bytes written and read on the connection so far.
  std::size_t BytesSent() const { return bytesSent_; }
  std::size_t BytesReceived() const { return bytesReceived_; }

  // Whole-message compression of what this client sends.
  void SetCompression(link::TLinkCompression compression) { transforms_.compression = compression; }
  const link::LinkTransforms& Transforms() const { return transforms_; }

  void Send(const link::TLinkStringLine& line);
  void SendRaw(std::string_view bytes);
  // The next message, decrypted and decompressed (by the compression this
  // client uses); raises std::runtime_error on time-out or a closed connection.
  link::TLinkStringLine Receive(std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // True when the server closes the connection within the time-out (messages
  // that arrive meanwhile are dropped).
  bool WaitClosed(std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // True when no message arrives within the time.
  bool Quiet(std::chrono::milliseconds time);

  // Login; returns the verdict.
  bool Login(const std::string& user, const std::string& password, const std::string& application = "MERO",
             const std::string& version = "1,31");

  struct SelectReply {
    std::string error;                    // the SQLError text, empty on success
    std::vector<std::string> fastFields;  // NAME,TYPE,SIZE
    link::RowSet rows;
    std::int32_t packet = 0;              // the packet cursor kept (0: none, -1: ended)
    std::int32_t lastPacketArgument = 0;  // the packet argument of the last rows reply
    bool compressedRows = false;          // the rows came zlib-compressed
  };
  // Select (or PassThroughSelect); sql in windows-1253.
  SelectReply Select(const std::string& sql, int rows = -1, int options = 0, int origin = 1, bool passThrough = false);
  // NextPacket for the reply's packet cursor; the rows are appended to it.
  void NextPacket(SelectReply& reply, int rows, int options = 1 << 2, int origin = 1);
  void CloseCursor(int origin);
  // Execute; returns the error text, empty on success.
  std::string Exec(const std::string& sql, const std::string& paramsText = "", int origin = 1);
  // CodedMessage 3001 → the text of the 13001 reply.
  std::string LoginInfo(const std::string& text);
  // CodedParamList with the reply flag; returns the reply list.
  link::TLinkParamList ParamList(int number, const link::TLinkParamList& params);
  // ServerUtility code 6; returns the version text of the reply.
  std::string ServerVersion();

 private:
  void ReadSome(std::chrono::steady_clock::time_point deadline);
  void ReadRows(const link::TLinkStringLine& answer, SelectReply& reply);

  static constexpr std::size_t kReadBytes = 1 << 20;

  int fd_ = -1;
  std::string readBuffer_;  // one read, reused
  link::LinkTransforms transforms_;
  link::TLinkMessageStack stack_;
  std::deque<std::string> received_;
  bool closed_ = false;
  std::size_t bytesSent_ = 0;
  std::size_t bytesReceived_ = 0;
};

}  // namespace mero::test
