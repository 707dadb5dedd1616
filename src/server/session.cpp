#include "server/session.h"

#include <exception>

#include "link/codec/link_errors.h"
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

}  // namespace

void SessionRegistry::Add(const std::shared_ptr<Session>& s) {
  std::lock_guard lock(mutex_);
  sessions_.insert(s);
}

void SessionRegistry::Remove(const Session* s) {
  std::lock_guard lock(mutex_);
  std::erase_if(sessions_, [s](const std::weak_ptr<Session>& w) {
    const auto p = w.lock();
    return !p || p.get() == s;
  });
}

void SessionRegistry::StopAll() {
  std::vector<std::shared_ptr<Session>> alive;
  {
    std::lock_guard lock(mutex_);
    for (const auto& w : sessions_) {
      if (auto p = w.lock()) alive.push_back(std::move(p));
    }
  }
  for (const auto& s : alive) s->Stop();
}

std::size_t SessionRegistry::Count() const {
  std::lock_guard lock(mutex_);
  return sessions_.size();
}

Session::Session(asio::ip::tcp::socket socket, ServerContext& context, SessionRegistry& registry, bool cipher)
    : socket_(std::move(socket)), delay_(socket_.get_executor()), context_(context), registry_(registry) {
  asio::error_code ec;
  const auto remote = socket_.remote_endpoint(ec);
  peer_ = ec ? std::string("?") : remote.address().to_string();
  socket_.set_option(asio::ip::tcp::no_delay(true), ec);
  link::UseLinkCipher(transforms_, cipher);
  handler_ = std::make_unique<RequestHandler>(context_, peer_);
}

Session::~Session() { registry_.Remove(this); }

void Session::Start() {
  registry_.Add(shared_from_this());
  Log(peer_ + ": connected");
  Read();
}

void Session::Stop() {
  asio::post(socket_.get_executor(), [self = shared_from_this()] { self->Close("server stopping"); });
}

void Session::Read() {
  if (closed_) return;
  socket_.async_read_some(asio::buffer(buffer_),
                          [self = shared_from_this()](const asio::error_code& ec, std::size_t n) { self->OnRead(ec, n); });
}

std::string Session::Unpack(std::string_view payload, link::TLinkCompression& used) {
  const std::string plain = link::DecryptMessage(std::string(payload), transforms_);
  used = CompressionOf(plain);
  return link::DecompressMessage(plain, used, {});
}

void Session::OnRead(const asio::error_code& ec, std::size_t n) {
  if (closed_) return;
  if (ec) {
    Close(ec == asio::error::eof ? "disconnected" : "connection lost: " + ec.message());
    return;
  }
  std::chrono::milliseconds delay{0};
  try {
    stack_.Feed(buffer_.data(), n, [&](std::string_view payload) {
      link::TLinkCompression used = link::acNoCompression;
      std::string message = Unpack(payload, used);
      if (message.empty()) return;
      const link::TLinkStringLine request = link::TLinkStringLine::Parse(std::move(message));
      RequestHandler::Outcome outcome = handler_->Handle(request, used);
      delay = std::max(delay, outcome.delay);
      link::LinkTransforms reply = transforms_;
      reply.compression = used;
      for (std::string& m : outcome.replies) link::PackMessage(out_, std::move(m), reply);
    });
  } catch (const std::exception& e) {
    // A broken frame, a message that does not decrypt or does not parse: the
    // connection can no longer be trusted; only this session ends.
    Close(std::string("closed: ") + e.what());
    return;
  }
  if (out_.empty()) {
    Read();
    return;
  }
  if (delay.count() > 0) {
    delay_.expires_after(delay);
    delay_.async_wait([self = shared_from_this()](const asio::error_code& wait) {
      if (!wait) self->Write();
    });
    return;
  }
  Write();
}

void Session::Write() {
  if (closed_) return;
  asio::async_write(socket_, asio::buffer(out_), [self = shared_from_this()](const asio::error_code& ec, std::size_t) {
    if (ec) {
      self->Close("connection lost while writing: " + ec.message());
      return;
    }
    self->out_.clear();
    self->Read();
  });
}

void Session::Close(const std::string& why) {
  if (closed_) return;
  closed_ = true;
  asio::error_code ignored;
  delay_.cancel();
  socket_.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
  socket_.close(ignored);
  const std::string user = handler_->user();
  handler_.reset();  // rolls back what was not committed
  Log(peer_ + (user.empty() ? "" : " " + user) + ": " + why);
}

}  // namespace mero::server
