#include "data/memory_dataset.h"

#include <algorithm>
#include <cstring>

#include "base/text_routines.h"
#include "data/change_log_dataset.h"
#include "data/field_value.h"
#include "data/filter_expression.h"
#include "link/codec/result_set.h"

namespace mero::data {

using base::Variant;

namespace {

[[noreturn]] void Raise(const std::string& text) { throw EDatabaseError(text); }

std::string_view TextAt(const std::uint8_t* p, std::uint32_t width) {
  const char* c = reinterpret_cast<const char*>(p);
  const void* zero = std::memchr(c, 0, width);
  return {c, zero == nullptr ? width : static_cast<std::size_t>(static_cast<const char*>(zero) - c)};
}

std::vector<std::string> SplitNames(std::string_view list) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(';', start);
    if (end == std::string_view::npos) end = list.size();
    std::string name = base::StrTrim(list.substr(start, end - start));
    if (!name.empty()) names.push_back(std::move(name));
    start = end + 1;
  }
  return names;
}

}  // namespace

// Reads the values of one row block for the filter evaluator.
class TLinkCustomDataset::RowReader : public TLinkFilterTreeReader::RowValues {
 public:
  RowReader(const TLinkCustomDataset& ds, const std::uint8_t* row) : ds_(ds), row_(row) {}
  Variant Value(int fieldIndex) const override { return ds_.RowValue(row_, static_cast<std::size_t>(fieldIndex)); }

 private:
  const TLinkCustomDataset& ds_;
  const std::uint8_t* row_;
};

// Follows the master: a move or a change of the master's rows re-reads the
// detail rows.
class TLinkCustomDataset::MasterObserver : public DataSetObserver {
 public:
  explicit MasterObserver(TLinkCustomDataset& detail) : detail_(detail) {}
  void DataSetChanged(TDataSet&) override { detail_.MasterMoved(); }
  // The detail follows the master's current row: a row that comes or goes
  // elsewhere does not concern it, and when the current row is another one
  // a CursorMoved follows.
  void RowInserted(TDataSet&, int) override {}
  void RowRemoved(TDataSet&, int) override {}
  void RowChanged(TDataSet&, int) override { detail_.MasterMoved(); }
  void RecordChanged(TDataSet&, const TField*) override {}
  void CursorMoved(TDataSet&) override { detail_.MasterMoved(); }
  void StateChanged(TDataSet&) override {}
  void DataSetDestroyed(TDataSet&) override { detail_.master_ = nullptr; }

 private:
  TLinkCustomDataset& detail_;
};

TLinkCustomDataset::TLinkCustomDataset(std::string name) : TDataSet(std::move(name)) {}

TLinkCustomDataset::~TLinkCustomDataset() {
  if (master_ != nullptr && masterObserver_) master_->RemoveObserver(masterObserver_.get());
}

// Definitions

void TLinkCustomDataset::SetFastFields(std::vector<std::string> entries) {
  Close();
  fastFields_ = std::move(entries);
  fieldList_.Clear();
  rows_.SetLayout(0, 0);
  blobs_.Clear();
  boundFilter_ = nullptr;
  masterBound_ = false;
}

void TLinkCustomDataset::PrepareFieldList() {
  if (!fieldList_.Empty()) return;
  // Built aside: a definition the list refuses leaves no half list behind
  // that the row layout would not match.
  TLinkFieldList list;
  if (!fastFields_.empty()) {
    for (const std::string& entry : fastFields_) {
      const link::FieldDef def = link::ParseFastFieldsEntry(entry);
      list.Add(def.name, TLinkFieldList::TypeOfCode(def.type), def.size);
    }
  } else {
    for (int i = 0; i < FieldCount(); ++i) {
      const TField& f = Fields(i);
      list.Add(f.FieldName(), f.DataType(), f.Size());
    }
  }
  fieldList_ = std::move(list);
  rows_.SetLayout(fieldList_.DataSize(), fieldList_.Count());
  blobs_.Clear();
  editBuffer_.assign(rows_.RowSize(), 0);
  boundFilter_ = nullptr;
  masterBound_ = false;
}

const TLinkFieldEntry& TLinkCustomDataset::EntryOf(const TField& field) const {
  CheckRowRead(field);
  return fieldList_[fieldEntry_[static_cast<std::size_t>(field.Index())]];
}

