#include "data/change_log_dataset.h"

#include "data/field_value.h"
#include "link/codec/result_set.h"

namespace mero::data {

using base::Variant;

namespace {

// Two values differ when exactly one is NULL or their texts differ.
bool Differ(const Variant& a, const Variant& b, link::TFieldType type) {
  if (a.IsNull() != b.IsNull()) return true;
  if (a.IsNull()) return false;
  return ValueText(a, type) != ValueText(b, type);
}

}  // namespace

TLink2CustomAuditDataSet::TLink2CustomAuditDataSet(std::string name)
    : TLinkCustomDataset(std::move(name)), log_(std::make_unique<TLinkDataSet>(Name() + "Log")) {}

TLink2CustomAuditDataSet::~TLink2CustomAuditDataSet() = default;

void TLink2CustomAuditDataSet::SetUpdateMethod(TUpdateMethod method) {
  updateMethod_ = method;
  if (method == umManual && log_ && log_->Active()) {
    log_->EmptyRows();
    pendingEntry_ = -1;
  }
}

// The log

void TLink2CustomAuditDataSet::PrepareLog() {
  std::vector<std::string> entries;
  for (const TLinkFieldEntry& e : FieldList().Entries()) {
    entries.push_back(link::FastFieldsEntry({e.name, e.type, e.size}));
  }
  entries.push_back("BookMark,3,0");
  entries.push_back("Delta,3,0");
  if (!log_) log_ = std::make_unique<TLinkDataSet>(Name() + "Log");
  if (log_->FastFields() != entries) log_->SetFastFields(std::move(entries));
  log_->Open();
  log_->EmptyRows();
  pendingEntry_ = -1;
}

const std::uint8_t* TLink2CustomAuditDataSet::EntryRow(int entry) const {
  if (entry < 0 || entry >= ChangeCount()) {
    throw EDatabaseError("Change log entry " + std::to_string(entry) + " does not exist");
  }
  return log_->Rows().Row(static_cast<std::size_t>(entry));
}

int TLink2CustomAuditDataSet::ChangeCount() const {
  return log_ && log_->Active() ? static_cast<int>(log_->Rows().Count()) : 0;
}

TLogDelta TLink2CustomAuditDataSet::EntryDelta(int entry) const {
  const std::size_t n = FieldList().Count();
  return static_cast<TLogDelta>(log_->RowValue(EntryRow(entry), n + 1).AsInteger());
}

std::optional<std::int32_t> TLink2CustomAuditDataSet::EntryBookmark(int entry) const {
  const Variant v = log_->RowValue(EntryRow(entry), FieldList().Count());
  if (v.IsNull()) return std::nullopt;
  return v.AsInteger();
}

Variant TLink2CustomAuditDataSet::LoggedValue(int entry, const TField& field) const {
  const TLinkFieldEntry& e = EntryOf(field);
  return log_->RowValue(EntryRow(entry), static_cast<std::size_t>(e.fieldNo - 1));
}

std::string TLink2CustomAuditDataSet::LoggedText(int entry, const TField& field) const {
  return ValueText(LoggedValue(entry, field), field.DataType());
}

bool TLink2CustomAuditDataSet::FieldChanged(int entry, const TField& field) const {
  const std::optional<std::int32_t> id = EntryBookmark(entry);
  if (!id) return false;
  const std::optional<std::size_t> pos = Rows().PositionOf(*id);
  if (!pos) return false;
  const TLinkFieldEntry& e = EntryOf(field);
  const std::size_t index = static_cast<std::size_t>(e.fieldNo - 1);
  return Differ(RowValue(Rows().Row(*pos), index), LoggedValue(entry, field), e.type);
}

int TLink2CustomAuditDataSet::EntryOfRow(std::int32_t id) const {
  if (!log_ || !log_->Active()) return -1;
  const std::size_t bookmark = FieldList().Count();
  const TLinkDBList& rows = log_->Rows();
  for (std::size_t i = 0; i < rows.Count(); ++i) {
    const Variant v = log_->RowValue(rows.Row(i), bookmark);
    if (!v.IsNull() && v.AsInteger() == id) return static_cast<int>(i);
  }
  return -1;
}

void TLink2CustomAuditDataSet::AppendEntry(TLogDelta delta, std::optional<std::int32_t> id,
                                           const std::vector<Variant>& values) {
  std::vector<Variant> row = values;
  row.resize(FieldList().Count(), Variant::Null());
  row.push_back(id ? Variant::Integer(*id) : Variant::Null());
  row.push_back(Variant::Integer(delta));
  log_->InsertRowWithId(log_->Rows().Count(), log_->Rows().TakeNextId(), row);
}

void TLink2CustomAuditDataSet::RemoveEntry(int entry) {
  log_->RemoveRow(static_cast<std::size_t>(entry));
  if (pendingEntry_ == entry) {
    pendingEntry_ = -1;
  } else if (pendingEntry_ > entry) {
    --pendingEntry_;
  }
}

void TLink2CustomAuditDataSet::ClearChangeLog() {
  if (log_ && log_->Active()) log_->EmptyRows();
  pendingEntry_ = -1;
}

bool TLink2CustomAuditDataSet::EditDiffersFromLog(int entry) const {
  const std::uint8_t* logged = log_->Rows().Row(static_cast<std::size_t>(entry));
  for (std::size_t i = 0; i < FieldList().Count(); ++i) {
    if (Differ(RowValue(EditBuffer(), i), log_->RowValue(logged, i), FieldList()[i].type)) return true;
  }
  return false;
}

// Upkeep

void TLink2CustomAuditDataSet::InternalOpen() {
  TLinkCustomDataset::InternalOpen();
  PrepareLog();
}

void TLink2CustomAuditDataSet::InternalClose() {
  TLinkCustomDataset::InternalClose();
  if (log_) log_->Close();
  pendingEntry_ = -1;
}

void TLink2CustomAuditDataSet::InternalEdit() {
  TLinkCustomDataset::InternalEdit();
  pendingEntry_ = -1;
  if (!Logging()) return;
  const std::int32_t id = RowId(CursorPos());
  if (EntryOfRow(id) >= 0) return;
  AppendEntry(ldModified, id, RowValues(CursorPos()));
  pendingEntry_ = ChangeCount() - 1;
}

void TLink2CustomAuditDataSet::InternalInsert(bool append) {
  TLinkCustomDataset::InternalInsert(append);
  pendingEntry_ = -1;
  if (!Logging()) return;
  AppendEntry(ldInserted, std::nullopt, {});
  pendingEntry_ = ChangeCount() - 1;
}

void TLink2CustomAuditDataSet::InternalPost() {
  const bool inserting = State() == dsInsert;
  int entry = -1;
  if (!inserting && Logging()) {
    entry = EntryOfRow(RowId(CursorPos()));
    // Only a modification can turn out to be no change at all: an inserted
    // row stays an insert whatever its values.
    if (entry >= 0 && EntryDelta(entry) == ldModified && !EditDiffersFromLog(entry)) {
      RemoveEntry(entry);
      entry = -1;
    }
  }
  TLinkCustomDataset::InternalPost();
  // An inserted row's entry holds the row as posted: at its first post, and
  // again after every later edit, since the server has not seen it yet.
  if (inserting && Logging() && pendingEntry_ >= 0) {
    entry = pendingEntry_;
  } else if (entry >= 0 && EntryDelta(entry) != ldInserted) {
    entry = -1;
  }
  if (entry >= 0) {
    const std::int32_t id = RowId(CursorPos());
    std::vector<Variant> values = RowValues(CursorPos());
    std::uint8_t* logged = log_->Rows().Row(static_cast<std::size_t>(entry));
    for (std::size_t i = 0; i < values.size(); ++i) log_->SetRowValue(logged, i, values[i]);
    log_->SetRowValue(logged, values.size(), Variant::Integer(id));
  }
  pendingEntry_ = -1;
}

void TLink2CustomAuditDataSet::InternalCancel() {
  if (pendingEntry_ >= 0) RemoveEntry(pendingEntry_);
  pendingEntry_ = -1;
  TLinkCustomDataset::InternalCancel();
}

void TLink2CustomAuditDataSet::InternalDelete() {
  if (Logging()) {
    const std::int32_t id = RowId(CursorPos());
    const int entry = EntryOfRow(id);
    if (entry < 0) {
      AppendEntry(ldDeleted, id, RowValues(CursorPos()));
    } else if (EntryDelta(entry) == ldInserted) {
      RemoveEntry(entry);
    } else {
      log_->SetRowValue(log_->Rows().Row(static_cast<std::size_t>(entry)), FieldList().Count() + 1,
                        Variant::Integer(ldDeleted));
    }
  }
  TLinkCustomDataset::InternalDelete();
}

TUpdateStatus TLink2CustomAuditDataSet::UpdateStatus() const {
  if (!Active()) return usUnmodified;
  if (State() == dsInsert) return usInserted;
  if (CursorPos() == npos) return usUnmodified;
  const int entry = EntryOfRow(RowId(CursorPos()));
  if (entry < 0) return usUnmodified;
  switch (EntryDelta(entry)) {
    case ldInserted:
      return usInserted;
    case ldModified:
      if (State() == dsEdit) return EditDiffersFromLog(entry) ? usModified : usUnmodified;
      return usModified;
    default:
      return usUnmodified;
  }
}

// Undo

void TLink2CustomAuditDataSet::RevertEntries(const std::vector<int>& entries) {
  const std::size_t n = FieldList().Count();
  for (const int entry : entries) {
    const TLogDelta delta = EntryDelta(entry);
    const std::optional<std::int32_t> id = EntryBookmark(entry);
    if (!id) continue;
    const std::uint8_t* logged = log_->Rows().Row(static_cast<std::size_t>(entry));
    switch (delta) {
      case ldModified:
        if (const std::optional<std::size_t> pos = Rows().PositionOf(*id)) {
          std::uint8_t* row = Rows().Row(*pos);
          for (std::size_t i = 0; i < n; ++i) SetRowValue(row, i, log_->RowValue(logged, i));
        }
        break;
      case ldDeleted: {
        std::size_t pos = 0;
        while (pos < Rows().Count() && Rows().Id(pos) <= *id) ++pos;
        std::vector<Variant> values;
        values.reserve(n);
        for (std::size_t i = 0; i < n; ++i) values.push_back(log_->RowValue(logged, i));
        InsertRowWithId(pos, *id, values);
        break;
      }
      case ldInserted:
        if (const std::optional<std::size_t> pos = Rows().PositionOf(*id)) RemoveRow(*pos);
        break;
    }
  }
}

void TLink2CustomAuditDataSet::RevertAll() {
  if (!Active()) return;
  if (State() == dsEdit || State() == dsInsert) {
    InternalCancel();
    SetModified(false);
    SetState(dsBrowse);
  }
  const TBookmark current = GetBookmark();
  const std::size_t oldPos = CursorPos();
  std::vector<int> all;
  for (int i = 0; i < ChangeCount(); ++i) all.push_back(i);
  RevertEntries(all);
  ClearChangeLog();
  const std::optional<std::size_t> pos = current ? Rows().PositionOf(*current) : std::nullopt;
  Resync(pos ? *pos : oldPos);
  NotifyDataSetChanged();
}

void TLink2CustomAuditDataSet::RevertRecord() {
  if (!Active()) return;
  if (State() == dsEdit || State() == dsInsert) {
    InternalCancel();
    SetModified(false);
    SetState(dsBrowse);
  }
  if (CursorPos() != npos) {
    const std::size_t oldPos = CursorPos();
    const int entry = EntryOfRow(RowId(oldPos));
    if (entry >= 0) {
      RevertEntries({entry});
      RemoveEntry(entry);
      Resync(oldPos);
    }
  }
  NotifyDataSetChanged();
}

const TLinkDataSet* TLink2CustomAuditDataSet::SavedChangeLog() const {
  return log_ && log_->Active() ? log_.get() : nullptr;
}

void TLink2CustomAuditDataSet::LoadedChangeLog(std::unique_ptr<TLinkDataSet> log) {
  if (!log || !log_ || log->FieldList().Count() != FieldList().Count() + 2) return;
  log_->EmptyRows();
  const std::size_t n = log->FieldList().Count();
  for (std::size_t pos = 0; pos < log->Rows().Count(); ++pos) {
    std::vector<Variant> values;
    for (std::size_t i = 0; i < n; ++i) values.push_back(log->RowValue(log->Rows().Row(pos), i));
    log_->InsertRowWithId(log_->Rows().Count(), log_->Rows().TakeNextId(), values);
  }
}

}  // namespace mero::data
