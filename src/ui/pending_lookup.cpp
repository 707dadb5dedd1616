// Placeholder until the lookup dialog is built; removed with it.
#include "base/exception.h"
#include "ui/lookup_dialog.h"

namespace mero::ui {

std::string RunLookup(const base::LookupRequest&) { throw base::Exception("not built yet"); }

}  // namespace mero::ui
