#include "link/client/reply_wait.h"

#include "link/client/client_windows.h"

namespace mero::link {

void TLinkSmartWait::Quit() {
  if (depth_ > 0) quit_ = true;
}

TLinkSmartWait::Outcome TLinkSmartWait::Wait(const Pump& pump) {
  if (waiting_) return Outcome::Released;
  LinkClientWindows* windows = CurrentLinkClientWindows();
  const bool cursor = cursorMode_ != cqNoChange && windows != nullptr;
  if (cursor) windows->SetWaitCursor(cursorMode_);
  if (OnStartOfWait) OnStartOfWait();
  quit_ = false;
  Activity();
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
    if (quit_.exchange(false)) return Outcome::Quit;
    if (OnWaitTick) OnWaitTick();
    if (!pump()) return Outcome::ConnectionGone;
    if (waiting_ && timeLimit_.count() > 0 && std::chrono::steady_clock::now() - lastActivity_ >= timeLimit_) {
      return Outcome::TimedOut;
    }
  }
  return Outcome::Released;
}

}  // namespace mero::link
