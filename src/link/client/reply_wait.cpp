#include "link/client/reply_wait.h"

#include "link/client/client_windows.h"

namespace mero::link {

void TLinkSmartWait::Quit() {
  if (depth_ > 0) quit_ = true;
}

void TLinkSmartWait::Wait(const Pump& pump) {
  if (waiting_) return;
  LinkClientWindows* windows = CurrentLinkClientWindows();
  const bool cursor = cursorMode_ != cqNoChange && windows != nullptr;
  if (cursor) windows->SetWaitCursor(cursorMode_);
  if (OnStartOfWait) OnStartOfWait();
  quit_ = false;
  ++depth_;
  waiting_ = true;
  struct End {
    TLinkSmartWait& w;
    bool cursor;
    LinkClientWindows* windows;
    ~End() {
      w.waiting_ = false;
      --w.depth_;
      w.quit_ = false;
      if (w.OnEndOfWait) w.OnEndOfWait();
      if (cursor) windows->RestoreCursor();
    }
  } end{*this, cursor, windows};
  while (waiting_) {
    if (quit_.exchange(false)) break;
    if (OnWaitTick) OnWaitTick();
    if (!pump()) break;
  }
}

}  // namespace mero::link
