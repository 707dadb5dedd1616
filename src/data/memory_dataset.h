#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/dataset.h"
#include "data/field_list.h"
#include "data/long_value_store.h"
#include "data/row_store.h"

namespace mero::link {
class RowSet;
}

namespace mero::data {

class TLinkDataSet;

// The in-memory dataset: rows held on the client in fixed-size blocks, the
// field list built from FastFields, long values in the blob list, and the
// record filter (master link, Filter, OnFilterRecord).
//
// Values as stored: texts cut to the field size (a text ends at the size or
// at the first zero byte); 16-, 32- and 64-bit integers; booleans as 16 bits;
// floats, currency and BCD as doubles; ftDate as the whole day number
// (int64, its whole width); ftTime as milliseconds since midnight (int32); ftDateTime as the
// date-time number (double) with the time rounded to the millisecond;
// ftBytes as exactly its size in bytes (zero-filled); long values as a
// handle into the blob list.
class TLinkCustomDataset : public TDataSet {
 public:
  ~TLinkCustomDataset() override;

  // NAME,TYPE,SIZE entries; setting them closes the dataset, drops the rows
  // and the field list, which the next open builds from them.
  const std::vector<std::string>& FastFields() const { return fastFields_; }
  void SetFastFields(std::vector<std::string> entries);
  const TLinkFieldList& FieldList() const { return fieldList_; }

  // The number of rows held (a filter does not reduce it).
  int RecordCount() const override;
  int RecNo() const override;
  void SetRecNo(int value) override;

  using TDataSet::Locate;
  bool Locate(std::string_view keyFields, const std::vector<base::Variant>& values, unsigned options) override;

  // Reorders the rows on the named fields: NULL first, texts ignoring the
  // case of ASCII letters, ties kept in bookmark order; descending[i]
  // reverses field i. Raises "FieldNames and Descending Values must both be
  // equal in count!" or "<name> not found.".
  void SortOnFields(const std::vector<std::string>& names, const std::vector<bool>& descending);

  // Replaces definition and rows by a copy of the source's (ftBCD becomes
  // ftFloat); the copy is not a change to log.
  void LoadFromDataSet(TDataSet& source);

  // The field list, the rows and (when kept) the change log, in the format
  // described in docs/datasets.md. Loading replaces definition and rows and
  // leaves the dataset open.
  void SaveToStream(std::ostream& out);
  void LoadFromStream(std::istream& in);
  // A file that cannot be opened raises "Unable to load from <file>" (or
  // "Unable to save to <file>").
  void SaveToFile(const std::string& fileName);
  void LoadFromFile(const std::string& fileName);

  // Master link: MasterFields names fields of the master, DetailFilter the
  // matching fields of this dataset, both ";"-separated and of equal length.
  // A master that leads back to this dataset raises "Circular Reference to
  // DataSource".
  TDataSet* MasterSource() const { return master_; }
  void SetMasterSource(TDataSet* master);
  const std::string& MasterFields() const { return masterFields_; }
  void SetMasterFields(std::string fields);
  const std::string& DetailFilter() const { return detailFilter_; }
  void SetDetailFilter(std::string fields);

  // A value of the row at list position pos, without moving the cursor (for
  // views that draw many rows).
  base::Variant ValueAt(std::size_t pos, const TField& field) const;
  bool IsNullAt(std::size_t pos, const TField& field) const;
  // The text of a text field (string, fixed char, wide string) in the row at
  // list position pos, read in place: it stays valid until the row changes.
  // Empty for NULL, past the end and for other kinds of field.
  std::string_view StoredTextAt(std::size_t pos, const TField& field) const;

  // Replaces definition and rows by a copy of the rows the source shows (its
  // record filter applied, an insert in progress left out), read in place:
  // the source's cursor, its events and its views are left alone.
  void CopyShownRows(TLinkCustomDataset& source);

 protected:
  explicit TLinkCustomDataset(std::string name = {});

  // For subclasses that fill the dataset themselves (the remote dataset):
  //
  // Builds the field list (from FastFields, else from the persistent
  // fields) and the row layout when there is none; rows may be added from
  // then on, also while the dataset is closed.
  void PrepareFieldList();
  // Appends every row of the set (its fields must be the field list, in
  // order); each takes the next bookmark id. Not logged. Returns the count.
  std::size_t AppendRows(const link::RowSet& rows);
  // Drops every row and blob.
  void EmptyRows();

