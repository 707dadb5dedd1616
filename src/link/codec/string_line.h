#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "link/codec/message_kind.h"

namespace mero::link {

// One message of the link: a fixed 50-byte header (kind, origin, five field
// slots) followed by the data part, the field values back to back. Fields are
// delimited by their positions alone, so a value may hold any byte.
class TLinkStringLine {
 public:
  static constexpr std::size_t kHeaderSize = 50;
  static constexpr int kMaxFields = 5;

  // Field types of a slot.
  enum FieldType : std::uint8_t { fdText = 0, fdObject = 1, fdObjectText = 2, fdStream = 3, fdInteger = 6 };

  TLinkStringLine() : bytes_(kHeaderSize, '\0') {}

  // Building. The kind and origin may be set at any time before Finish.
  void SetKind(std::uint8_t kind) { kind_ = kind; }
  void SetKind(MessageKind kind) { kind_ = KindByte(kind); }
  void SetOrigin(std::int32_t origin) { origin_ = origin; }
  // Appends a field; a sixth field or a type other than 0, 1, 2, 3, 6 raises
  // EStringLineException with the system's text.
  void AddField(std::uint8_t type, std::string_view bytes);
  void AddText(std::string_view text) { AddField(fdText, text); }
  void AddInt(std::int64_t value);
  void AddStream(std::string_view bytes) { AddField(fdStream, bytes); }
  // The whole message: header, then data part. Finishing a line that is
  // not needed any more (std::move(line).Finish()) hands its bytes over
  // instead of copying them.
  std::string Finish() const&;
  std::string Finish() &&;

  // Reading a received message (header and data part). The bytes are taken
  // over; a message shorter than the header or a slot pointing outside the
  // data part raises EStringLineException.
  static TLinkStringLine Parse(std::string message);

  std::uint8_t kind() const { return kind_; }
  // The kind the receiver dispatches on: the low seven bits.
  int DispatchKind() const { return kind_ & 0x7F; }
  bool Is(MessageKind kind) const { return DispatchKind() == KindByte(kind); }
  std::int32_t Origin() const { return origin_; }
  int FieldCount() const { return fieldCount_; }
  std::uint8_t FieldTypeAt(int k) const;
  // Field k, counted from 1; raises EStringLineException past the last field.
  std::string_view Field(int k) const;
  // Field k read as a decimal integer; raises EStringLineException when the
  // field is not one.
  std::int64_t FieldInt(int k) const;

 private:
  struct Slot {
    std::uint8_t type = 0;
    std::uint32_t start = 0;  // 1-based position in the data part
    std::uint32_t end = 0;    // one past the last byte, 1-based
  };

  // Writes the kind, the origin and the slots into the first 50 bytes of message.
  void WriteHeader(char* message) const;

  std::uint8_t kind_ = 0;
  std::int32_t origin_ = 0;
  int fieldCount_ = 0;
  std::array<Slot, kMaxFields> slots_{};
  // The whole message: room for the header (written by Finish) while
  // building, the received bytes when parsed; the data part follows.
  std::string bytes_;
};

}  // namespace mero::link
