#include "link/client/scripted_peer.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <linux/filter.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace mero::test {

using K = link::MessageKind;

PeerConnection::PeerConnection(int fd, link::LinkTransforms transforms) : fd_(fd), transforms_(std::move(transforms)) {
  const int one = 1;
  setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

PeerConnection::~PeerConnection() { Close(); }

void PeerConnection::Close() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

void PeerConnection::Vanish() {
  // A socket filter that accepts nothing: the system drops each segment
  // before TCP sees it, so neither data nor keep-alive probes are acknowledged.
  sock_filter dropAll[] = {{BPF_RET | BPF_K, 0, 0, 0}};
  const sock_fprog program{1, dropAll};
  if (setsockopt(fd_, SOL_SOCKET, SO_ATTACH_FILTER, &program, sizeof program) != 0) {
    throw std::runtime_error("cannot attach the socket filter");
  }
}

bool PeerConnection::ReadSome(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  pollfd p{fd_, POLLIN, 0};
  if (poll(&p, 1, static_cast<int>(std::max<std::int64_t>(left.count(), 0))) <= 0) return false;
  char buf[65536];
  const ssize_t n = recv(fd_, buf, sizeof buf, 0);
  if (n <= 0) {
    closed_ = true;
    return false;
  }
  stack_.Feed(buf, static_cast<std::size_t>(n),
              [this](std::string_view payload) { received_.push_back(link::UnpackMessage(payload, transforms_)); });
  return true;
}

link::TLinkStringLine PeerConnection::Receive(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (received_.empty()) {
    if (closed_) throw std::runtime_error("the client closed the connection");
    if (std::chrono::steady_clock::now() >= deadline) throw std::runtime_error("no message from the client");
    ReadSome(deadline);
  }
  std::string message = std::move(received_.front());
  received_.pop_front();
  return link::TLinkStringLine::Parse(std::move(message));
}

link::TLinkStringLine PeerConnection::Expect(link::MessageKind kind, std::chrono::milliseconds timeout) {
  link::TLinkStringLine line = Receive(timeout);
  if (!line.Is(kind)) {
    throw std::runtime_error("expected kind " + std::to_string(link::KindByte(kind)) + ", got " +
                             std::to_string(line.DispatchKind()));
  }
  return line;
}

std::string PeerConnection::ReceiveRaw(std::chrono::milliseconds timeout) {
  pollfd p{fd_, POLLIN, 0};
  if (poll(&p, 1, static_cast<int>(timeout.count())) <= 0) throw std::runtime_error("no bytes from the client");
  char buf[65536];
  const ssize_t n = recv(fd_, buf, sizeof buf, 0);
  if (n <= 0) throw std::runtime_error("the client closed the connection");
  return std::string(buf, static_cast<std::size_t>(n));
}

std::string PeerConnection::Frame(const link::TLinkStringLine& line) const {
  return link::PackMessage(line.Finish(), transforms_);
}

void PeerConnection::Send(const link::TLinkStringLine& line) { SendRaw(Frame(line)); }

void PeerConnection::SendRaw(std::string_view bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) {
      if (n < 0 && errno == EINTR) continue;
      throw std::runtime_error("the client closed the connection");
    }
    sent += static_cast<std::size_t>(n);
  }
}

bool PeerConnection::WaitClosed(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!closed_ && std::chrono::steady_clock::now() < deadline) {
    try {
      ReadSome(deadline);
    } catch (const std::exception&) {
    }
    received_.clear();
  }
  return closed_;
}

link::TLinkStringLine PeerConnection::AnswerLogin(bool verdict) {
  link::TLinkStringLine login = Expect(K::Login);
  link::TLinkStringLine reply = ScriptedPeer::Line(K::Login);
  reply.AddInt(verdict ? 1 : 0);
  Send(reply);
  return login;
}

void PeerConnection::AcceptLogin() {
  AnswerLogin(true);
  Expect(K::ServerUtility);
}

ScriptedPeer::ScriptedPeer(Script script, link::LinkTransforms transforms) : transforms_(std::move(transforms)) {
  listenFd_ = socket(AF_INET, SOCK_STREAM, 0);
  const int one = 1;
  setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(listenFd_, 8) != 0) {
    throw std::runtime_error("the scripted peer cannot listen");
  }
  socklen_t len = sizeof addr;
  getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len);
  port_ = ntohs(addr.sin_port);
  thread_ = std::thread([this, script = std::move(script)] {
    try {
      script(*this);
    } catch (const std::exception& e) {
      failure_ = e.what();
    }
    finished_ = true;
  });
}

ScriptedPeer::~ScriptedPeer() {
  thread_.join();
  close(listenFd_);
  if (!failure_.empty()) ADD_FAILURE() << "scripted peer: " << failure_;
}

std::unique_ptr<PeerConnection> ScriptedPeer::Accept(std::chrono::milliseconds timeout) {
  pollfd p{listenFd_, POLLIN, 0};
  if (poll(&p, 1, static_cast<int>(timeout.count())) <= 0) throw std::runtime_error("no client connected");
  const int fd = accept(listenFd_, nullptr, nullptr);
  if (fd < 0) throw std::runtime_error("accept failed");
  return std::make_unique<PeerConnection>(fd, transforms_);
}

void ScriptedPeer::WaitForStep(int step, std::chrono::milliseconds timeout) const {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (step_ < step) {
    if (std::chrono::steady_clock::now() >= deadline)
      throw std::runtime_error("step " + std::to_string(step) + " never came");
    std::this_thread::sleep_for(1ms);
  }
}

link::TLinkStringLine ScriptedPeer::Line(link::MessageKind kind, std::int32_t origin) {
  link::TLinkStringLine line;
  line.SetKind(kind);
  line.SetOrigin(origin);
  return line;
}

int UnusedPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  socklen_t len = sizeof addr;
  getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  close(fd);
  return ntohs(addr.sin_port);
}

}  // namespace mero::test
