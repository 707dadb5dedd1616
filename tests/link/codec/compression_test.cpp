#include "link/codec/compression.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "link/codec/link_errors.h"
#include "link/codec/lzrw1.h"
#include "support/error_text.h"

using namespace mero;
using namespace mero::base::literals;

namespace {

using link::DecompressMessage;
using link::DeflateText;
using link::InflateText;
using link::Lzrw1Compress;
using link::Lzrw1Decompress;

std::string RandomBytes(std::size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::string s(n, '\0');
  for (auto& c : s) c = static_cast<char>(gen() & 0xFF);
  return s;
}

// Rows of a result set as text: repetitive, but not a single repeated byte.
std::string RowText(std::size_t n) {
  std::string s;
  for (int row = 0; s.size() < n; ++row) {
    s += std::to_string(row) + "|" + "ΤΜΗΜΑ ΠΡΟΜΗΘΕΙΩΝ"_gr + "|HP LaserJet " + std::to_string(1000 + row % 37) +
         "|12/03/2024|" + std::to_string(row * 7 % 1000) + ",50\n";
  }
  s.resize(n);
  return s;
}

std::string Le32(std::uint32_t v) {
  return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF), static_cast<char>((v >> 16) & 0xFF),
          static_cast<char>(v >> 24)};
}

// A container around hand-made blocks.
std::string Container(std::uint32_t declared, const std::vector<std::string>& blocks) {
  std::string out = "WRZL" + Le32(declared);
  for (const auto& b : blocks) {
    out.push_back(static_cast<char>(b.size() & 0xFF));
    out.push_back(static_cast<char>(b.size() >> 8));
    out += b;
  }
  return out;
}

// The lengths of the blocks of a container, read from its framing alone.
std::vector<std::size_t> BlockLengths(const std::string& container) {
  std::vector<std::size_t> lengths;
  std::size_t pos = 8;
  while (pos + 2 <= container.size()) {
    const std::size_t n = static_cast<unsigned char>(container[pos]) |
                          (static_cast<std::size_t>(static_cast<unsigned char>(container[pos + 1])) << 8);
    lengths.push_back(n);
    pos += 2 + n;
  }
  EXPECT_EQ(pos, container.size()) << "blocks do not fill the container";
  return lengths;
}

// ---- zlib ----

TEST(ZLib, RoundTripsAndMakesStandardStreams) {
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"empty", ""},
      {"one byte", "x"},
      {"32767 random", RandomBytes(32767, 1)},
      {"32768 random", RandomBytes(32768, 2)},
      {"32769 random", RandomBytes(32769, 3)},
      {"1 MB random", RandomBytes(1 << 20, 4)},
      {"1 MB rows", RowText(1 << 20)},
      {"1 MB zeros", std::string(1 << 20, '\0')},
  };
  for (const auto& [name, text] : cases) {
    SCOPED_TRACE(name);
    const std::string packed = DeflateText(text, 1);
    // Level 1 with a 32 KB window: CMF 0x78, FLG 0x01.
    ASSERT_GE(packed.size(), 6u);
    EXPECT_EQ(packed.substr(0, 2), std::string("\x78\x01", 2));
    EXPECT_EQ(InflateText(packed), text);
    // zlib's own one-shot decoder reads the same stream.
    std::string check(text.size() + 1, '\0');
    uLongf checkSize = static_cast<uLongf>(check.size());
    ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(check.data()), &checkSize,
                         reinterpret_cast<const Bytef*>(packed.data()), static_cast<uLong>(packed.size())),
              Z_OK);
    EXPECT_EQ(check.substr(0, checkSize), text);
  }
  EXPECT_LT(DeflateText(RowText(1 << 20), 1).size(), (1u << 20) / 4);
  // As with zlib's own decoder, bytes after the end of the stream are not read.
  EXPECT_EQ(InflateText(DeflateText("abc", 1) + "junk"), "abc");
}

