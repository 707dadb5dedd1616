#pragma once

// The cipher as the cipher target sets it up from one byte of its input:
// cipher mode (byte % 4), key size (byte / 4 % 3) and text form (byte / 12 %
// 3), one fixed key and, for the chaining modes, one fixed vector. The seed
// maker encrypts with the same set-up.

#include <cstdint>

#include "link/codec/rijndael.h"

namespace mero::fuzz {

inline void SetUpCipher(link::TRijndael& cipher, std::uint8_t setup) {
  cipher.SetCipherMode(static_cast<link::TRijndael::TCipherMode>(setup % 4));
  cipher.SetKeySize(static_cast<link::TRijndael::TKeySize>((setup / 4) % 3));
  cipher.SetStringMode(static_cast<link::TRijndael::TStringMode>((setup / 12) % 3));
  cipher.SetKey("a key of the fuzz target");
  if (cipher.CipherMode() != link::TRijndael::ECB) cipher.SetIV("0123456789abcdef");
}

}  // namespace mero::fuzz
