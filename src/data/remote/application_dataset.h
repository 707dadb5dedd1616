#pragma once

#include <exception>
#include <functional>
#include <string>
#include <string_view>

#include "data/memory_dataset.h"
#include "data/remote/client_dataset.h"

namespace mero::data {

class TKZLINK;

namespace errors {
// A step of TKZLINK that needs the query utilities ran before they started.
inline constexpr const char* kQueryUtilsNotStarted = "The query utilities are not started.";
}  // namespace errors

// What TKZLINK asks of the layers above it: the query utilities install these
// when they start (InitQueryUtils) and take them away when they are reset.
// Without them OpenSQL, OpenQuery and the commit raise kQueryUtilsNotStarted,
// a new row gets no key from its sequence, and the cache steps do nothing.
struct TKZLINKHooks {
  // The query utilities' OpenSQL (key mode -1) and OpenQuery on the dataset.
  std::function<bool(TKZLINK& ds, std::string_view sql)> openSQL;
  std::function<bool(TKZLINK& ds)> openQuery;
  // The integer select that numbers a new row.
  std::function<int(const std::string& sql)> selectInt;
  // "commit" on the dataset's own socket: the change it follows went there.
  std::function<void(TKZLINK& ds)> commit;
  // Keeping a table of the table cache current after a post or delete.
  std::function<void(const std::string& table)> loadTable;
  std::function<void(const std::string& table, const std::string& key)> refreshRecord;
  std::function<void(const std::string& table, const std::string& key)> dropRecord;
};
// Installs the hooks; an empty set takes them away.
void SetTKZLINKHooks(TKZLINKHooks hooks);
const TKZLINKHooks& CurrentTKZLINKHooks();

// The query every window declares: the remote query dataset with what the
// application adds to it.
//
//   zKeyF        key fields, ";"-separated; the first one's text is the row's
//                key (KeyText), remembered on edit, post and delete
//   zKeyTAB      the table of that key
//   zSEQInfo     "SEQUENCE;KEYFIELD": a new row takes SEQUENCE.NextVal into
//                KEYFIELD ("ID" when not given) before it is posted
//   zAutoCommit  "commit" after every post and every delete, on the
//                dataset's own socket
//   zzIMCID      a table of the table cache that mirrors these rows: a post
//                refreshes the row's key in it (or reloads it when there is
//                no key), a delete drops the key (a failed one reads it
//                again, so a row the server kept stays cached)
//
// Opening a dataset that may be edited, with zKeyF and a table (zKeyTAB, else
// UpdateTableName) but no PrimeFields, makes it write its own changes: the
// upper-cased zKeyF names become PrimeFields, the table UpdateTableName, and
// UpdateMethod umAfterPost. PrimeFields declared with the dataset win.
//
// After a post: with umCached the log is applied at once (a failure undoes
// every logged change); with umAfterPost the statements go now; with
// zAutoCommit "commit" follows. When one of these raises, the cache step still
// runs and the error then reaches the caller. Deleting works the same way.
class TKZLINK : public TLinkClientDataSet {
 public:
  explicit TKZLINK(std::string name = {});

  const std::string& zKeyF() const { return zKeyF_; }
  void SetzKeyF(std::string names) { zKeyF_ = std::move(names); }
  const std::string& zKeyTAB() const { return zKeyTAB_; }
  void SetzKeyTAB(std::string table) { zKeyTAB_ = std::move(table); }
  const std::string& zSEQInfo() const { return zSEQInfo_; }
  void SetzSEQInfo(std::string info) { zSEQInfo_ = std::move(info); }
  bool zAutoCommit() const { return zAutoCommit_; }
  void SetzAutoCommit(bool value) { zAutoCommit_ = value; }
  const std::string& zzIMCID() const { return zzIMCID_; }
  void SetzzIMCID(std::string table) { zzIMCID_ = std::move(table); }

  // The text of the first zKeyF field in the current row; empty when zKeyF is
  // empty. A zKeyF field the dataset lacks raises "<name>:Field '<f>' not found".
  std::string KeyText() const;
  // The key text remembered by the last edit, post or delete.
  const std::string& RememberedKey() const { return rememberedKey_; }
  // Set from the start of a post of a new row to its end.
  bool Inserting() const { return inserting_; }
  // Set from the start of a delete to its end.
  bool Deleting() const { return deleting_; }

  // 0 for a closed or empty dataset, otherwise RecordCount.
  int NonEmptyCount();

  // The query utilities' OpenSQL and OpenQuery on this dataset (through the
  // installed hooks).
  bool OpenSQL(const std::string& sql);
  bool OpenQuery();

  // Each field of the ";"-separated list (or every field) becomes visible,
  // read-only or required when value is "1", and not otherwise. A listed name
  // the dataset lacks raises "<name>:Field '<f>' not found".
  void SetFieldsVisible(std::string_view names, std::string_view value);
  void SetFieldsReadOnly(std::string_view names, std::string_view value);
  void SetAllVisible(std::string_view value);
  void SetAllReadOnly(std::string_view value);
  void SetAllRequired(std::string_view value);

  // Undoes every logged change with the post and delete steps kept out of it.
  void UndoAllChanges();

  // The flags that keep the dataset's own steps out: Deleting (from the
  // before-delete to the after-delete step; a post meanwhile runs only the
  // inherited steps) and StepsKeptOut (no step of this dataset runs at all).
  enum class Flag { Deleting, StepsKeptOut };

  // Sets a flag for as long as it lives and puts back the value it found, on
  // every way out. Release() leaves the flag set for a later step to end, as
  // the before-delete step does for the after-delete step.
  class FlagScope {
   public:
    FlagScope(TKZLINK& ds, Flag flag);
    ~FlagScope();
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;
    void Release() { released_ = true; }

   private:
    bool& flag_;
    bool was_;
    bool released_ = false;
  };

 protected:
  void DoBeforeOpen() override;
  void DoAfterEdit() override;
  void DoBeforePost() override;
  void DoAfterPost() override;
  void DoBeforeDelete() override;
  void DoBeforeScroll() override;
  void InternalDelete() override;
  void DoAfterDelete() override;

 private:
  // The sequence select of a new row; a failure leaves the key unset.
  void TakeSequenceKey();
  // The umCached apply, the inherited after-step and the commit of a post or
  // delete, in that order; the first error is returned, not raised.
  std::exception_ptr SendAndCommit(bool post);
  // The key (or the whole table) in the cache table after a post or delete.
  void KeepCacheCurrent(bool deleted, bool failed);

  std::string zKeyF_;
  std::string zKeyTAB_;
  std::string zSEQInfo_;
  bool zAutoCommit_ = true;
  std::string zzIMCID_;

  std::string rememberedKey_;
  bool inserting_ = false;
  bool deleting_ = false;
  // The post and delete steps are kept out (an internal undo runs).
  bool stepsKeptOut_ = false;
};

// An in-memory dataset that remembers whether it changed since it opened, and
// copies another dataset together with its display settings.
class TKZLINKDS : public TLinkDataSet {
 public:
  explicit TKZLINKDS(std::string name = {});

  // Set by every post and delete, cleared before every open.
  bool ChangedSinceOpened() const { return changed_; }

  // LoadFromDataSet of the source with its AfterScroll event held back
  // meanwhile; then, field by field in position, the source's display label,
  // width and visibility, and for numeric fields its display format.
  void LoadWithLabels(TDataSet& source);

 protected:
  void DoBeforeOpen() override;
  void DoAfterPost() override;
  void DoAfterDelete() override;

 private:
  bool changed_ = false;
};

}  // namespace mero::data
