// A saved dataset read back, into a plain dataset and into one that keeps a
// change log. What loads must show every value, revert its log, and save to
// a stream that loads to the same bytes again.

#include <sstream>
#include <string>

#include "data/change_log_dataset.h"
#include "data/database_error.h"
#include "data/field.h"
#include "data/memory_dataset.h"
#include "fuzz_support.h"

using namespace mero;

namespace {

class AuditDataSet : public data::TLink2CustomAuditDataSet {
 public:
  AuditDataSet() : TLink2CustomAuditDataSet("Q") {}
};

void ReadEveryValue(data::TDataSet& ds) {
  for (ds.First(); !ds.Eof(); ds.Next()) {
    for (int f = 0; f < ds.FieldCount(); ++f) {
      const data::TField& field = ds.Fields(f);
      if (!field.IsNull()) (void)field.AsString();
    }
  }
}

std::string Saved(data::TLinkCustomDataset& ds) {
  std::ostringstream out;
  ds.SaveToStream(out);
  return out.str();
}

template <typename DataSet>
void Load(const std::string& bytes) {
  DataSet ds;
  std::istringstream in(bytes);
  try {
    ds.LoadFromStream(in);
  } catch (const data::EDatabaseError&) {
    return;
  }
  FUZZ_CHECK(ds.Active());
  ReadEveryValue(ds);
  const std::string first = Saved(ds);
  DataSet again;
  std::istringstream back(first);
  again.LoadFromStream(back);
  FUZZ_CHECK(Saved(again) == first);
  if constexpr (std::is_same_v<DataSet, AuditDataSet>) {
    again.RevertAll();
    FUZZ_CHECK(again.ChangeCount() == 0);
    ReadEveryValue(again);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  Load<data::TLinkDataSet>(bytes);
  Load<AuditDataSet>(bytes);
  return 0;
}
