#pragma once

#include <chrono>
#include <map>
#include <mutex>
#include <string>

namespace mero::server {

// Slows down password guessing. Every failed login of a user name from an
// address makes the answer to that pair wait longer (250 ms by default,
// doubling, at most 16 times that); after five failures in a row the pair is
// locked out for five minutes, and a correct password is refused too until
// then. A successful login clears the pair. Shared by all sessions.
class LoginThrottle {
 public:
  using Clock = std::chrono::steady_clock;

  static constexpr int kLockAfter = 5;
  static constexpr std::chrono::minutes kLockTime{5};

  explicit LoginThrottle(std::chrono::milliseconds firstDelay = std::chrono::milliseconds(250))
      : firstDelay_(firstDelay), maxDelay_(firstDelay * 16) {}

  // How long to hold back the answer to a login of this pair now.
  std::chrono::milliseconds DelayFor(const std::string& user, const std::string& address, Clock::time_point now);
  bool Locked(const std::string& user, const std::string& address, Clock::time_point now);
  void Failed(const std::string& user, const std::string& address, Clock::time_point now);
  void Succeeded(const std::string& user, const std::string& address);

 private:
  struct Record {
    int failures = 0;
    Clock::time_point lockedUntil{};
  };

  std::chrono::milliseconds firstDelay_;
  std::chrono::milliseconds maxDelay_;
  std::mutex mutex_;
  std::map<std::string, Record> records_;
};

}  // namespace mero::server
