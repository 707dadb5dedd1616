#include "server/login_throttle.h"

#include <algorithm>

#include "base/text_routines.h"

namespace mero::server {
namespace {

std::string Key(const std::string& user, const std::string& address) { return base::UpperStr(user) + "@" + address; }

}  // namespace

void LoginThrottle::Expire(Clock::time_point now) {
  // A lock ends kLockTime after the failure that set it, so a pair whose last
  // failure is that old is not locked either.
  while (!order_.empty()) {
    const auto it = records_.find(order_.front());
    if (it->second.lastFailure + kLockTime > now) break;
    records_.erase(it);
    order_.pop_front();
  }
}

void LoginThrottle::Evict(Clock::time_point now) {
  auto victim = order_.begin();
  for (auto k = order_.begin(); k != order_.end(); ++k) {
    if (records_.find(*k)->second.lockedUntil <= now) {
      victim = k;
      break;
    }
  }
  records_.erase(*victim);
  order_.erase(victim);
}

std::chrono::milliseconds LoginThrottle::DelayFor(const std::string& user, const std::string& address,
                                                  Clock::time_point now) {
  std::lock_guard lock(mutex_);
  Expire(now);
  const auto it = records_.find(Key(user, address));
  if (it == records_.end() || it->second.failures == 0) return std::chrono::milliseconds(0);
  if (it->second.lockedUntil > now) return maxDelay_;
  const int shift = std::min(it->second.failures - 1, 10);
  return std::min(maxDelay_, firstDelay_ * (1 << shift));
}

bool LoginThrottle::Locked(const std::string& user, const std::string& address, Clock::time_point now) {
  std::lock_guard lock(mutex_);
  Expire(now);
  const auto it = records_.find(Key(user, address));
  return it != records_.end() && it->second.lockedUntil > now;
}

void LoginThrottle::Failed(const std::string& user, const std::string& address, Clock::time_point now) {
  std::lock_guard lock(mutex_);
  Expire(now);
  const std::string key = Key(user, address);
  auto it = records_.find(key);
  if (it == records_.end()) {
    if (records_.size() >= maxRecords_) Evict(now);
    it = records_.emplace(key, Record{}).first;
    it->second.place = order_.insert(order_.end(), key);
  } else {
    order_.splice(order_.end(), order_, it->second.place);
  }
  Record& r = it->second;
  if (r.lockedUntil != Clock::time_point{} && r.lockedUntil <= now) {
    r.failures = 0;  // a served lock starts afresh
    r.lockedUntil = {};
  }
  ++r.failures;
  r.lastFailure = now;
  if (r.failures >= kLockAfter && r.lockedUntil <= now) r.lockedUntil = now + kLockTime;
}

void LoginThrottle::Succeeded(const std::string& user, const std::string& address) {
  std::lock_guard lock(mutex_);
  const auto it = records_.find(Key(user, address));
  if (it == records_.end()) return;
  order_.erase(it->second.place);
  records_.erase(it);
}

std::size_t LoginThrottle::Records(Clock::time_point now) {
  std::lock_guard lock(mutex_);
  Expire(now);
  return records_.size();
}

}  // namespace mero::server
