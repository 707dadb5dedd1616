#include "link/codec/rijndael.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "link/codec/link_errors.h"
#include "support/error_text.h"

using namespace mero;
using namespace mero::base::literals;

namespace {

using link::TRijndael;

std::string Hex(std::string_view hex) {
  std::string out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    out.push_back(static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
  return out;
}

std::string Bytes(std::size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::string s(n, '\0');
  for (auto& c : s) c = static_cast<char>(gen() & 0xFF);
  return s;
}

TEST(Rijndael, DefaultsAreTheLinkSettings) {
  TRijndael cipher;
  EXPECT_EQ(cipher.CipherMode(), TRijndael::ECB);
  EXPECT_EQ(cipher.KeySize(), TRijndael::Small128);
  EXPECT_EQ(cipher.StringMode(), TRijndael::smNormal);
}

// FIPS-197 appendix C: a key of exactly the key size folds onto itself, so
// the first block is the standard's answer and the second the encrypted
// padding of 16 bytes of value 16.
TEST(Rijndael, BlockCipherMeetsTheStandardAnswers) {
  const std::string plain = Hex("00112233445566778899aabbccddeeff");
  const struct {
    TRijndael::TKeySize size;
    const char* key;
    const char* answer;
  } cases[] = {
      {TRijndael::Small128, "000102030405060708090a0b0c0d0e0f", "69c4e0d86a7b0430d8cdb78070b4c55a"},
      {TRijndael::Med192, "000102030405060708090a0b0c0d0e0f1011121314151617", "dda97ca4864cdfe06eaf70a0ec0d7191"},
      {TRijndael::Large256, "000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f",
       "8ea2b7ca516745bfeafc49904b496089"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    TRijndael cipher;
    cipher.SetKeySize(c.size);
    cipher.SetKey(Hex(c.key));
    const std::string out = cipher.EncryptString(plain);
    ASSERT_EQ(out.size(), 32u);
    EXPECT_EQ(out.substr(0, 16), Hex(c.answer));
    EXPECT_EQ(out.substr(16), cipher.EncryptString(std::string(16, '\x10')).substr(0, 16));
    EXPECT_EQ(cipher.DecryptString(out), plain);
  }
}

// SP 800-38A F.1-F.4, AES-128: the chaining modes are the standard ones.
TEST(Rijndael, ChainingModesMeetTheStandardAnswers) {
  const std::string key = Hex("2b7e151628aed2a6abf7158809cf4f3c");
  const std::string iv = Hex("000102030405060708090a0b0c0d0e0f");
  const std::string plain = Hex("6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51");
  const std::pair<TRijndael::TCipherMode, const char*> cases[] = {
      {TRijndael::ECB, "3ad77bb40d7a3660a89ecaf32466ef97f5d3d58503b9699de785895a96fdbaaf"},
      {TRijndael::CBC, "7649abac8119b246cee98e9b12e9197d5086cb9b507219ee95db113a917678b2"},
      {TRijndael::CFB, "3b3fd92eb72dad20333449f8e83cfb4ac8a64537a0b3a93fcde3cdad9f1ce58b"},
      {TRijndael::OFB, "3b3fd92eb72dad20333449f8e83cfb4a7789508d16918f03f53c52dac54ed825"},
  };
  for (const auto& [mode, answer] : cases) {
    SCOPED_TRACE(mode);
    TRijndael cipher;
    cipher.SetCipherMode(mode);
    cipher.SetKey(key);
    cipher.SetIV(iv);
    const std::string first = cipher.EncryptString(plain);
    EXPECT_EQ(first.substr(0, 32), Hex(answer));
    // Each call starts again from the set vector.
    EXPECT_EQ(cipher.EncryptString(plain), first);
    EXPECT_EQ(cipher.DecryptString(first), plain);
  }
}

TEST(Rijndael, PaddingAlwaysAddsOneToSixteenBytes) {
  TRijndael cipher;
  cipher.SetKey("link key");
  for (const auto& [in, out] : std::vector<std::pair<std::size_t, std::size_t>>{
           {0, 0}, {1, 16}, {15, 16}, {16, 32}, {17, 32}, {31, 32}, {32, 48}, {1000, 1008}}) {
    SCOPED_TRACE(in);
    const std::string text = Bytes(in, static_cast<unsigned>(in));
    const std::string enc = cipher.EncryptString(text);
    EXPECT_EQ(enc.size(), out);
    EXPECT_EQ(cipher.DecryptString(enc), text);
  }
}

TEST(Rijndael, RoundTripsInEveryModeStringModeAndKeySize) {
  const std::string iv = Bytes(16, 99);
  for (const auto size : {TRijndael::Small128, TRijndael::Med192, TRijndael::Large256}) {
    for (const auto mode : {TRijndael::ECB, TRijndael::CBC, TRijndael::CFB, TRijndael::OFB}) {
      for (const auto form : {TRijndael::smMime, TRijndael::smEncode, TRijndael::smNormal}) {
        TRijndael cipher;
        cipher.SetKeySize(size);
        cipher.SetCipherMode(mode);
        cipher.SetStringMode(form);
        cipher.SetKey("ένα κλειδί του συνδέσμου"_gr);
        cipher.SetIV(iv);
        for (const std::size_t n : {1, 2, 3, 15, 16, 17, 47, 48, 49, 5000}) {
          SCOPED_TRACE(testing::Message() << size << "/" << mode << "/" << form << "/" << n);
          const std::string text = Bytes(n, static_cast<unsigned>(n));
          EXPECT_EQ(cipher.DecryptString(cipher.EncryptString(text)), text);
        }
      }
    }
  }
}

// The text forms of the FIPS-197 C.1 answer and its padding block.
TEST(Rijndael, StringModesWriteTheCipherBytesAsText) {
  TRijndael cipher;
  cipher.SetKey(Hex("000102030405060708090a0b0c0d0e0f"));
  const std::string plain = Hex("00112233445566778899aabbccddeeff");
  cipher.SetStringMode(TRijndael::smMime);
  EXPECT_EQ(cipher.EncryptString(plain), "acTg2Gp7BDDYzbeAcLTFWpVPZPLk6G6e7oLSAhZoSJk=");
  EXPECT_EQ(cipher.DecryptString("acTg2Gp7BDDYzbeAcLTF\r\nWpVPZPLk6G6e7oLSAhZoSJk="), plain);
  EXPECT_EQ(cipher.DecryptString("acTg2Gp7BDDYzbeAcLTFWpVPZPLk6G6e7oLSAhZoSJk"), plain);
  cipher.SetStringMode(TRijndael::smEncode);
  EXPECT_EQ(cipher.EncryptString(plain), "OQHUq4dv-11MnPS+Q9H3KdJDND9Yu4uSvc9G+VNcG7Y");
  EXPECT_EQ(cipher.DecryptString("OQHUq4dv-11MnPS+Q9H3KdJDND9Yu4uSvc9G+VNcG7Y"), plain);
}

TEST(Rijndael, KeyTextIsFoldedOntoTheKeySize) {
  const std::string plain = "κείμενο προς κρυπτογράφηση"_gr;
  const std::string key20 = "0123456789abcdefWXYZ";
  std::string folded = key20.substr(0, 16);
  for (int i = 0; i < 4; ++i) folded[i] = static_cast<char>(folded[i] ^ key20[16 + i]);
  TRijndael a;
  TRijndael b;
  a.SetKey(key20);
  b.SetKey(folded);
  EXPECT_EQ(a.EncryptString(plain), b.EncryptString(plain));

  // A short key is the key followed by zero bytes.
  TRijndael c;
  TRijndael d;
  c.SetKey("elevenchars");
  d.SetKey(std::string("elevenchars\0\0\0\0\0", 16));
  EXPECT_EQ(c.EncryptString(plain), d.EncryptString(plain));

  // Changing the key size re-folds the same key text.
  TRijndael e;
  TRijndael f;
  e.SetKey(key20);
  e.SetKeySize(TRijndael::Large256);
  f.SetKeySize(TRijndael::Large256);
  f.SetKey(key20 + std::string(12, '\0'));
  EXPECT_EQ(e.EncryptString(plain), f.EncryptString(plain));
  EXPECT_NE(e.EncryptString(plain), a.EncryptString(plain));

  TRijndael g;
  g.SetKey(std::string(255, 'k'));
  EXPECT_EQ(g.DecryptString(g.EncryptString(plain)), plain);
}

TEST(Rijndael, ErrorsCarryTheSystemTexts) {
  const char* const keyLength = "Rijndael: Key must be between 1 and 255 bytes";
  TRijndael cipher;
  EXPECT_EQ(test::ErrorOf<link::EKeyError>([&] { cipher.EncryptString("abc"); }), "Rijndael: Key not set");
  EXPECT_EQ(test::ErrorOf<link::EKeyError>([&] { cipher.DecryptString(std::string(16, 'x')); }),
            "Rijndael: Key not set");
  EXPECT_EQ(test::ErrorOf<link::EKeyError>([&] { cipher.SetKey(""); }), keyLength);
  EXPECT_EQ(test::ErrorOf<link::EKeyError>([&] { cipher.SetKey(std::string(256, 'k')); }), keyLength);
  EXPECT_EQ(test::ErrorOf<link::EKeyError>([&] { cipher.EncryptString("abc"); }), "Rijndael: Key not set");
  EXPECT_EQ(test::ErrorOf<link::EKeyError>([&] { cipher.SetIV("short"); }), "Rijndael: IV must be 16 bytes");

  cipher.SetKey("key");
  EXPECT_EQ(test::ErrorOf<link::EInputError>([&] { cipher.DecryptString(std::string(15, 'x')); }),
            "Rijndael: Input not valid - too short");
  for (const std::size_t n : {17, 31, 33}) {
    EXPECT_EQ(test::ErrorOf<link::EInputError>([&] { cipher.DecryptString(std::string(n, 'x')); }),
              "Rijndael: Input not valid - length is not a multiple of 16");
  }
  cipher.SetStringMode(TRijndael::smMime);
  EXPECT_EQ(test::ErrorOf<link::EInputError>([&] { cipher.DecryptString("AAAA"); }),
            "Rijndael: Input not valid - too short");
  for (const char* bad :
       {"acTg2Gp7BDDYzbeAcLTF*pVPZPLk6G6e7oLSAhZoSJk=", "acTg2Gp7BDDYzbeAcLTFWpVPZPLk6G6e7oLSAhZo=Jk=",
        "acTg2Gp7BDDYzbeAcLTFWpVPZPLk6G6e7oLSAhZoSJk===", "acTg2Gp7BDDYzbeAcLTFWpVPZPLk6G6e7oLSAhZoS"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(test::ErrorOf<link::EInputError>([&] { cipher.DecryptString(bad); }),
              "Rijndael: Input not valid - not a Base64 text");
  }
  cipher.SetStringMode(TRijndael::smEncode);
  EXPECT_EQ(
      test::ErrorOf<link::EInputError>([&] { cipher.DecryptString("OQHUq4dv/11MnPS+Q9H3KdJDND9Yu4uSvc9G+VNcG7Y"); }),
      "Rijndael: Input not valid - not an encoded text");
  EXPECT_EQ(
      test::ErrorOf<link::EInputError>([&] { cipher.DecryptString("OQHUq4dv-11MnPS+Q9H3KdJDND9Yu4uSvc9G+VNcG7Y="); }),
      "Rijndael: Input not valid - not an encoded text");
}

TEST(Rijndael, ChainingModesNeedAnIVAfterEveryKey) {
  for (const auto mode : {TRijndael::CBC, TRijndael::CFB, TRijndael::OFB}) {
    SCOPED_TRACE(mode);
    TRijndael cipher;
    cipher.SetCipherMode(mode);
    cipher.SetKey("key");
    EXPECT_EQ(test::ErrorOf<link::EKeyError>([&] { cipher.EncryptString("abc"); }), "Rijndael: IV not set");
    EXPECT_EQ(test::ErrorOf<link::EKeyError>([&] { cipher.DecryptString(std::string(16, 'x')); }),
              "Rijndael: IV not set");
    cipher.SetIV(std::string(16, '\0'));
    const std::string enc = cipher.EncryptString("abc");
    // A new key zeroes the vector and wants it set again.
    cipher.SetKey("key");
    EXPECT_EQ(test::ErrorOf<link::EKeyError>([&] { cipher.EncryptString("abc"); }), "Rijndael: IV not set");
    cipher.SetIV(std::string(16, '\0'));
    EXPECT_EQ(cipher.EncryptString("abc"), enc);
  }
  TRijndael ecb;
  ecb.SetKey("key");
  EXPECT_EQ(ecb.DecryptString(ecb.EncryptString("abc")), "abc");
}

// The last block of a 16-byte text encrypted alone decrypts to that text; its
// last byte then decides how much is dropped.
TEST(Rijndael, UnpaddingDropsWhatTheLastByteSays) {
  TRijndael cipher;
  cipher.SetKey("key");
  const std::pair<unsigned char, std::size_t> cases[] = {{1, 15}, {5, 11}, {16, 0}, {0, 15}, {17, 15}, {200, 15}};
  for (const auto& [last, kept] : cases) {
    SCOPED_TRACE(static_cast<int>(last));
    std::string block = "fifteen bytes..";
    block.push_back(static_cast<char>(last));
    const std::string cipherBlock = cipher.EncryptString(block).substr(0, 16);
    EXPECT_EQ(cipher.DecryptString(cipherBlock), block.substr(0, kept));
  }
}

}  // namespace
