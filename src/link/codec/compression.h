#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace mero::link {

// How the link compresses every message before encryption.
enum TLinkCompression : std::uint8_t { acNoCompression = 0, acLinkCompress = 1, acUserDefined = 2, acLinkZLib = 3 };

// The socket's OnCompress / OnDecompress handlers for acUserDefined; each
// replaces the whole text in place.
struct CompressionHooks {
  std::function<void(std::string&)> onCompress;
  std::function<void(std::string&)> onDecompress;
};

// The largest message the link carries; inflating past it is refused, so a
// small crafted stream cannot make the client allocate without bound.
constexpr std::size_t kMaxInflatedSize = 104857600;

// A complete zlib stream of the text (32 KB window, default memory level and
// strategy). Raises EZlibError "Compression error: …" on failure.
std::string DeflateText(std::string_view text, int level);

// The text of a complete zlib stream. Raises EZlibError "Decompression
// error: …" for a corrupt or truncated stream ("buffer error" for a stream
// that ends early or would inflate past kMaxInflatedSize).
std::string InflateText(std::string_view text);

// Process-wide zlib level used by acLinkZLib and the default row inflater (1).
int ZLibLevel();
void SetZLibLevel(int level);

// The routine that deflates (deflate = true) or inflates server-compressed
// row payloads; process-wide, set at start-up.
using TRowInflater = std::string (*)(std::string_view text, bool deflate);

// The default row inflater: zlib at ZLibLevel().
std::string ZLibRowInflater(std::string_view text, bool deflate);

TRowInflater RowInflater();
// nullptr restores ZLibRowInflater.
void SetRowInflater(TRowInflater inflater);

// The text as it goes on the wire under the given setting, and back.
// acUserDefined without the matching hook raises EUserDefinedEncComp.
std::string CompressMessage(std::string text, TLinkCompression compression, const CompressionHooks& hooks);
std::string DecompressMessage(std::string text, TLinkCompression compression, const CompressionHooks& hooks);

}  // namespace mero::link
