#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>

namespace mero::link {

// The mouse cursor shown while a reply is awaited.
enum TWaitingCursor : std::uint8_t { cqNoChange = 0, cqHourGlass = 1, cqSQLHourGlass = 2 };

// The reply wait of the client socket. One thread: the wait runs a pump that
// reads and dispatches only the socket's own traffic (blocking on the
// socket, not on Qt's event loop), so input, timers and painting stay queued
// until the wait ends. Handlers of received messages run inside the pump and
// may end the wait (Release) or start another request, whose wait returns at
// once: waits do not nest.
//
// A time limit ends a wait during which nothing arrived for that long: a
// server that accepted the request and then went silent must not keep the
// program waiting forever. Traffic (Activity) starts the count again, so a
// long stream of rows or file pieces is never cut.
class TLinkSmartWait {
 public:
  // How a wait ended.
  enum class Outcome : std::uint8_t { Released, Quit, ConnectionGone, TimedOut };

  // One pass of the socket's traffic: returns false when the connection is
  // gone. It may raise; the failure ends the wait and reaches the caller.
  using Pump = std::function<bool()>;

  bool Waiting() const { return waiting_; }
  TWaitingCursor CursorMode() const { return cursorMode_; }
  void SetCursorMode(TWaitingCursor mode) { cursorMode_ = mode; }

  // 0 = none.
  std::chrono::milliseconds TimeLimit() const { return timeLimit_; }
  void SetTimeLimit(std::chrono::milliseconds limit) { timeLimit_ = limit; }
  // Something arrived: the time limit counts from now.
  void Activity() { lastActivity_ = std::chrono::steady_clock::now(); }

  // Waits until Release, Quit, a lost connection or the time limit; returns
  // Released at once while another wait is in progress. A handler that runs
  // after its wait was released may wait again: that wait runs inside the
  // released one.
  Outcome Wait(const Pump& pump);
  // Ends the wait in progress.
  void Release() { waiting_ = false; }
  // The quit request of the thread: ends the wait in progress at its next
  // pass, and is consumed by it. Safe to call from any thread; without a wait
  // in progress it does nothing.
  void Quit();

  std::function<void()> OnStartOfWait;
  std::function<void()> OnEndOfWait;
  // Every pass of the wait.
  std::function<void()> OnWaitTick;

 private:
  bool waiting_ = false;
  std::atomic<bool> quit_{false};
  std::atomic<int> depth_{0};  // waits whose loop is running (a released one may still be)
  TWaitingCursor cursorMode_ = cqNoChange;
  std::chrono::milliseconds timeLimit_{0};
  std::chrono::steady_clock::time_point lastActivity_;
};

}  // namespace mero::link
