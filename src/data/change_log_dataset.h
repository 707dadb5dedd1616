#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/memory_dataset.h"

namespace mero::data {

// When the change log becomes SQL: never (and no log is kept), when asked,
// or after every post and delete.
enum TUpdateMethod : std::uint8_t { umManual = 0, umCached = 1, umAfterPost = 2 };

// The change of the current row relative to what the server holds.
enum TUpdateStatus : std::uint8_t { usUnmodified = 0, usModified = 1, usInserted = 2, usDeleted = 3 };

// Kinds of change-log entries ("Delta").
enum TLogDelta : std::int32_t { ldModified = 0, ldDeleted = 1, ldInserted = 2 };

// An in-memory dataset with a change log: one entry per row that differs
// from what the server holds. The log is itself an in-memory dataset with
// the dataset's fields followed by two integer fields, "BookMark" (the row's
// id) and "Delta".
//
//   Delta 0  modified  the row's values before its first edit
//   Delta 1  deleted   the row's values before deletion
//   Delta 2  inserted  the row's values as posted; BookMark set at the post
//
// Upkeep (not with umManual): an edit of a row without an entry logs its
// values; a delete turns the row's entry into Delta 1, or removes a Delta 2
// entry (the server never saw the row); an insert logs Delta 2; a cancel
// removes the entry its edit or insert made; a post of an edit that leaves
// every field equal to its logged value removes the Delta 0 entry. Two values
// differ when exactly one is NULL or their texts differ.
class TLink2CustomAuditDataSet : public TLinkCustomDataset {
 public:
  ~TLink2CustomAuditDataSet() override;

  // umCached for a new dataset. Switching to umManual drops the log.
  TUpdateMethod UpdateMethod() const { return updateMethod_; }
  void SetUpdateMethod(TUpdateMethod method);

  // Inserted in insert state or with a Delta 2 entry; modified with a Delta 0
  // entry (in edit state only when a field differs from its logged value);
  // otherwise unmodified.
  TUpdateStatus UpdateStatus() const;
  // Undoes every logged change and empties the log: modified rows get their
  // logged values back, deleted rows return (before the first row with a
  // larger id), inserted rows go. An edit or insert in progress is dropped
  // first. No events run; the cursor stays on its row when that still exists.
  void RevertAll();
  // The same for the current row only.
  void RevertRecord();

  // Reading the log, for turning it into statements (entries 0 to
  // ChangeCount() - 1).
  int ChangeCount() const;
  TLogDelta EntryDelta(int entry) const;
  // The row id an entry is about; nullopt for an insert not yet posted.
  std::optional<std::int32_t> EntryBookmark(int entry) const;
  // A field's logged value (Null when NULL) and its text.
  base::Variant LoggedValue(int entry, const TField& field) const;
  std::string LoggedText(int entry, const TField& field) const;
  // The field's value in the row the entry is about differs from the logged
  // one (false when the row is not in the list).
  bool FieldChanged(int entry, const TField& field) const;
  // The log itself; its first fields match the dataset's field list.
  const TLinkDataSet& ChangeLog() const { return *log_; }

 protected:
  explicit TLink2CustomAuditDataSet(std::string name = {});

  // Empties the log (after its statements reached the server).
  void ClearChangeLog();
  // The log entry of a row id, or -1.
  int EntryOfRow(std::int32_t id) const;

  void InternalOpen() override;
  void InternalClose() override;
  void InternalEdit() override;
  void InternalInsert(bool append) override;
  void InternalPost() override;
  void InternalCancel() override;
  void InternalDelete() override;
  const TLinkDataSet* SavedChangeLog() const override;
  void LoadedChangeLog(std::unique_ptr<TLinkDataSet> log) override;

 private:
  bool Logging() const { return updateMethod_ != umManual; }
  // The log row of an entry; raises "Change log entry <n> does not exist".
  const std::uint8_t* EntryRow(int entry) const;
  void PrepareLog();
  void AppendEntry(TLogDelta delta, std::optional<std::int32_t> id, const std::vector<base::Variant>& values);
  void RemoveEntry(int entry);
  bool EditDiffersFromLog(int entry) const;
  void RevertEntries(const std::vector<int>& entries);

  std::unique_ptr<TLinkDataSet> log_;
  TUpdateMethod updateMethod_ = umCached;
  // The entry that the edit or insert in progress made (-1: none).
  int pendingEntry_ = -1;
};

}  // namespace mero::data
