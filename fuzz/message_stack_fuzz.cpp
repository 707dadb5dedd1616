// The frame cutter: a stream of length-prefixed frames cut the same way
// whether it arrives in one read or in pieces, with handlers that throw or
// feed more while a message is being handled.
//
// Input: one byte of options, one byte that sizes the pieces, then the stream.

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "link/codec/link_errors.h"
#include "link/codec/message_stack.h"

using namespace mero;

namespace {

struct Outcome {
  std::vector<std::string> messages;
  bool broken = false;
};

// The whole stream in one read.
Outcome InOneRead(std::string_view stream) {
  Outcome out;
  link::TLinkMessageStack stack;
  try {
    const std::size_t n = stack.Feed(stream, [&](std::string_view m) { out.messages.emplace_back(m); });
    FUZZ_CHECK(n == out.messages.size());
    std::size_t cut = 0;
    for (const std::string& m : out.messages) cut += 4 + m.size();
    FUZZ_CHECK(cut + stack.Buffered() == stream.size());
    FUZZ_CHECK(stack.Buffered() < 4 + static_cast<std::size_t>(link::kMaxFrameLength));
  } catch (const link::ELinkFrameException&) {
    out.broken = true;
    FUZZ_CHECK(stack.Broken());
  }
  return out;
}

// The stream in pieces of 1..step bytes. Every k-th handler throws (its
// message counts as taken), and with nested set the first handler of each
// read feeds the next piece itself, as a handler that waits for a reply does.
Outcome InPieces(std::string_view stream, std::size_t step, int throwEvery, bool nested) {
  Outcome out;
  link::TLinkMessageStack stack;
  std::size_t pos = 0;
  std::size_t handled = 0;
  auto nextPiece = [&] {
    const std::size_t n = std::min(stream.size() - pos, 1 + (pos * 7 + step) % step);
    const std::string_view piece = stream.substr(pos, n);
    pos += n;
    return piece;
  };
  std::function<void(std::string_view)> onMessage;
  bool fedInside = false;
  onMessage = [&](std::string_view m) {
    out.messages.emplace_back(m);  // copied before any nested Feed invalidates the view
    ++handled;
    if (nested && !fedInside && pos < stream.size()) {
      fedInside = true;
      stack.Feed(nextPiece(), onMessage);
    }
    if (throwEvery > 0 && handled % static_cast<std::size_t>(throwEvery) == 0) throw std::runtime_error("handler");
  };
  // A handler's own failure leaves the rest buffered for the next read.
  auto feed = [&](std::string_view piece) {
    try {
      stack.Feed(piece, onMessage);
    } catch (const link::ELinkFrameException&) {
      throw;
    } catch (const std::runtime_error&) {
    }
  };
  try {
    while (pos < stream.size()) {
      fedInside = false;
      feed(nextPiece());
    }
    // What is still buffered: every empty read takes at least one frame, or nothing is left to take.
    for (;;) {
      const std::size_t before = out.messages.size();
      fedInside = false;
      feed(std::string_view());
      if (out.messages.size() == before) break;
    }
  } catch (const link::ELinkFrameException&) {
    out.broken = true;
    FUZZ_CHECK(stack.Broken());
    try {
      stack.Feed("x", onMessage);
      FUZZ_CHECK(false);  // a broken stream stays broken until Clear
    } catch (const link::ELinkFrameException&) {
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  const std::uint8_t options = in.Byte();
  const std::size_t step = 1 + in.Byte();
  const std::string_view stream = in.Rest();

  const Outcome whole = InOneRead(stream);
  const Outcome pieces = InPieces(stream, step, options & 7, (options & 8) != 0);
  FUZZ_CHECK(whole.broken == pieces.broken);
  FUZZ_CHECK(whole.messages == pieces.messages);
  return 0;
}
