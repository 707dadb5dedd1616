#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace mero::link {

// LZRW1-KH: a fast LZ77 coder with a 4096-entry hash table on three bytes,
// 12-bit offsets and match lengths 3..18, working on blocks of at most
// 32768 bytes.
namespace lzrw1 {

constexpr std::size_t kBlockSize = 32768;

// One block: the flag byte, then the coded data or the piece as it is,
// whichever is shorter. At most kBlockSize + 1 bytes.
std::string CompressBlock(std::string_view piece);

// Appends the bytes of one block to out. Raises ELzrw1Exception for a block
// that is empty, has an unknown flag, ends inside an item, copies from before
// its start or expands past kBlockSize. Returns the number of bytes appended.
std::size_t DecompressBlock(std::string_view block, std::string& out);

}  // namespace lzrw1

// The "WRZL" container: signature, 4-byte little-endian original length,
// then blocks of a 2-byte little-endian length and one LZRW1-KH block; every
// 32768-byte piece is one block, and one more block (possibly for no bytes)
// carries the rest.
std::string Lzrw1Compress(std::string_view text);

// Reads the container back. Raises ELzrw1Exception with the system's texts
// for a wrong signature, a short read, a size mismatch, a corrupt block, the
// unsupported "!HZL" mode or a failed allocation.
std::string Lzrw1Decompress(std::string_view container);

}  // namespace mero::link
