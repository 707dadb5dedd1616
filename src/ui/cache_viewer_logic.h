#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mero::data {
class TAMemCol;
}

namespace mero::ui {

// What the cache viewer shows of the table cache.

// The registered tables, in the order they were added.
std::vector<std::string> CachedTableNames(const data::TAMemCol& cache);

struct CachedRows {
  std::vector<std::string> fields;
  std::vector<std::vector<std::string>> rows;  // NULL reads as empty
};
// The rows of the table (loaded first when it is not); the cache's cursor
// is left on the row it stood on. Empty for an unknown or failed table.
CachedRows ReadCachedRows(data::TAMemCol& cache, std::string_view table);

// "Test Locate": the table searched for the key on its key field;
// "Located at pos:" and the row's position (from 1) when found, else
// "Not located:" and the key.
std::string TestLocateText(data::TAMemCol& cache, std::string_view table, std::string_view key);

}  // namespace mero::ui
