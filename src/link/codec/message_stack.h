#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mero::link {

// The largest message a frame may carry.
constexpr std::int32_t kMaxFrameLength = 104857600;

// Appends one frame: the 4-byte little-endian length, then the payload.
void AppendFrame(std::string& out, std::string_view payload);
std::string EncodeFrame(std::string_view payload);

// The receive buffer of a connection: bytes go in as they are read, complete
// frames come out, in arrival order, as messages.
//
// Frames that lie whole inside one read are cut in place, without copying;
// only a frame split across reads is gathered in the buffer. The buffer is
// compacted once per read, never once per message, so the cost stays linear
// in the bytes read.
//
// Handlers may re-enter Feed: a handler that waits for a reply reads more of
// the connection while its own message is being handled. The rest of the
// outer read is then moved into the buffer first, so every message is still
// handed out once and in arrival order. A handler that may re-enter must copy
// its message before it does, since the view is then no longer valid.
class TLinkMessageStack {
 public:
  // Takes the bytes of one read and hands every frame completed by them to
  // onMessage(std::string_view), in arrival order; returns how many. The view
  // is valid during the call. A frame length below 0 or above
  // kMaxFrameLength raises ELinkFrameException "Invalid block size (%d)!"
  // after the frames before it were handed out; the stream can then no longer
  // be cut, so every later Feed raises the same error until Clear. When
  // onMessage throws, its message counts as taken and the bytes after it stay
  // buffered for the next Feed.
  template <typename OnMessage>
  std::size_t Feed(const char* data, std::size_t size, OnMessage&& onMessage);
  template <typename OnMessage>
  std::size_t Feed(std::string_view bytes, OnMessage&& onMessage) {
    return Feed(bytes.data(), bytes.size(), onMessage);
  }

  // Bytes waiting for the rest of their frame.
  std::size_t Buffered() const { return buffer_.size() - readPos_; }
  bool Broken() const { return broken_; }
  // Forgets everything buffered (a new connection).
  void Clear();

 private:
  static std::int32_t ReadLength(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
                                     (static_cast<std::uint32_t>(b[2]) << 16) |
                                     (static_cast<std::uint32_t>(b[3]) << 24));
  }
  // Checks a frame length; a bad one breaks the stream.
  void CheckLength(std::int32_t n) {
    if (n < 0 || n > kMaxFrameLength) MarkBroken(n);
  }
  [[noreturn]] void MarkBroken(std::int32_t length);
  [[noreturn]] void FailBadLength() const;

  // Moves the bytes of the current read that are not cut yet into the buffer.
  void SpillPending();
  // Completes the partial frame at the front of the buffer from the current
  // read, taking only the bytes it still lacks.
  void FillPartialFrame();
  void Compact();

  template <typename OnMessage>
  std::size_t CutBuffer(OnMessage& onMessage);

  // Ends a Feed: whatever the read still holds (a partial frame, or the rest
  // after a handler threw) waits in the buffer.
  struct FeedScope {
    explicit FeedScope(TLinkMessageStack& s) : stack(s) { stack.feeding_ = true; }
    ~FeedScope() {
      stack.SpillPending();
      stack.feeding_ = false;
    }
    FeedScope(const FeedScope&) = delete;
    FeedScope& operator=(const FeedScope&) = delete;
    TLinkMessageStack& stack;
  };

  std::string buffer_;
  std::size_t readPos_ = 0;        // first byte of the buffer not cut yet
  const char* pending_ = nullptr;  // the current read, from its first byte not cut yet
  std::size_t pendingSize_ = 0;
  bool feeding_ = false;
  std::int32_t badLength_ = 0;
  bool broken_ = false;
};

template <typename OnMessage>
std::size_t TLinkMessageStack::CutBuffer(OnMessage& onMessage) {
  // Re-reads the buffer after every handler: a handler may have fed more.
  std::size_t count = 0;
  while (buffer_.size() - readPos_ >= 4) {
    const std::size_t pos = readPos_;
    const std::int32_t n = ReadLength(buffer_.data() + pos);
    CheckLength(n);
    const auto len = static_cast<std::size_t>(n);
    if (buffer_.size() - pos - 4 < len) break;
    readPos_ = pos + 4 + len;
    ++count;
    onMessage(std::string_view(buffer_.data() + pos + 4, len));
  }
  return count;
}

template <typename OnMessage>
std::size_t TLinkMessageStack::Feed(const char* data, std::size_t size, OnMessage&& onMessage) {
  if (broken_) FailBadLength();
  if (feeding_) {
    // Re-entered from a handler: keep arrival order by queueing this read
    // behind what the outer read has not cut yet.
    SpillPending();
    buffer_.append(data, size);
    return CutBuffer(onMessage);
  }
  Compact();
  FeedScope scope(*this);
  pending_ = data;
  pendingSize_ = size;
  std::size_t count = 0;
  if (readPos_ < buffer_.size()) {
    FillPartialFrame();
    count += CutBuffer(onMessage);
    if (readPos_ < buffer_.size()) {
      // Still short of a whole frame, or a handler queued more behind it.
      SpillPending();
      return count + CutBuffer(onMessage);
    }
  }
  // The common case: frames lying whole inside this read, cut in place.
  while (pendingSize_ >= 4) {
    const std::int32_t n = ReadLength(pending_);
    CheckLength(n);
    const auto len = static_cast<std::size_t>(n);
    if (pendingSize_ - 4 < len) break;
    const std::string_view message(pending_ + 4, len);
    pending_ += 4 + len;
    pendingSize_ -= 4 + len;
    ++count;
    onMessage(message);
    if (pending_ == nullptr) return count + CutBuffer(onMessage);  // a handler fed more
  }
  return count;
}

}  // namespace mero::link
