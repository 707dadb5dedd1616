#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "link/codec/compression.h"

namespace mero::link {

// How the link encrypts every message after compression.
enum TLinkEncryption : std::uint8_t { etNoEncryption = 0, etLinkEncrypt = 1, etUserDefined = 2, etAESEncrypt = 3 };

// The transformations a connection applies to every message, in both
// directions. The socket and the server each hold one per connection.
struct LinkTransforms {
  TLinkCompression compression = acNoCompression;
  TLinkEncryption encryption = etNoEncryption;
  CompressionHooks compressionHooks;
  // OnEncrypt / OnDecrypt for etUserDefined; each replaces the whole text.
  std::function<void(std::string&)> onEncrypt;
  std::function<void(std::string&)> onDecrypt;
};

// Encryption of one message by the setting; etUserDefined without its hook
// raises EUserDefinedEncComp. etAESEncrypt leaves the bytes as they are.
std::string EncryptMessage(std::string text, const LinkTransforms& t);
std::string DecryptMessage(std::string text, const LinkTransforms& t);

// The send path: the finished message (header and data) is compressed, then
// encrypted (TransformMessage: the frame's payload), then framed. Appends the
// frame to out.
std::string TransformMessage(std::string message, const LinkTransforms& t);
void PackMessage(std::string& out, std::string message, const LinkTransforms& t);
std::string PackMessage(std::string message, const LinkTransforms& t);

// The receive path of one frame's payload: decrypted, then decompressed. The
// result is the message (header and data), or empty for an empty message.
std::string UnpackMessage(std::string_view payload, const LinkTransforms& t);

// Sets the transforms to encrypt with the link cipher (the setting of ports
// 7771–7779), or to no encryption. Each connection gets its own cipher
// object, keyed once with the link key (base::LinkKey()), so that sessions
// on several threads never share cipher state.
void UseLinkCipher(LinkTransforms& t, bool on);
// The ports whose connections carry the link cipher.
constexpr bool IsCipherPort(int port) { return port >= 7771 && port <= 7779; }

}  // namespace mero::link
