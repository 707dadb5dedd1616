#include "data/dataset.h"

#include <algorithm>

#include "base/text_routines.h"
#include "data/field_value.h"
#include "data/filter_expression.h"

namespace mero::data {

using base::Variant;

namespace {

[[noreturn]] void Raise(const std::string& text) { throw EDatabaseError(text); }

bool EditCapable(TDataSetState s) {
  return s == dsEdit || s == dsInsert || s == dsSetKey || s == dsCalcFields || s == dsFilter || s == dsNewValue;
}

}  // namespace

TDataSet::TDataSet(std::string name) : name_(std::move(name)) {}

TDataSet::~TDataSet() {
  const std::vector<DataSetObserver*> observers = observers_;
  for (DataSetObserver* o : observers) o->DataSetDestroyed(*this);
}

// Fields

TField& TDataSet::Fields(int index) const {
  if (index < 0 || index >= FieldCount()) Raise("Field index out of range");
  return *fields_[static_cast<std::size_t>(index)];
}

TField* TDataSet::FindField(std::string_view name) const {
  const std::string upper = base::UpperStr(base::StrTrim(name));
  for (const auto& f : fields_) {
    if (base::UpperStr(f->FieldName()) == upper) return f.get();
  }
  return nullptr;
}

TField& TDataSet::FieldByName(std::string_view name) const {
  TField* f = FindField(name);
  if (f == nullptr) Raise(FieldNotFoundText(name_, std::string(name)));
  return *f;
}

TField& TDataSet::AddField(std::string name, link::TFieldType type, int size) {
  if (Active()) Raise("Cannot perform this operation on an open dataset");
  if (!fields_.empty() && !fields_.front()->persistent_) fields_.clear();
  if (FindField(name) != nullptr) Raise("Duplicate field name '" + name + "'");
  auto field = std::make_unique<TField>(*this, std::move(name), type, size);
  field->persistent_ = true;
  field->index_ = static_cast<int>(fields_.size());
  fields_.push_back(std::move(field));
  return *fields_.back();
}

void TDataSet::DestroyFields() {
  if (Active()) Raise("Cannot perform this operation on an open dataset");
  fields_.clear();
}

bool TDataSet::HasPersistentFields() const { return !fields_.empty() && fields_.front()->persistent_; }

void TDataSet::BindFields(const std::vector<FieldDefinition>& definitions) {
  auto sameName = [](const std::string& a, const std::string& b) { return base::UpperStr(a) == base::UpperStr(b); };
  if (HasPersistentFields()) {
    for (const auto& f : fields_) {
      f->fieldNo_ = 0;
      for (std::size_t i = 0; i < definitions.size(); ++i) {
        if (sameName(definitions[i].name, f->FieldName()) && definitions[i].type == f->DataType()) {
          f->fieldNo_ = static_cast<int>(i) + 1;
          break;
        }
      }
      if (f->fieldNo_ == 0) Raise(FieldNotFoundText(name_, f->FieldName()));
    }
    return;
  }
  bool same = fields_.size() == definitions.size();
  for (std::size_t i = 0; same && i < definitions.size(); ++i) {
    same = fields_[i]->FieldName() == definitions[i].name && fields_[i]->DataType() == definitions[i].type &&
           fields_[i]->Size() == definitions[i].size;
  }
  if (same) return;
  fields_.clear();
  for (std::size_t i = 0; i < definitions.size(); ++i) {
    auto field = std::make_unique<TField>(*this, definitions[i].name, definitions[i].type, definitions[i].size);
    field->fieldNo_ = static_cast<int>(i) + 1;
    field->index_ = static_cast<int>(i);
    fields_.push_back(std::move(field));
  }
}

// Opening and closing

void TDataSet::Open() {
  if (Active()) return;
  DoBeforeOpen();
  state_ = dsOpening;
  try {
    InternalOpen();
  } catch (...) {
    state_ = dsInactive;
    try {
      InternalClose();
    } catch (...) {
    }
    throw;
  }
  modified_ = false;
  state_ = dsBrowse;
  Resync(0);
  bof_ = true;
  NotifyStateChanged();
  NotifyDataSetChanged();
  DoAfterOpen();
  DoAfterScroll();
}

void TDataSet::Close() {
  if (!Active()) return;
  DoBeforeClose();
  if (state_ == dsEdit || state_ == dsInsert) InternalCancel();
  InternalClose();
  state_ = dsInactive;
  modified_ = false;
  SetCursorPos(npos, true, true);
  NotifyStateChanged();
  NotifyDataSetChanged();
  DoAfterClose();
}

// Navigation

std::size_t TDataSet::FindAccepted(std::size_t from, int direction) {
  const std::size_t count = InternalRowCount();
  if (from == npos || from >= count) return npos;
  for (std::size_t pos = from;; pos += static_cast<std::size_t>(direction)) {
    if (RowAccepted(pos)) return pos;
    if ((direction < 0 && pos == 0) || (direction > 0 && pos + 1 >= count)) return npos;
  }
}

void TDataSet::SetCursorPos(std::size_t pos, bool bof, bool eof) {
  cursor_ = pos;
  bof_ = bof;
  eof_ = eof;
}

void TDataSet::Resync(std::size_t pos) {
  const std::size_t count = InternalRowCount();
  if (count == 0) {
    SetCursorPos(npos, true, true);
    return;
  }
  if (pos == npos || pos >= count) pos = count - 1;
  std::size_t found = FindAccepted(pos, +1);
  if (found == npos && pos > 0) found = FindAccepted(pos - 1, -1);
  if (found == npos) {
    SetCursorPos(npos, true, true);
  } else {
    SetCursorPos(found, false, false);
  }
}

void TDataSet::ScrollTo(std::size_t pos, bool bof, bool eof) {
  const bool moved = pos != cursor_;
  SetCursorPos(pos, bof, eof);
  if (moved) NotifyCursorMoved();
  DoAfterScroll();
}

void TDataSet::MoveTo(std::size_t pos) {
  DoBeforeScroll();
  const std::size_t old = cursor_;
  Resync(pos);
  const std::size_t now = cursor_;
  cursor_ = old;
  ScrollTo(now, now == npos, now == npos);
}

void TDataSet::First() {
  CheckBrowseMode();
  if (!Active()) return;
  DoBeforeScroll();
  const std::size_t pos = FindAccepted(0, +1);
  ScrollTo(pos, true, pos == npos);
}

void TDataSet::Last() {
  CheckBrowseMode();
  if (!Active()) return;
  DoBeforeScroll();
  FetchMore(true);
  const std::size_t count = InternalRowCount();
  const std::size_t pos = count == 0 ? npos : FindAccepted(count - 1, -1);
  ScrollTo(pos, pos == npos, true);
}

int TDataSet::MoveBy(int distance) {
  CheckBrowseMode();
  if (!Active() || distance == 0) return 0;
  if ((distance > 0 && eof_) || (distance < 0 && bof_)) return 0;
  DoBeforeScroll();
  int moved = 0;
  std::size_t pos = cursor_;
  bool bof = false;
  bool eof = false;
  while (moved != distance) {
    std::size_t next;
    if (distance > 0) {
      next = pos == npos ? FindAccepted(0, +1) : FindAccepted(pos + 1, +1);
      while (next == npos && FetchMore(false)) next = pos == npos ? FindAccepted(0, +1) : FindAccepted(pos + 1, +1);
      if (next == npos) {
        eof = true;
        break;
      }
      ++moved;
    } else {
      next = pos == npos || pos == 0 ? npos : FindAccepted(pos - 1, -1);
      if (next == npos) {
        bof = true;
        break;
      }
      --moved;
    }
    pos = next;
  }
  if (pos == npos) {
    bof = true;
    eof = true;
  }
  ScrollTo(pos, bof, eof);
  return moved;
}

void TDataSet::Next() { MoveBy(1); }

void TDataSet::Prior() { MoveBy(-1); }

bool TDataSet::IsEmpty() {
  if (!Active()) return true;
  if (cursor_ != npos || state_ == dsInsert) return false;
  return FindAccepted(0, +1) == npos;
}

int TDataSet::RecNo() const { return cursor_ == npos ? 0 : static_cast<int>(cursor_) + 1; }

void TDataSet::SetRecNo(int value) {
  CheckBrowseMode();
  if (!Active() || value < 1 || static_cast<std::size_t>(value) > InternalRowCount()) return;
  MoveTo(static_cast<std::size_t>(value) - 1);
}

void TDataSet::Refresh() {
  CheckBrowseMode();
  if (!Active()) return;
  Resync(cursor_ == npos ? 0 : cursor_);
  NotifyDataSetChanged();
}

bool TDataSet::FetchMore(bool toLast) {
  (void)toLast;
  return false;
}

// Editing

void TDataSet::Edit() {
  if (state_ == dsEdit || state_ == dsInsert) return;
  if (!Active()) Raise("Cannot perform this operation on a closed dataset");
  if (readOnly_) Raise("Cannot modify a read-only dataset");
  if (cursor_ == npos) {
    Insert();
    return;
  }
  DoBeforeEdit();
  InternalEdit();
  modified_ = false;
  SetState(dsEdit);
  NotifyRecordChanged(nullptr);
  DoAfterEdit();
}

void TDataSet::Insert() { InsertRow(false); }

void TDataSet::Append() { InsertRow(true); }

void TDataSet::InsertRow(bool append) {
  CheckBrowseMode();
  if (!Active()) Raise("Cannot perform this operation on a closed dataset");
  if (readOnly_) Raise("Cannot modify a read-only dataset");
  DoBeforeInsert();
  DoBeforeScroll();
  const std::size_t count = InternalRowCount();
  insertPos_ = append || cursor_ == npos ? count : cursor_;
  if (cursor_ == npos && !append && count > 0) insertPos_ = 0;
  InternalInsert(append);
  modified_ = false;
  state_ = dsInsert;
  if (RowsFollowed()) NotifyRowInserted(InsertedRowPos());
  NotifyStateChanged();
  NotifyCursorMoved();
  DoOnNewRecord();
  NotifyRecordChanged(nullptr);
  DoAfterInsert();
  DoAfterScroll();
}

template <typename Op>
void TDataSet::RunWithErrorEvent(const std::function<void(const EDatabaseError&, TDataAction&)>& handler, Op op) {
  while (true) {
    try {
      op();
      return;
    } catch (const EDatabaseError& e) {
      TDataAction action = TDataAction::daFail;
      if (handler) handler(e, action);
      if (action == TDataAction::daFail) throw;
      if (action == TDataAction::daAbort) throw EAbort();
    }
  }
}

void TDataSet::CheckRequiredFields() {
  for (const auto& f : fields_) {
    if (f->Required() && !f->ReadOnly() && f->IsNull()) Raise("Field '" + f->DisplayLabel() + "' must have a value");
  }
}

void TDataSet::Post() {
  if (state_ != dsEdit && state_ != dsInsert) return;
  DoBeforePost();
  if (state_ != dsEdit && state_ != dsInsert) return;
  const bool inserting = state_ == dsInsert;
  const bool followed = RowsFollowed();
  const std::size_t count = InternalRowCount();
  const int shownAt = !followed ? -1 : inserting ? InsertedRowPos() : VisiblePosOf(cursor_);
  RunWithErrorEvent(OnPostError, [this] {
    CheckRequiredFields();
    InternalPost();
  });
  modified_ = false;
  state_ = dsBrowse;
  // The posted row: written in place, or put into the list with the cursor
  // on it. Anything else the step did is beyond a row notification.
  const std::size_t pos = cursor_;
  const bool described = followed && pos != npos && InternalRowCount() == count + (inserting ? 1 : 0);
  bool shown = false;
  if (described) {
    shown = !RecordFilterActive() || RowAccepted(pos);
    if (inserting) {
      IndexRowAdded(pos, shown);
    } else {
      IndexRowShown(pos, shown);
    }
  } else {
    ForgetVisibleRows();
  }
  Resync(pos);
  if (!described) {
    NotifyStateChanged();
    NotifyDataSetChanged();
  } else {
    const bool wasShown = shownAt >= 0;
    if (inserting && shown) {
      NotifyRowChanged(shownAt);
    } else if (wasShown && !shown) {
      NotifyRowRemoved(shownAt);
    } else if (!wasShown && shown) {
      NotifyRowInserted(VisiblePosOf(pos));
    }
    NotifyStateChanged();
    if (cursor_ != pos) NotifyCursorMoved();
    if (!inserting && wasShown && shown) NotifyRowChanged(shownAt);
  }
  DoAfterPost();
}

int TDataSet::DropEdit() {
  const int shownAt = RowsFollowed() ? VisiblePosOf(cursor_) : -1;
  InternalCancel();
  modified_ = false;
  state_ = dsBrowse;
  return shownAt;
}

void TDataSet::Cancel() {
  if (state_ != dsEdit && state_ != dsInsert) return;
  DoBeforeCancel();
  if (state_ == dsInsert) {
    const int shownAt = RowsFollowed() ? InsertedRowPos() : -1;
    InternalCancel();
    modified_ = false;
    state_ = dsBrowse;
    Resync(cursor_);
    if (shownAt >= 0) NotifyRowRemoved(shownAt);
    NotifyStateChanged();
    NotifyCursorMoved();
  } else {
    const int shownAt = DropEdit();
    const std::size_t pos = cursor_;
    Resync(pos);
    NotifyStateChanged();
    if (cursor_ != pos) NotifyCursorMoved();
    if (shownAt >= 0) NotifyRowChanged(shownAt);
  }
  DoAfterCancel();
}

void TDataSet::Delete() {
  if (!Active()) Raise("Cannot perform this operation on a closed dataset");
  if (state_ == dsInsert) {
    Cancel();
    return;
  }
  if (readOnly_) Raise("Cannot modify a read-only dataset");
  if (cursor_ == npos) Raise("Cannot perform this operation on an empty dataset");
  if (state_ == dsEdit) {
    const int shownAt = DropEdit();
    NotifyStateChanged();
    if (shownAt >= 0) NotifyRowChanged(shownAt);
  }
  DoBeforeDelete();
  DoBeforeScroll();
  const bool followed = RowsFollowed();
  const std::size_t pos = cursor_;
  const std::size_t count = InternalRowCount();
  const int shownAt = followed ? VisiblePosOf(pos) : -1;
  RunWithErrorEvent(OnDeleteError, [this] { InternalDelete(); });
  const bool described = followed && InternalRowCount() + 1 == count;
  if (described) {
    IndexRowDeleted(pos);
  } else {
    ForgetVisibleRows();
  }
  Resync(cursor_);
  if (!described) {
    NotifyDataSetChanged();
  } else {
    if (shownAt >= 0) NotifyRowRemoved(shownAt);
    NotifyCursorMoved();
  }
  DoAfterDelete();
  DoAfterScroll();
}

void TDataSet::CheckBrowseMode() {
  if (state_ == dsEdit || state_ == dsInsert) {
    if (modified_) {
      Post();
    } else {
      Cancel();
    }
  }
}

// Visible rows

void TDataSet::ForgetVisibleRows() {
  visibleRows_.clear();
  visibleBuilt_ = false;
}

const std::vector<std::size_t>& TDataSet::VisibleIndex() {
  if (!visibleBuilt_) {
    visibleRows_.clear();
    const std::size_t count = InternalRowCount();
    for (std::size_t pos = 0; pos < count; ++pos) {
      if (RowAccepted(pos)) visibleRows_.push_back(pos);
    }
    visibleBuilt_ = true;
  }
  return visibleRows_;
}

std::size_t TDataSet::VisibleBefore(std::size_t pos) {
  if (!RecordFilterActive()) return std::min(pos, InternalRowCount());
  const std::vector<std::size_t>& rows = VisibleIndex();
  return static_cast<std::size_t>(std::lower_bound(rows.begin(), rows.end(), pos) - rows.begin());
}

int TDataSet::VisibleRowCount() {
  if (!Active()) return 0;
  const std::size_t stored = RecordFilterActive() ? VisibleIndex().size() : InternalRowCount();
  return static_cast<int>(stored) + (state_ == dsInsert ? 1 : 0);
}

int TDataSet::InsertedRowPos() {
  if (state_ != dsInsert) return -1;
  return static_cast<int>(VisibleBefore(insertPos_));
}

std::optional<std::size_t> TDataSet::VisibleRow(int visiblePos) {
  if (!Active() || visiblePos < 0) return std::nullopt;
  const int inserted = InsertedRowPos();
  if (inserted >= 0) {
    if (visiblePos == inserted) return std::nullopt;
    if (visiblePos > inserted) --visiblePos;
  }
  const auto at = static_cast<std::size_t>(visiblePos);
  if (!RecordFilterActive()) {
    if (at < InternalRowCount()) return at;
    return std::nullopt;
  }
  const std::vector<std::size_t>& rows = VisibleIndex();
  if (at < rows.size()) return rows[at];
  return std::nullopt;
}

int TDataSet::VisiblePosOf(std::size_t rowPos) {
  if (!Active() || rowPos >= InternalRowCount()) return -1;
  std::size_t shown = rowPos;
  if (RecordFilterActive()) {
    const std::vector<std::size_t>& rows = VisibleIndex();
    const auto it = std::lower_bound(rows.begin(), rows.end(), rowPos);
    if (it == rows.end() || *it != rowPos) return -1;
    shown = static_cast<std::size_t>(it - rows.begin());
  }
  int visiblePos = static_cast<int>(shown);
  const int inserted = InsertedRowPos();
  if (inserted >= 0 && visiblePos >= inserted) ++visiblePos;
  return visiblePos;
}

int TDataSet::CurrentVisiblePos() {
  if (state_ == dsInsert) return InsertedRowPos();
  if (!Active() || cursor_ == npos) return -1;
  return VisiblePosOf(cursor_);
}

TBookmark TDataSet::BookmarkAt(std::size_t rowPos) const {
  if (!Active() || rowPos >= InternalRowCount()) return std::nullopt;
  return RowId(rowPos);
}

void TDataSet::IndexRowAdded(std::size_t pos, bool shown) {
  if (!visibleBuilt_) return;
  auto it = std::lower_bound(visibleRows_.begin(), visibleRows_.end(), pos);
  for (auto later = it; later != visibleRows_.end(); ++later) ++*later;
  if (shown) visibleRows_.insert(it, pos);
}

void TDataSet::IndexRowDeleted(std::size_t pos) {
  if (!visibleBuilt_) return;
  auto it = std::lower_bound(visibleRows_.begin(), visibleRows_.end(), pos);
  if (it != visibleRows_.end() && *it == pos) it = visibleRows_.erase(it);
  for (; it != visibleRows_.end(); ++it) --*it;
}

void TDataSet::IndexRowShown(std::size_t pos, bool shown) {
  if (!visibleBuilt_) return;
  const auto it = std::lower_bound(visibleRows_.begin(), visibleRows_.end(), pos);
  const bool present = it != visibleRows_.end() && *it == pos;
  if (shown && !present) visibleRows_.insert(it, pos);
  if (!shown && present) visibleRows_.erase(it);
}

// Fields: writing

void TDataSet::WriteField(TField& field, const Variant& value) {
  if (!EditCapable(state_) && !internalCopy_) Raise(errors::kNotEditing);
  if (field.ReadOnly() && !internalCopy_) Raise("Field '" + field.DisplayLabel() + "' cannot be modified");
  Variant converted = ToFieldValue(value, field.DataType(), field.FieldName());
  if ((converted.kind() == Variant::Kind::Text || converted.kind() == Variant::Kind::Bytes) &&
      converted.AsText().empty() && field.DataType() != link::ftGuid) {
    converted = Variant::Null();
  }
  if (internalCopy_) {
    StoreField(field, converted);
    return;
  }
  const Variant old = ReadField(field);
  StoreField(field, converted);
  try {
    if (field.OnValidate) field.OnValidate(field);
    if (field.constraint_) {
      const Variant stored = ReadField(field);
      field.constraint_->Bind(
          [&](std::string_view) {
            return TLinkFilterTreeReader::FieldRef{0, field.DataType()};
          },
          [](const std::string&) {});
      struct NewValue : TLinkFilterTreeReader::RowValues {
        const Variant* v;
        Variant Value(int) const override { return *v; }
      } row;
      row.v = &stored;
      if (!field.constraint_->Evaluate(row, 0)) {
        Raise(!field.ConstraintErrorMessage().empty() ? field.ConstraintErrorMessage()
                                                      : "Field '" + field.DisplayLabel() + "' fails its constraint");
      }
    }
  } catch (...) {
    StoreField(field, old);
    throw;
  }
  modified_ = true;
  if (field.OnChange) field.OnChange(field);
  NotifyRecordChanged(&field);
}

// Bookmarks

TBookmark TDataSet::GetBookmark() const {
  if (!Active() || cursor_ == npos) return std::nullopt;
  return RowId(cursor_);
}

void TDataSet::GotoBookmark(const TBookmark& bookmark) {
  if (!bookmark) return;
  CheckBrowseMode();
  const std::optional<std::size_t> pos = Active() ? RowPosition(*bookmark) : std::nullopt;
  if (!pos) Raise(errors::kBookmarkNotFound);
  MoveTo(*pos);
}

bool TDataSet::BookmarkValid(const TBookmark& bookmark) const {
  return bookmark && Active() && RowPosition(*bookmark).has_value();
}

int TDataSet::CompareBookmarks(const TBookmark& a, const TBookmark& b) {
  if (!a && !b) return 0;
  if (!a) return -1;
  if (!b) return 1;
  return *a < *b ? -1 : *a > *b ? 1 : 0;
}

// Filter

void TDataSet::SetFilter(std::string expression) {
  std::shared_ptr<TLinkFilterTreeReader> tree;
  if (!base::StrTrim(expression).empty()) tree = std::make_shared<TLinkFilterTreeReader>(expression);
  std::string oldText = std::move(filter_);
  std::shared_ptr<TLinkFilterTreeReader> oldTree = std::move(filterTree_);
  filter_ = std::move(expression);
  filterTree_ = std::move(tree);
  try {
    FilterChanged();
  } catch (...) {
    filter_ = std::move(oldText);
    filterTree_ = std::move(oldTree);
    throw;
  }
  if (Active() && filtered_) {
    First();
    NotifyDataSetChanged();
  }
}

void TDataSet::SetFiltered(bool value) {
  if (filtered_ == value) return;
  filtered_ = value;
  if (Active()) {
    First();
    NotifyDataSetChanged();
  }
}

void TDataSet::SetFilterOptions(unsigned options) {
  if (filterOptions_ == options) return;
  filterOptions_ = options;
  if (Active() && filtered_) {
    First();
    NotifyDataSetChanged();
  }
}

bool TDataSet::Locate(std::string_view keyFields, const Variant& value, unsigned options) {
  return Locate(keyFields, std::vector<Variant>{value}, options);
}

// States and events

void TDataSet::SetState(TDataSetState state) {
  if (state_ == state) return;
  state_ = state;
  NotifyStateChanged();
}

TDataSetState TDataSet::SwapState(TDataSetState state) {
  const TDataSetState old = state_;
  state_ = state;
  return old;
}

void TDataSet::DoBeforeOpen() {
  if (BeforeOpen) BeforeOpen();
}
void TDataSet::DoAfterOpen() {
  if (AfterOpen) AfterOpen();
}
void TDataSet::DoBeforeClose() {
  if (BeforeClose) BeforeClose();
}
void TDataSet::DoAfterClose() {
  if (AfterClose) AfterClose();
}
void TDataSet::DoBeforeInsert() {
  if (BeforeInsert) BeforeInsert();
}
void TDataSet::DoAfterInsert() {
  if (AfterInsert) AfterInsert();
}
void TDataSet::DoBeforeEdit() {
  if (BeforeEdit) BeforeEdit();
}
void TDataSet::DoAfterEdit() {
  if (AfterEdit) AfterEdit();
}
void TDataSet::DoBeforePost() {
  if (BeforePost) BeforePost();
}
void TDataSet::DoAfterPost() {
  if (AfterPost) AfterPost();
}
void TDataSet::DoBeforeCancel() {
  if (BeforeCancel) BeforeCancel();
}
void TDataSet::DoAfterCancel() {
  if (AfterCancel) AfterCancel();
}
void TDataSet::DoBeforeDelete() {
  if (BeforeDelete) BeforeDelete();
}
void TDataSet::DoAfterDelete() {
  if (AfterDelete) AfterDelete();
}
void TDataSet::DoBeforeScroll() {
  if (BeforeScroll) BeforeScroll();
}
void TDataSet::DoAfterScroll() {
  if (AfterScroll) AfterScroll();
}
void TDataSet::DoOnNewRecord() {
  if (OnNewRecord) OnNewRecord();
}
void TDataSet::DoAfterPopulate() {
  if (AfterPopulate) AfterPopulate();
}

std::optional<TDataAction> TDataSet::AskPostError(const EDatabaseError& error) {
  if (!OnPostError) return std::nullopt;
  TDataAction action = TDataAction::daFail;
  OnPostError(error, action);
  return action;
}

// Observers

template <typename Call>
void TDataSet::Tell(Call call) {
  if (disableCount_ > 0) return;
  // A copy: an observer may detach itself (or another) while it is told.
  const std::vector<DataSetObserver*> observers = observers_;
  for (DataSetObserver* o : observers) call(*o);
}

void TDataSet::DisableControls() {
  if (disableCount_++ == 0) {
    const std::vector<DataSetObserver*> observers = observers_;
    for (DataSetObserver* o : observers) o->ControlsDisabled(*this);
  }
}

void TDataSet::EnableControls() {
  if (disableCount_ == 0) return;
  if (--disableCount_ == 0) {
    const std::vector<DataSetObserver*> observers = observers_;
    for (DataSetObserver* o : observers) o->ControlsEnabled(*this);
    NotifyDataSetChanged();
  }
}

void TDataSet::AddObserver(DataSetObserver* observer) {
  if (observer != nullptr && std::find(observers_.begin(), observers_.end(), observer) == observers_.end()) {
    observers_.push_back(observer);
  }
}

void TDataSet::RemoveObserver(DataSetObserver* observer) { std::erase(observers_, observer); }

void TDataSet::NotifyDataSetChanged() {
  ForgetVisibleRows();
  Tell([&](DataSetObserver& o) { o.DataSetChanged(*this); });
}

void TDataSet::NotifyRowInserted(int visiblePos) {
  Tell([&](DataSetObserver& o) { o.RowInserted(*this, visiblePos); });
}

void TDataSet::NotifyRowRemoved(int visiblePos) {
  Tell([&](DataSetObserver& o) { o.RowRemoved(*this, visiblePos); });
}

void TDataSet::NotifyRowChanged(int visiblePos) {
  Tell([&](DataSetObserver& o) { o.RowChanged(*this, visiblePos); });
}

void TDataSet::NotifyRecordChanged(const TField* field) {
  Tell([&](DataSetObserver& o) { o.RecordChanged(*this, field); });
}

void TDataSet::NotifyCursorMoved() {
  Tell([&](DataSetObserver& o) { o.CursorMoved(*this); });
}

void TDataSet::NotifyStateChanged() {
  Tell([&](DataSetObserver& o) { o.StateChanged(*this); });
}

}  // namespace mero::data
