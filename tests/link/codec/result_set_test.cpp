#include "link/codec/result_set.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <random>

#include "base/date_time.h"
#include "base/encoding.h"
#include "base/number_format.h"
#include "link/codec/field_type.h"
#include "link/codec/link_errors.h"
#include "link/codec/result_set_encoder.h"
#include "link/codec/wire_int.h"
#include "support/error_text.h"

using namespace mero;
using namespace mero::base::literals;

namespace {

using base::Variant;
using link::FieldDef;
using link::RowSet;

const std::string S("\x02");  // ends a value
const std::string Z("\x03");  // the NULL value
const std::string E("\x04");  // ends a row
const std::string kEnd = "NULL" + E;

std::string F(double v) { return link::EncodeFloat9(v); }

std::string L(std::string_view bytes) {
  std::string s(1, '\x06');
  link::AppendInt32(s, static_cast<std::int32_t>(bytes.size()));
  s += bytes;
  return s;
}

std::string LengthOnly(std::int32_t n) {
  std::string s(1, '\x06');
  link::AppendInt32(s, n);
  return s;
}

RowSet Decode(std::vector<FieldDef> fields, const std::string& payload) {
  RowSet rows(std::move(fields));
  link::DecodeRows(payload, 0, rows);
  return rows;
}

std::string ErrorOf(const std::function<void()>& call) { return test::ErrorOf<link::ELinkResultSetException>(call); }

// --- Field definitions ------------------------------------------------------

TEST(FieldDefs, DecodeAppliesTheTypeAndSizeRules) {
  const std::string longName(300, 'N');
  const std::string manyParts = longName + S + "3" + S + "7" + S + std::string(300, '\x02');
  const std::string payload = "ID" + S + "24" + S + "0" + S + E +                                 //
                              "FIX" + S + "23" + S + "10" + S + E +                               //
                              "A,B" + S + "3" + S + "x" + S + E +                                 //
                              "T0" + S + "0" + S + "-4" + S + E +                                 //
                              "TX" + S + "int" + S + "" + S + E +                                 //
                              "W" + S + "16" + S + "250" + S + "extra" + S + E + manyParts + E +  //
                              "TAIL" + S + "3" + S + "4" + S;  // no item end: ignored
  const std::vector<std::string> expected = {"ID,1,25", "FIX,1,10", "A,B,3,25",       "T0,1,25",
                                             "TX,1,25", "W,16,250", longName + ",3,7"};
  EXPECT_EQ(link::DecodeFieldDefs(payload), expected);
}

TEST(FieldDefs, AnItemWithFewerThanThreePartsIsRefused) {
  const std::string payload = "ID" + S + "3" + S + "0" + S + E + "X" + S + "1" + E;
  EXPECT_EQ(ErrorOf([&] { link::DecodeFieldDefs(payload); }),
            "LINKRESULTSET ERROR: Field definition 2 at offset 8 has fewer than three parts.");
  EXPECT_EQ(ErrorOf([&] { link::DecodeFieldDefs(E); }),
            "LINKRESULTSET ERROR: Field definition 1 at offset 0 has fewer than three parts.");
}

TEST(FieldDefs, EntriesAreReadFromTheRight) {
  struct Case {
    std::string entry;
    FieldDef def;
  };
  const std::vector<Case> cases = {
      {"ID,3,0", {"ID", 3, 0}},
      {"COMM,1,250", {"COMM", 1, 250}},
      {"A,B,C,1,20", {"A,B,C", 1, 20}},
      {"X,abc,1.5", {"X", 0, 0}},
      {"NAME", {"NAME", 0, 0}},
      {"N,40", {"N", 0, 40}},
      {",6,8", {"", 6, 8}},
      {"Q,,", {"Q", 0, 0}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(link::ParseFastFieldsEntry(c.entry), c.def) << c.entry;
  }
  const FieldDef commaName{"SUM(A,B)", 6, 8};
  EXPECT_EQ(link::ParseFastFieldsEntry(link::FastFieldsEntry(commaName)), commaName);
}

TEST(FieldDefs, EncoderOutputDecodesToTheSameList) {
  const std::vector<FieldDef> defs = {{"ID", link::ftInteger, 4},
                                      {"ΟΝΟΜΑ"_gr, link::ftString, 60},
                                      {"ΣΧΟΛΙΑ"_gr, link::ftMemo, 1},
                                      {"BAD\x02NAME\x04", link::ftFloat, 8}};
  std::string payload;
  link::ResultSetEncoder(payload).AddFieldDefs(defs);
  std::vector<FieldDef> expected = defs;
  expected[3].name = "BAD?NAME?";
  EXPECT_EQ(link::FieldDefsFromFastFields(link::DecodeFieldDefs(payload)), expected);
}

// --- Rows: the token rules --------------------------------------------------

TEST(RowDecode, NullMarkerAndTypedTokens) {
  const RowSet rows = Decode({{"A", link::ftString, 10}, {"B", link::ftString, 10}, {"C", link::ftInteger, 0}},
                             "A" + S + Z + S + "5" + S + E);
  ASSERT_EQ(rows.RowCount(), 1u);
  EXPECT_EQ(rows.Value(0, 0), Variant::Text("A"));
  EXPECT_TRUE(rows.IsNull(0, 1));
  EXPECT_EQ(rows.Value(0, 2), Variant::Integer(5));
}

TEST(RowDecode, EmptyTokenIsEmptyTextButNullForLongValues) {
  const RowSet rows = Decode({{"S", link::ftString, 10},
                              {"M", link::ftMemo, 0},
                              {"B", link::ftBytes, 4},
                              {"L", link::ftMemo, 0},
                              {"X", link::ftString, 10}},
                             S + S + S + LengthOnly(0) + S + Z + Z + S + E);
  ASSERT_EQ(rows.RowCount(), 1u);
  EXPECT_FALSE(rows.IsNull(0, 0));
  EXPECT_EQ(rows.Text(0, 0), "");
  EXPECT_TRUE(rows.IsNull(0, 1));
  EXPECT_TRUE(rows.IsNull(0, 2));
  EXPECT_TRUE(rows.IsNull(0, 3)) << "a long value of length 0 is NULL";
  EXPECT_FALSE(rows.IsNull(0, 4)) << "only a lone byte 3 is NULL";
  EXPECT_EQ(rows.Text(0, 4), Z + Z);
}

TEST(RowDecode, ZeroFloatIsZeroAndNoDate) {
  const RowSet rows =
      Decode({{"F", link::ftFloat, 0}, {"D", link::ftDate, 0}, {"T", link::ftDateTime, 0}, {"S", link::ftString, 5}},
             F(0.0) + S + F(0.0) + S + F(-0.0) + S + F(0.0) + S + E);
  ASSERT_EQ(rows.RowCount(), 1u);
  for (std::size_t col = 0; col < 3; ++col) {
    EXPECT_FALSE(rows.IsNull(0, col));
    EXPECT_EQ(rows.Double(0, col), 0.0);
  }
  EXPECT_EQ(rows.Text(0, 3), "");
}

TEST(RowDecode, ChunksAreNumberedPerRowAndBoundWhenTheRowEnds) {
  const std::vector<FieldDef> fields = {{"A", link::ftMemo, 0}, {"B", link::ftBlob, 0}, {"C", link::ftString, 5}};
  const std::string payload = L("x") + S + L("y") + S + L("z") + S + E +  // chunks 0, 1, 2
                              L("p") + S + "0" + S + E +                  // numbering restarts; "0" names chunk 0
                              "1" + S + L("q") + S + L("r") + E;          // names a later chunk of the row
  const RowSet rows = Decode(fields, payload);
  ASSERT_EQ(rows.RowCount(), 3u);
  EXPECT_EQ(rows.Text(0, 0), "x");
  EXPECT_EQ(rows.Text(0, 1), "y");
  EXPECT_EQ(rows.Text(0, 2), "2") << "a chunk in a text field reads as its number";
  EXPECT_EQ(rows.Text(1, 0), "p");
  EXPECT_EQ(rows.Text(1, 1), "p");
  EXPECT_EQ(rows.Text(2, 0), "r");
  EXPECT_EQ(rows.Text(2, 1), "q");
  EXPECT_EQ(rows.Text(2, 2), "") << "the value without its terminator is empty";
}

TEST(RowDecode, EndMarkerStopsAndUnfinishedRowsAreIgnored) {
  const std::vector<FieldDef> fields = {{"S", link::ftString, 10}};
  RowSet rows(fields);
  auto r = link::DecodeRows("a" + S + E + "NULL" + S + E + kEnd + "b" + S + E + F(1.0), 0, rows);
  EXPECT_TRUE(r.endMarker);
  EXPECT_EQ(r.rowsAdded, 2u);
  ASSERT_EQ(rows.RowCount(), 2u);
  EXPECT_EQ(rows.Text(1, 0), "NULL") << "\"NULL\" as a value is not the marker";

  r = link::DecodeRows("a" + S + E + "b" + S, 0, rows);
  EXPECT_FALSE(r.endMarker);
  EXPECT_EQ(rows.RowCount(), 1u);
}

TEST(RowDecode, MissingAndSurplusValues) {
  const RowSet rows = Decode({{"S", link::ftString, 10},
                              {"T", link::ftString, 10},
                              {"I", link::ftInteger, 0},
                              {"M", link::ftMemo, 0},
                              {"D", link::ftDate, 0}},
                             "A" + S + "B" + E + "1" + S + "2" + S + "3" + S + Z + S + "4" + S + "5" + S + "6" + S + E);
  ASSERT_EQ(rows.RowCount(), 2u);
  EXPECT_EQ(rows.Text(0, 0), "A");
  EXPECT_EQ(rows.Text(0, 1), "");
  EXPECT_FALSE(rows.IsNull(0, 1));
  EXPECT_EQ(rows.Int(0, 2), 0);
  EXPECT_TRUE(rows.IsNull(0, 3));
  EXPECT_EQ(rows.Double(0, 4), 0.0);
  EXPECT_EQ(rows.Int(1, 2), 3);
  EXPECT_EQ(rows.Double(1, 4), 4.0);
}

TEST(RowDecode, TextTokensByFieldType) {
  struct Case {
    int type;
    int size;
    std::string token;
    Variant expected;
  };
  const std::vector<Case> cases = {
      {link::ftString, 3, "ABCDEF", Variant::Text("ABC")},
      {link::ftGuid, 38, "{0}", Variant::Text("{0}")},
      {link::ftSmallint, 0, "-32768", Variant::Integer(-32768)},
      {link::ftSmallint, 0, "40000", Variant::Integer(0)},
      {link::ftWord, 0, "65535", Variant::Integer(65535)},
      {link::ftWord, 0, "-1", Variant::Integer(0)},
      {link::ftInteger, 0, "-17", Variant::Integer(-17)},
      {link::ftInteger, 0, "+12", Variant::Integer(12)},
      {link::ftInteger, 0, "-", Variant::Integer(0)},
      {link::ftInteger, 0, "1,5", Variant::Integer(0)},
      {link::ftInteger, 0, "1.5", Variant::Integer(0)},
      {link::ftInteger, 0, "2147483648", Variant::Integer(0)},
      {link::ftAutoInc, 0, "abc", Variant::Integer(0)},
      {link::ftLargeint, 0, "-9223372036854775808", Variant::Int64(INT64_MIN)},
      {link::ftLargeint, 0, "12e3", Variant::Int64(0)},
      {link::ftBoolean, 0, "1", Variant::Boolean(true)},
      {link::ftBoolean, 0, "01", Variant::Boolean(false)},
      {link::ftBoolean, 0, "true", Variant::Boolean(false)},
      {link::ftFloat, 0, "2,5", Variant::Double(2.5)},
      {link::ftCurrency, 0, "2.5", Variant::Double(0)},
      {link::ftBCD, 0, "-,25", Variant::Double(-0.25)},
      {link::ftFloat, 0, "", Variant::Double(0)},
      {link::ftDate, 0, "45000,75", Variant::Date(45000)},
      {link::ftDateTime, 0, "45000,75", Variant::Date(45000.75)},
      {link::ftDate, 0, "-1,25", Variant::Date(-1)},
      {link::ftDate, 0, "0,99999999999", Variant::Date(1)},
      {link::ftDate, 0, "3000000", Variant::Date(0)},
      {link::ftDateTime, 0, "45000.5", Variant::Date(0)},
      {link::ftCursor, 0, "anything", Variant()},
  };
  for (const Case& c : cases) {
    const RowSet rows = Decode({{"F", c.type, c.size}, {"NEXT", link::ftString, 4}}, c.token + S + "ok" + S + E);
    ASSERT_EQ(rows.RowCount(), 1u);
    EXPECT_EQ(rows.Value(0, 0), c.expected) << "type " << c.type << " token '" << c.token << "'";
    EXPECT_EQ(rows.Text(0, 1), "ok");
  }
}

// Number columns send whole values as their digits. Whatever form the text
// takes, a float or date field holds what the decimal reading of it gives,
// to the bit: "-0" stays negative zero, digits past a double's precision
// round to the nearest double.
TEST(RowDecode, DigitsInFloatAndDateFieldsReadToTheBit) {
  struct Case {
    std::string token;
    double asFloat;
    double asDateTime;
  };
  const std::vector<Case> cases = {
      {"0", 0.0, 0.0},
      {"-0", -0.0, -0.0},
      {"7", 7.0, 7.0},
      {"5000000000", 5e9, 0.0},  // past 31/12/9999: no date
      {"-5000000000", -5e9, 0.0},
      {"45356", 45356.0, 45356.0},
      {"-693593", -693593.0, -693593.0},  // 02/01/0001
      {"-693594", -693594.0, 0.0},
      {"999999999999999", 999999999999999.0, 0.0},
      {"9007199254740993", 9007199254740992.0, 0.0},
      {"-12345678901234567890", -12345678901234567890.0, 0.0},
      {"0005", 5.0, 5.0},
      {"+7", 7.0, 7.0},
      {" 7 ", 7.0, 7.0},
      {"1e3", 1000.0, 1000.0},
      {"--7", 0.0, 0.0},
      {"7-", 0.0, 0.0},
      {"-", 0.0, 0.0},
  };
  for (const Case& c : cases) {
    const RowSet rows = Decode({{"F", link::ftFloat, 0}, {"D", link::ftDateTime, 0}}, c.token + S + c.token + S + E);
    ASSERT_EQ(rows.RowCount(), 1u);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(rows.Double(0, 0)), std::bit_cast<std::uint64_t>(c.asFloat))
        << "'" << c.token << "' reads " << rows.Double(0, 0);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(rows.Double(0, 1)), std::bit_cast<std::uint64_t>(c.asDateTime))
        << "'" << c.token << "' as a date reads " << rows.Double(0, 1);
  }
}

