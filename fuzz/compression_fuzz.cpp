// zlib streams and the compressed message forms of the link. The first byte
// chooses: a zlib stream to inflate, a message to decompress under one of the
// link's settings, a compressed row payload, or bytes to deflate and inflate
// back.

#include <string>

#include "fuzz_support.h"
#include "link/codec/compression.h"
#include "link/codec/link_errors.h"

using namespace mero;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  const std::uint8_t mode = in.Byte() % 5;
  const std::string_view bytes = in.Rest();
  try {
    switch (mode) {
      case 0:
        FUZZ_CHECK(link::InflateText(bytes).size() <= link::kMaxInflatedSize);
        break;
      case 1:
        (void)link::DecompressMessage(std::string(bytes), link::acLinkZLib, {});
        break;
      case 2:
        (void)link::DecompressMessage(std::string(bytes), link::acLinkCompress, {});
        break;
      case 3:
        (void)link::ZLibRowInflater(bytes, false);
        break;
      default:
        for (const int level : {0, 1, 9}) FUZZ_CHECK(link::InflateText(link::DeflateText(bytes, level)) == bytes);
        for (const link::TLinkCompression c : {link::acLinkZLib, link::acLinkCompress}) {
          FUZZ_CHECK(link::DecompressMessage(link::CompressMessage(std::string(bytes), c, {}), c, {}) == bytes);
        }
        break;
    }
  } catch (const link::EZlibError&) {
    FUZZ_CHECK(mode != 4);
  } catch (const link::ELzrw1Exception&) {
    FUZZ_CHECK(mode == 2);
  }
  return 0;
}
