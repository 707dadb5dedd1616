// Result-set payloads: field definitions, and rows decoded against a field
// list. The first byte chooses: even, the input is a field-definition
// payload whose fields then decode a row payload of the same bytes; odd,
// pairs of bytes name up to eight fields (type, size) and the rest is two
// row payloads decoded one after the other into the same set.

#include <string>
#include <vector>

#include "fuzz_support.h"
#include "link/codec/field_type.h"
#include "link/codec/link_errors.h"
#include "link/codec/result_set.h"

using namespace mero;

namespace {

// Decodes one row payload; a failure takes back every row it added.
void Rows(std::string_view payload, std::int32_t packet, link::RowSet& rows) {
  const std::size_t before = rows.RowCount();
  try {
    const link::RowsDecoded d = link::DecodeRows(payload, packet, rows);
    FUZZ_CHECK(rows.RowCount() == (d.packet.replace ? 0 : before) + d.rowsAdded);
  } catch (const link::ELinkResultSetException&) {
    const link::PacketArgument p = link::ReadPacketArgument(packet);
    FUZZ_CHECK(rows.RowCount() == (p.replace ? 0 : before));
  }
  for (std::size_t r = 0; r < rows.RowCount(); ++r) {
    for (std::size_t c = 0; c < rows.FieldCount(); ++c) {
      (void)rows.Value(r, c);
      if (!rows.IsNull(r, c) && rows.Fields()[c].type == link::ftString && rows.Fields()[c].size > 0) {
        FUZZ_CHECK(rows.Text(r, c).size() <= static_cast<std::size_t>(rows.Fields()[c].size));
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  const std::uint8_t mode = in.Byte();
  const std::int32_t packet = static_cast<std::int8_t>(in.Byte());
  if ((mode & 1) == 0) {
    const std::string_view payload = in.Rest();
    std::vector<std::string> entries;
    try {
      entries = link::DecodeFieldDefs(payload);
    } catch (const link::ELinkResultSetException&) {
      return 0;
    }
    std::vector<link::FieldDef> defs = link::FieldDefsFromFastFields(entries);
    FUZZ_CHECK(defs.size() == entries.size());
    for (std::size_t i = 0; i < defs.size(); ++i) {
      FUZZ_CHECK(link::ParseFastFieldsEntry(link::FastFieldsEntry(defs[i])) == defs[i]);
    }
    if (defs.size() > 64) defs.resize(64);
    link::RowSet rows(std::move(defs));
    Rows(payload, packet, rows);
    return 0;
  }
  std::vector<link::FieldDef> defs;
  const int count = 1 + (mode >> 1) % 8;
  for (int i = 0; i < count; ++i) {
    link::FieldDef def;
    def.name = "F" + std::to_string(i);
    def.type = in.Byte() % 40;
    def.size = in.Byte();
    defs.push_back(def);
  }
  link::RowSet rows(std::move(defs));
  const std::string_view first = in.Until('\x07');
  Rows(first, packet, rows);
  Rows(in.Rest(), -2, rows);
  return 0;
}
