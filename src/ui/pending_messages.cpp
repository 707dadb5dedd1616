// Placeholder until the message window is built; removed with it.
#include "base/exception.h"
#include "ui/message_window.h"

namespace mero::ui {

base::ModalResult RunMessageWindow(const std::string&, int, int, int) { throw base::Exception("not built yet"); }

}  // namespace mero::ui