// Texts of every length keep every byte that may travel as text, wherever it
// falls, including the bytes just below and above the control bytes.
TEST(RowDecode, TextKeepsEveryByteThatMayTravel) {
  std::string allowed;
  for (int b = 0; b < 256; ++b) {
    if (b != 2 && b != 4 && b != 5 && b != 6) allowed.push_back(static_cast<char>(b));
  }
  std::vector<std::string> texts;
  std::string payload;
  link::ResultSetEncoder enc(payload);
  for (std::size_t length = 2; length <= 40; ++length) {
    for (std::size_t start = 0; start + length <= allowed.size(); start += 7) {
      texts.push_back(allowed.substr(start, length));
      enc.AddText(texts.back());
      enc.AddInt(static_cast<std::int64_t>(length));
      enc.EndRow();
    }
  }
  const RowSet rows = Decode({{"S", link::ftString, 40}, {"N", link::ftInteger, 0}}, payload);
  ASSERT_EQ(rows.RowCount(), texts.size());
  for (std::size_t r = 0; r < texts.size(); ++r) {
    ASSERT_EQ(rows.Text(r, 0), texts[r]) << "row " << r;
    ASSERT_EQ(rows.Int(r, 1), static_cast<std::int64_t>(texts[r].size()));
  }
}

TEST(RowDecode, TimeOfDayIsMillisecondsSinceMidnight) {
  const RowSet rows =
      Decode({{"T", link::ftTime, 0}}, "45000,5" + S + E + "-1,25" + S + E + "0,99999999999" + S + E + F(0.75) + S + E);
  ASSERT_EQ(rows.RowCount(), 4u);
  EXPECT_EQ(rows.Int(0, 0), 12 * 3600 * 1000);
  EXPECT_EQ(rows.Int(1, 0), 6 * 3600 * 1000);
  EXPECT_EQ(rows.Int(2, 0), 0);
  EXPECT_EQ(rows.Int(3, 0), 18 * 3600 * 1000);
}

