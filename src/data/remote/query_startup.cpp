#include "data/remote/query_startup.h"

#include <memory>

#include "data/dataset_utils.h"
#include "data/remote/application_dataset.h"
#include "data/remote/query_utils.h"
#include "data/remote/table_cache.h"

namespace mero::data {

namespace {

// The query InitQueryUtils makes; the global one until the connect hook
// hands over the connection module's query.
std::unique_ptr<TKZLINK>& StartupQuery() {
  static std::unique_ptr<TKZLINK> query;
  return query;
}

TKZLINKHooks UtilityHooks() {
  TKZLINKHooks hooks;
  hooks.openSQL = [](TKZLINK& ds, std::string_view sql) { return OpenSQL(ds, sql, -1); };
  hooks.openQuery = [](TKZLINK& ds) { return OpenQuery(ds); };
  hooks.selectInt = [](const std::string& sql) { return SelectInt(sql); };
  hooks.commit = [](TKZLINK& ds) { CommitWork(ds.LinkClientSocket()); };
  hooks.loadTable = [](const std::string& table) {
    if (TAMemCol* cache = MemCol()) cache->LoadTable(table);
  };
  hooks.refreshRecord = [](const std::string& table, const std::string& key) {
    if (TAMemCol* cache = MemCol()) cache->RefreshRecord(table, key);
  };
  hooks.dropRecord = [](const std::string& table, const std::string& key) {
    if (TAMemCol* cache = MemCol()) cache->DropRecord(table, key);
  };
  return hooks;
}

}  // namespace

void InitQueryUtils([[maybe_unused]] bool withAliases) {
  QueryUtilsState& state = QueryGlobals();
  if (state.initialized) return;
  state.initialized = true;
  InitDataSetUtils();
  detail::CreateMemCol();
  SetTKZLINKHooks(UtilityHooks());
  StartupQuery() = NewQuery();
  // The connect hook may have run first; its query stays the global one.
  if (state.globalQuery == nullptr) state.globalQuery = StartupQuery().get();
  MemCol()->AddTable("COOP", "select * from COOP order by APPID", "", "APPID");
}

void ResetQueryUtils() {
  SetTKZLINKHooks({});
  detail::DestroyMemCol();
  FreeQuery(StartupQuery());
  detail::ResetQueryGlobals();
}

}  // namespace mero::data
