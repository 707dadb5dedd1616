#include "link/codec/pipeline.h"

#include <memory>

#include "base/startup.h"
#include "link/codec/link_errors.h"
#include "link/codec/message_stack.h"
#include "link/codec/rijndael.h"

namespace mero::link {
namespace {

void ShiftBytes(std::string& text, int delta) {
  for (char& c : text) c = static_cast<char>(static_cast<unsigned char>(c) + delta);
}

}  // namespace

std::string EncryptMessage(std::string text, const LinkTransforms& t) {
  switch (t.encryption) {
    case etLinkEncrypt:
      ShiftBytes(text, 4);
      break;
    case etUserDefined:
      if (!t.onEncrypt) {
        throw EUserDefinedEncComp(
            "The Application is set for UserDefined Encryption, but there is no code assigned to the OnEncrypt "
            "event handler.");
      }
      t.onEncrypt(text);
      break;
    default:
      break;
  }
  return text;
}

std::string DecryptMessage(std::string text, const LinkTransforms& t) {
  switch (t.encryption) {
    case etLinkEncrypt:
      ShiftBytes(text, -4);
      break;
    case etUserDefined:
      if (!t.onDecrypt) {
        throw EUserDefinedEncComp(
            "The Application is set for UserDefined Decryption, but there is no code assigned to the OnDecrypt "
            "event handler.");
      }
      t.onDecrypt(text);
      break;
    default:
      break;
  }
  return text;
}

std::string TransformMessage(std::string message, const LinkTransforms& t) {
  return EncryptMessage(CompressMessage(std::move(message), t.compression, t.compressionHooks), t);
}

void PackMessage(std::string& out, std::string message, const LinkTransforms& t) {
  AppendFrame(out, TransformMessage(std::move(message), t));
}

std::string PackMessage(std::string message, const LinkTransforms& t) {
  std::string out;
  PackMessage(out, std::move(message), t);
  return out;
}

std::string UnpackMessage(std::string_view payload, const LinkTransforms& t) {
  return DecompressMessage(DecryptMessage(std::string(payload), t), t.compression, t.compressionHooks);
}

void UseLinkCipher(LinkTransforms& t, bool on) {
  if (!on) {
    t.encryption = etNoEncryption;
    t.onEncrypt = nullptr;
    t.onDecrypt = nullptr;
    return;
  }
  auto cipher = std::make_shared<TRijndael>();
  cipher->SetKey(base::LinkKey());
  t.encryption = etUserDefined;
  t.onEncrypt = [cipher](std::string& s) { s = cipher->EncryptString(s); };
  t.onDecrypt = [cipher](std::string& s) { s = cipher->DecryptString(s); };
}

}  // namespace mero::link
