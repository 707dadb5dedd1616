#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "link/codec/result_set.h"

namespace mero::link {

// Writes the payloads a server sends for a query: field definitions, and rows
// of values each followed by byte 2, each row followed by byte 4, the last
// row payload closed by the "NULL" end marker. Everything is appended to one
// caller-owned string, so a reused string stops allocating once it has grown.
//
// There is no escaping on the link: a text value loses each byte 2, 4, 5 or
// 6 it holds to '?', and a text that is exactly byte 3 (the NULL value)
// travels as "?". Values that must keep every byte go as long values.
class ResultSetEncoder {
 public:
  explicit ResultSetEncoder(std::string& out) : out_(out) {}

  // NAME 2 TYPE 2 SIZE 2 4; a name is cleaned like a text value.
  void AddFieldDef(const FieldDef& def);
  void AddFieldDefs(const std::vector<FieldDef>& defs);

  void AddText(std::string_view text);
  // A text value that `write` appends straight to the payload (a value
  // converted on its way, without a copy); it is cleaned as AddText cleans.
  template <typename Write>
  void AddTextWith(Write&& write) {
    const std::size_t start = out_.size();
    write(out_);
    EndText(start);
  }
  // Integers as decimal text; booleans as "1" / "0".
  void AddInt(std::int64_t value);
  void AddBool(bool value) { AddInt(value ? 1 : 0); }
  // Floats, dates, times and date-times: byte 5 and the 8-byte double.
  void AddFloat(double value);
  void AddNull();
  // Memos, blobs and bytes: byte 6, the 4-byte length, the bytes. An empty
  // long value reads back as NULL. A value above 2147483647 bytes raises
  // ELinkResultSetException.
  void AddLong(std::string_view bytes);
  void EndRow();
  // The end-of-data marker after the last row.
  void Finish();

 private:
  // Cleans the text value appended from start on and ends it.
  void EndText(std::size_t start);

  std::string& out_;
};

}  // namespace mero::link
