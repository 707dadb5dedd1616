#include "link/codec/string_line.h"

#include <cstring>

#include "base/number_format.h"
#include "link/codec/link_errors.h"
#include "link/codec/wire_int.h"

namespace mero::link {
namespace {

constexpr std::size_t SlotOffset(int k) { return 5 + 9 * static_cast<std::size_t>(k); }

}  // namespace

void TLinkStringLine::AddField(std::uint8_t type, std::string_view bytes) {
  if (fieldCount_ >= kMaxFields) {
    throw EStringLineException(
        "LINKSTRINGLINE ERROR: Sending more the MaxFields!  Server & client may need to be rebuilt.");
  }
  if (type != fdText && type != fdObject && type != fdObjectText && type != fdStream && type != fdInteger) {
    throw EStringLineException("LINKSTRINGLINE ERROR: Bad DataType.");
  }
  Slot& slot = slots_[static_cast<std::size_t>(fieldCount_++)];
  slot.type = type;
  slot.start = static_cast<std::uint32_t>(bytes_.size() - kHeaderSize + 1);
  bytes_.append(bytes);
  slot.end = static_cast<std::uint32_t>(bytes_.size() - kHeaderSize + 1);
}

void TLinkStringLine::AddInt(std::int64_t value) { AddField(fdInteger, std::to_string(value)); }

void TLinkStringLine::WriteHeader(char* message) const {
  std::memset(message, 0, kHeaderSize);
  message[0] = static_cast<char>(kind_);
  PutInt32(message + 1, origin_);
  for (int k = 0; k < fieldCount_; ++k) {
    const Slot& slot = slots_[static_cast<std::size_t>(k)];
    char* p = message + SlotOffset(k);
    p[0] = static_cast<char>(slot.type);
    PutInt32(p + 1, static_cast<std::int32_t>(slot.start));
    PutInt32(p + 5, static_cast<std::int32_t>(slot.end));
  }
}

std::string TLinkStringLine::Finish() const& {
  std::string out = bytes_;
  WriteHeader(out.data());
  return out;
}

std::string TLinkStringLine::Finish() && {
  WriteHeader(bytes_.data());
  return std::move(bytes_);
}

TLinkStringLine TLinkStringLine::Parse(std::string message) {
  if (message.size() < kHeaderSize) {
    throw EStringLineException("LINKSTRINGLINE ERROR: Message shorter than its header (" +
                               std::to_string(message.size()) + " bytes).");
  }
  TLinkStringLine line;
  line.kind_ = static_cast<std::uint8_t>(message[0]);
  line.origin_ = GetInt32(message.data() + 1);
  const std::size_t dataSize = message.size() - kHeaderSize;
  for (int k = 0; k < kMaxFields; ++k) {
    const char* p = message.data() + SlotOffset(k);
    const std::int32_t start = GetInt32(p + 1);
    const std::int32_t end = GetInt32(p + 5);
    if (start == 0) break;  // unused slot: the fields are in order
    if (start < 1 || end < start || static_cast<std::size_t>(end - 1) > dataSize) {
      throw EStringLineException("LINKSTRINGLINE ERROR: Field " + std::to_string(k + 1) + " lies outside the message.");
    }
    Slot& slot = line.slots_[static_cast<std::size_t>(k)];
    slot.type = static_cast<std::uint8_t>(p[0]);
    slot.start = static_cast<std::uint32_t>(start);
    slot.end = static_cast<std::uint32_t>(end);
    line.fieldCount_ = k + 1;
  }
  line.bytes_ = std::move(message);
  return line;
}

std::uint8_t TLinkStringLine::FieldTypeAt(int k) const {
  if (k < 1 || k > fieldCount_) return 0;
  return slots_[static_cast<std::size_t>(k - 1)].type;
}

std::string_view TLinkStringLine::Field(int k) const {
  if (k < 1 || k > fieldCount_) {
    throw EStringLineException("LINKSTRINGLINE ERROR: The message has no field " + std::to_string(k) + ".");
  }
  const Slot& slot = slots_[static_cast<std::size_t>(k - 1)];
  return std::string_view(bytes_).substr(kHeaderSize + slot.start - 1, slot.end - slot.start);
}

std::int64_t TLinkStringLine::FieldInt(int k) const {
  std::int64_t value = 0;
  if (!base::TryStrToInt64(Field(k), value)) {
    throw EStringLineException("LINKSTRINGLINE ERROR: Field " + std::to_string(k) + " is not an integer.");
  }
  return value;
}

}  // namespace mero::link
