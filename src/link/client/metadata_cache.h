#pragma once

#include <map>
#include <string>
#include <string_view>

#include "base/exception.h"
#include "link/codec/result_set.h"

namespace mero::link {

// A metadata look-up that cannot be answered.
class ELinkMetaDataException : public base::Exception {
 public:
  explicit ELinkMetaDataException(const std::string& text) : base::Exception(text) {}
};

// One result set carried as a single text: the 4-byte little-endian length
// of the field-definition payload, that payload, then the row payload.
std::string EncodeResultSetText(std::string_view fieldDefs, std::string_view rows);
// Raises ELinkResultSetException for a damaged text.
RowSet DecodeResultSetText(std::string_view text);

// Named result sets the server pushes for metadata look-ups (utility reply 13).
class TLinkMetaDataCache {
 public:
  // Replaces the cache with the rows of the result-set text: column 0 the
  // name, column 1 the result-set text of that name. All or nothing.
  void Load(std::string_view resultSetText);
  bool Cached() const { return cached_; }
  std::size_t Count() const { return sets_.size(); }
  // The named result set (names compared without regard to case). Raises
  // ELinkMetaDataException "MetaData Not Cached!" before any Load and
  // name + " not found in cache" for an absent name.
  const RowSet& Find(const std::string& name) const;

 private:
  bool cached_ = false;
  std::map<std::string, RowSet> sets_;  // by upper-case name
};

}  // namespace mero::link