TEST(ZLib, CorruptAndTruncatedStreamsRaise) {
  const std::string packed = DeflateText(RowText(50000), 1);
  std::string badAdler = packed;
  badAdler.back() = static_cast<char>(badAdler.back() ^ 1);
  std::string badHeader = packed;
  badHeader[0] = 0x08;
  const std::string garbage = "this is not a zlib stream at all";
  // FDICT set: the stream asks for a preset dictionary.
  const std::string wantsDictionary("\x78\xBB\x00\x00\x00\x01\x03\x00", 8);

  const std::vector<std::pair<std::string, const char*>> cases = {
      {"", "Decompression error: buffer error"},
      {packed.substr(0, 1), "Decompression error: buffer error"},
      {packed.substr(0, 2), "Decompression error: buffer error"},
      {packed.substr(0, packed.size() / 2), "Decompression error: buffer error"},
      {packed.substr(0, packed.size() - 1), "Decompression error: buffer error"},
      {badAdler, "Decompression error: data error"},
      {badHeader, "Decompression error: data error"},
      {garbage, "Decompression error: data error"},
      {wantsDictionary, "Decompression error: need dictionary"},
  };
  for (const auto& [input, text] : cases) {
    SCOPED_TRACE(input.size());
    EXPECT_EQ(test::ErrorOf<link::EZlibError>([&] { InflateText(input); }), text);
  }
  EXPECT_EQ(test::ErrorOf<link::EZlibError>([] { DeflateText("abc", 10); }), "Compression error: stream error");
}

// A zlib stream of n zero bytes, made in pieces so the input never exists.
std::string ZeroStream(std::size_t n) {
  z_stream z{};
  EXPECT_EQ(deflateInit(&z, 9), Z_OK);
  const std::string zeros(1 << 16, '\0');
  std::string out;
  char buffer[1 << 14];
  std::size_t left = n;
  int rc = Z_OK;
  while (rc != Z_STREAM_END) {
    const std::size_t take = std::min(left, zeros.size());
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.data()));
    z.avail_in = static_cast<uInt>(take);
    do {
      z.next_out = reinterpret_cast<Bytef*>(buffer);
      z.avail_out = sizeof buffer;
      rc = deflate(&z, take == left ? Z_FINISH : Z_NO_FLUSH);
      out.append(buffer, sizeof buffer - z.avail_out);
    } while (z.avail_out == 0);
    left -= take;
  }
  deflateEnd(&z);
  return out;
}

TEST(ZLib, InflatingStopsAtTheMessageLimit) {
  EXPECT_EQ(InflateText(ZeroStream(link::kMaxInflatedSize)).size(), link::kMaxInflatedSize);
  EXPECT_EQ(test::ErrorOf<link::EZlibError>([] { InflateText(ZeroStream(link::kMaxInflatedSize + 1)); }),
            "Decompression error: buffer error");
}

// ---- LZRW1-KH container ----

TEST(Lzrw1Container, EmptyTextIsHeaderAndOneBlockForNoBytes) {
  const std::string packed = Lzrw1Compress("");
  EXPECT_EQ(packed.substr(0, 8), std::string("WRZL\0\0\0\0", 8));
  EXPECT_EQ(BlockLengths(packed).size(), 1u);
  EXPECT_EQ(Lzrw1Decompress(packed), "");
}

TEST(Lzrw1Container, BlocksFollowThePieces) {
  const std::vector<std::pair<std::size_t, std::size_t>> cases = {{1, 1},     {32767, 1}, {32768, 2},
                                                                  {32769, 2}, {65536, 3}, {100000, 4}};
  for (const auto& [n, blocks] : cases) {
    SCOPED_TRACE(n);
    const std::string text = RowText(n);
    const std::string packed = Lzrw1Compress(text);
    EXPECT_EQ(packed.substr(4, 4), Le32(static_cast<std::uint32_t>(n)));
    const auto lengths = BlockLengths(packed);
    EXPECT_EQ(lengths.size(), blocks);
    // The last block carries the rest: for a whole number of pieces, nothing.
    if (n % link::lzrw1::kBlockSize == 0) {
      std::string tail;
      EXPECT_EQ(link::lzrw1::DecompressBlock(packed.substr(packed.size() - lengths.back()), tail), 0u);
    }
    EXPECT_EQ(Lzrw1Decompress(packed), text);
  }
}

