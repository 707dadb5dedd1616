// Placeholders until the small dialogs are built; removed with them.
#include "base/exception.h"
#include "ui/date_range_dialog.h"

namespace mero::ui {

bool RunDateRangeDialog(const std::string&, const std::string&, base::TDateTime&, base::TDateTime&) {
  throw base::Exception("not built yet");
}

}  // namespace mero::ui
