#include "server/server.h"

#include <csignal>
#include <stdexcept>

#include "server/server_log.h"

namespace mero::server {

Server::Server(ServerConfig config) : context_(std::move(config)), signals_(io_) {
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
    if (ec) {
      if (ec != asio::error::operation_aborted) Accept(index);
      return;
    }
    const std::uint64_t number = ++sessionsStarted_;
    try {
      sessions_.Start(std::make_shared<Session>(std::move(socket), context_, cipher_[index], number));
    } catch (const std::exception& e) {
      Log("#" + std::to_string(number) + ": cannot start a session: " + e.what());
    }
    Accept(index);
  });
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
    signals_.cancel();
  });
}

}  // namespace mero::server