TEST(RowDecode, MixedTokensFollowTheirText) {
  const RowSet rows = Decode({{"F", link::ftFloat, 0},
                              {"S", link::ftString, 10},
                              {"I", link::ftInteger, 0},
                              {"C", link::ftString, 10},
                              {"G", link::ftString, 10}},
                             "-" + F(1.5) + S + "1" + F(0.5) + S + "1" + L("chunk") + S + "AB" + LengthOnly(0) + "CD" +
                                 LengthOnly(-7) + S + F(2.0) + F(0.25) + S + E);
  ASSERT_EQ(rows.RowCount(), 1u);
  EXPECT_EQ(rows.Double(0, 0), -1.5);
  EXPECT_EQ(rows.Text(0, 1), "1,5");
  EXPECT_EQ(rows.Int(0, 2), 10) << "\"1\" and chunk number 0";
  EXPECT_EQ(rows.Text(0, 3), "ABCD") << "an empty long value adds nothing";
  EXPECT_EQ(rows.Text(0, 4), "2,25");
}

// --- Rows: 0x05 values read as their text -----------------------------------

TEST(RowDecode, FloatValuesEqualTheirTextRoute) {
  struct Case {
    double value;
    int type;
    Variant expected;
  };
  const std::vector<Case> cases = {
      {12.5, link::ftString, Variant::Text("12,5")},
      {0.5, link::ftString, Variant::Text(",5")},
      {-3.0, link::ftString, Variant::Text("-3")},
      {0.0, link::ftString, Variant::Text("")},
      {1e-20, link::ftString, Variant::Text("")},
      {1e20, link::ftString, Variant::Text("100000000000000000000")},
      {12.0, link::ftInteger, Variant::Integer(12)},
      {-7.0, link::ftInteger, Variant::Integer(-7)},
      {12.5, link::ftInteger, Variant::Integer(0)},
      {0.0, link::ftInteger, Variant::Integer(0)},
      {3e9, link::ftInteger, Variant::Integer(0)},
      {0.9999999999999999, link::ftInteger, Variant::Integer(1)},
      {40000.0, link::ftSmallint, Variant::Integer(0)},
      {40000.0, link::ftWord, Variant::Integer(40000)},
      {1e18, link::ftLargeint, Variant::Int64(1000000000000000000)},
      {123456789012345678.0, link::ftLargeint, Variant::Int64(123456789012346000)},
      {1e19, link::ftLargeint, Variant::Int64(0)},
      {1.0, link::ftBoolean, Variant::Boolean(true)},
      {0.9999999999999999, link::ftBoolean, Variant::Boolean(true)},
      {2.0, link::ftBoolean, Variant::Boolean(false)},
      {1.0000001, link::ftBoolean, Variant::Boolean(false)},
      {0.1 + 0.2, link::ftFloat, Variant::Double(0.3)},
      {1e-16, link::ftFloat, Variant::Double(0)},
      {6e-16, link::ftFloat, Variant::Double(1e-15)},
      {1.0 / 3.0, link::ftFloat, Variant::Double(0.333333333333333)},
      {123456789012345.5, link::ftFloat, Variant::Double(123456789012346)},  // an exact half: to even
      {123456789012344.5, link::ftFloat, Variant::Double(123456789012344)},
      {std::numeric_limits<double>::quiet_NaN(), link::ftFloat, Variant::Double(0)},
      {std::numeric_limits<double>::infinity(), link::ftCurrency, Variant::Double(0)},
      {45000.75, link::ftDate, Variant::Date(45000)},
      {0.5, link::ftTime, Variant::Date(0.5)},
      {1e300, link::ftDateTime, Variant::Date(0)},
      {0.0, link::ftMemo, Variant::Null()},
  };
  for (const Case& c : cases) {
    const RowSet rows = Decode({{"F", c.type, 30}}, F(c.value) + S + E);
    ASSERT_EQ(rows.RowCount(), 1u);
    EXPECT_EQ(rows.Value(0, 0), c.expected) << "type " << c.type << " value " << c.value;
  }
}

