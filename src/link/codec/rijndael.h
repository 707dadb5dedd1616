#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

typedef struct evp_cipher_ctx_st EVP_CIPHER_CTX;

namespace mero::link {

// The link cipher: a byte string in, a byte string out, AES with a padding of
// its own (1..16 bytes of value 16 - r, always added) and three text forms.
// Keyed once; a call then costs only the cipher work.
class TRijndael {
 public:
  enum TCipherMode { ECB, CBC, CFB, OFB };
  enum TKeySize { Small128, Med192, Large256 };
  // smMime: Base64; smEncode: 6-bit text over "+-0-9A-Za-z"; smNormal: the bytes.
  enum TStringMode { smMime, smEncode, smNormal };

  static constexpr std::size_t kBlockSize = 16;

  TRijndael();
  ~TRijndael();
  TRijndael(const TRijndael&) = delete;
  TRijndael& operator=(const TRijndael&) = delete;

  TCipherMode CipherMode() const { return mode_; }
  // Changing the mode or key size of a keyed object re-keys it from the same
  // key text; the initialisation vector is kept.
  void SetCipherMode(TCipherMode mode);
  TKeySize KeySize() const { return keySize_; }
  void SetKeySize(TKeySize size);
  TStringMode StringMode() const { return stringMode_; }
  void SetStringMode(TStringMode mode) { stringMode_ = mode; }

  // Folds the key text by exclusive-or into 16, 24 or 32 bytes and keys the
  // cipher; zeroes the initialisation vector and marks it unset. A key of 0
  // or 256 and more bytes raises EKeyError.
  void SetKey(std::string_view key);
  // The 16-byte initialisation vector the chaining modes start every call
  // from; any other length raises EKeyError.
  void SetIV(std::string_view iv);

  // Raise EKeyError without a key, or in CBC/CFB/OFB without SetIV since the
  // last SetKey; DecryptString raises EInputError for input that is too short,
  // not a whole number of blocks, or not a valid text of the string mode.
  std::string EncryptString(std::string_view text);
  std::string DecryptString(std::string_view text);

 private:
  void Rekey();
  void StartCall(EVP_CIPHER_CTX* ctx, bool encrypt);

  TCipherMode mode_ = ECB;
  TKeySize keySize_ = Small128;
  TStringMode stringMode_ = smNormal;
  std::string keyText_;  // kept to re-fold when the key size changes
  std::array<unsigned char, 32> key_{};
  std::array<unsigned char, kBlockSize> iv_{};
  bool keySet_ = false;
  bool ivSet_ = false;
  EVP_CIPHER_CTX* encrypt_ = nullptr;
  EVP_CIPHER_CTX* decrypt_ = nullptr;
};

}  // namespace mero::link
