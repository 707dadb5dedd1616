#include "link/codec/rijndael.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "link/codec/link_errors.h"

namespace mero::link {
namespace {

const char* const kMimeAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
const char* const kEncodeAlphabet = "+-0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

const char* const kBadMime = "Rijndael: Input not valid - not a Base64 text";
const char* const kBadEncode = "Rijndael: Input not valid - not an encoded text";
const char* const kTooShort = "Rijndael: Input not valid - too short";
const char* const kPartialBlock = "Rijndael: Input not valid - length is not a multiple of 16";

// Three bytes become four symbols, most significant bits first; a last group
// of one or two bytes becomes two or three symbols, followed by "=" padding to
// four in the Base64 form only.
std::string EncodeSixBit(std::string_view bytes, const char* alphabet, bool pad) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t i = 0;
  for (; bytes.size() - i >= 3; i += 3) {
    const std::uint32_t v =
        (static_cast<std::uint32_t>(p[i]) << 16) | (static_cast<std::uint32_t>(p[i + 1]) << 8) | p[i + 2];
    out.push_back(alphabet[(v >> 18) & 63]);
    out.push_back(alphabet[(v >> 12) & 63]);
    out.push_back(alphabet[(v >> 6) & 63]);
    out.push_back(alphabet[v & 63]);
  }
  const std::size_t rest = bytes.size() - i;
  if (rest != 0) {
    std::uint32_t v = static_cast<std::uint32_t>(p[i]) << 16;
    if (rest == 2) v |= static_cast<std::uint32_t>(p[i + 1]) << 8;
    out.push_back(alphabet[(v >> 18) & 63]);
    out.push_back(alphabet[(v >> 12) & 63]);
    if (rest == 2) out.push_back(alphabet[(v >> 6) & 63]);
    if (pad) out.append(rest == 1 ? "==" : "=");
  }
  return out;
}

// The inverse of EncodeSixBit. The Base64 form also skips line breaks and
// accepts a missing "=" padding; a symbol outside the alphabet, text after
// the padding or a dangling single symbol is refused.
std::string DecodeSixBit(std::string_view text, const char* alphabet, bool mime, const char* error) {
  signed char value[256];
  std::memset(value, -1, sizeof value);
  for (int k = 0; k < 64; ++k) value[static_cast<unsigned char>(alphabet[k])] = static_cast<signed char>(k);

  std::string out;
  out.reserve(text.size() / 4 * 3 + 2);
  std::uint32_t acc = 0;
  int bits = 0;
  std::size_t symbols = 0;
  std::size_t pads = 0;
  for (const char c : text) {
    if (mime && (c == '\r' || c == '\n')) continue;
    if (mime && c == '=') {
      ++pads;
      continue;
    }
    const int v = value[static_cast<unsigned char>(c)];
    if (v < 0 || pads != 0) throw EInputError(error);
    ++symbols;
    acc = ((acc << 6) | static_cast<std::uint32_t>(v)) & 0xFFFFFF;
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out.push_back(static_cast<char>((acc >> bits) & 0xFF));
    }
  }
  if (symbols % 4 == 1) throw EInputError(error);
  if (pads != 0 && (pads > 2 || (symbols + pads) % 4 != 0)) throw EInputError(error);
  return out;
}

const EVP_CIPHER* CipherFor(TRijndael::TKeySize size, TRijndael::TCipherMode mode) {
  using Getter = const EVP_CIPHER* (*)();
  static constexpr Getter kCiphers[3][4] = {
      {EVP_aes_128_ecb, EVP_aes_128_cbc, EVP_aes_128_cfb128, EVP_aes_128_ofb},
      {EVP_aes_192_ecb, EVP_aes_192_cbc, EVP_aes_192_cfb128, EVP_aes_192_ofb},
      {EVP_aes_256_ecb, EVP_aes_256_cbc, EVP_aes_256_cfb128, EVP_aes_256_ofb},
  };
  const auto row = static_cast<std::size_t>(size);
  const auto column = static_cast<std::size_t>(mode);
  if (row >= 3 || column >= 4) throw EKeyError("Rijndael: unknown key size or cipher mode");
  return kCiphers[row][column]();
}

std::size_t KeyBytes(TRijndael::TKeySize size) {
  switch (size) {
    case TRijndael::Small128:
      return 16;
    case TRijndael::Med192:
      return 24;
    case TRijndael::Large256:
      return 32;
  }
  return 16;
}

[[noreturn]] void CipherFailure() { throw EKeyError("Rijndael: the cipher library failed"); }

// Runs the cipher over n bytes in pieces the library's int counts can hold.
void Update(EVP_CIPHER_CTX* ctx, bool encrypt, unsigned char* out, const unsigned char* in, std::size_t n) {
  constexpr std::size_t kPiece = std::size_t{1} << 30;
  while (n != 0) {
    const std::size_t take = std::min(n, kPiece);
    int written = 0;
    const int ok = encrypt ? EVP_EncryptUpdate(ctx, out, &written, in, static_cast<int>(take))
                           : EVP_DecryptUpdate(ctx, out, &written, in, static_cast<int>(take));
    if (ok != 1 || static_cast<std::size_t>(written) != take) CipherFailure();
    out += take;
    in += take;
    n -= take;
  }
}

}  // namespace

