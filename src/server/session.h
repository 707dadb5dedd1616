#pragma once

#include <array>
#include <asio.hpp>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "link/codec/message_stack.h"
#include "link/codec/pipeline.h"
#include "server/request_handler.h"

namespace mero::server {

class Session;

// The sessions alive now, so that a shutdown can end them all and wait for
// them.
class SessionRegistry {
 public:
  void Add(const std::shared_ptr<Session>& s);
  void Remove(const Session* s);
  // Asks every session to end after the request in hand.
  void StopAll();
  // Waits until every session has ended.
  void WaitEmpty();
  std::size_t Count() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable empty_;
  std::set<std::weak_ptr<Session>, std::owner_less<std::weak_ptr<Session>>> sessions_;
  std::size_t count_ = 0;
};

// One client connection on a thread of its own: it reads frames, hands each
// message to its request handler and writes the replies. A session blocks
// only itself (a query, a wait for another session's write lock, the pause
// after a failed login), answers its requests in order, and costs no thread
// switch between reading a request and answering it. The thread keeps the
// session alive.
class Session : public std::enable_shared_from_this<Session> {
 public:
  Session(asio::ip::tcp::socket socket, ServerContext& context, SessionRegistry& registry, bool cipher);
  ~Session();

  void Start();
  // Ends the session once the request in hand is answered; safe from any thread.
  void Stop();

 private:
  void Run();
  // Handles every message of one read; the replies go to out_. False when
  // the connection can no longer be trusted.
  bool Process(std::size_t bytes, std::chrono::milliseconds& delay);
  // Decrypts and decompresses one frame's payload, remembering which whole-
  // message compression the client used so that the answer uses the same.
  std::string Unpack(std::string_view payload, link::TLinkCompression& used);

  asio::ip::tcp::socket socket_;
  ServerContext& context_;
  SessionRegistry& registry_;
  std::string peer_;
  link::LinkTransforms transforms_;
  link::TLinkMessageStack stack_;
  std::unique_ptr<RequestHandler> handler_;
  std::array<char, 65536> buffer_{};
  std::string out_;
  std::string why_;  // why the session ended
  std::mutex stopMutex_;
  bool stopping_ = false;
  bool running_ = true;
};

}  // namespace mero::server
