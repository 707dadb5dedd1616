#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "server/write_turns.h"

struct sqlite3;

namespace mero::server {

// The write-ahead log of one database file, for every connection of this
// process to it: it makes commits durable in groups and keeps the log short.
//
// Durability. The connections commit with synchronous=NORMAL: a commit
// writes its frames to the log and lets go of the write lock without waiting
// for the disk. Sync() then flushes the log before the commit is answered,
// so the next writer works while this one waits for the disk, and one flush
// serves every commit written before it started. A commit that was answered
// is on the disk; one that was not answered may be lost to a power cut, and
// with it every later one (the log is read back in order and ends at the
// first frame that is not whole), never an earlier one.
//
// Size. SQLite starts the log again from its beginning only when no reader
// is still reading from it; under steady reads that never happens, and the
// file grows by every commit. Once the log holds resetPages pages, a
// thread of its own copies it back into the database (without holding up
// anybody), then takes a write turn and waits a moment for the readers of
// older data to finish, so that the next commit starts the log afresh. A
// file that still grew past four times that (a long select held the log) is
// cut back to nothing the same way.
class WalKeeper {
 public:
  static constexpr int kResetPages = 4000;  // 16 MB of 4 KB pages

  WalKeeper(std::string databasePath, WriteTurns& turns, int resetPages = kResetPages);
  ~WalKeeper();
  WalKeeper(const WalKeeper&) = delete;
  WalKeeper& operator=(const WalKeeper&) = delete;

  // From a connection's commit: the log now holds pages pages.
  void Committed(int pages);
  // Flushes the log of db (a connection to this file) to the disk up to its
  // last commit; returns an SQLite result code.
  int Sync(sqlite3* db);

 private:
  static int OnBusy(void* self, int count);
  void Run();
  void Checkpoint();

  const std::string path_;
  WriteTurns& turns_;
  const int resetPages_;
  std::int64_t limitBytes_ = 0;  // four times the pages with their frame headers

  // Commits that asked for a flush, and the number of them on the disk.
  std::atomic<std::uint64_t> written_{0};
  std::mutex syncMutex_;
  std::condition_variable syncDone_;
  std::uint64_t synced_ = 0;
  bool syncing_ = false;

  std::mutex mutex_;
  std::condition_variable wanted_;
  bool want_ = false;
  bool stop_ = false;
  std::thread thread_;  // started by the first full log
  sqlite3* db_ = nullptr;
  std::chrono::steady_clock::time_point busyUntil_{};
};

}  // namespace mero::server
