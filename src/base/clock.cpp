#include "base/clock.h"

#include <atomic>
#include <cmath>
#include <ctime>

namespace mero::base {
namespace {

std::shared_ptr<const Clock> DefaultClock() {
  static const auto system = std::make_shared<SystemClock>();
  return system;
}

std::shared_ptr<const Clock>& Installed() {
  static std::shared_ptr<const Clock> clock = DefaultClock();
  return clock;
}

}  // namespace

TDateTime SystemClock::Now() const {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  tm local{};
  localtime_r(&ts.tv_sec, &local);
  return CombineDateTime(EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday),
                         EncodeTime(local.tm_hour, local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec,
                                    static_cast<int>(ts.tv_nsec / 1000000)));
}

void SetClock(std::shared_ptr<const Clock> clock) {
  std::atomic_store(&Installed(), clock ? std::move(clock) : DefaultClock());
}

TDateTime Now() { return std::atomic_load(&Installed())->Now(); }

TDateTime Today() { return std::trunc(Now()); }

}  // namespace mero::base
