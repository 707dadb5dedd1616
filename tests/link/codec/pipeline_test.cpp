#include "link/codec/pipeline.h"

#include <gtest/gtest.h>

#include "base/startup.h"
#include "link/codec/link_errors.h"
#include "link/codec/message_stack.h"
#include "link/codec/rijndael.h"
#include "link/codec/string_line.h"

using namespace mero;

namespace {

std::string Message() {
  link::TLinkStringLine line;
  line.SetKind(3);
  line.SetOrigin(1);
  line.AddText("select * from PRINTERS where ID = 5");
  line.AddInt(-1);
  line.AddInt(0);
  line.AddText("");
  return line.Finish();
}

// Sends the message through one connection's transforms and receives it
// through the peer's, the way the socket and the server do.
std::string RoundTrip(const std::string& message, const link::LinkTransforms& sender,
                      const link::LinkTransforms& receiver) {
  const std::string wire = link::PackMessage(message, sender);
  link::TLinkMessageStack stack;
  std::string received;
  int count = 0;
  stack.Feed(wire, [&](std::string_view payload) {
    received = link::UnpackMessage(payload, receiver);
    ++count;
  });
  EXPECT_EQ(count, 1);
  return received;
}

TEST(Pipeline, EverySettingCarriesTheMessageWhole) {
  const std::string message = Message();
  for (auto compression : {link::acNoCompression, link::acLinkCompress, link::acLinkZLib}) {
    for (auto encryption : {link::etNoEncryption, link::etLinkEncrypt, link::etAESEncrypt}) {
      link::LinkTransforms t;
      t.compression = compression;
      t.encryption = encryption;
      EXPECT_EQ(RoundTrip(message, t, t), message) << int(compression) << "/" << int(encryption);
    }
    link::LinkTransforms cipher;
    cipher.compression = compression;
    link::UseLinkCipher(cipher, true);
    link::LinkTransforms peer;
    peer.compression = compression;
    link::UseLinkCipher(peer, true);
    EXPECT_EQ(RoundTrip(message, cipher, peer), message) << int(compression);
  }
}

TEST(Pipeline, OrderIsCompressThenEncryptThenFrame) {
  const std::string message = Message();
  link::LinkTransforms t;
  t.compression = link::acLinkZLib;
  link::UseLinkCipher(t, true);
  const std::string wire = link::PackMessage(message, t);

  link::TRijndael cipher;
  cipher.SetKey(base::LinkKey());
  const std::string payload = cipher.EncryptString(link::DeflateText(message, 1));
  EXPECT_EQ(wire, link::EncodeFrame(payload));
  // The cipher pads: the payload is 1 to 16 bytes longer than the compressed text.
  EXPECT_GT(payload.size(), link::DeflateText(message, 1).size());
}

TEST(Pipeline, SimpleEncryptionShiftsEveryByteByFour) {
  link::LinkTransforms t;
  t.encryption = link::etLinkEncrypt;
  EXPECT_EQ(link::EncryptMessage(std::string("\xFD\x00\x7F", 3), t), std::string("\x01\x04\x83", 3));
  EXPECT_EQ(link::DecryptMessage(std::string("\x01", 1), t), std::string("\xFD", 1));
}

TEST(Pipeline, UserDefinedHooksAndTheirMissingTexts) {
  link::LinkTransforms t;
  t.encryption = link::etUserDefined;
  try {
    link::PackMessage("x", t);
    FAIL() << "no encryption hook, yet sent";
  } catch (const link::EUserDefinedEncComp& e) {
    EXPECT_STREQ(e.what(),
                 "The Application is set for UserDefined Encryption, but there is no code assigned to the "
                 "OnEncrypt event handler.");
  }
  try {
    link::UnpackMessage("x", t);
    FAIL() << "no decryption hook, yet received";
  } catch (const link::EUserDefinedEncComp& e) {
    EXPECT_STREQ(e.what(),
                 "The Application is set for UserDefined Decryption, but there is no code assigned to the "
                 "OnDecrypt event handler.");
  }
  t.onEncrypt = [](std::string& s) { s = "<" + s + ">"; };
  t.onDecrypt = [](std::string& s) { s = s.substr(1, s.size() - 2); };
  EXPECT_EQ(link::PackMessage("abc", t), link::EncodeFrame("<abc>"));
  EXPECT_EQ(RoundTrip("abc", t, t), "abc");

  link::UseLinkCipher(t, false);
  EXPECT_EQ(t.encryption, link::etNoEncryption);
  EXPECT_EQ(link::PackMessage("abc", t), link::EncodeFrame("abc"));
}

TEST(Pipeline, ADamagedPayloadIsRefusedNotDelivered) {
  link::LinkTransforms t;
  link::UseLinkCipher(t, true);
  EXPECT_THROW(link::UnpackMessage("fifteen bytes!!", t), link::EInputError);
  link::LinkTransforms z;
  z.compression = link::acLinkZLib;
  EXPECT_THROW(link::UnpackMessage("not a zlib stream", z), link::EZlibError);
}

TEST(Pipeline, CipherPorts) {
  EXPECT_FALSE(link::IsCipherPort(7770));
  EXPECT_TRUE(link::IsCipherPort(7771));
  EXPECT_TRUE(link::IsCipherPort(7779));
  EXPECT_FALSE(link::IsCipherPort(7780));
  EXPECT_FALSE(link::IsCipherPort(7773 - 1000));
}

}  // namespace
