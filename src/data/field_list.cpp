#include "data/field_list.h"

#include <string>

#include "base/text_routines.h"
#include "data/database_error.h"

namespace mero::data {

std::uint32_t TLinkFieldList::StorageWidth(link::TFieldType type, int size) {
  using namespace link;
  switch (type) {
    case ftString:
    case ftBytes:
    case ftFixedChar:
    case ftWideString:
    case ftGuid:
      return size > 0 ? static_cast<std::uint32_t>(size) : 0;
    case ftSmallint:
    case ftWord:
    case ftBoolean:
      return 2;
    case ftInteger:
    case ftTime:
    case ftVarBytes:
    case ftAutoInc:
    case ftBlob:
    case ftMemo:
    case ftGraphic:
    case ftFmtMemo:
    case ftTypedBinary:
    case ftDataSet:
      return 4;
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftDate:
    case ftDateTime:
    case ftLargeint:
      return 8;
    default:
      return 0;
  }
}

int TLinkFieldList::DefinitionSize(link::TFieldType type, int size) {
  using namespace link;
  switch (type) {
    case ftString:
    case ftBytes:
    case ftVarBytes:
    case ftFixedChar:
    case ftWideString:
    case ftDataSet:
    case ftGuid:
      return size;
    default:
      return 0;
  }
}

link::TFieldType TLinkFieldList::TypeOfCode(int code) {
  if (code < 0 || code > link::ftGuid) return link::ftUnknown;
  return static_cast<link::TFieldType>(code);
}

void TLinkFieldList::Clear() {
  entries_.clear();
  dataSize_ = 0;
}

void TLinkFieldList::Add(std::string name, link::TFieldType type, int size) {
  TLinkFieldEntry e;
  e.fieldNo = static_cast<int>(entries_.size()) + 1;
  e.name = std::move(name);
  e.type = type;
  e.size = size;
  e.width = StorageWidth(type, size);
  if (e.width > kMaxDataSize - dataSize_) {
    throw EDatabaseError("The fields need more than " + std::to_string(kMaxDataSize) + " bytes a row");
  }
  e.offset = dataSize_;
  dataSize_ += e.width;
  entries_.push_back(std::move(e));
}

int TLinkFieldList::IndexOf(std::string_view name) const {
  const std::string upper = base::UpperStr(name);
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (base::UpperStr(entries_[i].name) == upper) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace mero::data
