// A received message: the 50-byte header with its five field slots, then the
// data part. What parses must read back field by field, and a line built
// again from what was read must parse to the same fields.

#include <string>

#include "fuzz_support.h"
#include "link/codec/link_errors.h"
#include "link/codec/string_line.h"

using namespace mero;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string message(reinterpret_cast<const char*>(data), size);
  link::TLinkStringLine line;
  try {
    line = link::TLinkStringLine::Parse(message);
  } catch (const link::EStringLineException&) {
    return 0;
  }
  FUZZ_CHECK(size >= link::TLinkStringLine::kHeaderSize);
  FUZZ_CHECK(line.FieldCount() >= 0 && line.FieldCount() <= link::TLinkStringLine::kMaxFields);
  FUZZ_CHECK(line.DispatchKind() == (data[0] & 0x7F));

  link::TLinkStringLine copy;
  copy.SetKind(line.kind());
  copy.SetOrigin(line.Origin());
  bool rebuilt = true;
  for (int k = 1; k <= line.FieldCount(); ++k) {
    const std::string_view field = line.Field(k);
    FUZZ_CHECK(field.size() <= size - link::TLinkStringLine::kHeaderSize);
    try {
      (void)line.FieldInt(k);
    } catch (const link::EStringLineException&) {
    }
    try {
      copy.AddField(line.FieldTypeAt(k), field);
    } catch (const link::EStringLineException&) {
      rebuilt = false;  // a type this side never sends
    }
  }
  for (const int k : {0, line.FieldCount() + 1}) {
    try {
      (void)line.Field(k);
      FUZZ_CHECK(false);
    } catch (const link::EStringLineException&) {
    }
  }
  if (!rebuilt) return 0;
  const link::TLinkStringLine again = link::TLinkStringLine::Parse(copy.Finish());
  FUZZ_CHECK(again.kind() == line.kind());
  FUZZ_CHECK(again.Origin() == line.Origin());
  FUZZ_CHECK(again.FieldCount() == line.FieldCount());
  for (int k = 1; k <= line.FieldCount(); ++k) {
    FUZZ_CHECK(again.Field(k) == line.Field(k));
    FUZZ_CHECK(again.FieldTypeAt(k) == line.FieldTypeAt(k));
  }
  return 0;
}
