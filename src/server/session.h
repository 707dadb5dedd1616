#pragma once

#include <array>
#include <asio.hpp>
#include <atomic>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "link/codec/message_stack.h"
#include "link/codec/pipeline.h"
#include "server/request_handler.h"

namespace mero::server {

class Session;

// The sessions and their threads, so that a shutdown can end them all and
// wait until each has finished, its database connection closed.
class SessionRegistry {
 public:
  // Runs the session on a thread of its own.
  void Start(std::shared_ptr<Session> session);
  // Asks every session to end after the request in hand.
  void StopAll();
  // Waits until every session's thread has finished.
  void JoinAll();
  std::size_t Count();

 private:
  struct Entry {
    std::weak_ptr<Session> session;
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done;
  };
  // Joins the threads of sessions that have ended (they are returning).
  void Reap();

  std::mutex mutex_;
  std::list<Entry> entries_;
};

// One client connection on a thread of its own: it reads frames, hands each
// message to its request handler and writes the replies. A session blocks
// only itself (a query, a wait for another session's write lock, the pause
// after a failed login), answers its requests in order, and costs no thread
// switch between reading a request and answering it. Its thread keeps it
// alive.
class Session {
 public:
  // number: the session's number on the log.
  Session(asio::ip::tcp::socket socket, ServerContext& context, bool cipher, std::uint64_t number);

  // The session's thread: reads and answers requests until the connection
  // ends, then closes it and rolls back what was not committed.
  void Run();
  // Ends the session once the request in hand is answered; safe from any thread.
  void Stop();

 private:
  // One reply on its way: the frame's length bytes and its payload, written
  // together without being copied into one buffer first.
  struct OutFrame {
    std::array<char, 4> length;
    std::string payload;
  };

  // Handles every message of one read; the replies go to out_. False when
  // the connection can no longer be trusted.
  bool Process(std::size_t bytes, std::chrono::milliseconds& delay);
  // Decrypts and decompresses one frame's payload, remembering which whole-
  // message compression the client used so that the answer uses the same.
  std::string Unpack(std::string_view payload, link::TLinkCompression& used);

  asio::ip::tcp::socket socket_;
  ServerContext& context_;
  SessionName name_;
  link::LinkTransforms transforms_;
  link::TLinkMessageStack stack_;
  std::unique_ptr<RequestHandler> handler_;
  std::array<char, 65536> buffer_{};
  std::vector<OutFrame> out_;
  std::vector<asio::const_buffer> outBuffers_;
  std::string why_;  // why the session ended
  std::mutex stopMutex_;
  bool stopping_ = false;
  bool running_ = true;
};

}  // namespace mero::server