void TLinkCustomDataset::CheckRowRead(const TField& field) const {
  const int index = field.Index();
  if (&field.DataSet() != this || index < 0 || static_cast<std::size_t>(index) >= fieldEntry_.size() ||
      fieldEntry_[static_cast<std::size_t>(index)] >= fieldList_.Count()) {
    Raise(errors::kFieldOffset + field.FieldName());
  }
  const TLinkFieldEntry& e = fieldList_[fieldEntry_[static_cast<std::size_t>(index)]];
  if (e.offset + e.width > fieldList_.DataSize()) Raise(errors::kFieldOffset + field.FieldName());
}

void TLinkCustomDataset::InternalOpen() {
  PrepareFieldList();
  std::vector<FieldDefinition> defs;
  defs.reserve(fieldList_.Count());
  for (const TLinkFieldEntry& e : fieldList_.Entries()) {
    defs.push_back({e.name, e.type, TLinkFieldList::DefinitionSize(e.type, e.size)});
  }
  BindFields(defs);
  fieldEntry_.assign(static_cast<std::size_t>(FieldCount()), 0);
  for (int i = 0; i < FieldCount(); ++i) {
    fieldEntry_[static_cast<std::size_t>(i)] = static_cast<std::size_t>(Fields(i).FieldNo() - 1);
  }
  editBuffer_.assign(rows_.RowSize(), 0);
  if (Filtered()) BindFilter();
}

void TLinkCustomDataset::InternalClose() {
  EmptyRows();
  rows_.ResetIds(0);
  filterRow_ = nullptr;
}

void TLinkCustomDataset::EmptyRows() {
  ForgetVisibleRows();
  const std::int32_t next = rows_.NextId();
  rows_.Clear();
  if (Active()) rows_.ResetIds(next);
  blobs_.Clear();
}

// Filling

std::size_t TLinkCustomDataset::AppendRows(const link::RowSet& set) {
  PrepareFieldList();
  if (set.FieldCount() != fieldList_.Count()) Raise("The rows do not match the field list");
  // Where each column lands in a row, worked out once for the whole set.
  struct Column {
    TStorageKind kind;
    std::uint32_t offset;
    std::uint32_t width;
    int fieldNo;
  };
  std::vector<Column> plan;
  plan.reserve(fieldList_.Count());
  for (const TLinkFieldEntry& e : fieldList_.Entries()) {
    plan.push_back({e.kind, TLinkDBList::kIdSize + e.offset, e.width, e.fieldNo});
  }

  const std::size_t n = set.RowCount();
  const std::size_t columns = plan.size();
  std::vector<std::uint32_t> nulls((columns + 31) / 32);
  rows_.Reserve(n);
  for (std::size_t r = 0; r < n; ++r) {
    const std::uint32_t slot = rows_.NewSlot(rows_.TakeNextId());
    std::uint8_t* row = rows_.Slot(slot);
    std::fill(nulls.begin(), nulls.end(), ~0u);
    for (std::size_t c = 0; c < columns; ++c) {
      const Column& col = plan[c];
      if (col.kind == TStorageKind::None || set.IsNull(r, c)) continue;
      std::uint8_t* at = row + col.offset;
      using K = TStorageKind;
      switch (col.kind) {
        case K::Text:
        case K::Bytes: {
          const std::string_view text = set.Text(r, c);
          std::memcpy(at, text.data(), std::min<std::size_t>(text.size(), col.width));
          break;
        }
        case K::Int16:
          StoreValue(at, static_cast<std::int16_t>(set.Int(r, c)));
          break;
        case K::Word:
          StoreValue(at, static_cast<std::uint16_t>(set.Int(r, c)));
          break;
        case K::Bool:
          StoreValue(at, static_cast<std::int16_t>(set.Bool(r, c) ? 1 : 0));
          break;
        case K::Int32:
        case K::Time:
          StoreValue(at, static_cast<std::int32_t>(set.Int(r, c)));
          break;
        case K::Int64:
          StoreValue(at, set.Int(r, c));
          break;
        case K::Double:
          StoreValue(at, set.Double(r, c));
          break;
        case K::Date:
          // The decoder already gives whole days within the calendar.
          StoreValue(at, static_cast<std::int64_t>(set.Double(r, c)));
          break;
        case K::DateTime:
          StoreValue(at, NormalizeDate(set.Double(r, c), link::ftDateTime));
          break;
        case K::Memo:
        case K::Blob:
          StoreValue(at, blobs_.Add(col.fieldNo, set.Text(r, c)));
          break;
        case K::None:
          break;
      }
      nulls[c >> 5] &= ~(1u << (c & 31));
    }
    std::memcpy(row + rows_.NullOffset(), nulls.data(), nulls.size() * sizeof(std::uint32_t));
    rows_.AppendSlot(slot);
  }
  if (n > 0) ForgetVisibleRows();
  if (Active() && n > 0) {
    if (CursorPos() == npos) Resync(0);
    NotifyDataSetChanged();
  }
  return n;
}

