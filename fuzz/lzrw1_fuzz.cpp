// The LZRW1-KH container and its blocks. The first byte chooses: a container
// to read, a single block to read, or bytes to compress and read back.

#include <string>

#include "fuzz_support.h"
#include "link/codec/link_errors.h"
#include "link/codec/lzrw1.h"

using namespace mero;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  const std::uint8_t mode = in.Byte() % 3;
  const std::string_view bytes = in.Rest();
  switch (mode) {
    case 0:
      try {
        const std::string text = link::Lzrw1Decompress(bytes);
        // The container names its length; what reads back has exactly that many bytes.
        FUZZ_CHECK(bytes.size() >= 8);
        const auto declared = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[4])) |
                              static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[5])) << 8 |
                              static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[6])) << 16 |
                              static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[7])) << 24;
        FUZZ_CHECK(text.size() == declared);
      } catch (const link::ELzrw1Exception&) {
      }
      break;
    case 1:
      try {
        std::string out = "kept";
        const std::size_t n = link::lzrw1::DecompressBlock(bytes, out);
        FUZZ_CHECK(out.size() == 4 + n && out.compare(0, 4, "kept") == 0);
        FUZZ_CHECK(n <= link::lzrw1::kBlockSize);
      } catch (const link::ELzrw1Exception&) {
      }
      break;
    default: {
      const std::string container = link::Lzrw1Compress(bytes);
      FUZZ_CHECK(link::Lzrw1Decompress(container) == bytes);
      const std::string_view piece = bytes.substr(0, link::lzrw1::kBlockSize);
      const std::string block = link::lzrw1::CompressBlock(piece);
      FUZZ_CHECK(block.size() <= link::lzrw1::kBlockSize + 1);
      std::string out;
      link::lzrw1::DecompressBlock(block, out);
      FUZZ_CHECK(out == piece);
      break;
    }
  }
  return 0;
}
