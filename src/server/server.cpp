#include "server/server.h"

#include <array>
#include <csignal>
#include <functional>
#include <memory>
#include <stdexcept>

#include "link/codec/pipeline.h"
#include "link/codec/string_line.h"
#include "server/server_log.h"

namespace mero::server {
namespace {

// What a client over the session limit is shown; its own login is never read.
constexpr std::string_view kTooManySessions = "ORA-00018: maximum number of sessions exceeded";
// A refused connection waits this long at most for the client to close its
// side, and only so many wait at once; beyond that they are closed at once.
constexpr auto kRefusalLinger = std::chrono::seconds(2);
constexpr std::size_t kMaxLingering = 32;

// A refused connection on its way out: it reads and drops what the client
// sends until the client closes, so that closing never meets unread bytes
// (which would reset the connection and could lose the message).
struct Refusal {
  Refusal(asio::ip::tcp::socket s, asio::io_context& io) : socket(std::move(s)), timer(io) {}
  asio::ip::tcp::socket socket;
  asio::steady_timer timer;
  std::array<char, 4096> sink{};
  std::string frame;
};

void Drain(std::shared_ptr<Refusal> r, std::function<void()> done) {
  r->socket.async_read_some(asio::buffer(r->sink), [r, done](const asio::error_code& ec, std::size_t) mutable {
    if (!ec) {
      Drain(std::move(r), std::move(done));
      return;
    }
    asio::error_code ignored;
    r->timer.cancel();
    r->socket.close(ignored);
    done();
  });
}

}  // namespace

Server::Server(ServerConfig config) : context_(std::move(config)), acceptPause_(io_), signals_(io_) {
  for (const Endpoint& e : context_.config.listen) {
    asio::error_code ec;
    const asio::ip::address address = asio::ip::make_address(e.address, ec);
    if (ec) throw std::runtime_error("cannot listen on " + e.ToString() + ": not an IP address");
    auto acceptor = std::make_unique<asio::ip::tcp::acceptor>(io_);
    const asio::ip::tcp::endpoint endpoint(address, static_cast<unsigned short>(e.port));
    acceptor->open(endpoint.protocol(), ec);
    if (!ec) acceptor->set_option(asio::socket_base::reuse_address(true), ec);
    if (!ec) acceptor->bind(endpoint, ec);
    if (!ec) acceptor->listen(asio::socket_base::max_listen_connections, ec);
    if (ec) throw std::runtime_error("cannot listen on " + e.ToString() + ": " + ec.message());
    acceptors_.push_back(std::move(acceptor));
    cipher_.push_back(e.Cipher());
  }
}

Server::~Server() = default;

std::vector<Endpoint> Server::Bound() const {
  std::vector<Endpoint> out;
  for (std::size_t i = 0; i < acceptors_.size(); ++i) {
    const auto ep = acceptors_[i]->local_endpoint();
    out.push_back({ep.address().to_string(), ep.port()});
  }
  return out;
}

void Server::Accept(std::size_t index) {
  acceptors_[index]->async_accept([this, index](const asio::error_code& ec, asio::ip::tcp::socket socket) {
    if (ec == asio::error::operation_aborted) return;
    if (ec) {
      // Out of descriptors or memory: trying again at once would only spin.
      Log("cannot accept a connection: " + ec.message());
      acceptPause_.expires_after(std::chrono::milliseconds(100));
      acceptPause_.async_wait([this, index](const asio::error_code& e) {
        if (!e && acceptors_[index]->is_open()) Accept(index);
      });
      return;
    }
    const std::uint64_t number = ++sessionsStarted_;
    if (sessions_.Count() >= static_cast<std::size_t>(context_.config.maxSessions)) {
      Refuse(std::move(socket), cipher_[index], number);
    } else {
      try {
        sessions_.Start(std::make_shared<Session>(std::move(socket), context_, cipher_[index], number));
      } catch (const std::exception& e) {
        Log("#" + std::to_string(number) + ": cannot start a session: " + e.what());
      }
    }
    Accept(index);
  });
}

void Server::Refuse(asio::ip::tcp::socket socket, bool cipher, std::uint64_t number) {
  asio::error_code ec;
  const auto remote = socket.remote_endpoint(ec);
  const SessionName name{number, ec ? std::string("?") : remote.address().to_string()};
  LogSession(name, "", "refused, " + std::to_string(context_.config.maxSessions) + " sessions already (max-sessions)");
  if (refusing_ >= kMaxLingering) {
    socket.close(ec);
    return;
  }
  link::LinkTransforms transforms;
  link::UseLinkCipher(transforms, cipher);
  link::TLinkStringLine line;
  line.SetKind(link::MessageKind::MessageBox);
  line.AddText(kTooManySessions);
  auto r = std::make_shared<Refusal>(std::move(socket), io_);
  r->frame = link::PackMessage(std::move(line).Finish(), transforms);
  ++refusing_;
  auto done = [this] { --refusing_; };
  // A few bytes into an empty send buffer: the write does not wait.
  asio::write(r->socket, asio::buffer(r->frame), ec);
  r->socket.shutdown(asio::ip::tcp::socket::shutdown_send, ec);
  r->timer.expires_after(kRefusalLinger);
  r->timer.async_wait([r](const asio::error_code& e) {
    asio::error_code ignored;
    if (!e) r->socket.close(ignored);  // the pending read ends with an error and finishes the refusal
  });
  Drain(r, done);
}

void Server::Run(bool handleSignals) {
  for (std::size_t i = 0; i < acceptors_.size(); ++i) Accept(i);
  if (handleSignals) {
    signals_.add(SIGINT);
    signals_.add(SIGTERM);
    signals_.async_wait([this](const asio::error_code& ec, int) {
      if (!ec) Stop();
    });
  }
  for (const Endpoint& e : Bound()) {
    Log("listening on " + e.ToString() + (e.Cipher() ? " (link cipher)" : ""));
  }
  io_.run();
  // Sessions end after the request in hand; each rolls back what it did not commit.
  sessions_.StopAll();
  sessions_.JoinAll();
  Log("stopped");
}

void Server::Stop() {
  asio::post(io_, [this] {
    for (auto& a : acceptors_) {
      asio::error_code ignored;
      a->close(ignored);
    }
    acceptPause_.cancel();
    signals_.cancel();
  });
}

}  // namespace mero::server