TEST(Lzrw1Container, RoundTripsManyLengthsAndKinds) {
  // Random data of 4095 bytes said twice: every copy reaches back the farthest
  // distance the format holds; 4096 bytes twice are just out of reach.
  const std::string r4095 = RandomBytes(4095, 7);
  const std::string r4096 = RandomBytes(4096, 8);
  std::vector<std::string> texts = {r4095 + r4095, r4096 + r4096, std::string(100000, 'a'), std::string(70000, '\0'),
                                    RandomBytes(100000, 9)};
  for (const std::size_t n : {0, 1, 2, 3, 4, 17, 18, 19, 20, 100, 4095, 4096, 32767, 32768, 32769, 98304, 131073}) {
    texts.push_back(RowText(n));
    texts.push_back(RandomBytes(n, static_cast<unsigned>(n)));
  }
  for (const auto& text : texts) {
    SCOPED_TRACE(text.size());
    EXPECT_EQ(Lzrw1Decompress(Lzrw1Compress(text)), text);
  }
  EXPECT_LT(Lzrw1Compress(r4095 + r4095).size(), 4095u + 4095u / 2);
  EXPECT_LT(Lzrw1Compress(RowText(100000)).size(), 100000u / 2);
  EXPECT_LT(Lzrw1Compress(std::string(100000, 'a')).size(), 100000u / 8);
}

TEST(Lzrw1Container, IncompressibleDataIsStoredAtOneByteACost) {
  for (const std::size_t n : {1, 2, 1000, 32768, 40000}) {
    SCOPED_TRACE(n);
    const std::string text = RandomBytes(n, 11);
    const std::string packed = Lzrw1Compress(text);
    const std::size_t blocks = n / link::lzrw1::kBlockSize + 1;
    EXPECT_EQ(packed.size(), 8 + blocks * 3 + n);
  }
}

TEST(Lzrw1Container, ContainerErrorsCarryTheSystemTexts) {
  const char* const noHeader = "Lzrw1 decompression : input stream contains no valid header !";
  const char* const mismatch = "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !";
  const char* const readError = "Lzrw1 : Error reading from input stream !";
  const std::string full = link::lzrw1::CompressBlock(RowText(32768));
  const std::string empty = link::lzrw1::CompressBlock("");
  const std::string good = Lzrw1Compress("some text to pack");

  const std::vector<std::pair<std::string, const char*>> cases = {
      {"", noHeader},
      {"WRZ", noHeader},
      {"wrzl" + Le32(0) + std::string("\x01\x00\x80", 3), noHeader},
      {"!HZL" + Le32(3) + "abc", "Lzrw1 decompression : LZH compressed streams (!HZL) are not supported !"},
      {std::string("WRZL\0\0\0", 7), readError},
      {"WRZL" + Le32(0), readError},
      {"WRZL" + Le32(0) + "\x01", readError},
      {good.substr(0, good.size() - 1), readError},
      {Container(32768, {full}), readError},  // the closing block is missing
      {Container(5, {link::lzrw1::CompressBlock("abc")}), mismatch},
      {Container(0, {link::lzrw1::CompressBlock("abc")}), mismatch},
      {Container(10, {full, empty}), mismatch},
      {Container(70000, {full, empty}), mismatch},
  };
  for (const auto& [input, text] : cases) {
    SCOPED_TRACE(testing::PrintToString(input.substr(0, 12)));
    EXPECT_EQ(test::ErrorOf<link::ELzrw1Exception>([&] { Lzrw1Decompress(input); }), text);
  }
}

TEST(Lzrw1Container, CorruptBlocksAreRefused) {
  const char* const corrupt = "Lzrw1 (decompression LZRW1/KH) : Compressed block is corrupt !";
  const std::string C("\x40", 1);  // coded block
  const std::string S("\x80", 1);  // stored block
  auto word = [](unsigned w) { return std::string{static_cast<char>(w & 0xFF), static_cast<char>(w >> 8)}; };
  // Copies of 18 bytes, one back, after a single literal: a run that overflows
  // a block after 1821 copies.
  std::string overflow = C;
  for (int group = 0; group < 115; ++group) {
    overflow += word(group == 0 ? 0xFFFE : 0xFFFF);
    for (int item = 0; item < 16; ++item)
      overflow += (group == 0 && item == 0) ? std::string("a") : std::string("\x0F\x01", 2);
  }
  std::string literals = C;
  for (int group = 0; group < 2049; ++group) literals += word(0) + std::string(16, 'z');

  const std::vector<std::pair<const char*, std::string>> cases = {
      {"empty block", ""},
      {"unknown flag", std::string("\x00", 1) + "abc"},
      {"stored block too long", S + std::string(32769, 'x')},
      {"copy before the start", C + word(1) + std::string("\x00\x01", 2)},
      {"copy past what was written", C + word(4) + "ab" + std::string("\x00\x03", 2)},
      {"copy of distance 0", C + word(2) + "a" + std::string("\x00\x00", 2)},
      {"control word alone", C + word(0)},
      {"control word after a full group", C + word(0) + std::string(16, 'x') + word(0)},
      {"half a control word", C + word(0) + std::string(16, 'x') + "\x01"},
      {"copy cut in half", C + word(2) + "a" + std::string(1, '\0')},
      {"copies past 32768", overflow},
      {"literals past 32768", literals},
  };
  for (const auto& [name, block] : cases) {
    SCOPED_TRACE(name);
    std::string out;
    EXPECT_EQ(test::ErrorOf<link::ELzrw1Exception>([&] { link::lzrw1::DecompressBlock(block, out); }), corrupt);
    EXPECT_EQ(test::ErrorOf<link::ELzrw1Exception>([&] { Lzrw1Decompress(Container(3, {block})); }), corrupt);
  }
}

