#include "data/remote/table_cache.h"

#include <algorithm>

#include "base/message_seam.h"
#include "base/number_format.h"
#include "base/text_routines.h"
#include "base/variant_routines.h"
#include "data/field.h"
#include "data/remote/application_dataset.h"
#include "data/remote/query_utils.h"
#include "data/sql_parts.h"

namespace mero::data {

namespace {

std::unique_ptr<TAMemCol>& Instance() {
  static std::unique_ptr<TAMemCol> instance;
  return instance;
}

std::string UpperTrim(std::string_view text) { return base::UpperStr(base::StrTrim(text)); }

// Digits with an optional sign and fraction: safe to write into a statement
// unquoted.
bool IsPlainNumber(std::string_view text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  const std::size_t digitsFrom = i;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  if (i == digitsFrom) return false;
  if (i < text.size() && text[i] == '.') {
    ++i;
    const std::size_t fractionFrom = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    if (i == fractionFrom) return false;
  }
  return i == text.size();
}

// Frees the query on every way out.
struct Query {
  std::unique_ptr<TKZLINK> q = NewQuery();
  Query() = default;
  Query(const Query&) = delete;
  Query& operator=(const Query&) = delete;
  ~Query() { FreeQuery(q); }
};

}  // namespace

namespace detail {
void CreateMemCol() { Instance() = std::make_unique<TAMemCol>(); }
void DestroyMemCol() { Instance().reset(); }
}  // namespace detail

TAMemCol* MemCol() { return Instance().get(); }

TAMemCol::TAMemCol() = default;
TAMemCol::~TAMemCol() = default;

TLinkTab* TAMemCol::Table(std::string_view name) {
  const std::string upper = UpperTrim(name);
  const auto it = std::find(names_.begin(), names_.end(), upper);
  return it == names_.end() ? nullptr : tables_[static_cast<std::size_t>(it - names_.begin())].get();
}

void TAMemCol::AddTable(std::string_view name, std::string_view sql, std::string_view sortFields,
                        std::string_view keyField) {
  const std::string upper = UpperTrim(name);
  if (upper.empty() || Table(upper) != nullptr) return;
  auto tab = std::make_unique<TLinkTab>();
  tab->name = upper;
  tab->sql = base::StrTrim(sql).empty() ? "select * from " + upper : std::string(sql);
  tab->keyField = UpperTrim(keyField).empty() ? "ID" : UpperTrim(keyField);
  tab->sortFields = std::string(sortFields);
  tab->cache = std::make_unique<TLinkDataSet>(upper);
  tab->scratch = std::make_unique<TLinkDataSet>(upper + "_ROW");
  tables_.push_back(std::move(tab));
  names_.push_back(upper);
}

void TAMemCol::Load(TLinkTab& tab) {
  Query query;
  try {
    OpenSQL(*query.q, tab.sql, -1);
  } catch (const std::exception&) {
    base::ShowMess(errors::kCacheLoadFailed);
  }
  QueryGlobals().recordCount = query.q->Active() ? query.q->RecordCount() : 0;
  tab.loaded = false;
  tab.fieldNames.clear();
  if (query.q->Active()) {
    tab.cache->LoadFromDataSet(*query.q);
    if (!base::StrTrim(tab.sortFields).empty()) {
      std::vector<std::string> names;
      std::string_view rest = tab.sortFields;
      while (true) {
        const std::size_t pos = rest.find(';');
        const std::string name = base::StrTrim(rest.substr(0, pos));
        if (!name.empty()) names.push_back(name);
        if (pos == std::string_view::npos) break;
        rest.remove_prefix(pos + 1);
      }
      tab.cache->SortOnFields(names, std::vector<bool>(names.size(), false));
    }
    for (int i = 0; i < tab.cache->FieldCount(); ++i) {
      if (i > 0) tab.fieldNames += ',';
      tab.fieldNames += base::UpperStr(tab.cache->Fields(i).FieldName());
    }
  } else {
    // A failed load leaves the table with no rows until it is loaded again.
    tab.cache->Close();
    tab.cache->DestroyFields();
  }
  tab.loaded = true;
}

TLinkTab* TAMemCol::Loaded(std::string_view name) {
  TLinkTab* tab = Table(name);
  if (tab != nullptr && !tab->loaded) Load(*tab);
  return tab;
}

void TAMemCol::LoadTable(std::string_view name) {
  if (TLinkTab* tab = Table(name)) Load(*tab);
}

void TAMemCol::LoadAllTables() {
  for (const auto& tab : tables_) Load(*tab);
}

int TAMemCol::FindKey(std::string_view name, std::string_view key) {
  if (key.empty()) return -1;
  TLinkTab* tab = Loaded(name);
  if (tab == nullptr || !tab->cache->Active() || tab->cache->FindField(tab->keyField) == nullptr) return -1;
  return tab->cache->Locate(tab->keyField, base::Variant::Text(std::string(key)), 0) ? 1 : -1;
}

std::string TAMemCol::KeyLiteral(const TLinkTab& tab, std::string_view key) const {
  const TField* field = tab.cache->Active() ? tab.cache->FindField(tab.keyField) : nullptr;
  // A key that is not a plain number is quoted even for a numeric field, so
  // that no text reaches the statement unquoted.
  if (field != nullptr && IsNumericType(field->DataType()) && IsPlainNumber(key)) return std::string(key);
  return base::QuotedStr(key);
}

std::string TAMemCol::CachedLookup(std::string_view name, std::string_view key, std::string_view field, bool& found) {
  found = false;
  if (key.empty()) return {};
  TLinkTab* tab = Loaded(name);
  if (tab == nullptr || !tab->cache->Active()) return {};
  TLinkDataSet& cache = *tab->cache;
  const TField* keyField = cache.FindField(tab->keyField);
  if (keyField == nullptr) return {};
  const bool onRow = !cache.IsEmpty() && !keyField->IsNull() && keyField->AsString() == key;
  if (!onRow && FindKey(name, key) != 1) return {};
  const std::string wanted = UpperTrim(field);
  if (const TField* cached = cache.FindField(wanted)) {
    found = true;
    return cached->IsNull() ? std::string() : cached->AsString();
  }
  const std::string sql =
      "select " + std::string(field) + " from " + tab->name + " where " + tab->keyField + "=" + KeyLiteral(*tab, key);
  return base::VarToStrZ(SelectValue(sql, field));
}

std::string TAMemCol::CachedLookup(std::string_view name, std::string_view key, std::string_view field) {
  bool found = false;
  return CachedLookup(name, key, field, found);
}

int TAMemCol::CachedLookupInt(std::string_view name, std::string_view key, std::string_view field) {
  std::int32_t value = 0;
  return base::TryStrToInt(base::StrTrim(CachedLookup(name, key, field)), value) ? value : 0;
}

TLinkDataSet* TAMemCol::TableData(std::string_view name) {
  TLinkTab* tab = nullptr;
  try {
    tab = Loaded(name);
  } catch (const std::exception&) {
    return nullptr;
  }
  if (tab == nullptr || !tab->cache->Active()) return nullptr;
  return tab->cache.get();
}

int TAMemCol::FetchRow(TLinkTab& tab, std::string_view key) {
  const std::string sql = AddSQLWhere(tab.sql, "(" + tab.keyField + "=" + KeyLiteral(tab, key) + ")");
  Query query;
  try {
    OpenSQL(*query.q, sql, -1);
  } catch (const std::exception&) {
    base::ShowMess(errors::kCacheFetchFailed);
  }
  if (!query.q->Active()) {
    tab.scratch->Close();
    return 0;
  }
  tab.scratch->LoadFromDataSet(*query.q);
  return tab.scratch->RecordCount();
}

void TAMemCol::RefreshRecord(std::string_view name, std::string_view key) {
  if (key.empty()) return;
  TLinkTab* tab = Table(name);
  if (tab == nullptr) return;
  const int cached = FindKey(name, key);
  if (!tab->cache->Active()) return;
  if (FetchRow(*tab, key) != 1) return;
  TLinkDataSet& cache = *tab->cache;
  // FindKey left the cursor on the cached row; a fetch does not move it. A
  // new row goes to the end.
  if (cached == 1) {
    cache.Edit();
  } else {
    cache.Append();
  }
  try {
    tab->scratch->First();
    CopyRecord(*tab->scratch, cache, "", ";");
    cache.Post();
  } catch (...) {
    cache.Cancel();
    throw;
  }
}

void TAMemCol::DropRecord(std::string_view name, std::string_view key) {
  TLinkTab* tab = Table(name);
  // A table not loaded yet will read the server's rows when it is.
  if (tab == nullptr || !tab->loaded) return;
  if (FindKey(name, key) == 1) tab->cache->Delete();
}

}  // namespace mero::data
