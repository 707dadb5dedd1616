#pragma once

#include <string>
#include <string_view>

namespace mero::server {

// Iterations of PBKDF2-HMAC-SHA256 for new hashes.
inline constexpr int kPasswordIterations = 100000;

// A salted hash of password for USRLU.PASSWORD_HASH:
// "pbkdf2-sha256$<iterations>$<16-byte salt, hex>$<32-byte hash, hex>".
// Raises base::Exception when no random salt can be had.
std::string HashPassword(std::string_view password);

// True when password matches a stored hash of that form; false for a wrong
// password and for anything malformed (also an empty or NULL column). The
// hashes are compared in constant time.
bool VerifyPassword(std::string_view password, std::string_view stored);

}  // namespace mero::server