TRijndael::TRijndael() : encrypt_(EVP_CIPHER_CTX_new()), decrypt_(EVP_CIPHER_CTX_new()) {
  if (encrypt_ == nullptr || decrypt_ == nullptr) {
    EVP_CIPHER_CTX_free(encrypt_);
    EVP_CIPHER_CTX_free(decrypt_);
    throw std::bad_alloc();
  }
}

TRijndael::~TRijndael() {
  EVP_CIPHER_CTX_free(encrypt_);
  EVP_CIPHER_CTX_free(decrypt_);
  OPENSSL_cleanse(key_.data(), key_.size());
  if (!keyText_.empty()) OPENSSL_cleanse(keyText_.data(), keyText_.size());
}

void TRijndael::SetCipherMode(TCipherMode mode) {
  mode_ = mode;
  if (keySet_) Rekey();
}

void TRijndael::SetKeySize(TKeySize size) {
  keySize_ = size;
  if (keySet_) Rekey();
}

void TRijndael::SetKey(std::string_view key) {
  if (key.empty() || key.size() >= 256) throw EKeyError("Rijndael: Key must be between 1 and 255 bytes");
  if (!keyText_.empty()) OPENSSL_cleanse(keyText_.data(), keyText_.size());
  keyText_.assign(key);
  iv_.fill(0);
  ivSet_ = false;
  keySet_ = false;
  Rekey();
  keySet_ = true;
}

void TRijndael::SetIV(std::string_view iv) {
  if (iv.size() != kBlockSize) throw EKeyError("Rijndael: IV must be 16 bytes");
  std::memcpy(iv_.data(), iv.data(), kBlockSize);
  ivSet_ = true;
}

void TRijndael::Rekey() {
  const std::size_t n = KeyBytes(keySize_);
  key_.fill(0);
  for (std::size_t i = 0; i < keyText_.size(); ++i) key_[i % n] ^= static_cast<unsigned char>(keyText_[i]);
  const EVP_CIPHER* cipher = CipherFor(keySize_, mode_);
  if (EVP_EncryptInit_ex(encrypt_, cipher, nullptr, key_.data(), iv_.data()) != 1 ||
      EVP_DecryptInit_ex(decrypt_, cipher, nullptr, key_.data(), iv_.data()) != 1 ||
      EVP_CIPHER_CTX_set_padding(encrypt_, 0) != 1 || EVP_CIPHER_CTX_set_padding(decrypt_, 0) != 1) {
    CipherFailure();
  }
}

void TRijndael::StartCall(EVP_CIPHER_CTX* ctx, bool encrypt) {
  if (!keySet_) throw EKeyError("Rijndael: Key not set");
  if (mode_ == ECB) return;  // blocks stand alone: nothing carries between calls
  if (!ivSet_) throw EKeyError("Rijndael: IV not set");
  // Every call starts from the set vector; the key schedule is kept.
  if (EVP_CipherInit_ex(ctx, nullptr, nullptr, nullptr, iv_.data(), encrypt ? 1 : 0) != 1 ||
      EVP_CIPHER_CTX_set_padding(ctx, 0) != 1) {
    CipherFailure();
  }
}

std::string TRijndael::EncryptString(std::string_view text) {
  StartCall(encrypt_, true);
  if (text.empty()) return {};
  const std::size_t rest = text.size() % kBlockSize;
  const std::size_t whole = text.size() - rest;
  const auto padByte = static_cast<unsigned char>(kBlockSize - rest);

  std::string cipher(whole + kBlockSize, '\0');
  auto* out = reinterpret_cast<unsigned char*>(cipher.data());
  Update(encrypt_, true, out, reinterpret_cast<const unsigned char*>(text.data()), whole);
  unsigned char last[kBlockSize];
  std::memcpy(last, text.data() + whole, rest);
  std::memset(last + rest, padByte, kBlockSize - rest);
  Update(encrypt_, true, out + whole, last, kBlockSize);

  switch (stringMode_) {
    case smMime:
      return EncodeSixBit(cipher, kMimeAlphabet, true);
    case smEncode:
      return EncodeSixBit(cipher, kEncodeAlphabet, false);
    case smNormal:
      break;
  }
  return cipher;
}

std::string TRijndael::DecryptString(std::string_view text) {
  StartCall(decrypt_, false);
  if (text.empty()) return {};
  std::string decoded;
  std::string_view data = text;
  if (stringMode_ == smMime) {
    decoded = DecodeSixBit(text, kMimeAlphabet, true, kBadMime);
    data = decoded;
  } else if (stringMode_ == smEncode) {
    decoded = DecodeSixBit(text, kEncodeAlphabet, false, kBadEncode);
    data = decoded;
  }
  if (data.size() < kBlockSize) throw EInputError(kTooShort);
  if (data.size() % kBlockSize != 0) throw EInputError(kPartialBlock);

  std::string plain(data.size(), '\0');
  Update(decrypt_, false, reinterpret_cast<unsigned char*>(plain.data()),
         reinterpret_cast<const unsigned char*>(data.data()), data.size());
  // A last byte outside 1..16 is no valid padding; only that byte is dropped.
  const auto padding = static_cast<unsigned char>(plain.back());
  const std::size_t drop = padding >= 1 && padding <= kBlockSize ? padding : 1;
  plain.erase(plain.end() - static_cast<std::ptrdiff_t>(drop), plain.end());
  return plain;
}

}  // namespace mero::link
