#pragma once

// Datasets for the data tests: an in-memory dataset and a dataset with a
// change log, filled through the same path as rows that arrive from the
// server (a row payload decoded into a RowSet).

#include <memory>
#include <string>
#include <vector>

#include "base/variant.h"
#include "data/change_log_dataset.h"
#include "data/dataset_observer.h"
#include "data/memory_dataset.h"
#include "link/codec/result_set.h"
#include "link/codec/result_set_encoder.h"

namespace mero::test {

using Row = std::vector<base::Variant>;

// Encodes rows as the server does and decodes them into a RowSet for fields.
inline link::RowSet DecodedRows(const std::vector<std::string>& fastFields, const std::vector<Row>& rows) {
  link::RowSet set(link::FieldDefsFromFastFields(fastFields));
  std::string payload;
  link::ResultSetEncoder enc(payload);
  for (const Row& row : rows) {
    for (const base::Variant& v : row) {
      switch (v.kind()) {
        case base::Variant::Kind::Null:
        case base::Variant::Kind::Empty:
          enc.AddNull();
          break;
        case base::Variant::Kind::Integer:
        case base::Variant::Kind::Int64:
          enc.AddInt(v.AsInt64());
          break;
        case base::Variant::Kind::Boolean:
          enc.AddBool(v.AsBoolean());
          break;
        case base::Variant::Kind::Double:
        case base::Variant::Kind::Date:
          enc.AddFloat(v.AsDouble());
          break;
        case base::Variant::Kind::Text:
          enc.AddText(v.AsText());
          break;
        case base::Variant::Kind::Bytes:
          enc.AddLong(v.AsText());
          break;
      }
    }
    enc.EndRow();
  }
  enc.Finish();
  link::DecodeRows(payload, 0, set);
  return set;
}

// A dataset with a change log, opened on rows that the log does not count.
class AuditDataSet : public data::TLink2CustomAuditDataSet {
 public:
  explicit AuditDataSet(std::string name = "Q") : TLink2CustomAuditDataSet(std::move(name)) {}
  using TLink2CustomAuditDataSet::ClearChangeLog;
  using TLinkCustomDataset::AppendRows;
  using TLinkCustomDataset::Blobs;
  using TLinkCustomDataset::EmptyRows;
  using TLinkCustomDataset::PrepareFieldList;

  void OpenWith(const std::vector<std::string>& fastFields, const std::vector<Row>& rows) {
    SetFastFields(fastFields);
    PrepareFieldList();
    AppendRows(DecodedRows(fastFields, rows));
    Open();
  }
};

// The plain in-memory dataset, with the filling steps open to the tests.
class MemDataSet : public data::TLinkDataSet {
 public:
  explicit MemDataSet(std::string name = "M") : TLinkDataSet(std::move(name)) {}
  using TLinkCustomDataset::AppendRows;
  using TLinkCustomDataset::Blobs;
  using TLinkCustomDataset::EmptyRows;
  using TLinkCustomDataset::PrepareFieldList;

  void OpenWith(const std::vector<std::string>& fastFields, const std::vector<Row>& rows) {
    SetFastFields(fastFields);
    PrepareFieldList();
    AppendRows(DecodedRows(fastFields, rows));
    Open();
  }
};

inline base::Variant I(std::int32_t v) { return base::Variant::Integer(v); }
inline base::Variant T(std::string v) { return base::Variant::Text(std::move(v)); }
inline base::Variant F(double v) { return base::Variant::Double(v); }
inline base::Variant N() { return base::Variant::Null(); }

// The values of one field over the rows the cursor visits, from the first.
inline std::vector<std::string> Column(data::TDataSet& ds, const std::string& field) {
  std::vector<std::string> out;
  ds.First();
  while (!ds.Eof()) {
    data::TField& f = ds.FieldByName(field);
    out.push_back(f.IsNull() ? "<null>" : f.AsString());
    ds.Next();
  }
  return out;
}

// Records every notification as a word.
class RecordingObserver : public data::DataSetObserver {
 public:
  void DataSetChanged(data::TDataSet&) override { events.push_back("changed"); }
  void RecordChanged(data::TDataSet&, const data::TField* field) override {
    events.push_back(field != nullptr ? "record:" + field->FieldName() : "record");
  }
  void CursorMoved(data::TDataSet& ds) override { events.push_back("moved:" + std::to_string(ds.RecNo())); }
  void StateChanged(data::TDataSet& ds) override { events.push_back("state:" + std::to_string(ds.State())); }
  void ControlsDisabled(data::TDataSet&) override { events.push_back("disabled"); }
  void ControlsEnabled(data::TDataSet&) override { events.push_back("enabled"); }

  std::vector<std::string> events;
};

}  // namespace mero::test