// The decoder reads most 0x05 values without writing their text; whatever
// the double, the result must be what the text would have read.
TEST(RowDecode, FloatValuesMatchTheTextRouteAcrossTheRange) {
  std::mt19937_64 rng(20240315);
  std::vector<double> values;
  for (int i = 0; i < 4000; ++i) {
    values.push_back(std::bit_cast<double>(rng()));
    const std::int64_t digits = static_cast<std::int64_t>(rng() % 1000000000000000ULL);
    const int scale = static_cast<int>(rng() % 20);
    values.push_back(static_cast<double>(digits) / std::pow(10.0, scale));
    // Halfway between two 15-digit decimals, where rounding direction matters.
    values.push_back((static_cast<double>(digits) * 10 + 5) / std::pow(10.0, scale + 1));
    values.push_back(-static_cast<double>(rng() % 100000000) / 100.0);
    values.push_back(45000 + static_cast<double>(rng() % base::kMSecsPerDay) / base::kMSecsPerDay);
    values.push_back(std::ldexp(static_cast<double>(rng() % 1000), -static_cast<int>(rng() % 60)));
  }
  std::string payload;
  link::ResultSetEncoder enc(payload);
  for (double v : values) {
    for (int k = 0; k < 4; ++k) enc.AddFloat(v);
    enc.EndRow();
  }
  const RowSet rows = Decode(
      {{"F", link::ftFloat, 0}, {"L", link::ftLargeint, 0}, {"I", link::ftInteger, 0}, {"B", link::ftBoolean, 0}},
      payload);
  ASSERT_EQ(rows.RowCount(), values.size());
  int failures = 0;
  for (std::size_t r = 0; r < values.size() && failures < 10; ++r) {
    const std::string text = base::FormatFloat("###############.###############", values[r]);
    double f = 0;
    if (!base::TryStrToFloat(text, f, ',')) f = 0;
    std::int64_t l = 0;
    if (!base::TryStrToInt64(text, l)) l = 0;
    std::int32_t i = 0;
    if (!base::TryStrToInt(text, i)) i = 0;
    if (std::bit_cast<std::uint64_t>(rows.Double(r, 0)) != std::bit_cast<std::uint64_t>(f) || rows.Int(r, 1) != l ||
        rows.Int(r, 2) != i || rows.Bool(r, 3) != (text == "1")) {
      ++failures;
      ADD_FAILURE() << "value " << std::hexfloat << values[r] << " text '" << text << "': float " << rows.Double(r, 0)
                    << " int64 " << rows.Int(r, 1) << " int " << rows.Int(r, 2);
    }
  }
}

