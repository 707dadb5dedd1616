#include "link/codec/string_line.h"

#include <gtest/gtest.h>

#include <cstring>

#include "link/codec/link_errors.h"

using namespace mero;

namespace {

using link::TLinkStringLine;

TEST(StringLine, BuildsHeaderAndDataPart) {
  TLinkStringLine line;
  line.SetKind(3);
  line.SetOrigin(7);
  line.AddText("select 1");
  line.AddInt(-1);
  const std::string bytes = line.Finish();
  ASSERT_EQ(bytes.size(), 50u + 8 + 2);
  EXPECT_EQ(bytes[0], 3);
  EXPECT_EQ(bytes.substr(1, 4), std::string("\x07\x00\x00\x00", 4));
  // Slot 1: type 0, start 1, end 9; slot 2: type 6, start 9, end 11.
  EXPECT_EQ(bytes.substr(5, 9), std::string("\x00\x01\x00\x00\x00\x09\x00\x00\x00", 9));
  EXPECT_EQ(bytes.substr(14, 9), std::string("\x06\x09\x00\x00\x00\x0B\x00\x00\x00", 9));
  EXPECT_EQ(bytes.substr(23, 27), std::string(27, '\0'));
  EXPECT_EQ(bytes.substr(50), "select 1-1");
}

TEST(StringLine, FieldsKeepEveryByteValue) {
  const std::string awkward("\x00\x02\x04\x06\xFF", 5);
  TLinkStringLine line;
  line.SetKind(0x80 | 15);
  line.AddInt(3001);
  line.AddStream(awkward);
  line.AddText("");
  const TLinkStringLine read = TLinkStringLine::Parse(line.Finish());
  EXPECT_EQ(read.DispatchKind(), 15);
  ASSERT_EQ(read.FieldCount(), 3);
  EXPECT_EQ(read.FieldInt(1), 3001);
  EXPECT_EQ(read.Field(2), awkward);
  EXPECT_EQ(read.FieldTypeAt(2), TLinkStringLine::fdStream);
  EXPECT_EQ(read.Field(3), "");
}

TEST(StringLine, BuildingErrorsCarryTheSystemTexts) {
  TLinkStringLine line;
  for (int i = 0; i < 5; ++i) line.AddText("x");
  try {
    line.AddText("sixth");
    FAIL() << "a sixth field was accepted";
  } catch (const link::EStringLineException& e) {
    EXPECT_STREQ(e.what(),
                 "LINKSTRINGLINE ERROR: Sending more the MaxFields!  Server & client may need to be rebuilt.");
  }
  TLinkStringLine other;
  try {
    other.AddField(4, "x");
    FAIL() << "type 4 was accepted";
  } catch (const link::EStringLineException& e) {
    EXPECT_STREQ(e.what(), "LINKSTRINGLINE ERROR: Bad DataType.");
  }
}

TEST(StringLine, MalformedMessagesAreRefusedWithoutReadingOutside) {
  struct Case {
    const char* name;
    std::string bytes;
    const char* error;
  };
  auto header = [](std::int32_t start, std::int32_t end) {
    std::string h(50, '\0');
    h[0] = 4;
    h[5] = 0;
    std::memcpy(h.data() + 6, &start, 4);
    std::memcpy(h.data() + 10, &end, 4);
    return h;
  };
  const Case cases[] = {
      {"shorter than header", std::string(49, '\0'),
       "LINKSTRINGLINE ERROR: Message shorter than its header (49 bytes)."},
      {"end past data", header(1, 5) + "abc", "LINKSTRINGLINE ERROR: Field 1 lies outside the message."},
      {"end before start", header(3, 2) + "abc", "LINKSTRINGLINE ERROR: Field 1 lies outside the message."},
      {"negative start", header(-1, 2) + "abc", "LINKSTRINGLINE ERROR: Field 1 lies outside the message."},
  };
  for (const Case& c : cases) {
    try {
      TLinkStringLine::Parse(c.bytes);
      ADD_FAILURE() << c.name << ": accepted";
    } catch (const link::EStringLineException& e) {
      EXPECT_STREQ(e.what(), c.error) << c.name;
    }
  }
  const TLinkStringLine ok = TLinkStringLine::Parse(header(1, 4) + "abc");
  EXPECT_THROW(ok.FieldInt(1), link::EStringLineException);
  EXPECT_THROW(ok.Field(2), link::EStringLineException);
}

}  // namespace
