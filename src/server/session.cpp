#include "server/session.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <exception>
#include <vector>

#include "link/codec/link_errors.h"
#include "link/codec/wire_int.h"
#include "server/server_log.h"

namespace mero::server {
namespace {

// A plain message starts with its kind (0–59): a zlib stream (0x78 …) or the
// "WRZL" container never does, so each message says how it was compressed.
link::TLinkCompression CompressionOf(std::string_view payload) {
  if (payload.size() >= 4 && payload.substr(0, 4) == "WRZL") return link::acLinkCompress;
  if (payload.size() >= 2) {
    const auto b0 = static_cast<unsigned char>(payload[0]);
    const auto b1 = static_cast<unsigned char>(payload[1]);
    if ((b0 & 0x0F) == 8 && (b0 >> 4) <= 7 && (b0 * 256 + b1) % 31 == 0) return link::acLinkZLib;
  }
  return link::acNoCompression;
}

// A client machine that vanishes (switched off, its network gone) sends
// nothing more, not even a close: probes after a minute of silence, and an
// unanswered probe or unacknowledged reply for two minutes, end the session
// and free it.
constexpr int kKeepAliveIdleS = 60;
constexpr int kKeepAliveIntervalS = 10;
constexpr int kKeepAliveProbes = 6;
constexpr unsigned kUnansweredLimitMs = 120000;

void KeepAlive(asio::ip::tcp::socket& socket) {
  asio::error_code ec;
  socket.set_option(asio::socket_base::keep_alive(true), ec);
  const int fd = socket.native_handle();
  ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &kKeepAliveIdleS, sizeof kKeepAliveIdleS);
  ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &kKeepAliveIntervalS, sizeof kKeepAliveIntervalS);
  ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &kKeepAliveProbes, sizeof kKeepAliveProbes);
  ::setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &kUnansweredLimitMs, sizeof kUnansweredLimitMs);
}

// Waits until the socket has something to read (or has ended); false when
// the deadline passes first.
bool Readable(int fd, std::chrono::steady_clock::time_point deadline) {
  while (true) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd p{fd, POLLIN, 0};
    const int n = ::poll(&p, 1, static_cast<int>(std::min<std::int64_t>(left.count(), 60000)));
    if (n > 0 || (n < 0 && errno != EINTR)) return true;  // the read says what happened
  }
}

}  // namespace

void SessionRegistry::Start(std::shared_ptr<Session> session) {
  auto done = std::make_shared<std::atomic<bool>>(false);
  std::lock_guard lock(mutex_);
  Reap();
  Entry& e = entries_.emplace_back();
  e.session = session;
  e.done = done;
  e.thread = std::thread([s = std::move(session), done]() mutable {
    s->Run();
    s.reset();  // the session, its socket and its database connection go here
    done->store(true);
  });
}

void SessionRegistry::Reap() {
  for (auto it = entries_.begin(); it != entries_.end();) {
    if (it->done->load()) {
      it->thread.join();
      it = entries_.erase(it);
    } else {
      ++it;
    }
  }
}

void SessionRegistry::StopAll() {
  std::vector<std::shared_ptr<Session>> alive;
  {
    std::lock_guard lock(mutex_);
    for (const Entry& e : entries_) {
      if (auto p = e.session.lock()) alive.push_back(std::move(p));
    }
  }
  for (const auto& s : alive) s->Stop();
}

void SessionRegistry::JoinAll() {
  std::list<Entry> all;
  {
    std::lock_guard lock(mutex_);
    all.swap(entries_);
  }
  for (Entry& e : all) e.thread.join();
}

std::size_t SessionRegistry::Count() {
  std::lock_guard lock(mutex_);
  Reap();
  return entries_.size();
}

Session::Session(asio::ip::tcp::socket socket, ServerContext& context, bool cipher, std::uint64_t number)
    : socket_(std::move(socket)), context_(context) {
  asio::error_code ec;
  const auto remote = socket_.remote_endpoint(ec);
  name_.number = number;
  name_.peer = ec ? std::string("?") : remote.address().to_string();
  socket_.set_option(asio::ip::tcp::no_delay(true), ec);
  KeepAlive(socket_);
  link::UseLinkCipher(transforms_, cipher);
  handler_ = std::make_unique<RequestHandler>(context_, name_);
}

void Session::Stop() {
  std::lock_guard lock(stopMutex_);
  stopping_ = true;
  // Only the reading side: a blocked read returns, while the answer to the
  // request in hand can still be written.
  if (running_) ::shutdown(socket_.native_handle(), SHUT_RD);
}

std::string Session::Unpack(std::string_view payload, link::TLinkCompression& used) {
  std::string plain = link::DecryptMessage(std::string(payload), transforms_);
  used = CompressionOf(plain);
  return link::DecompressMessage(std::move(plain), used, {});
}

bool Session::Process(std::size_t bytes, std::chrono::milliseconds& delay) {
  try {
    stack_.Feed(buffer_.data(), bytes, [&](std::string_view payload) {
      link::TLinkCompression used = link::acNoCompression;
      std::string message = Unpack(payload, used);
      if (message.empty()) return;
      const link::TLinkStringLine request = link::TLinkStringLine::Parse(std::move(message));
      RequestHandler::Outcome outcome = handler_->Handle(request, used);
      delay = std::max(delay, outcome.delay);
      link::LinkTransforms reply = transforms_;
      reply.compression = used;
      for (std::string& m : outcome.replies) {
        OutFrame& frame = out_.emplace_back();
        frame.payload = link::TransformMessage(std::move(m), reply);
        link::PutInt32(frame.length.data(), static_cast<std::int32_t>(frame.payload.size()));
      }
    });
    return true;
  } catch (const std::exception& e) {
    // A broken frame, a message that does not decrypt or does not parse: the
    // connection can no longer be trusted; only this session ends.
    why_ = std::string("closed: ") + e.what();
    return false;
  }
}

void Session::Run() {
  LogSession(name_, "", "connected");
  asio::error_code ec;
  why_ = "disconnected";
  // A connection that does not log in soon holds a thread for nothing.
  const auto loginBy = std::chrono::steady_clock::now() + std::chrono::seconds(context_.config.loginTimeoutS);
  while (true) {
    if (!handler_->LoggedIn() && !Readable(socket_.native_handle(), loginBy)) {
      why_ = "closed: not logged in within " + std::to_string(context_.config.loginTimeoutS) + " s";
      break;
    }
    const std::size_t n = socket_.read_some(asio::buffer(buffer_), ec);
    if (ec) {
      if (ec != asio::error::eof) why_ = "connection lost: " + ec.message();
      break;
    }
    std::chrono::milliseconds delay{0};
    const bool trusted = Process(n, delay);
    if (!out_.empty()) {
      if (delay.count() > 0) std::this_thread::sleep_for(delay);
      outBuffers_.clear();
      for (const OutFrame& frame : out_) {
        outBuffers_.push_back(asio::buffer(frame.length));
        outBuffers_.push_back(asio::buffer(frame.payload));
      }
      asio::write(socket_, outBuffers_, ec);
      out_.clear();
      if (ec) {
        why_ = "connection lost while writing: " + ec.message();
        break;
      }
    }
    if (!trusted) break;
  }
  {
    std::lock_guard lock(stopMutex_);
    running_ = false;
    if (stopping_) why_ = "server stopping";
    socket_.shutdown(asio::ip::tcp::socket::shutdown_both, ec);
    socket_.close(ec);
  }
  const std::string user = handler_->User();
  handler_.reset();  // rolls back what was not committed
  LogSession(name_, user, why_);
}

}  // namespace mero::server
