#include "ui/cache_viewer_logic.h"

#include "data/field.h"
#include "data/remote/table_cache.h"

namespace mero::ui {

std::vector<std::string> CachedTableNames(const data::TAMemCol& cache) { return cache.TableNames(); }

CachedRows ReadCachedRows(data::TAMemCol& cache, std::string_view table) {
  CachedRows out;
  data::TLinkDataSet* ds = cache.TableData(table);
  if (ds == nullptr) return out;
  for (int i = 0; i < ds->FieldCount(); ++i) out.fields.push_back(ds->Fields(i).FieldName());
  const data::TBookmark at = ds->GetBookmark();
  for (ds->First(); !ds->Eof(); ds->Next()) {
    std::vector<std::string>& row = out.rows.emplace_back();
    for (int i = 0; i < ds->FieldCount(); ++i) {
      const data::TField& f = ds->Fields(i);
      row.push_back(f.IsNull() ? std::string() : f.AsString());
    }
  }
  if (ds->BookmarkValid(at)) ds->GotoBookmark(at);
  return out;
}

std::string TestLocateText(data::TAMemCol& cache, std::string_view table, std::string_view key) {
  if (cache.FindKey(table, key) == 1) {
    if (data::TLinkDataSet* ds = cache.TableData(table)) return "Located at pos:" + std::to_string(ds->RecNo());
  }
  return "Not located:" + std::string(key);
}

}  // namespace mero::ui