// --- Packet argument ----------------------------------------------------------

TEST(RowDecode, PacketArgumentReplacesAppendsAndEndsTheCursor) {
  RowSet rows({{"N", link::ftInteger, 0}});
  auto r = link::DecodeRows("1" + S + E + "2" + S + E, 5, rows);
  EXPECT_TRUE(r.packet.replace);
  EXPECT_FALSE(r.packet.count);
  EXPECT_EQ(r.packet.cursor, 5);
  EXPECT_EQ(r.rowsAdded, 2u);

  r = link::DecodeRows("3" + S + E, -1, rows);
  EXPECT_FALSE(r.packet.replace);
  EXPECT_TRUE(r.packet.count);
  EXPECT_EQ(r.packet.cursor, std::nullopt);
  EXPECT_EQ(r.rowsAdded, 1u);

  r = link::DecodeRows("4" + S + E + kEnd, -2, rows);
  EXPECT_TRUE(r.packet.count);
  EXPECT_EQ(r.packet.cursor, -1);
  EXPECT_TRUE(r.endMarker);
  ASSERT_EQ(rows.RowCount(), 4u);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(rows.Int(i, 0), static_cast<std::int64_t>(i + 1));

  r = link::DecodeRows("9" + S + E + kEnd, 0, rows);
  EXPECT_TRUE(r.packet.replace);
  EXPECT_EQ(r.packet.cursor, std::nullopt);
  ASSERT_EQ(rows.RowCount(), 1u);
  EXPECT_EQ(rows.Int(0, 0), 9);
}

