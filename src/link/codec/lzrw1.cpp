#include "link/codec/lzrw1.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>

#include "link/codec/link_errors.h"
#include "link/codec/wire_int.h"

namespace mero::link {
namespace {

// Block layout:
//   flag byte kStored:     the piece as it is follows.
//   flag byte kCompressed: groups follow, each a 16-bit little-endian control
//   word and up to 16 items; bit i (from the least significant) says whether
//   item i is a copy (1) or a literal byte (0). A copy is two bytes: the high
//   nibble of the first is bits 11..8 of the distance back, its low nibble the
//   length minus 3; the second byte is bits 7..0 of the distance (1..4095).
constexpr unsigned char kCompressed = 0x40;
constexpr unsigned char kStored = 0x80;

constexpr std::size_t kHashSize = 4096;
constexpr std::size_t kMaxDistance = 4095;
constexpr std::size_t kMinMatch = 3;
constexpr std::size_t kMaxMatch = 18;
// A group writes at most a control word and 16 two-byte copies; the coder
// checks for overrun only between groups.
constexpr std::size_t kGroupSlack = 2 + 16 * 2;

constexpr char kSignature[] = "WRZL";
constexpr char kLzhSignature[] = "!HZL";

const char* const kNoHeader = "Lzrw1 decompression : input stream contains no valid header !";
const char* const kSizeMismatch = "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !";
const char* const kReadError = "Lzrw1 : Error reading from input stream !";
const char* const kNoMemory = "Lzrw1 (de)compression : Failed to get memory for I/O buffers !";
const char* const kCorruptBlock = "Lzrw1 (decompression LZRW1/KH) : Compressed block is corrupt !";
const char* const kLzhNotSupported = "Lzrw1 decompression : LZH compressed streams (!HZL) are not supported !";
const char* const kTooLarge = "Lzrw1 (compression LZRW1/KH) : Input stream too large !";

inline unsigned Hash(const unsigned char* p) {
  const std::uint32_t key = ((static_cast<std::uint32_t>(p[0]) << 8) ^ (static_cast<std::uint32_t>(p[1]) << 4)) ^ p[2];
  return ((40543u * key) >> 4) & (kHashSize - 1);
}

// Writes one block for the piece into dst, which holds at least
// piece.size() + 1 + kGroupSlack bytes; returns the block's length.
std::size_t CompressBlockInto(std::string_view piece, unsigned char* dst) {
  const auto* src = reinterpret_cast<const unsigned char*>(piece.data());
  const std::size_t n = piece.size();
  // Positions are stored plus one so that 0 means an empty slot.
  std::array<std::uint16_t, kHashSize> table{};
  std::size_t o = 1;
  std::size_t x = 0;
  while (x < n && o - 1 < n) {
    const std::size_t control = o;
    o += 2;
    unsigned bits = 0;
    for (unsigned bit = 0; bit < 16 && x < n; ++bit) {
      std::size_t length = 0;
      std::size_t distance = 0;
      if (n - x >= kMinMatch) {
        const unsigned h = Hash(src + x);
        const std::size_t candidate = table[h];
        table[h] = static_cast<std::uint16_t>(x + 1);
        if (candidate != 0) {
          distance = x - (candidate - 1);
          const unsigned char* from = src + (candidate - 1);
          if (distance <= kMaxDistance && from[0] == src[x] && from[1] == src[x + 1] && from[2] == src[x + 2]) {
            const std::size_t limit = std::min(kMaxMatch, n - x);
            length = kMinMatch;
            while (length < limit && from[length] == src[x + length]) ++length;
          }
        }
      }
      if (length >= kMinMatch) {
        bits |= 1u << bit;
        dst[o++] = static_cast<unsigned char>(((distance >> 4) & 0xF0) | (length - kMinMatch));
        dst[o++] = static_cast<unsigned char>(distance & 0xFF);
        x += length;
      } else {
        dst[o++] = src[x++];
      }
    }
    dst[control] = static_cast<unsigned char>(bits & 0xFF);
    dst[control + 1] = static_cast<unsigned char>(bits >> 8);
  }
  if (x < n || o - 1 >= n) {
    dst[0] = kStored;
    if (n != 0) std::memcpy(dst + 1, src, n);
    return n + 1;
  }
  dst[0] = kCompressed;
  return o;
}

[[noreturn]] void Corrupt() { throw ELzrw1Exception(kCorruptBlock); }

}  // namespace

namespace lzrw1 {

std::string CompressBlock(std::string_view piece) {
  if (piece.size() > kBlockSize) throw ELzrw1Exception(kTooLarge);
  std::string block(piece.size() + 1 + kGroupSlack, '\0');
  block.resize(CompressBlockInto(piece, reinterpret_cast<unsigned char*>(block.data())));
  return block;
}

std::size_t DecompressBlock(std::string_view block, std::string& out) {
  if (block.empty()) Corrupt();
  const auto* src = reinterpret_cast<const unsigned char*>(block.data());
  const std::size_t size = block.size();
  if (src[0] == kStored) {
    if (size - 1 > kBlockSize) Corrupt();
    out.append(block.substr(1));
    return size - 1;
  }
  if (src[0] != kCompressed) Corrupt();

  const std::size_t base = out.size();
  out.resize(base + kBlockSize);
  auto* dst = reinterpret_cast<unsigned char*>(out.data() + base);
  std::size_t o = 0;
  std::size_t i = 1;
  while (i < size) {
    if (size - i < 3) Corrupt();  // a control word needs at least one item after it
    const unsigned bits = src[i] | (static_cast<unsigned>(src[i + 1]) << 8);
    i += 2;
    for (unsigned bit = 0; bit < 16 && i < size; ++bit) {
      if (bits & (1u << bit)) {
        if (size - i < 2) Corrupt();
        const std::size_t length = (src[i] & 0x0Fu) + kMinMatch;
        const std::size_t distance = (static_cast<std::size_t>(src[i] & 0xF0u) << 4) | src[i + 1];
        i += 2;
        if (distance == 0 || distance > o || length > kBlockSize - o) Corrupt();
        // Byte by byte: a copy may overlap the bytes it produces.
        for (std::size_t k = 0; k < length; ++k, ++o) dst[o] = dst[o - distance];
      } else {
        if (o == kBlockSize) Corrupt();
        dst[o++] = src[i++];
      }
    }
  }
  out.resize(base + o);
  return o;
}

}  // namespace lzrw1

std::string Lzrw1Compress(std::string_view text) {
  const std::size_t n = text.size();
  if (n > std::numeric_limits<std::uint32_t>::max()) throw ELzrw1Exception(kTooLarge);
  try {
    const std::size_t blocks = n / lzrw1::kBlockSize + 1;
    std::string out;
    out.reserve(8 + n + blocks * 3 + kGroupSlack);
    out.append(kSignature, 4);
    AppendInt32(out, static_cast<std::int32_t>(static_cast<std::uint32_t>(n)));
    std::size_t pos = 0;
    for (;;) {
      const std::size_t take = std::min(lzrw1::kBlockSize, n - pos);
      const std::size_t at = out.size();
      out.resize(at + 2 + take + 1 + kGroupSlack);
      const std::size_t length =
          CompressBlockInto(text.substr(pos, take), reinterpret_cast<unsigned char*>(out.data() + at + 2));
      out[at] = static_cast<char>(length & 0xFF);
      out[at + 1] = static_cast<char>(length >> 8);
      out.resize(at + 2 + length);
      pos += take;
      if (take < lzrw1::kBlockSize) break;
    }
    return out;
  } catch (const std::bad_alloc&) {
    throw ELzrw1Exception(kNoMemory);
  }
}

std::string Lzrw1Decompress(std::string_view container) {
  if (container.size() < 4) throw ELzrw1Exception(kNoHeader);
  const std::string_view signature = container.substr(0, 4);
  if (signature == kLzhSignature) throw ELzrw1Exception(kLzhNotSupported);
  if (signature != kSignature) throw ELzrw1Exception(kNoHeader);
  if (container.size() < 8) throw ELzrw1Exception(kReadError);
  const auto declared = static_cast<std::uint32_t>(GetInt32(container.data() + 4));
  try {
    std::string out;
    // A block of n bytes expands to at most 9n bytes, so a false length in the
    // header cannot make the reader reserve more than the blocks can fill.
    out.reserve(std::min<std::size_t>(declared, container.size() * 9) + lzrw1::kBlockSize);
    std::size_t pos = 8;
    for (;;) {
      if (container.size() - pos < 2) throw ELzrw1Exception(kReadError);
      const std::size_t length = static_cast<unsigned char>(container[pos]) |
                                 (static_cast<std::size_t>(static_cast<unsigned char>(container[pos + 1])) << 8);
      pos += 2;
      if (container.size() - pos < length) throw ELzrw1Exception(kReadError);
      const std::size_t produced = lzrw1::DecompressBlock(container.substr(pos, length), out);
      pos += length;
      if (out.size() > declared) throw ELzrw1Exception(kSizeMismatch);
      if (produced < lzrw1::kBlockSize) break;
    }
    if (out.size() != declared) throw ELzrw1Exception(kSizeMismatch);
    return out;
  } catch (const std::bad_alloc&) {
    throw ELzrw1Exception(kNoMemory);
  }
}

}  // namespace mero::link
