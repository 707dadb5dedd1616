#include "server/write_turns.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace mero::server {
namespace {

using namespace std::chrono_literals;

WriteTurns::Clock::time_point In(std::chrono::milliseconds ms) { return WriteTurns::Clock::now() + ms; }

// Waits (at most a few seconds) until n callers wait for a turn.
bool WaitForWaiting(WriteTurns& turns, std::size_t n) {
  const auto until = In(5000ms);
  while (turns.Waiting() != n) {
    if (WriteTurns::Clock::now() > until) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

TEST(WriteTurns, TurnsPassInTheOrderTheWritersCame) {
  WriteTurns turns;
  ASSERT_TRUE(turns.Take(In(0ms)));
  std::mutex mutex;
  std::string order;
  std::vector<std::thread> writers;
  for (char name : std::string("abcd")) {
    writers.emplace_back([&, name] {
      if (!turns.Take(In(10000ms))) return;
      {
        std::lock_guard lock(mutex);
        order += name;
      }
      turns.Give();
    });
    ASSERT_TRUE(WaitForWaiting(turns, writers.size()));
  }
  turns.Give();
  for (std::thread& t : writers) t.join();
  EXPECT_EQ(order, "abcd");
  EXPECT_TRUE(turns.Take(In(0ms))) << "the last one handed the turn back";
}

TEST(WriteTurns, AWaiterThatGivesUpLeavesTheLineAndTheTurnGoesToTheNext) {
  WriteTurns turns;
  ASSERT_TRUE(turns.Take(In(0ms)));
  EXPECT_FALSE(turns.Take(In(30ms)));  // the turn is taken: the deadline passes
  EXPECT_EQ(turns.Waiting(), 0u);

  bool granted = false;
  std::thread next([&] {
    granted = turns.Take(In(10000ms));
    if (granted) turns.Give();
  });
  ASSERT_TRUE(WaitForWaiting(turns, 1));
  turns.Give();
  next.join();
  EXPECT_TRUE(granted);
  EXPECT_TRUE(turns.Take(In(0ms)));
}

}  // namespace
}  // namespace mero::server