// --- Round trip ---------------------------------------------------------------

TEST(ResultSetRoundTrip, EveryFieldTypeSurvives) {
  std::string everyByte;
  for (int b = 0; b < 256; ++b) everyByte.push_back(static_cast<char>(b));
  const double day = base::EncodeDate(2024, 3, 15);
  const double time = base::EncodeTime(13, 45, 30, 250);

  const std::vector<FieldDef> defs = {
      {"S", link::ftString, 20},      {"SI", link::ftSmallint, 0},    {"I", link::ftInteger, 0},
      {"W", link::ftWord, 0},         {"BO", link::ftBoolean, 0},     {"F", link::ftFloat, 0},
      {"CU", link::ftCurrency, 0},    {"BC", link::ftBCD, 0},         {"D", link::ftDate, 0},
      {"T", link::ftTime, 0},         {"DT", link::ftDateTime, 0},    {"BY", link::ftBytes, 4},
      {"VB", link::ftVarBytes, 0},    {"AI", link::ftAutoInc, 0},     {"BL", link::ftBlob, 0},
      {"M", link::ftMemo, 0},         {"G", link::ftGraphic, 0},      {"FM", link::ftFmtMemo, 0},
      {"CUR", link::ftCursor, 0},     {"TB", link::ftTypedBinary, 0}, {"FC", link::ftFixedChar, 10},
      {"WS", link::ftWideString, 10}, {"LI", link::ftLargeint, 0},    {"DS", link::ftDataSet, 0},
      {"GU", link::ftGuid, 38},
  };
  std::string fieldPayload;
  link::ResultSetEncoder(fieldPayload).AddFieldDefs(defs);
  RowSet rows(link::FieldDefsFromFastFields(link::DecodeFieldDefs(fieldPayload)));

  std::string payload;
  link::ResultSetEncoder enc(payload);
  // Row 0: a value in every field.
  enc.AddText("Καλημέρα κόσμε"_gr);
  enc.AddInt(-32768);
  enc.AddInt(-2147483647 - 1);
  enc.AddInt(65535);
  enc.AddBool(true);
  enc.AddFloat(1234.5678);
  enc.AddFloat(-0.01);
  enc.AddFloat(99999999999.99);
  enc.AddFloat(day + time);
  enc.AddFloat(time);
  enc.AddFloat(day + 0.4375);
  enc.AddLong(everyByte);
  enc.AddLong(everyByte);
  enc.AddInt(2147483647);
  enc.AddLong(everyByte);
  enc.AddLong("Σημείωση"_gr + "\x02\x03\x04\x05\x06");
  enc.AddLong("PNG");
  enc.AddLong("{\\rtf1}");
  enc.AddText("kept out");
  enc.AddLong(std::string(1, '\0'));
  enc.AddText("ΑΒΓΔΕΖΗΘΙΚΛΜ"_gr);
  enc.AddText("ωψχφυτσρπο"_gr);
  enc.AddInt(INT64_MIN);
  enc.AddLong(everyByte.substr(250));
  enc.AddText("{6F9619FF-8B86-D011-B42D-00C04FC964FF}");
  enc.EndRow();
  // Row 1: NULL in every field.
  for (std::size_t i = 0; i < defs.size(); ++i) enc.AddNull();
  enc.EndRow();
  // Row 2: texts that cannot travel as they are.
  enc.AddText(
      std::string("a\x02"
                  "b\x04"
                  "c\x05"
                  "d\x06",
                  8));
  enc.AddInt(0);
  enc.AddInt(0);
  enc.AddInt(0);
  enc.AddBool(false);
  enc.AddFloat(0);
  enc.AddFloat(0);
  enc.AddFloat(0);
  enc.AddFloat(0);
  enc.AddFloat(0);
  enc.AddFloat(0);
  enc.AddLong("");
  enc.AddLong("");
  enc.AddInt(0);
  enc.AddLong("");
  enc.AddLong("");
  enc.AddLong("");
  enc.AddLong("");
  enc.AddText("");
  enc.AddLong("");
  enc.AddText("\x03");
  enc.AddText("\x03\x03");
  enc.AddInt(0);
  enc.AddLong("");
  enc.AddText("");
  enc.EndRow();
  enc.Finish();

  const auto r = link::DecodeRows(payload, 0, rows);
  EXPECT_TRUE(r.endMarker);
  ASSERT_EQ(rows.RowCount(), 3u);

  const std::vector<Variant> first = {
      Variant::Text("Καλημέρα κόσμε"_gr),
      Variant::Integer(-32768),
      Variant::Integer(-2147483647 - 1),
      Variant::Integer(65535),
      Variant::Boolean(true),
      Variant::Double(1234.5678),
      Variant::Double(-0.01),
      Variant::Double(99999999999.99),
      Variant::Date(day),
      Variant::Date(static_cast<double>(49530250) / base::kMSecsPerDay),
      Variant::Date(day + 0.4375),
      Variant::Bytes(everyByte.substr(0, 4)),
      Variant::Bytes(everyByte),
      Variant::Integer(2147483647),
      Variant::Bytes(everyByte),
      Variant::Bytes("Σημείωση"_gr + "\x02\x03\x04\x05\x06"),
      Variant::Bytes("PNG"),
      Variant::Bytes("{\\rtf1}"),
      Variant(),
      Variant::Bytes(std::string(1, '\0')),
      Variant::Text("ΑΒΓΔΕΖΗΘΙΚ"_gr),
      Variant::Text("ωψχφυτσρπο"_gr),
      Variant::Int64(INT64_MIN),
      Variant::Bytes(everyByte.substr(250)),
      Variant::Text("{6F9619FF-8B86-D011-B42D-00C04FC964FF}"),
  };
  ASSERT_EQ(first.size(), defs.size());
  for (std::size_t col = 0; col < defs.size(); ++col) {
    EXPECT_EQ(rows.Value(0, col), first[col]) << defs[col].name;
    EXPECT_TRUE(rows.IsNull(1, col)) << defs[col].name;
  }
  EXPECT_EQ(rows.Int(0, 9), 49530250);

  EXPECT_EQ(rows.Text(2, 0), "a?b?c?d?");
  EXPECT_TRUE(rows.IsNull(2, 12)) << "an empty long value reads as NULL";
  EXPECT_EQ(rows.Value(2, 20), Variant::Text("?")) << "a lone byte 3 must not turn into NULL";
  EXPECT_EQ(rows.Value(2, 21), Variant::Text("\x03\x03"));
  EXPECT_EQ(rows.Value(2, 8), Variant::Date(0));
}

