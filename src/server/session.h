#pragma once

#include <array>
#include <asio.hpp>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "link/codec/message_stack.h"
#include "link/codec/pipeline.h"
#include "server/request_handler.h"

namespace mero::server {

class Session;

// The sessions alive now, so that a shutdown can end them all.
class SessionRegistry {
 public:
  void Add(const std::shared_ptr<Session>& s);
  void Remove(const Session* s);
  void StopAll();
  std::size_t Count() const;

 private:
  mutable std::mutex mutex_;
  std::set<std::weak_ptr<Session>, std::owner_less<std::weak_ptr<Session>>> sessions_;
};

// One client connection: reads frames, hands each message to its request
// handler and writes the replies. Its work runs on its own strand, so a
// session's requests are answered one after another and in order, while
// sessions run in parallel on the server's threads. Kept alive by the
// asynchronous operations it has pending.
class Session : public std::enable_shared_from_this<Session> {
 public:
  Session(asio::ip::tcp::socket socket, ServerContext& context, SessionRegistry& registry, bool cipher);
  ~Session();

  void Start();
  // Closes the connection after the request in hand is answered.
  void Stop();

 private:
  void Read();
  void OnRead(const asio::error_code& ec, std::size_t n);
  void Write();
  void Close(const std::string& why);
  // Decrypts and decompresses one frame's payload, remembering which whole-
  // message compression the client used so that the answer uses the same.
  std::string Unpack(std::string_view payload, link::TLinkCompression& used);

  asio::ip::tcp::socket socket_;
  asio::steady_timer delay_;
  ServerContext& context_;
  SessionRegistry& registry_;
  std::string peer_;
  link::LinkTransforms transforms_;
  link::TLinkMessageStack stack_;
  std::unique_ptr<RequestHandler> handler_;
  std::array<char, 65536> buffer_{};
  std::string out_;
  bool closed_ = false;
};

}  // namespace mero::server