// Row blocks

Variant TLinkCustomDataset::RowValue(const std::uint8_t* row, std::size_t fieldIndex) const {
  if (rows_.IsNull(row, fieldIndex)) return Variant::Null();
  const TLinkFieldEntry& e = fieldList_[fieldIndex];
  const std::uint8_t* at = TLinkDBList::Value(row, e.offset);
  using K = TStorageKind;
  switch (e.kind) {
    case K::Text:
      return Variant::Text(std::string(TextAt(at, e.width)));
    case K::Bytes:
      return Variant::Bytes(std::string(reinterpret_cast<const char*>(at), e.width));
    case K::Int16:
      return Variant::Integer(LoadValue<std::int16_t>(at));
    case K::Word:
      return Variant::Integer(LoadValue<std::uint16_t>(at));
    case K::Bool:
      return Variant::Boolean(LoadValue<std::int16_t>(at) != 0);
    case K::Int32:
      return Variant::Integer(LoadValue<std::int32_t>(at));
    case K::Int64:
      return Variant::Int64(LoadValue<std::int64_t>(at));
    case K::Double:
      return Variant::Double(LoadValue<double>(at));
    case K::Date:
      return Variant::Date(static_cast<double>(LoadValue<std::int64_t>(at)));
    case K::Time:
      return Variant::Date(static_cast<double>(LoadValue<std::int32_t>(at)) / base::kMSecsPerDay);
    case K::DateTime:
      return Variant::Date(LoadValue<double>(at));
    case K::Memo:
      return Variant::Text(std::string(blobs_.Bytes(LoadValue<std::int32_t>(at))));
    case K::Blob:
      return Variant::Bytes(std::string(blobs_.Bytes(LoadValue<std::int32_t>(at))));
    case K::None:
      break;
  }
  return Variant::Null();
}

void TLinkCustomDataset::SetRowValue(std::uint8_t* row, std::size_t fieldIndex, const Variant& value) {
  const TLinkFieldEntry& e = fieldList_[fieldIndex];
  std::uint8_t* at = TLinkDBList::Value(row, e.offset);
  if (IsLongKind(e.kind)) {
    const std::int32_t old = LoadValue<std::int32_t>(at);
    if (old != 0) blobs_.Remove(old);
    StoreValue<std::int32_t>(at, 0);
  }
  if (value.IsNull() || value.IsEmpty() || e.width == 0) {
    std::memset(at, 0, e.width);
    rows_.SetNull(row, fieldIndex, true);
    return;
  }
  using K = TStorageKind;
  switch (e.kind) {
    case K::Text:
    case K::Bytes: {
      const std::string& text = value.AsText();
      const std::size_t n = std::min<std::size_t>(text.size(), e.width);
      std::memcpy(at, text.data(), n);
      std::memset(at + n, 0, e.width - n);
      break;
    }
    case K::Int16:
      StoreValue(at, static_cast<std::int16_t>(value.AsInteger()));
      break;
    case K::Word:
      StoreValue(at, static_cast<std::uint16_t>(value.AsInteger()));
      break;
    case K::Bool:
      StoreValue(at, static_cast<std::int16_t>(value.AsBoolean() ? 1 : 0));
      break;
    case K::Int32:
      StoreValue(at, value.AsInteger());
      break;
    case K::Int64:
      StoreValue(at, value.AsInt64());
      break;
    case K::Double:
      StoreValue(at, value.AsDouble());
      break;
    case K::Date:
      StoreValue(at, static_cast<std::int64_t>(NormalizeDate(value.AsDouble(), link::ftDate)));
      break;
    case K::Time:
      StoreValue(at, TimeMSecs(value.AsDouble()));
      break;
    case K::DateTime:
      StoreValue(at, NormalizeDate(value.AsDouble(), link::ftDateTime));
      break;
    case K::Memo:
    case K::Blob:
      StoreValue(at, blobs_.Add(e.fieldNo, value.AsText()));
      break;
    case K::None:
      break;
  }
  rows_.SetNull(row, fieldIndex, false);
}

