#include "server/passwords.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <array>
#include <charconv>
#include <cstdint>
#include <vector>

#include "base/exception.h"

namespace mero::server {
namespace {

constexpr std::string_view kScheme = "pbkdf2-sha256";
constexpr std::size_t kSaltBytes = 16;
constexpr std::size_t kHashBytes = 32;
// Stored hashes with more iterations than this are refused rather than
// computed, so that a forged row cannot stall a login.
constexpr long kMaxIterations = 10'000'000;
constexpr std::size_t kMaxSaltBytes = 64;

std::string ToHex(const unsigned char* bytes, std::size_t n) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(n * 2);
  for (std::size_t i = 0; i < n; ++i) {
    hex.push_back(kDigits[bytes[i] >> 4]);
    hex.push_back(kDigits[bytes[i] & 0x0F]);
  }
  return hex;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool FromHex(std::string_view hex, std::vector<unsigned char>& out) {
  if (hex.empty() || hex.size() % 2 != 0) return false;
  out.clear();
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int hi = HexDigit(hex[i]);
    const int lo = HexDigit(hex[i + 1]);
    if (hi < 0 || lo < 0) return false;
    out.push_back(static_cast<unsigned char>(hi * 16 + lo));
  }
  return true;
}

bool Derive(std::string_view password, const unsigned char* salt, std::size_t saltLength, int iterations,
            unsigned char* out, std::size_t outLength) {
  return PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()), salt, static_cast<int>(saltLength),
                           iterations, EVP_sha256(), static_cast<int>(outLength), out) == 1;
}

// Splits "a$b$c$d" into exactly four parts.
bool SplitFour(std::string_view s, std::array<std::string_view, 4>& parts) {
  for (std::size_t i = 0; i < 3; ++i) {
    const std::size_t at = s.find('$');
    if (at == std::string_view::npos) return false;
    parts[i] = s.substr(0, at);
    s.remove_prefix(at + 1);
  }
  if (s.find('$') != std::string_view::npos) return false;
  parts[3] = s;
  return true;
}

}  // namespace

std::string HashPassword(std::string_view password) {
  std::array<unsigned char, kSaltBytes> salt{};
  if (RAND_bytes(salt.data(), static_cast<int>(salt.size())) != 1) {
    throw base::Exception("no random bytes for a password salt");
  }
  std::array<unsigned char, kHashBytes> hash{};
  if (!Derive(password, salt.data(), salt.size(), kPasswordIterations, hash.data(), hash.size())) {
    throw base::Exception("password hashing failed");
  }
  return std::string(kScheme) + "$" + std::to_string(kPasswordIterations) + "$" + ToHex(salt.data(), salt.size()) +
         "$" + ToHex(hash.data(), hash.size());
}

bool VerifyPassword(std::string_view password, std::string_view stored) {
  std::array<std::string_view, 4> parts;
  if (!SplitFour(stored, parts) || parts[0] != kScheme) return false;
  long iterations = 0;
  const auto [end, ec] = std::from_chars(parts[1].data(), parts[1].data() + parts[1].size(), iterations);
  if (ec != std::errc() || end != parts[1].data() + parts[1].size() || iterations < 1 || iterations > kMaxIterations) {
    return false;
  }
  std::vector<unsigned char> salt;
  std::vector<unsigned char> expected;
  if (!FromHex(parts[2], salt) || salt.size() > kMaxSaltBytes) return false;
  if (!FromHex(parts[3], expected) || expected.size() != kHashBytes) return false;
  std::array<unsigned char, kHashBytes> actual{};
  if (!Derive(password, salt.data(), salt.size(), static_cast<int>(iterations), actual.data(), actual.size())) {
    return false;
  }
  return CRYPTO_memcmp(actual.data(), expected.data(), kHashBytes) == 0;
}

}  // namespace mero::server