  TLinkDBList& Rows() { return rows_; }
  const TLinkDBList& Rows() const { return rows_; }
  TLinkBlobList& Blobs() { return blobs_; }
  const TLinkBlobList& Blobs() const { return blobs_; }
  // The field-list entry of a field.
  const TLinkFieldEntry& EntryOf(const TField& field) const;

  // Row-level helpers for subclasses.
  // A value of a row block by field-list index; Null when NULL.
  base::Variant RowValue(const std::uint8_t* row, std::size_t fieldIndex) const;
  // Stores a value (Null or of the field's kind) in a row block; long values
  // get a new blob entry (the old one is removed).
  void SetRowValue(std::uint8_t* row, std::size_t fieldIndex, const base::Variant& value);
  // Inserts a new row with the given id and values (by field-list index)
  // at list position pos.
  void InsertRowWithId(std::size_t pos, std::int32_t id, const std::vector<base::Variant>& values);
  // Removes the row at pos with its blob entries.
  void RemoveRow(std::size_t pos);
  // The values of the row at pos, by field-list index.
  std::vector<base::Variant> RowValues(std::size_t pos) const;
  // The edit buffer of the edit or insert in progress.
  std::uint8_t* EditBuffer() { return editBuffer_.data(); }
  const std::uint8_t* EditBuffer() const { return editBuffer_.data(); }

  void InternalOpen() override;
  void InternalClose() override;
  std::size_t InternalRowCount() const override { return rows_.Count(); }
  bool RowAccepted(std::size_t pos) override;
  bool RecordFilterActive() const override;
  std::int32_t RowId(std::size_t pos) const override { return rows_.Id(pos); }
  std::optional<std::size_t> RowPosition(std::int32_t id) const override { return rows_.PositionOf(id); }
  bool FieldIsNull(const TField& field) const override;
  base::Variant ReadField(const TField& field) const override;
  void StoreField(const TField& field, const base::Variant& value) override;
  void InternalEdit() override;
  void InternalInsert(bool append) override;
  void InternalPost() override;
  void InternalCancel() override;
  void InternalDelete() override;
  void FilterChanged() override;

  // The change log saved with the rows (none here), and the one a loaded
  // stream held (nullptr when it held none).
  virtual const TLinkDataSet* SavedChangeLog() const;
  virtual void LoadedChangeLog(std::unique_ptr<TLinkDataSet> log);

 private:
  friend class TLink2CustomAuditDataSet;
  class MasterObserver;
  class RowReader;

  const std::uint8_t* ActiveRow() const;
  std::uint8_t* WritableActiveRow();
  void BindFilter();
  void BindMaster();
  // A master source with both field lists: the master link filters rows.
  bool MasterLinked() const;
  bool MasterAccepts(const std::uint8_t* row);
  void MasterMoved();
  // Reads one stored set (field list and rows) into a closed dataset.
  static void ReadSet(std::istream& in, TLinkCustomDataset& into);
  // A whole stream (rows and change log), read apart from this dataset;
  // Install then makes it this dataset's definition, rows and log.
  struct StoredSet;
  static std::unique_ptr<StoredSet> ReadStream(std::istream& in);
  void Install(StoredSet& stored);
  void WriteSet(std::ostream& out) const;
  void FreeRowBlobs(const std::uint8_t* row);
  void DropEditBlobs();
  void CheckRowRead(const TField& field) const;

  std::vector<std::string> fastFields_;
  TLinkFieldList fieldList_;
  TLinkDBList rows_;
  TLinkBlobList blobs_;
  // Field-list index of each field (by TField::Index).
  std::vector<std::size_t> fieldEntry_;
  std::vector<std::uint8_t> editBuffer_;
  // The row under test while the record filter runs.
  const std::uint8_t* filterRow_ = nullptr;

  // The filter tree bound to this field list (nullptr: none bound yet).
  const TLinkFilterTreeReader* boundFilter_ = nullptr;

  TDataSet* master_ = nullptr;
  std::string masterFields_;
  std::string detailFilter_;
  // The master link resolved: master field names and detail field-list indexes.
  bool masterBound_ = false;
  std::vector<std::string> masterNames_;
  std::vector<std::size_t> detailIndexes_;
  std::unique_ptr<MasterObserver> masterObserver_;
};

// The concrete in-memory dataset of the query utilities and the forms.
class TLinkDataSet : public TLinkCustomDataset {
 public:
  explicit TLinkDataSet(std::string name = {}) : TLinkCustomDataset(std::move(name)) {}
};

}  // namespace mero::data