std::vector<Variant> TLinkCustomDataset::RowValues(std::size_t pos) const {
  std::vector<Variant> values;
  values.reserve(fieldList_.Count());
  const std::uint8_t* row = rows_.Row(pos);
  for (std::size_t i = 0; i < fieldList_.Count(); ++i) values.push_back(RowValue(row, i));
  return values;
}

void TLinkCustomDataset::InsertRowWithId(std::size_t pos, std::int32_t id, const std::vector<Variant>& values) {
  const std::uint32_t slot = rows_.NewSlot(id);
  std::uint8_t* row = rows_.Slot(slot);
  for (std::size_t i = 0; i < values.size() && i < fieldList_.Count(); ++i) SetRowValue(row, i, values[i]);
  rows_.InsertSlot(pos, slot);
  if (id >= rows_.NextId()) rows_.ResetIds(id + 1);
}

void TLinkCustomDataset::FreeRowBlobs(const std::uint8_t* row) {
  for (const TLinkFieldEntry& e : fieldList_.Entries()) {
    if (!IsLongKind(e.kind)) continue;
    const std::int32_t handle = LoadValue<std::int32_t>(TLinkDBList::Value(row, e.offset));
    if (handle != 0) blobs_.Remove(handle);
  }
}

void TLinkCustomDataset::RemoveRow(std::size_t pos) {
  FreeRowBlobs(rows_.Row(pos));
  rows_.Remove(pos);
}

Variant TLinkCustomDataset::ValueAt(std::size_t pos, const TField& field) const {
  const TLinkFieldEntry& e = EntryOf(field);
  if (pos >= rows_.Count()) return Variant::Null();
  return RowValue(rows_.Row(pos), static_cast<std::size_t>(e.fieldNo - 1));
}

bool TLinkCustomDataset::IsNullAt(std::size_t pos, const TField& field) const {
  const TLinkFieldEntry& e = EntryOf(field);
  return pos >= rows_.Count() || rows_.IsNull(rows_.Row(pos), static_cast<std::size_t>(e.fieldNo - 1));
}

std::string_view TLinkCustomDataset::StoredTextAt(std::size_t pos, const TField& field) const {
  const TLinkFieldEntry& e = EntryOf(field);
  const std::size_t index = static_cast<std::size_t>(e.fieldNo - 1);
  if (e.kind != TStorageKind::Text || pos >= rows_.Count()) return {};
  const std::uint8_t* row = rows_.Row(pos);
  if (rows_.IsNull(row, index)) return {};
  return TextAt(TLinkDBList::Value(row, e.offset), e.width);
}

// The active row

const std::uint8_t* TLinkCustomDataset::ActiveRow() const {
  if (filterRow_ != nullptr) return filterRow_;
  if (State() == dsEdit || State() == dsInsert) return editBuffer_.data();
  if (CursorPos() == npos || CursorPos() >= rows_.Count()) return nullptr;
  return rows_.Row(CursorPos());
}

std::uint8_t* TLinkCustomDataset::WritableActiveRow() {
  if (State() == dsEdit || State() == dsInsert) return editBuffer_.data();
  return nullptr;
}

bool TLinkCustomDataset::FieldIsNull(const TField& field) const {
  CheckRowRead(field);
  const std::uint8_t* row = ActiveRow();
  return row == nullptr || rows_.IsNull(row, fieldEntry_[static_cast<std::size_t>(field.Index())]);
}

Variant TLinkCustomDataset::ReadField(const TField& field) const {
  CheckRowRead(field);
  const std::uint8_t* row = ActiveRow();
  if (row == nullptr) return Variant::Null();
  return RowValue(row, fieldEntry_[static_cast<std::size_t>(field.Index())]);
}

