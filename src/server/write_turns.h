#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>

namespace mero::server {

// The order in which the connections of this process to one database file
// take its write lock: first come, first served, one at a time.
//
// SQLite lets every waiting writer retry when the lock is released, so the
// one that wins is whoever the scheduler runs first: under load some writers
// lose again and again while every release wakes all of them. Here a release
// hands the turn to the longest waiter alone.
class WriteTurns {
 public:
  using Clock = std::chrono::steady_clock;

  // Waits for the caller's turn; false when the deadline passes first.
  bool Take(Clock::time_point deadline);
  // Ends the caller's turn and hands it to the next waiter, if any.
  void Give();
  // How many wait for a turn now.
  std::size_t Waiting();

 private:
  struct Waiter {
    std::condition_variable wake;
    bool granted = false;
  };

  std::mutex mutex_;
  std::deque<Waiter*> waiting_;
  bool taken_ = false;
};

}  // namespace mero::server
