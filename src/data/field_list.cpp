#include "data/field_list.h"

#include <string>

#include "base/text_routines.h"
#include "data/database_error.h"

namespace mero::data {

namespace {

// What the row layout knows of a type: how its value is held, and whether
// its field definition carries the declared size.
struct TypeLayout {
  TStorageKind kind;
  bool keepsSize;
};

TypeLayout LayoutOf(link::TFieldType type) {
  using namespace link;
  using K = TStorageKind;
  switch (type) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
    case ftGuid:
      return {K::Text, true};
    case ftBytes:
      return {K::Bytes, true};
    case ftSmallint:
      return {K::Int16, false};
    case ftWord:
      return {K::Word, false};
    case ftBoolean:
      return {K::Bool, false};
    case ftInteger:
    case ftAutoInc:
      return {K::Int32, false};
    case ftLargeint:
      return {K::Int64, false};
    case ftFloat:
    case ftCurrency:
    case ftBCD:
      return {K::Double, false};
    case ftDate:
      return {K::Date, false};
    case ftTime:
      return {K::Time, false};
    case ftDateTime:
      return {K::DateTime, false};
    case ftMemo:
    case ftFmtMemo:
      return {K::Memo, false};
    case ftVarBytes:
    case ftDataSet:
      return {K::Blob, true};
    case ftBlob:
    case ftGraphic:
    case ftTypedBinary:
      return {K::Blob, false};
    default:
      return {K::None, false};
  }
}

std::uint32_t WidthOf(TStorageKind kind, int size) {
  using K = TStorageKind;
  switch (kind) {
    case K::Text:
    case K::Bytes:
      return size > 0 ? static_cast<std::uint32_t>(size) : 0;
    case K::Int16:
    case K::Word:
    case K::Bool:
      return 2;
    case K::Int32:
    case K::Time:
    case K::Memo:
    case K::Blob:
      return 4;
    case K::Int64:
    case K::Double:
    case K::Date:
    case K::DateTime:
      return 8;
    case K::None:
      break;
  }
  return 0;
}

}  // namespace

TStorageKind TLinkFieldList::StorageKind(link::TFieldType type) { return LayoutOf(type).kind; }

std::uint32_t TLinkFieldList::StorageWidth(link::TFieldType type, int size) {
  return WidthOf(LayoutOf(type).kind, size);
}

int TLinkFieldList::DefinitionSize(link::TFieldType type, int size) { return LayoutOf(type).keepsSize ? size : 0; }

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
  e.kind = StorageKind(type);
  e.width = WidthOf(e.kind, size);
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