void TLinkCustomDataset::StoreField(const TField& field, const Variant& value) {
  CheckRowRead(field);
  std::uint8_t* row = WritableActiveRow();
  if (row == nullptr) Raise(errors::kNotEditing);
  const std::size_t index = fieldEntry_[static_cast<std::size_t>(field.Index())];
  const TLinkFieldEntry& e = fieldList_[index];
  if (!IsLongKind(e.kind)) {
    SetRowValue(row, index, value);
    return;
  }
  // A long value of the row being edited stays until the post: the edit
  // buffer gets an entry of its own.
  std::uint8_t* at = TLinkDBList::Value(row, e.offset);
  const std::int32_t mine = LoadValue<std::int32_t>(at);
  std::int32_t original = 0;
  if (State() == dsEdit && CursorPos() != npos) {
    original = LoadValue<std::int32_t>(TLinkDBList::Value(rows_.Row(CursorPos()), e.offset));
  }
  const bool own = mine != 0 && mine != original;
  if (value.IsNull()) {
    if (own) blobs_.Remove(mine);
    StoreValue<std::int32_t>(at, 0);
    rows_.SetNull(row, index, true);
    return;
  }
  if (own) {
    blobs_.Set(mine, value.AsText());
  } else {
    StoreValue(at, blobs_.Add(e.fieldNo, value.AsText()));
  }
  rows_.SetNull(row, index, false);
}

// Editing

void TLinkCustomDataset::InternalEdit() { std::memcpy(editBuffer_.data(), rows_.Row(CursorPos()), rows_.RowSize()); }

void TLinkCustomDataset::InternalInsert(bool append) {
  (void)append;  // InsertPos() says where the row goes
  TLinkDBList::SetId(editBuffer_.data(), -1);
  rows_.ResetValues(editBuffer_.data());
  // A new detail row takes the master's values.
  if (MasterLinked() && master_->Active()) {
    BindMaster();
    for (std::size_t i = 0; i < masterNames_.size(); ++i) {
      const TField* mf = master_->FindField(masterNames_[i]);
      if (mf == nullptr) continue;
      const TLinkFieldEntry& e = fieldList_[detailIndexes_[i]];
      Variant v = ToFieldValue(mf->Value(), e.type, e.name);
      if (e.kind == TStorageKind::Text && v.AsText().empty()) v = Variant::Null();
      SetRowValue(editBuffer_.data(), detailIndexes_[i], v);
    }
  }
}

void TLinkCustomDataset::DropEditBlobs() {
  const std::uint8_t* original = State() == dsEdit && CursorPos() != npos ? rows_.Row(CursorPos()) : nullptr;
  for (const TLinkFieldEntry& e : fieldList_.Entries()) {
    if (!IsLongKind(e.kind)) continue;
    const std::int32_t mine = LoadValue<std::int32_t>(TLinkDBList::Value(editBuffer_.data(), e.offset));
    const std::int32_t theirs = original ? LoadValue<std::int32_t>(TLinkDBList::Value(original, e.offset)) : 0;
    if (mine != 0 && mine != theirs) blobs_.Remove(mine);
  }
}

void TLinkCustomDataset::InternalPost() {
  if (State() == dsEdit) {
    std::uint8_t* row = rows_.Row(CursorPos());
    for (const TLinkFieldEntry& e : fieldList_.Entries()) {
      if (!IsLongKind(e.kind)) continue;
      const std::int32_t mine = LoadValue<std::int32_t>(TLinkDBList::Value(editBuffer_.data(), e.offset));
      const std::int32_t theirs = LoadValue<std::int32_t>(TLinkDBList::Value(row, e.offset));
      if (theirs != 0 && theirs != mine) blobs_.Remove(theirs);
    }
    const std::int32_t id = TLinkDBList::IdOf(row);
    std::memcpy(row, editBuffer_.data(), rows_.RowSize());
    TLinkDBList::SetId(row, id);
    return;
  }
  const std::uint32_t slot = rows_.NewSlot(rows_.TakeNextId());
  std::uint8_t* row = rows_.Slot(slot);
  std::memcpy(row + TLinkDBList::kIdSize, editBuffer_.data() + TLinkDBList::kIdSize,
              rows_.RowSize() - TLinkDBList::kIdSize);
  const std::size_t pos = std::min(InsertPos(), rows_.Count());
  rows_.InsertSlot(pos, slot);
  SetCursorPos(pos, false, false);
}

