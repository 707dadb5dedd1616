#include "server/passwords.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace mero;

namespace {

// PBKDF2-HMAC-SHA256 of "passwd" with salt "salt" and one iteration (the
// published test vector), in the stored form.
const std::string kKnown = "pbkdf2-sha256$1$73616c74$55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc";

TEST(PasswordsTest, HashIsSaltedAndVerifies) {
  const std::string first = server::HashPassword("maria");
  const std::string second = server::HashPassword("maria");
  EXPECT_NE(first, second);
  EXPECT_EQ(first.rfind("pbkdf2-sha256$100000$", 0), 0u) << first;
  // scheme, iterations, 32 hex digits of salt, 64 of hash
  EXPECT_EQ(first.size(), std::string("pbkdf2-sha256$100000$").size() + 32 + 1 + 64);
  EXPECT_TRUE(server::VerifyPassword("maria", first));
  EXPECT_TRUE(server::VerifyPassword("maria", second));
  EXPECT_FALSE(server::VerifyPassword("Maria", first));
  EXPECT_FALSE(server::VerifyPassword("", first));
  EXPECT_TRUE(server::VerifyPassword("", server::HashPassword("")));
  const std::string greek = "κωδικός με ελληνικά";
  EXPECT_TRUE(server::VerifyPassword(greek, server::HashPassword(greek)));
}

TEST(PasswordsTest, VerifiesAStandardVectorAndRefusesMalformedHashes) {
  EXPECT_TRUE(server::VerifyPassword("passwd", kKnown));
  EXPECT_FALSE(server::VerifyPassword("passwe", kKnown));
  const std::vector<std::string> malformed = {
      "",
      "maria",
      "pbkdf2-sha256$1$73616c74",
      "pbkdf2-sha1$1$73616c74$55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc",
      "pbkdf2-sha256$0$73616c74$55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc",
      "pbkdf2-sha256$-1$73616c74$55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc",
      "pbkdf2-sha256$1x$73616c74$55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc",
      "pbkdf2-sha256$$73616c74$55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc",
      "pbkdf2-sha256$99999999999$73616c74$55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc",
      "pbkdf2-sha256$1$7361$6c74$55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc",
      "pbkdf2-sha256$1$73616c7$55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc",
      "pbkdf2-sha256$1$73616c7g$55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc",
      "pbkdf2-sha256$1$$55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc",
      "pbkdf2-sha256$1$73616c74$55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacb",
      "pbkdf2-sha256$1$73616c74$55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dac",
      "pbkdf2-sha256$1$73616c74$55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc00",
  };
  for (const std::string& stored : malformed) EXPECT_FALSE(server::VerifyPassword("passwd", stored)) << stored;
}

}  // namespace
