#include "ui/event_guard.h"

#include <string>

#include "base/encoding.h"
#include "base/message_seam.h"
#include "base/trace.h"
#include "data/database_error.h"

namespace mero::ui {

using namespace base::literals;

void ShowCaughtException(std::exception_ptr error) {
  if (!error) return;
  std::string text;
  try {
    std::rethrow_exception(error);
  } catch (const data::EAbort&) {
    return;  // the user's action ends here, as it was meant to
  } catch (const std::exception& e) {
    text = e.what();
  } catch (...) {
    text = "Συνέβη Σφάλμα!"_gr;
  }
  try {
    base::ShowMess(text);
  } catch (...) {
    // Showing failed too; nothing may leave the edge, so the log keeps it.
    base::DebugLog("UNSHOWN ERROR: " + text);
  }
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
  bool handled = false;
  Guarded([&] { handled = QApplication::notify(receiver, event); });
  return handled;
}

}  // namespace mero::ui
