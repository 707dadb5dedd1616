// The link cipher's string modes and the receive path of a ciphered frame.
// The first byte chooses the cipher mode, key size and text form, the second
// what to do: decrypt the rest, encrypt and decrypt it back, or unpack it as
// a frame's payload on a ciphered connection with or without compression.

#include <string>

#include "cipher_setup.h"
#include "fuzz_support.h"
#include "link/codec/link_errors.h"
#include "link/codec/pipeline.h"
#include "link/codec/rijndael.h"

using namespace mero;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  const std::uint8_t setup = in.Byte();
  const std::uint8_t action = in.Byte() % 3;
  const std::string_view bytes = in.Rest();

  if (action == 2) {
    link::LinkTransforms t;
    link::UseLinkCipher(t, true);
    t.compression = static_cast<link::TLinkCompression>(setup % 4 == 2 ? 0 : setup % 4);
    try {
      (void)link::UnpackMessage(bytes, t);
    } catch (const link::EInputError&) {
    } catch (const link::EZlibError&) {
    } catch (const link::ELzrw1Exception&) {
    }
    return 0;
  }

  link::TRijndael cipher;
  fuzz::SetUpCipher(cipher, setup);
  if (action == 0) {
    try {
      (void)cipher.DecryptString(bytes);
    } catch (const link::EInputError&) {
    }
    return 0;
  }
  const std::string sealed = cipher.EncryptString(bytes);
  FUZZ_CHECK(cipher.DecryptString(sealed) == bytes);
  return 0;
}