// A text loses every byte 2, 4, 5 or 6 to '?', wherever it stands in a text
// of any length, and keeps every other byte, the ones just beside them too;
// a text written straight into the payload is cleaned the same way.
TEST(ResultSetEncoding, TextsLoseTheControlBytesAnywhere) {
  for (std::size_t length = 1; length <= 19; ++length) {
    for (std::size_t at = 0; at < length; ++at) {
      for (const char b : {'\x00', '\x01', '\x02', '\x03', '\x04', '\x05', '\x06', '\x07', 'A'}) {
        std::string text(length, 'x');
        text[at] = b;
        std::string cleaned = text;
        if (b == 2 || b == 4 || b == 5 || b == 6 || (b == 3 && length == 1)) cleaned[at] = '?';
        std::string direct;
        link::ResultSetEncoder(direct).AddText(text);
        std::string written;
        link::ResultSetEncoder(written).AddTextWith([&](std::string& out) { out += text; });
        ASSERT_EQ(direct, cleaned + S) << "byte " << int(b) << " at " << at << " of " << length;
        ASSERT_EQ(written, direct);
      }
    }
  }
}

// --- Malformed payloads -------------------------------------------------------

TEST(RowDecode, MalformedPayloadsRaiseWithTheirOffset) {
  struct Case {
    std::string payload;
    std::string error;
  };
  std::string lengthMax(1, '\x06');
  link::AppendInt32(lengthMax, 0x7FFFFFFF);
  const std::vector<Case> cases = {
      {"A" + S + std::string("\x05\x01\x02\x03", 4),
       "LINKRESULTSET ERROR: Float value at offset 2 is cut short: 8 bytes needed, 3 left."},
      {std::string("\x06\x01\x00", 3),
       "LINKRESULTSET ERROR: Long value at offset 0 is cut short: 4 length bytes needed, 2 left."},
      {"xy" + LengthOnly(10) + "abc",
       "LINKRESULTSET ERROR: Long value at offset 2 runs past the end: 10 bytes announced, 3 left."},
      {lengthMax, "LINKRESULTSET ERROR: Long value at offset 0 runs past the end: 2147483647 bytes announced, 0 left."},
      {"a" + S + "1" + S + L("x") + E,
       "LINKRESULTSET ERROR: Field M of row 1 at offset 2 names long value 1, but the row holds 1."},
      {"a" + S + "x" + S + E, "LINKRESULTSET ERROR: Field M of row 1 at offset 2 holds no long value number."},
      {"a" + S + L("m") + S + E + "b" + S + "-1" + S + E,
       "LINKRESULTSET ERROR: Field M of row 2 at offset 12 names long value -1, but the row holds 0."},
  };
  for (const Case& c : cases) {
    RowSet rows({{"S", link::ftString, 5}, {"M", link::ftMemo, 0}});
    link::DecodeRows("kept" + S + L("old") + S + E, 0, rows);
    EXPECT_EQ(ErrorOf([&] { link::DecodeRows(c.payload, -1, rows); }), c.error);
    ASSERT_EQ(rows.RowCount(), 1u) << "rows of the failed payload are taken back: " << c.error;
    EXPECT_EQ(rows.Text(0, 0), "kept");
    EXPECT_EQ(rows.Text(0, 1), "old");
    EXPECT_EQ(ErrorOf([&] { link::DecodeRows(c.payload, 0, rows); }), c.error);
    EXPECT_EQ(rows.RowCount(), 0u) << "a failed fresh result leaves no rows";
  }
}

