#include "link/codec/result_set_encoder.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>

#include "link/codec/link_errors.h"
#include "link/codec/wire_int.h"

namespace mero::link {
namespace {

constexpr std::array<bool, 256> kReserved = [] {
  std::array<bool, 256> t{};
  t[2] = t[4] = t[5] = t[6] = true;
  return t;
}();

// Replaces the reserved bytes of out from start on. Eight bytes are tested at
// once for a byte below 7 (every reserved byte is one); texts rarely hold any.
void CleanFrom(std::string& out, std::size_t start) {
  char* p = out.data() + start;
  char* const end = out.data() + out.size();
  if (end - p == 1 && *p == kNullValue) {
    *p = '?';
    return;
  }
  for (; end - p >= 8; p += 8) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    if (((word - 0x0707070707070707ULL) & ~word & 0x8080808080808080ULL) == 0) continue;
    for (int i = 0; i < 8; ++i) {
      if (kReserved[static_cast<unsigned char>(p[i])]) p[i] = '?';
    }
  }
  for (; p < end; ++p) {
    if (kReserved[static_cast<unsigned char>(*p)]) *p = '?';
  }
}

void AppendClean(std::string& out, std::string_view text) {
  const std::size_t start = out.size();
  out.append(text);
  CleanFrom(out, start);
}

}  // namespace

void ResultSetEncoder::AddFieldDef(const FieldDef& def) {
  AppendClean(out_, def.name);
  out_.push_back(kPartEnd);
  char buf[16];
  auto r = std::to_chars(buf, buf + sizeof buf, def.type);
  out_.append(buf, r.ptr);
  out_.push_back(kPartEnd);
  r = std::to_chars(buf, buf + sizeof buf, def.size);
  out_.append(buf, r.ptr);
  out_.push_back(kPartEnd);
  out_.push_back(kItemEnd);
}

void ResultSetEncoder::AddFieldDefs(const std::vector<FieldDef>& defs) {
  for (const FieldDef& def : defs) AddFieldDef(def);
}

void ResultSetEncoder::AddText(std::string_view text) {
  AppendClean(out_, text);
  out_.push_back(kPartEnd);
}

void ResultSetEncoder::EndText(std::size_t start) {
  CleanFrom(out_, start);
  out_.push_back(kPartEnd);
}

void ResultSetEncoder::AddInt(std::int64_t value) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  *r.ptr = kPartEnd;
  out_.append(buf, r.ptr + 1);
}

void ResultSetEncoder::AddFloat(double value) {
  char buf[10];
  buf[0] = kFloatMark;
  std::memcpy(buf + 1, &value, 8);
  buf[9] = kPartEnd;
  out_.append(buf, sizeof buf);
}

void ResultSetEncoder::AddNull() {
  const char bytes[2] = {kNullValue, kPartEnd};
  out_.append(bytes, 2);
}

void ResultSetEncoder::AddLong(std::string_view bytes) {
  if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    throw ELinkResultSetException("LINKRESULTSET ERROR: Long value of " + std::to_string(bytes.size()) +
                                  " bytes exceeds 2147483647 bytes.");
  }
  out_.push_back(kLongMark);
  AppendInt32(out_, static_cast<std::int32_t>(bytes.size()));
  out_.append(bytes);
  out_.push_back(kPartEnd);
}

void ResultSetEncoder::EndRow() { out_.push_back(kItemEnd); }

void ResultSetEncoder::Finish() { out_.append("NULL\x04", 5); }

}  // namespace mero::link
