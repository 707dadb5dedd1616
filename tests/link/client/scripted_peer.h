#pragma once

// A small server written on link_codec for what the real server never sends:
// it listens on a loopback port the system chooses and runs a script on a
// thread of its own, so the client socket's blocking waits on the test's
// thread get their answers. Every read has a time-out, so a script never
// hangs; a script that fails fails the test.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "link/codec/message_stack.h"
#include "link/codec/param_list.h"
#include "link/codec/pipeline.h"
#include "link/codec/string_line.h"

namespace mero::test {

using namespace std::chrono_literals;

// One accepted connection, seen from the server's side.
class PeerConnection {
 public:
  PeerConnection(int fd, link::LinkTransforms transforms);
  ~PeerConnection();
  PeerConnection(const PeerConnection&) = delete;
  PeerConnection& operator=(const PeerConnection&) = delete;

  // The next message; raises std::runtime_error on time-out or close.
  link::TLinkStringLine Receive(std::chrono::milliseconds timeout = 10s);
  // The next message, which must be of the kind.
  link::TLinkStringLine Expect(link::MessageKind kind, std::chrono::milliseconds timeout = 10s);
  // Raw bytes as they arrive (at least one byte), for the HTTP wrapping.
  std::string ReceiveRaw(std::chrono::milliseconds timeout = 10s);
  void Send(const link::TLinkStringLine& line);
  void SendRaw(std::string_view bytes);
  // The frame of a message as Send writes it.
  std::string Frame(const link::TLinkStringLine& line) const;
  // True when the client closes within the time-out.
  bool WaitClosed(std::chrono::milliseconds timeout = 10s);
  void Close();
  // From now on every packet from the client is dropped unseen and nothing
  // is answered, not even at the TCP level: to the client the peer is gone
  // without a close, as when its machine loses power.
  void Vanish();

  // The login a client sends first, answered with the verdict.
  link::TLinkStringLine AnswerLogin(bool verdict);
  // AnswerLogin(true), then the server-information request that follows it.
  void AcceptLogin();

 private:
  bool ReadSome(std::chrono::steady_clock::time_point deadline);

  int fd_;
  link::LinkTransforms transforms_;
  link::TLinkMessageStack stack_;
  std::deque<std::string> received_;
  bool closed_ = false;
};

class ScriptedPeer {
 public:
  using Script = std::function<void(ScriptedPeer& peer)>;

  // Listens at once (port() is valid on return) and runs the script on its thread.
  explicit ScriptedPeer(Script script, link::LinkTransforms transforms = {});
  // Waits for the script; a script that failed fails the test.
  ~ScriptedPeer();
  ScriptedPeer(const ScriptedPeer&) = delete;
  ScriptedPeer& operator=(const ScriptedPeer&) = delete;

  int Port() const { return port_; }
  bool Finished() const { return finished_; }
  std::unique_ptr<PeerConnection> Accept(std::chrono::milliseconds timeout = 10s);

  // A step the test's thread signals and the script waits for.
  void Signal(int step) { step_ = step; }
  void WaitForStep(int step, std::chrono::milliseconds timeout = 10s) const;

  // Builds a message.
  static link::TLinkStringLine Line(link::MessageKind kind, std::int32_t origin = 0);

 private:
  int listenFd_ = -1;
  int port_ = 0;
  link::LinkTransforms transforms_;
  std::atomic<bool> finished_{false};
  std::atomic<int> step_{0};
  std::string failure_;
  std::thread thread_;
};

// A port nothing listens on (bound once, then released).
int UnusedPort();

}  // namespace mero::test