void TLinkCustomDataset::InternalCancel() { DropEditBlobs(); }

void TLinkCustomDataset::InternalDelete() {
  const std::size_t pos = CursorPos();
  RemoveRow(pos);
  if (rows_.Count() == 0) {
    SetCursorPos(npos, true, true);
  } else {
    SetCursorPos(std::min(pos, rows_.Count() - 1), false, false);
  }
}

// Navigation, filter and master link

int TLinkCustomDataset::RecordCount() const { return Active() ? static_cast<int>(rows_.Count()) : 0; }

int TLinkCustomDataset::RecNo() const { return TDataSet::RecNo(); }

void TLinkCustomDataset::SetRecNo(int value) { TDataSet::SetRecNo(value); }

void TLinkCustomDataset::BindFilter() {
  const std::shared_ptr<TLinkFilterTreeReader>& tree = FilterTree();
  if (!tree) {
    boundFilter_ = nullptr;
    return;
  }
  tree->Bind(
      [this](std::string_view name) -> std::optional<TLinkFilterTreeReader::FieldRef> {
        const int i = fieldList_.IndexOf(base::StrTrim(name));
        if (i < 0) return std::nullopt;
        return TLinkFilterTreeReader::FieldRef{i, fieldList_[static_cast<std::size_t>(i)].type};
      },
      [this](const std::string& name) { Raise(FieldNotFoundText(Name(), name)); });
  boundFilter_ = tree.get();
}

void TLinkCustomDataset::FilterChanged() {
  boundFilter_ = nullptr;
  if (Active()) BindFilter();
}

void TLinkCustomDataset::BindMaster() {
  if (masterBound_) return;
  const std::vector<std::string> masters = SplitNames(masterFields_);
  const std::vector<std::string> details = SplitNames(detailFilter_);
  if (masters.size() != details.size()) Raise("MasterFields and DetailFilter must name the same number of fields");
  std::vector<std::size_t> indexes;
  for (const std::string& d : details) {
    const int i = fieldList_.IndexOf(d);
    if (i < 0) Raise(FieldNotFoundText(Name(), d));
    indexes.push_back(static_cast<std::size_t>(i));
  }
  masterNames_ = masters;
  detailIndexes_ = std::move(indexes);
  masterBound_ = true;
}

bool TLinkCustomDataset::MasterAccepts(const std::uint8_t* row) {
  BindMaster();
  // Without a current master row no detail row belongs to it.
  if (!master_->Active() || master_->IsEmpty()) return false;
  for (std::size_t i = 0; i < masterNames_.size(); ++i) {
    const std::string masterText = base::UpperStr(master_->FieldByName(masterNames_[i]).AsString());
    const std::size_t d = detailIndexes_[i];
    const std::string detailText = base::UpperStr(ValueText(RowValue(row, d), fieldList_[d].type));
    if (masterText != detailText) return false;
  }
  return true;
}

bool TLinkCustomDataset::MasterLinked() const {
  return master_ != nullptr && !masterFields_.empty() && !detailFilter_.empty();
}

bool TLinkCustomDataset::RecordFilterActive() const { return Filtered() || MasterLinked(); }

bool TLinkCustomDataset::RowAccepted(std::size_t pos) {
  const std::uint8_t* row = rows_.Row(pos);
  if (MasterLinked() && !MasterAccepts(row)) return false;
  if (!Filtered()) return true;
  if (const std::shared_ptr<TLinkFilterTreeReader>& tree = FilterTree()) {
    if (boundFilter_ != tree.get()) BindFilter();
    if (!tree->Evaluate(RowReader(*this, row), FilterOptions())) return false;
  }
  if (OnFilterRecord) {
    bool accept = true;
    const std::uint8_t* savedRow = filterRow_;
    filterRow_ = row;
    const TDataSetState saved = SwapState(dsFilter);
    try {
      OnFilterRecord(accept);
    } catch (...) {
      SwapState(saved);
      filterRow_ = savedRow;
      throw;
    }
    SwapState(saved);
    filterRow_ = savedRow;
    if (!accept) return false;
  }
  return true;
}

