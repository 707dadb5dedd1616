#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/variant.h"
#include "data/database_error.h"
#include "data/dataset_observer.h"
#include "data/field.h"

namespace mero::data {

class TLinkFilterTreeReader;

// The states of a dataset; the ordinals are the ones windows compare against
// (edit 2, insert 3).
enum TDataSetState : std::uint8_t {
  dsInactive = 0,
  dsBrowse = 1,
  dsEdit = 2,
  dsInsert = 3,
  dsSetKey = 4,
  dsCalcFields = 5,
  dsFilter = 6,
  dsNewValue = 7,
  dsOldValue = 8,
  dsCurValue = 9,
  dsBlockRead = 10,
  dsInternalCalc = 11,
  dsOpening = 12,
};

// What an OnPostError / OnDeleteError handler decides: raise the error,
// abort silently, or try the operation again.
enum class TDataAction { daFail, daAbort, daRetry };

// A bookmark is the row's id; an empty bookmark (nullopt) stands for no row.
using TBookmark = std::optional<std::int32_t>;

// Locate options (bits).
enum TLocateOption : unsigned { loCaseInsensitive = 1, loPartialKey = 2 };
// Filter options (bits): compare texts ignoring case; treat '*' in a text as
// a plain character.
enum TFilterOption : unsigned { foCaseInsensitive = 1, foNoPartialCompare = 2 };

// The generic dataset: fields, a cursor over an ordered list of rows, the
// states and their transitions, the events, and the observers that views
// attach. Where rows live and how they are filtered is the subclass's
// business (TLinkCustomDataset).
//
// Events are std::function members without a sender argument; handlers
// capture what they need. Subclasses extend behaviour by overriding the
// virtual Do… steps (each calls the matching event) and Internal… steps.
class TDataSet {
 public:
  explicit TDataSet(std::string name = {});
  TDataSet(const TDataSet&) = delete;
  TDataSet& operator=(const TDataSet&) = delete;
  virtual ~TDataSet();

  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }

  // Fields, in order. Persistent fields are added while the dataset is
  // closed and bind by name to the definitions at open; without them the
  // dataset makes one field per definition.
  int FieldCount() const { return static_cast<int>(fields_.size()); }
  TField& Fields(int index) const;
  // Case-insensitive; nullptr when absent.
  TField* FindField(std::string_view name) const;
  // Raises "<dataset>:Field '<name>' not found" when absent.
  TField& FieldByName(std::string_view name) const;
  TField& AddField(std::string name, link::TFieldType type, int size = 0);
  // Removes every field (persistent ones too); the dataset must be closed.
  void DestroyFields();
  bool HasPersistentFields() const;