// Every cut of a valid payload either decodes to the rows it completes or
// raises; none reads past its end (each cut lives in a buffer of its own size).
TEST(RowDecode, EveryCutOfAPayloadIsHandledSafely) {
  const std::vector<FieldDef> fields = {
      {"S", link::ftString, 8}, {"I", link::ftInteger, 0}, {"F", link::ftFloat, 0}, {"M", link::ftMemo, 0}};
  std::string payload;
  link::ResultSetEncoder enc(payload);
  for (int row = 0; row < 3; ++row) {
    enc.AddText("Όνομα"_gr);
    enc.AddInt(row * 1000 - 7);
    enc.AddFloat(row + 0.125);
    enc.AddLong(std::string(static_cast<std::size_t>(row) * 3, '\x04'));
    enc.EndRow();
  }
  enc.Finish();
  const RowSet full = Decode(fields, payload);
  ASSERT_EQ(full.RowCount(), 3u);

  RowSet rows(fields);
  for (std::size_t n = 0; n <= payload.size(); ++n) {
    const auto cut = std::make_unique<char[]>(n == 0 ? 1 : n);
    std::memcpy(cut.get(), payload.data(), n);
    try {
      const auto r = link::DecodeRows(std::string_view(cut.get(), n), 0, rows);
      EXPECT_EQ(r.endMarker, n == payload.size());
    } catch (const link::ELinkResultSetException&) {
      EXPECT_EQ(rows.RowCount(), 0u);
      continue;
    }
    ASSERT_LE(rows.RowCount(), full.RowCount());
    for (std::size_t r = 0; r < rows.RowCount(); ++r) {
      for (std::size_t c = 0; c < fields.size(); ++c) {
        EXPECT_EQ(rows.Value(r, c), full.Value(r, c)) << "cut " << n;
      }
    }
  }
}

}  // namespace
