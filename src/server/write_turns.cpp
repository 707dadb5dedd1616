#include "server/write_turns.h"

#include <algorithm>

namespace mero::server {

bool WriteTurns::Take(Clock::time_point deadline) {
  std::unique_lock lock(mutex_);
  if (!taken_ && waiting_.empty()) {
    taken_ = true;
    return true;
  }
  Waiter me;
  waiting_.push_back(&me);
  while (!me.granted) {
    if (me.wake.wait_until(lock, deadline) == std::cv_status::timeout && !me.granted) {
      waiting_.erase(std::find(waiting_.begin(), waiting_.end(), &me));
      return false;
    }
  }
  return true;
}

void WriteTurns::Give() {
  std::lock_guard lock(mutex_);
  if (waiting_.empty()) {
    taken_ = false;
    return;
  }
  // The turn passes straight on: nobody can slip in between.
  Waiter* next = waiting_.front();
  waiting_.pop_front();
  next->granted = true;
  next->wake.notify_one();
}

std::size_t WriteTurns::Waiting() {
  std::lock_guard lock(mutex_);
  return waiting_.size();
}

}  // namespace mero::server
