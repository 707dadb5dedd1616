#include "link/codec/message_stack.h"

#include <algorithm>

#include "link/codec/link_errors.h"
#include "link/codec/wire_int.h"

namespace mero::link {

void AppendFrame(std::string& out, std::string_view payload) {
  AppendInt32(out, static_cast<std::int32_t>(payload.size()));
  out.append(payload);
}

std::string EncodeFrame(std::string_view payload) {
  std::string out;
  out.reserve(4 + payload.size());
  AppendFrame(out, payload);
  return out;
}

void TLinkMessageStack::SpillPending() {
  if (pending_ == nullptr) return;
  buffer_.append(pending_, pendingSize_);
  pending_ = nullptr;
  pendingSize_ = 0;
}

void TLinkMessageStack::FillPartialFrame() {
  const auto take = [this](std::size_t n) {
    n = std::min(n, pendingSize_);
    buffer_.append(pending_, n);
    pending_ += n;
    pendingSize_ -= n;
  };
  const std::size_t have = buffer_.size() - readPos_;
  if (have < 4) take(4 - have);
  if (buffer_.size() - readPos_ < 4) return;
  const std::int32_t n = ReadLength(buffer_.data() + readPos_);
  CheckLength(n);
  const std::size_t frame = 4 + static_cast<std::size_t>(n);
  const std::size_t now = buffer_.size() - readPos_;
  if (now < frame) take(frame - now);
}

void TLinkMessageStack::Compact() {
  // Once per read: the bytes of messages already handed out are dropped.
  if (readPos_ == 0) return;
  buffer_.erase(0, readPos_);
  readPos_ = 0;
}

void TLinkMessageStack::Clear() {
  buffer_.clear();
  readPos_ = 0;
  pending_ = nullptr;
  pendingSize_ = 0;
  badLength_ = 0;
  broken_ = false;
}

void TLinkMessageStack::MarkBroken(std::int32_t length) {
  badLength_ = length;
  broken_ = true;
  FailBadLength();
}

void TLinkMessageStack::FailBadLength() const {
  throw ELinkFrameException("Invalid block size (" + std::to_string(badLength_) + ")!");
}

}  // namespace mero::link
