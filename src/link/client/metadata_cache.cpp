#include "link/client/metadata_cache.h"

#include <utility>

#include "base/text_routines.h"
#include "link/codec/link_errors.h"
#include "link/codec/wire_int.h"

namespace mero::link {
namespace {

[[noreturn]] void Damaged(const std::string& detail) {
  throw ELinkResultSetException("LINKRESULTSET ERROR: Cached result set damaged: " + detail + ".");
}

// The text of a cell holding text or bytes; anything else is damage.
std::string CellText(const RowSet& rows, std::size_t row, std::size_t col) {
  const base::Variant v = rows.Value(row, col);
  if (v.kind() == base::Variant::Kind::Text || v.kind() == base::Variant::Kind::Bytes) return v.AsText();
  if (v.IsNull()) return {};
  Damaged("column " + std::to_string(col) + " holds no text");
}

}  // namespace

std::string EncodeResultSetText(std::string_view fieldDefs, std::string_view rows) {
  std::string out;
  AppendInt32(out, static_cast<std::int32_t>(fieldDefs.size()));
  out.append(fieldDefs);
  out.append(rows);
  return out;
}

RowSet DecodeResultSetText(std::string_view text) {
  if (text.size() < 4) Damaged("only " + std::to_string(text.size()) + " bytes");
  const std::int32_t n = GetInt32(text.data());
  if (n < 0 || static_cast<std::size_t>(n) > text.size() - 4) {
    Damaged("field definitions of " + std::to_string(n) + " bytes in a text of " + std::to_string(text.size()));
  }
  const std::string_view defs = text.substr(4, static_cast<std::size_t>(n));
  RowSet rows(FieldDefsFromFastFields(DecodeFieldDefs(defs)));
  DecodeRows(text.substr(4 + static_cast<std::size_t>(n)), 0, rows);
  return rows;
}

void TLinkMetaDataCache::Load(std::string_view resultSetText) {
  const RowSet outer = DecodeResultSetText(resultSetText);
  if (outer.FieldCount() < 2) Damaged("a name and a result set need two columns");
  std::map<std::string, RowSet> sets;
  for (std::size_t r = 0; r < outer.RowCount(); ++r) {
    sets[base::UpperStr(CellText(outer, r, 0))] = DecodeResultSetText(CellText(outer, r, 1));
  }
  sets_ = std::move(sets);
  cached_ = true;
}

const RowSet& TLinkMetaDataCache::Find(const std::string& name) const {
  if (!cached_) throw ELinkMetaDataException("MetaData Not Cached!");
  const auto it = sets_.find(base::UpperStr(name));
  if (it == sets_.end()) throw ELinkMetaDataException(name + " not found in cache");
  return it->second;
}

}  // namespace mero::link
