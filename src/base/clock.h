#pragma once

#include <memory>

#include "base/date_time.h"

namespace mero::base {

// The one source of "now" and "today" for the client and of sysdate for the
// server; tests install a fixed clock so that they can stand on any day.
class Clock {
 public:
  virtual ~Clock() = default;
  // Local date and time as a date-time number, to the millisecond.
  virtual TDateTime Now() const = 0;
};

class SystemClock final : public Clock {
 public:
  TDateTime Now() const override;
};

class FixedClock final : public Clock {
 public:
  explicit FixedClock(TDateTime now) : now_(now) {}
  TDateTime Now() const override { return now_; }
  void Set(TDateTime now) { now_ = now; }

 private:
  TDateTime now_;
};

// Replaces the process clock; nullptr restores the system clock.
void SetClock(std::shared_ptr<const Clock> clock);
TDateTime Now();
TDateTime Today();

// Installs a clock for the life of a scope (tests).
class ScopedClock {
 public:
  explicit ScopedClock(std::shared_ptr<const Clock> clock) { SetClock(std::move(clock)); }
  ~ScopedClock() { SetClock(nullptr); }
  ScopedClock(const ScopedClock&) = delete;
  ScopedClock& operator=(const ScopedClock&) = delete;
};

}  // namespace mero::base