TEST(Lzrw1Container, HandMadeBlocksDecode) {
  // Literals "abc", then a copy of 7 bytes from 3 back (overlapping its own
  // output), then a literal "!".
  const std::string block = std::string("\x40\x08\x00", 3) + "abc" + std::string("\x04\x03", 2) + "!";
  std::string out = "prefix:";
  EXPECT_EQ(link::lzrw1::DecompressBlock(block, out), 11u);
  EXPECT_EQ(out, "prefix:abcabcabca!");
  EXPECT_EQ(Lzrw1Decompress(Container(11, {block})), "abcabcabca!");
  // The reader stops after the closing block; what follows is not read.
  EXPECT_EQ(Lzrw1Decompress(Container(11, {block}) + "trailing"), "abcabcabca!");
}

// ---- message settings ----

TEST(CompressMessage, EachSettingRoundTrips) {
  const link::CompressionHooks none;
  const std::string text = RowText(70000);
  for (const auto setting : {link::acNoCompression, link::acLinkCompress, link::acLinkZLib}) {
    for (const std::string& t : {std::string(), std::string("x"), text}) {
      SCOPED_TRACE(static_cast<int>(setting));
      EXPECT_EQ(DecompressMessage(link::CompressMessage(t, setting, none), setting, none), t);
    }
  }
  EXPECT_EQ(link::CompressMessage(text, link::acNoCompression, none), text);
  EXPECT_EQ(link::CompressMessage(text, link::acLinkCompress, none), Lzrw1Compress(text));
  EXPECT_EQ(link::CompressMessage(text, link::acLinkZLib, none), DeflateText(text, 1));
}

TEST(CompressMessage, UserDefinedCallsTheHooks) {
  link::CompressionHooks hooks;
  hooks.onCompress = [](std::string& s) { s = "<" + s + ">"; };
  hooks.onDecompress = [](std::string& s) { s = s.substr(1, s.size() - 2); };
  EXPECT_EQ(link::CompressMessage("abc", link::acUserDefined, hooks), "<abc>");
  EXPECT_EQ(DecompressMessage("<abc>", link::acUserDefined, hooks), "abc");

  const link::CompressionHooks none;
  EXPECT_EQ(test::ErrorOf<link::EUserDefinedEncComp>([&] { link::CompressMessage("abc", link::acUserDefined, none); }),
            "The Application is set for UserDefined Compression, but there is no code assigned to the OnCompress "
            "event handler");
  EXPECT_EQ(test::ErrorOf<link::EUserDefinedEncComp>([&] { DecompressMessage("abc", link::acUserDefined, none); }),
            "The Application is set for UserDefined Compression, but there is no code assigned to the OnDecompress "
            "event handler.");
}

std::string Marked(std::string_view text, bool) { return std::string(text) + "!"; }

TEST(CompressMessage, ProcessLevelAndRowInflaterAreReplaceable) {
  const std::string text = RowText(5000);
  EXPECT_EQ(link::ZLibLevel(), 1);
  EXPECT_EQ(link::RowInflater()(DeflateText(text, 1), false), text);
  EXPECT_EQ(link::RowInflater()(text, true), DeflateText(text, 1));

  link::SetZLibLevel(9);
  const std::string best = link::CompressMessage(text, link::acLinkZLib, {});
  link::SetZLibLevel(1);
  EXPECT_EQ(best.substr(0, 2), std::string("\x78\xDA", 2));
  EXPECT_EQ(InflateText(best), text);

  link::SetRowInflater(&Marked);
  EXPECT_EQ(link::RowInflater()("x", false), "x!");
  link::SetRowInflater(nullptr);
  EXPECT_EQ(link::RowInflater(), &link::ZLibRowInflater);
}

}  // namespace
