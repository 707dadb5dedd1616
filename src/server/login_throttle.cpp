#include "server/login_throttle.h"

#include <algorithm>

#include "base/text_routines.h"

namespace mero::server {
namespace {

std::string Key(const std::string& user, const std::string& address) { return base::UpperStr(user) + "@" + address; }

}  // namespace

std::chrono::milliseconds LoginThrottle::DelayFor(const std::string& user, const std::string& address,
                                                  Clock::time_point now) {
  std::lock_guard lock(mutex_);
  const auto it = records_.find(Key(user, address));
  if (it == records_.end() || it->second.failures == 0) return std::chrono::milliseconds(0);
  if (it->second.lockedUntil > now) return maxDelay_;
  const int shift = std::min(it->second.failures - 1, 10);
  return std::min(maxDelay_, firstDelay_ * (1 << shift));
}

bool LoginThrottle::Locked(const std::string& user, const std::string& address, Clock::time_point now) {
  std::lock_guard lock(mutex_);
  const auto it = records_.find(Key(user, address));
  return it != records_.end() && it->second.lockedUntil > now;
}

void LoginThrottle::Failed(const std::string& user, const std::string& address, Clock::time_point now) {
  std::lock_guard lock(mutex_);
  Record& r = records_[Key(user, address)];
  if (r.lockedUntil != Clock::time_point{} && r.lockedUntil <= now) r = Record{};  // a served lock starts afresh
  ++r.failures;
  if (r.failures >= kLockAfter && r.lockedUntil <= now) r.lockedUntil = now + kLockTime;
}

void LoginThrottle::Succeeded(const std::string& user, const std::string& address) {
  std::lock_guard lock(mutex_);
  records_.erase(Key(user, address));
}

}  // namespace mero::server