  TDataSetState State() const { return state_; }
  bool Active() const { return state_ != dsInactive; }
  void Open();
  void Close();
  void SetActive(bool value) { value ? Open() : Close(); }
  // A field was written since the last post or cancel.
  bool Modified() const { return modified_; }
  // A read-only dataset refuses Edit, Insert, Append and Delete.
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value) { readOnly_ = value; }

  // Navigation; rows that fail the record filter are skipped.
  void First();
  void Last();
  void Next();
  void Prior();
  int MoveBy(int distance);
  bool Bof() const { return bof_; }
  bool Eof() const { return eof_; }
  // No row passes the record filter (or the dataset is closed).
  bool IsEmpty();
  virtual int RecordCount() const = 0;
  // 1-based position of the current row in the row list; 0 without one.
  virtual int RecNo() const;
  virtual void SetRecNo(int value);
  // Re-reads the position (the current row, or the next that passes the
  // record filter) and tells the views.
  void Refresh();

  // The rows a view shows, by visible position (0-based): the rows that pass
  // the record filter, in list order, and while an Insert or Append is in
  // progress the new row at the place it will take. Rows are named by their
  // list position (0-based, RecNo() - 1). The record filter is asked once
  // per row the first time after a change that DataSetChanged announces;
  // without a filter nothing is built.
  int VisibleRowCount();
  // The list position of the row shown at visiblePos; nullopt for the new
  // row of an insert in progress and for a position past the end.
  std::optional<std::size_t> VisibleRow(int visiblePos);
  // The visible position of the row at list position rowPos; -1 when the
  // record filter hides it or there is no such row.
  int VisiblePosOf(std::size_t rowPos);
  // Where the new row of an insert in progress is shown; -1 outside insert.
  int InsertedRowPos();
  // The visible position of the current row (the new row while inserting);
  // -1 without one.
  int CurrentVisiblePos();
  // The bookmark of the row at list position rowPos (empty past the end).
  TBookmark BookmarkAt(std::size_t rowPos) const;

  void Edit();
  void Insert();
  void Append();
  void Post();
  void Cancel();
  void Delete();
  // Posts a pending edit or insert.
  void CheckBrowseMode();

  TBookmark GetBookmark() const;
  // Raises "Bookmark not found" for an id that is not in the row list.
  void GotoBookmark(const TBookmark& bookmark);
  bool BookmarkValid(const TBookmark& bookmark) const;
  // -1, 0, 1 by id; an empty bookmark is smaller than any other.
  static int CompareBookmarks(const TBookmark& a, const TBookmark& b);

  // The filter expression (see docs/datasets.md), parsed when set: a bad
  // expression raises and leaves the old one in place.
  const std::string& Filter() const { return filter_; }
  void SetFilter(std::string expression);
  bool Filtered() const { return filtered_; }
  void SetFiltered(bool value);
  unsigned FilterOptions() const { return filterOptions_; }
  void SetFilterOptions(unsigned options);
  // Accepts or refuses the row being tested (its fields read that row).
  // Takes effect at the next move or Refresh.
  std::function<void(bool& accept)> OnFilterRecord;

  // Moves to the first row (current order, record filter included) whose
  // key fields (";"-separated) match; false, and the cursor back where it
  // was, when none does.
  virtual bool Locate(std::string_view keyFields, const std::vector<base::Variant>& values, unsigned options) = 0;
  bool Locate(std::string_view keyFields, const base::Variant& value, unsigned options);

  // Views: while disabled (counted), nothing but the disable and enable
  // notifications reach observers.
  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const { return disableCount_ > 0; }
  void AddObserver(DataSetObserver* observer);
  void RemoveObserver(DataSetObserver* observer);

  std::function<void()> BeforeOpen, AfterOpen, BeforeClose, AfterClose;
  std::function<void()> BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
  std::function<void()> BeforePost, AfterPost, BeforeCancel, AfterCancel;
  std::function<void()> BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
  // A new row was set up by Insert or Append: set default values here.
  std::function<void()> OnNewRecord;
  // The rows of an opening dataset have arrived and the dataset is active.
  std::function<void()> AfterPopulate;
  std::function<void(const EDatabaseError&error, TDataAction&action)> OnPostError, OnDeleteError;

 protected:
  // Storage steps the subclass provides.
  // Opening: build the field definitions and bind or create the fields
  // (BindFields); rows are in place afterwards. Raising leaves the dataset
  // closed.
  virtual void InternalOpen() = 0;
  virtual void InternalClose() = 0;
  // Rows held, in list order.
  virtual std::size_t InternalRowCount() const = 0;
  // The record filter of the row at pos.
  virtual bool RowAccepted(std::size_t pos) = 0;
  virtual std::int32_t RowId(std::size_t pos) const = 0;
  // The position of a row id, or nullopt.
  virtual std::optional<std::size_t> RowPosition(std::int32_t id) const = 0;
  // Asked when the cursor tries to move past the last row held (toLast
  // false) or is sent to the last row (toLast true); true when rows were
  // added.
  virtual bool FetchMore(bool toLast);

  // Field storage of the active row (the current row in browse state, the
  // edit buffer in edit and insert, the row under test in filter state).
  virtual bool FieldIsNull(const TField& field) const = 0;
  virtual base::Variant ReadField(const TField& field) const = 0;
  // value is Null or already of the field's kind (see TField::Value).
  virtual void StoreField(const TField& field, const base::Variant& value) = 0;

  // Editing steps: copy the current row to the edit buffer; set up a new
  // row (append: at the end); write the buffer back; drop it; remove the
  // current row.
  virtual void InternalEdit() = 0;
  virtual void InternalInsert(bool append) = 0;
  virtual void InternalPost() = 0;
  virtual void InternalCancel() = 0;
  virtual void InternalDelete() = 0;
  // The filter text changed (FilterTree() is empty when it was cleared);
  // raising refuses the new text.
  virtual void FilterChanged() {}

  virtual void DoBeforeOpen();
  virtual void DoAfterOpen();
  virtual void DoBeforeClose();
  virtual void DoAfterClose();
  virtual void DoBeforeInsert();
  virtual void DoAfterInsert();
  virtual void DoBeforeEdit();
  virtual void DoAfterEdit();
  virtual void DoBeforePost();
  virtual void DoAfterPost();
  virtual void DoBeforeCancel();
  virtual void DoAfterCancel();
  virtual void DoBeforeDelete();
  virtual void DoAfterDelete();
  virtual void DoBeforeScroll();
  virtual void DoAfterScroll();
  virtual void DoOnNewRecord();
  virtual void DoAfterPopulate();
  // OnPostError's decision, or nullopt when no handler is set.
  std::optional<TDataAction> AskPostError(const EDatabaseError& error);

  // Fields against the definitions: persistent fields are checked by name
  // and type (the dataset closes and raises "<name>:Field '<f>' not found");
  // otherwise one field per definition is made (kept while the definitions
  // stay the same).
  struct FieldDefinition {
    std::string name;
    link::TFieldType type;
    int size;
  };
  void BindFields(const std::vector<FieldDefinition>& definitions);

  // Cursor position in the row list (npos: no current row).
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);
  std::size_t CursorPos() const { return cursor_; }
  // Puts the cursor on pos (npos: none), with Bof/Eof as given; no events.
  void SetCursorPos(std::size_t pos, bool bof, bool eof);
  // Moves to the row at pos or, when it fails the record filter, the next
  // one that passes (or the previous one at the end); none when no row passes.
  void Resync(std::size_t pos);
  // Resync with the scroll events and the cursor notification.
  void MoveTo(std::size_t pos);

  void SetState(TDataSetState state);
  // A state set for the length of an internal step; no notification.
  TDataSetState SwapState(TDataSetState state);
  void SetModified(bool value) { modified_ = value; }
  // The dataset copies values itself: fields accept writes in any state.
  bool InternalCopy() const { return internalCopy_; }
  void SetInternalCopy(bool value) { internalCopy_ = value; }

  void NotifyDataSetChanged();
  void NotifyRecordChanged(const TField* field);
  void NotifyCursorMoved();
  void NotifyStateChanged();

  // The parsed filter expression (empty when none).
  const std::shared_ptr<TLinkFilterTreeReader>& FilterTree() const { return filterTree_; }

  // A record filter may refuse rows (Filtered, or a subclass's own test such
  // as a master link): the visible rows are then an index of their own.
  virtual bool RecordFilterActive() const { return filtered_; }
  // The rows changed behind the editing steps' back (rows fetched or
  // dropped): the visible rows are worked out again when next asked for.
  void ForgetVisibleRows();
  // Where the new row of the insert in progress goes in the list: before
  // the current row, at the end for an append.
  std::size_t InsertPos() const { return insertPos_; }

 private:
  friend class TField;

  void WriteField(TField& field, const base::Variant& value);
  // Insert (before the current row) or Append (at the end).
  void InsertRow(bool append);
  void CheckRequiredFields();
  void ScrollTo(std::size_t pos, bool bof, bool eof);
  std::size_t FindAccepted(std::size_t from, int direction);
  // Somebody hears of single rows: observers attached, controls enabled.
  bool RowsFollowed() const { return disableCount_ == 0 && !observers_.empty(); }
  // The visible-row index, built when a filter applies and it is missing.
  const std::vector<std::size_t>& VisibleIndex();
  // Visible stored rows before list position pos.
  std::size_t VisibleBefore(std::size_t pos);
  // Keeping a built index up with one row: a row put into the list at pos
  // (shown: it passes the filter), the row at pos taken out, the row at pos
  // now shown or not.
  void IndexRowAdded(std::size_t pos, bool shown);
  void IndexRowDeleted(std::size_t pos);
  void IndexRowShown(std::size_t pos, bool shown);
  // Leaves the edit in progress without posting (Cancel, Delete); the
  // row's visible position, for the views that follow rows (else -1).
  int DropEdit();
  // Calls every observer, unless the controls are disabled.
  template <typename Call>
  void Tell(Call call);
  void NotifyRowInserted(int visiblePos);
  void NotifyRowRemoved(int visiblePos);
  void NotifyRowChanged(int visiblePos);
  template <typename Op>
  void RunWithErrorEvent(const std::function<void(const EDatabaseError&, TDataAction&)>& handler, Op op);

  std::string name_;
  std::vector<std::unique_ptr<TField>> fields_;
  TDataSetState state_ = dsInactive;
  bool modified_ = false;
  bool readOnly_ = false;
  bool internalCopy_ = false;
  std::size_t cursor_ = npos;
  bool bof_ = true;
  bool eof_ = true;
  std::string filter_;
  std::shared_ptr<TLinkFilterTreeReader> filterTree_;
  bool filtered_ = false;
  unsigned filterOptions_ = 0;
  int disableCount_ = 0;
  std::vector<DataSetObserver*> observers_;
  std::size_t insertPos_ = 0;
  // List positions of the rows that pass the record filter, ascending;
  // kept only while a filter applies and somebody asked.
  std::vector<std::size_t> visibleRows_;
  bool visibleBuilt_ = false;
};

// Keeps a dataset's controls disabled while the guard lives, however the
// scope is left. Ending it enables them again, which sends the views one
// DataSetChanged: an error a view raises then reaches the caller, unless the
// scope is already being left by an error of its own, which then wins.
class DisabledControls {
 public:
  explicit DisabledControls(TDataSet& dataSet) : dataSet_(dataSet), errors_(std::uncaught_exceptions()) {
    dataSet_.DisableControls();
  }
  ~DisabledControls() noexcept(false) {
    if (std::uncaught_exceptions() == errors_) {
      dataSet_.EnableControls();
      return;
    }
    try {
      dataSet_.EnableControls();
    } catch (...) {
      // The error that is leaving the scope is the one the caller hears of.
    }
  }
  DisabledControls(const DisabledControls&) = delete;
  DisabledControls& operator=(const DisabledControls&) = delete;

 private:
  TDataSet& dataSet_;
  int errors_;
};

}  // namespace mero::data
