#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/memory_dataset.h"

namespace mero::data {

// Messages of a failed cache load and of a failed single-row fetch.
namespace errors {
inline constexpr const char* kCacheLoadFailed = "IMC. The SQL Statement Failed.Continuing.";
inline constexpr const char* kCacheFetchFailed = "IMCxx. The SQL Statement Failed.Continuing.";
}  // namespace errors

// One cached table.
struct TLinkTab {
  // Upper-cased.
  std::string name;
  // The statement that loads it.
  std::string sql;
  // Upper-cased.
  std::string keyField;
  // ";"-separated fields the cache is sorted on after loading.
  std::string sortFields;
  std::unique_ptr<TLinkDataSet> cache;
  // Receives single rows fetched by key.
  std::unique_ptr<TLinkDataSet> scratch;
  // Comma text of the cache's field names, upper-cased.
  std::string fieldNames;
  bool loaded = false;
};

// The cache of small tables the windows look codes up in. Tables load on
// first use; a load error is shown and leaves the table loaded and empty.
class TAMemCol {
 public:
  TAMemCol();
  ~TAMemCol();
  TAMemCol(const TAMemCol&) = delete;
  TAMemCol& operator=(const TAMemCol&) = delete;

  // Registers a table unless its name is registered; sql defaults to
  // "select * from NAME", keyField to "ID".
  void AddTable(std::string_view name, std::string_view sql = {}, std::string_view sortFields = {},
                std::string_view keyField = {});
  // Loads or reloads; an unregistered name does nothing.
  void LoadTable(std::string_view name);
  void LoadAllTables();
  // 1 when the key is in the table (loading it first), -1 otherwise.
  int FindKey(std::string_view name, std::string_view key);
  // The field of the cached row with key. A field the cache does not hold
  // is asked of the server (found stays false). An absent key gives empty
  // without asking.
  std::string CachedLookup(std::string_view name, std::string_view key, std::string_view field, bool& found);
  std::string CachedLookup(std::string_view name, std::string_view key, std::string_view field);
  // CachedLookup as an integer; 0 when empty or not a number.
  int CachedLookupInt(std::string_view name, std::string_view key, std::string_view field);
  // The cache dataset, loaded; nullptr when unregistered or the load raised.
  TLinkDataSet* TableData(std::string_view name);
  // Re-reads the row with key from the server into the cache (updated when
  // cached, inserted otherwise); nothing when the server has no such row.
  void RefreshRecord(std::string_view name, std::string_view key);
  // Removes the cached row with key, when there is one.
  void DropRecord(std::string_view name, std::string_view key);

  // The registered table, or nullptr.
  TLinkTab* Table(std::string_view name);
  int Count() const { return static_cast<int>(tables_.size()); }
  // The registered names (upper-cased), in the order they were added.
  const std::vector<std::string>& TableNames() const { return names_; }

 private:
  TLinkTab* Loaded(std::string_view name);
  void Load(TLinkTab& tab);
  std::string KeyLiteral(const TLinkTab& tab, std::string_view key) const;
  int FetchRow(TLinkTab& tab, std::string_view key);

  std::vector<std::unique_ptr<TLinkTab>> tables_;
  // Upper-cased names, parallel to tables_.
  std::vector<std::string> names_;
};

// The program's cache, made by InitQueryUtils; nullptr before.
TAMemCol* MemCol();

namespace detail {
// For InitQueryUtils and ResetQueryUtils (query_startup.h).
void CreateMemCol();
void DestroyMemCol();
}  // namespace detail

}  // namespace mero::data
