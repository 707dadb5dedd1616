#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace mero::link {

// Little-endian 32-bit integers as the link writes them.
inline void PutInt32(char* p, std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  p[0] = static_cast<char>(u & 0xFF);
  p[1] = static_cast<char>((u >> 8) & 0xFF);
  p[2] = static_cast<char>((u >> 16) & 0xFF);
  p[3] = static_cast<char>((u >> 24) & 0xFF);
}

inline std::int32_t GetInt32(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
                                   (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24));
}

inline void AppendInt32(std::string& out, std::int32_t v) {
  char b[4];
  PutInt32(b, v);
  out.append(b, 4);
}

// The 8 bytes of an IEEE 754 double, little-endian (this platform's order).
inline void AppendDouble(std::string& out, double v) {
  char b[8];
  std::memcpy(b, &v, 8);
  out.append(b, 8);
}

inline double GetDouble(const char* p) {
  double v;
  std::memcpy(&v, p, 8);
  return v;
}

// Control bytes of result-set payloads.
constexpr char kPartEnd = 2;    // ends a part of a field definition, or a value of a row
constexpr char kNullValue = 3;  // a value of this byte alone is NULL
constexpr char kItemEnd = 4;    // ends a field definition, or a row
constexpr char kLongMark = 6;   // a long value: 4-byte length, then its bytes

// The 9-byte float form shared by parameter lists and row payloads: byte 5,
// then the 8-byte double.
constexpr char kFloatMark = 5;

inline void AppendFloat9(std::string& out, double v) {
  out.push_back(kFloatMark);
  AppendDouble(out, v);
}

inline std::string EncodeFloat9(double v) {
  std::string out;
  AppendFloat9(out, v);
  return out;
}

// Reads the 9-byte form, or a bare 8-byte double; any other text reads as 0.
inline double DecodeFloat9(std::string_view text) {
  if (text.size() == 9 && text[0] == kFloatMark) return GetDouble(text.data() + 1);
  if (text.size() == 8) return GetDouble(text.data());
  return 0;
}

}  // namespace mero::link