void TLinkCustomDataset::SetMasterSource(TDataSet* master) {
  for (TDataSet* p = master; p != nullptr;) {
    if (p == this) Raise(errors::kCircularMaster);
    auto* link = dynamic_cast<TLinkCustomDataset*>(p);
    p = link != nullptr ? link->master_ : nullptr;
  }
  if (master_ == master) return;
  if (master_ != nullptr && masterObserver_) master_->RemoveObserver(masterObserver_.get());
  master_ = master;
  masterBound_ = false;
  if (master_ != nullptr) {
    if (!masterObserver_) masterObserver_ = std::make_unique<MasterObserver>(*this);
    master_->AddObserver(masterObserver_.get());
  }
  MasterMoved();
}

void TLinkCustomDataset::SetMasterFields(std::string fields) {
  masterFields_ = std::move(fields);
  masterBound_ = false;
  MasterMoved();
}

void TLinkCustomDataset::SetDetailFilter(std::string fields) {
  detailFilter_ = std::move(fields);
  masterBound_ = false;
  MasterMoved();
}

void TLinkCustomDataset::MasterMoved() {
  if (!Active() || State() != dsBrowse) return;
  First();
  NotifyDataSetChanged();
}

// Locate

bool TLinkCustomDataset::Locate(std::string_view keyFields, const std::vector<Variant>& values, unsigned options) {
  CheckBrowseMode();
  if (!Active()) return false;
  const std::vector<std::string> names = SplitNames(keyFields);
  if (names.size() != values.size() || names.empty()) {
    Raise("Locate needs one key value for each key field");
  }
  const bool caseInsensitive = (options & loCaseInsensitive) != 0;
  const bool partial = (options & loPartialKey) != 0;
  // How a key meets a row: texts by their bytes; fixed-width values by the
  // bytes they are stored as (floats by value, so that -0 equals 0); long
  // values through the value read from the row.
  enum class Match : std::uint8_t { Text, Raw, Double, Value };
  struct Key {
    std::size_t index;
    const TLinkFieldEntry* entry;
    Match match;
    Variant value;    // Null: the field must be NULL
    std::string key;  // text keys (folded when asked) or the stored bytes
    double number = 0;
  };
  std::vector<Key> keys;
  std::vector<std::uint8_t> scratch(rows_.RowSize());
  bool matchable = true;
  for (std::size_t i = 0; i < names.size(); ++i) {
    TField& f = FieldByName(names[i]);
    const TLinkFieldEntry& e = EntryOf(f);
    Key k{static_cast<std::size_t>(e.fieldNo - 1), &e, Match::Text, Variant::Null(), {}};
    if (e.kind == TStorageKind::Text) {
      if (!values[i].IsNull() && !values[i].IsEmpty()) {
        k.value = Variant::Text(ValueText(values[i], e.type));
        k.key = caseInsensitive ? base::UpperStr(k.value.AsText()) : k.value.AsText();
      }
    } else {
      try {
        k.value = ToFieldValue(values[i], e.type, e.name);
      } catch (const EDatabaseError&) {
        matchable = false;  // a key no value of the field can equal
      }
      if (IsLongKind(e.kind) || e.width == 0) {
        k.match = Match::Value;
      } else if (!k.value.IsNull()) {
        SetRowValue(scratch.data(), k.index, k.value);
        const std::uint8_t* stored = TLinkDBList::Value(scratch.data(), e.offset);
        if (e.kind == TStorageKind::Double || e.kind == TStorageKind::DateTime) {
          k.match = Match::Double;
          k.number = LoadValue<double>(stored);
        } else {
          k.match = Match::Raw;
          k.key.assign(reinterpret_cast<const char*>(stored), e.width);
        }
      }
    }
    keys.push_back(std::move(k));
  }
  if (!matchable) return false;

  const bool filtering = RecordFilterActive();
  std::size_t found = npos;
  DisabledControls quiet(*this);
  const std::size_t count = rows_.Count();
  for (std::size_t pos = 0; pos < count && found == npos; ++pos) {
    const std::uint8_t* row = rows_.Row(pos);
    bool match = true;
    for (const Key& k : keys) {
      const bool isNull = rows_.IsNull(row, k.index);
      if (k.value.IsNull()) {
        match = isNull;
      } else if (isNull) {
        match = false;
      } else {
        const std::uint8_t* at = TLinkDBList::Value(row, k.entry->offset);
        switch (k.match) {
          case Match::Text: {
            const std::string_view text = TextAt(at, k.entry->width);
            if (text.size() < k.key.size() || (!partial && text.size() != k.key.size())) {
              match = false;
            } else if (caseInsensitive) {
              for (std::size_t c = 0; c < k.key.size() && match; ++c) match = base::UpperChar(text[c]) == k.key[c];
            } else {
              match = std::memcmp(text.data(), k.key.data(), k.key.size()) == 0;
            }
            break;
          }
          case Match::Raw:
            match = std::memcmp(at, k.key.data(), k.key.size()) == 0;
            break;
          case Match::Double:
            match = LoadValue<double>(at) == k.number;
            break;
          case Match::Value:
            match = RowValue(row, k.index) == k.value;
            break;
        }
      }
      if (!match) break;
    }
    if (match && (!filtering || RowAccepted(pos))) found = pos;
  }
  if (found != npos) MoveTo(found);
  return found != npos;
}

