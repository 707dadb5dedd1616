#pragma once

#include <chrono>
#include <cstddef>
#include <list>
#include <map>
#include <mutex>
#include <string>

namespace mero::server {

// Slows down password guessing. Every failed login of a user name from an
// address makes the answer to that pair wait longer (250 ms by default,
// doubling, at most 16 times that); after five failures in a row the pair is
// locked out for five minutes, and a correct password is refused too until
// then. A successful login clears the pair. Shared by all sessions.
//
// The records stay bounded however many names are tried: a pair whose last
// failure is older than the lock time is forgotten (it cannot be locked any
// more), and beyond maxRecords pairs the one that failed longest ago goes
// first, a pair that is locked only when every pair is.
class LoginThrottle {
 public:
  using Clock = std::chrono::steady_clock;

  static constexpr int kLockAfter = 5;
  static constexpr std::chrono::minutes kLockTime{5};
  static constexpr std::size_t kMaxRecords = 10000;

  explicit LoginThrottle(std::chrono::milliseconds firstDelay = std::chrono::milliseconds(250),
                         std::size_t maxRecords = kMaxRecords)
      : firstDelay_(firstDelay), maxDelay_(firstDelay * 16), maxRecords_(maxRecords > 0 ? maxRecords : 1) {}

  // How long to hold back the answer to a login of this pair now.
  std::chrono::milliseconds DelayFor(const std::string& user, const std::string& address, Clock::time_point now);
  bool Locked(const std::string& user, const std::string& address, Clock::time_point now);
  void Failed(const std::string& user, const std::string& address, Clock::time_point now);
  void Succeeded(const std::string& user, const std::string& address);
  // The pairs remembered now, once those expired by now are forgotten.
  std::size_t Records(Clock::time_point now);

 private:
  struct Record {
    int failures = 0;
    Clock::time_point lastFailure{};
    Clock::time_point lockedUntil{};
    std::list<std::string>::iterator place;  // in order_
  };
  // Forgets the pairs whose last failure is kLockTime old (the oldest are at
  // the front of order_).
  void Expire(Clock::time_point now);
  // Makes room for one more pair.
  void Evict(Clock::time_point now);

  std::chrono::milliseconds firstDelay_;
  std::chrono::milliseconds maxDelay_;
  std::size_t maxRecords_;
  std::mutex mutex_;
  std::map<std::string, Record> records_;
  std::list<std::string> order_;  // keys by last failure, oldest first
};

}  // namespace mero::server
