#pragma once

#include <asio.hpp>
#include <memory>
#include <vector>

#include "server/request_handler.h"
#include "server/server_config.h"
#include "server/session.h"

namespace mero::server {

// The listener: accepts connections on every configured endpoint, each
// session on a thread of its own, until Stop.
class Server {
 public:
  // Reads the catalog and binds every endpoint; raises std::runtime_error
  // (cannot bind, cannot open the database) with a clear text.
  explicit Server(ServerConfig config);
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // The endpoints as bound (port 0 in the configuration becomes the port
  // the system chose).
  std::vector<Endpoint> Bound() const;

  // Runs until Stop (or SIGINT/SIGTERM when handleSignals): stops accepting,
  // lets the requests in hand finish, closes the sessions (rolling back what
  // they did not commit) and returns.
  void Run(bool handleSignals);
  void Stop();

 private:
  void Accept(std::size_t index);
  // A connection beyond the session limit: told so in a message the client
  // shows, then closed.
  void Refuse(asio::ip::tcp::socket socket, bool cipher, std::uint64_t number);

  ServerContext context_;
  asio::io_context io_;
  std::vector<std::unique_ptr<asio::ip::tcp::acceptor>> acceptors_;
  std::vector<bool> cipher_;
  SessionRegistry sessions_;
  std::uint64_t sessionsStarted_ = 0;  // only the accepting thread counts
  std::size_t refusing_ = 0;           // refused connections not yet closed (accepting thread)
  asio::steady_timer acceptPause_;     // after a failed accept (no descriptors left, say)
  asio::signal_set signals_;
};

}  // namespace mero::server