// Copying

void TLinkCustomDataset::LoadFromDataSet(TDataSet& source) {
  if (&source == this) return;
  Close();
  std::vector<std::string> entries;
  for (int i = 0; i < source.FieldCount(); ++i) {
    const TField& f = source.Fields(i);
    const link::TFieldType type = f.DataType() == link::ftBCD ? link::ftFloat : f.DataType();
    entries.push_back(link::FastFieldsEntry({f.FieldName(), type, f.Size()}));
  }
  DestroyFields();
  SetFastFields(std::move(entries));
  Open();
  if (!source.Active()) return;
  {
    DisabledControls quiet(source);
    const TBookmark mark = source.GetBookmark();
    source.First();
    while (!source.Eof()) {
      const std::uint32_t slot = rows_.NewSlot(rows_.TakeNextId());
      std::uint8_t* row = rows_.Slot(slot);
      for (int i = 0; i < source.FieldCount(); ++i) {
        const TLinkFieldEntry& e = fieldList_[static_cast<std::size_t>(i)];
        SetRowValue(row, static_cast<std::size_t>(i), ToFieldValue(source.Fields(i).Value(), e.type, e.name));
      }
      rows_.AppendSlot(slot);
      source.Next();
    }
    if (source.BookmarkValid(mark)) source.GotoBookmark(mark);
  }
  Resync(0);
  NotifyDataSetChanged();
}

void TLinkCustomDataset::CopyShownRows(TLinkCustomDataset& source) {
  if (&source == this) return;
  Close();
  std::vector<std::string> entries;
  std::vector<const TField*> from;
  for (int i = 0; i < source.FieldCount(); ++i) {
    const TField& f = source.Fields(i);
    const link::TFieldType type = f.DataType() == link::ftBCD ? link::ftFloat : f.DataType();
    entries.push_back(link::FastFieldsEntry({f.FieldName(), type, f.Size()}));
    from.push_back(&f);
  }
  DestroyFields();
  SetFastFields(std::move(entries));
  Open();
  if (source.Active()) {
    const int shown = source.VisibleRowCount();
    rows_.Reserve(static_cast<std::size_t>(shown));
    for (int v = 0; v < shown; ++v) {
      const std::optional<std::size_t> pos = source.VisibleRow(v);
      if (!pos) continue;
      const std::uint32_t slot = rows_.NewSlot(rows_.TakeNextId());
      std::uint8_t* row = rows_.Slot(slot);
      for (std::size_t i = 0; i < from.size(); ++i) {
        const TLinkFieldEntry& e = fieldList_[i];
        SetRowValue(row, i, ToFieldValue(source.ValueAt(*pos, *from[i]), e.type, e.name));
      }
      rows_.AppendSlot(slot);
    }
  }
  Resync(0);
  NotifyDataSetChanged();
}

const TLinkDataSet* TLinkCustomDataset::SavedChangeLog() const { return nullptr; }

void TLinkCustomDataset::LoadedChangeLog(std::unique_ptr<TLinkDataSet> log) { (void)log; }

}  // namespace mero::data
