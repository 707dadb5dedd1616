#include "link/codec/compression.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <stdexcept>

#include "link/codec/link_errors.h"
#include "link/codec/lzrw1.h"

namespace mero::link {
namespace {

constexpr int kWindowBits = 15;
constexpr int kMemLevel = 8;

std::atomic<int> g_zlibLevel{1};
std::atomic<TRowInflater> g_rowInflater{&ZLibRowInflater};

[[noreturn]] void RaiseZlib(const char* prefix, int code) { throw EZlibError(std::string(prefix) + zError(code)); }

// zlib counts in uInt; feed it at most this much per call.
constexpr std::size_t kMaxChunk = UINT_MAX;

uInt Chunk(std::size_t n) { return static_cast<uInt>(std::min(n, kMaxChunk)); }

Bytef* InBytes(std::string_view text) {
  // zlib never writes through next_in; its API is simply not const-correct.
  return reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
}

class Deflater {
 public:
  explicit Deflater(int level) {
    const int rc = deflateInit2(&z_, level, Z_DEFLATED, kWindowBits, kMemLevel, Z_DEFAULT_STRATEGY);
    if (rc != Z_OK) RaiseZlib("Compression error: ", rc);
  }
  ~Deflater() { deflateEnd(&z_); }
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;
  z_stream& stream() { return z_; }

 private:
  z_stream z_{};
};

class Inflater {
 public:
  Inflater() {
    const int rc = inflateInit2(&z_, kWindowBits);
    if (rc != Z_OK) RaiseZlib("Decompression error: ", rc);
  }
  ~Inflater() { inflateEnd(&z_); }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;
  z_stream& stream() { return z_; }

 private:
  z_stream z_{};
};

}  // namespace

std::string DeflateText(std::string_view text, int level) {
  Deflater deflater(level);
  z_stream& z = deflater.stream();
  // deflateBound is enough for one call to finish; the loop only guards
  // against inputs larger than zlib's 32-bit counters.
  std::string out(deflateBound(&z, static_cast<uLong>(text.size())), '\0');
  std::size_t produced = 0;
  std::size_t consumed = 0;
  for (;;) {
    if (produced == out.size()) out.resize(out.size() * 2);
    z.next_in = InBytes(text.substr(consumed));
    z.avail_in = Chunk(text.size() - consumed);
    z.next_out = reinterpret_cast<Bytef*>(out.data() + produced);
    z.avail_out = Chunk(out.size() - produced);
    const uInt inBefore = z.avail_in;
    const uInt outBefore = z.avail_out;
    const bool last = z.avail_in == text.size() - consumed;
    const int rc = deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
    consumed += inBefore - z.avail_in;
    produced += outBefore - z.avail_out;
    if (rc == Z_STREAM_END) break;
    if (rc != Z_OK && rc != Z_BUF_ERROR) RaiseZlib("Compression error: ", rc);
  }
  out.resize(produced);
  return out;
}

std::string InflateText(std::string_view text) {
  Inflater inflater;
  z_stream& z = inflater.stream();
  // The output may grow to one byte past the limit, which tells an oversized
  // stream apart from one that ends exactly at the limit.
  constexpr std::size_t kCap = kMaxInflatedSize + 1;
  std::string out(std::min(kCap, std::max<std::size_t>(1024, text.size() * 4)), '\0');
  std::size_t produced = 0;
  std::size_t consumed = 0;
  for (;;) {
    if (produced == out.size()) {
      if (out.size() == kCap) RaiseZlib("Decompression error: ", Z_BUF_ERROR);
      // At least double; once the ratio so far is known, aim straight past the
      // expected total so that a typical text is copied at most once.
      const double expected = static_cast<double>(produced) * static_cast<double>(text.size()) /
                              static_cast<double>(std::max<std::size_t>(consumed, 1)) * 1.125;
      const std::size_t grown = std::max(out.size() * 2, static_cast<std::size_t>(std::min(expected, 1e18)));
      out.resize(std::min(kCap, grown));
    }
    z.next_in = InBytes(text.substr(consumed));
    z.avail_in = Chunk(text.size() - consumed);
    z.next_out = reinterpret_cast<Bytef*>(out.data() + produced);
    z.avail_out = Chunk(out.size() - produced);
    const uInt inBefore = z.avail_in;
    const uInt outBefore = z.avail_out;
    const int rc = inflate(&z, Z_NO_FLUSH);
    consumed += inBefore - z.avail_in;
    produced += outBefore - z.avail_out;
    if (rc == Z_STREAM_END) break;
    if (rc != Z_OK && rc != Z_BUF_ERROR) RaiseZlib("Decompression error: ", rc);
    // Room left for output and no input left: the stream stops before its end.
    if (z.avail_out != 0 && consumed == text.size()) RaiseZlib("Decompression error: ", Z_BUF_ERROR);
  }
  if (produced > kMaxInflatedSize) RaiseZlib("Decompression error: ", Z_BUF_ERROR);
  out.resize(produced);
  return out;
}

int ZLibLevel() { return g_zlibLevel.load(std::memory_order_relaxed); }

void SetZLibLevel(int level) { g_zlibLevel.store(level, std::memory_order_relaxed); }

std::string ZLibRowInflater(std::string_view text, bool deflate) {
  return deflate ? DeflateText(text, ZLibLevel()) : InflateText(text);
}

TRowInflater RowInflater() { return g_rowInflater.load(std::memory_order_acquire); }

void SetRowInflater(TRowInflater inflater) {
  g_rowInflater.store(inflater != nullptr ? inflater : &ZLibRowInflater, std::memory_order_release);
}

std::string CompressMessage(std::string text, TLinkCompression compression, const CompressionHooks& hooks) {
  switch (compression) {
    case acNoCompression:
      return text;
    case acLinkCompress:
      return Lzrw1Compress(text);
    case acUserDefined:
      if (!hooks.onCompress) {
        throw EUserDefinedEncComp(
            "The Application is set for UserDefined Compression, but there is no code assigned to the OnCompress "
            "event handler");
      }
      hooks.onCompress(text);
      return text;
    case acLinkZLib:
      return DeflateText(text, ZLibLevel());
  }
  throw std::invalid_argument("unknown compression setting");
}

std::string DecompressMessage(std::string text, TLinkCompression compression, const CompressionHooks& hooks) {
  switch (compression) {
    case acNoCompression:
      return text;
    case acLinkCompress:
      return Lzrw1Decompress(text);
    case acUserDefined:
      if (!hooks.onDecompress) {
        throw EUserDefinedEncComp(
            "The Application is set for UserDefined Compression, but there is no code assigned to the OnDecompress "
            "event handler.");
      }
      hooks.onDecompress(text);
      return text;
    case acLinkZLib:
      return InflateText(text);
  }
  throw std::invalid_argument("unknown compression setting");
}

}  // namespace mero::link
