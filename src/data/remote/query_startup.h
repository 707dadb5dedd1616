#pragma once

namespace mero::data {

// The start of the query utilities and of what hangs on them. It sits above
// the application dataset, the query utilities and the table cache, which
// depend on one another one way only (cache → utilities → dataset): the
// application dataset reaches the utilities and the cache only through the
// hooks installed here (TKZLINKHooks).

// Once per run: the dataset utilities, the table cache MemCol with COOP
// registered, the start-up global query, and the hooks of TKZLINK. Later
// calls do nothing.
void InitQueryUtils(bool withAliases = false);
// Drops everything InitQueryUtils made and clears the shared state of the
// query utilities, so that a run can start again from nothing.
void ResetQueryUtils();

}  // namespace mero::data
