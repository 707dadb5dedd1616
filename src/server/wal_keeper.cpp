#include "server/wal_keeper.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <utility>

namespace mero::server {
namespace {

// How long a reset waits for the readers of older data, with the write turn
// held: a select of a list ends well within it; a longer one makes the reset
// give up and try again later rather than hold the writers up.
constexpr auto kReaderWait = std::chrono::milliseconds(20);
// How long the reset waits for its write turn behind the writers.
constexpr auto kTurnWait = std::chrono::milliseconds(200);
// The pause after a reset that could not be done.
constexpr auto kRetryPause = std::chrono::milliseconds(50);

// Flushes the log file that the connection writes to.
int SyncLog(sqlite3* db, const std::string& logPath) {
  sqlite3_file* file = nullptr;
  if (sqlite3_file_control(db, "main", SQLITE_FCNTL_JOURNAL_POINTER, &file) == SQLITE_OK && file != nullptr &&
      file->pMethods != nullptr) {
    return file->pMethods->xSync(file, SQLITE_SYNC_NORMAL);
  }
  // No log open on this connection: the file's data is flushed all the same
  // through a descriptor of its own.
  const int fd = ::open(logPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return SQLITE_IOERR_FSYNC;
  const int rc = ::fdatasync(fd) == 0 ? SQLITE_OK : SQLITE_IOERR_FSYNC;
  ::close(fd);
  return rc;
}

}  // namespace

WalKeeper::WalKeeper(std::string databasePath, WriteTurns& turns, int resetPages)
    : path_(std::move(databasePath)), turns_(turns), resetPages_(resetPages) {}

WalKeeper::~WalKeeper() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wanted_.notify_one();
  if (thread_.joinable()) thread_.join();
}

void WalKeeper::Committed(int pages) {
  if (pages < resetPages_) return;
  {
    std::lock_guard lock(mutex_);
    if (stop_) return;
    want_ = true;
    if (!thread_.joinable()) thread_ = std::thread(&WalKeeper::Run, this);
  }
  wanted_.notify_one();
}

int WalKeeper::Sync(sqlite3* db) {
  // Counted after this connection's frames were written: a flush that starts
  // after it covers them.
  const std::uint64_t mine = ++written_;
  std::unique_lock lock(syncMutex_);
  while (synced_ < mine) {
    if (syncing_) {
      syncDone_.wait(lock);
      continue;
    }
    syncing_ = true;
    const std::uint64_t upTo = written_.load();
    lock.unlock();
    const int rc = SyncLog(db, path_ + "-wal");
    lock.lock();
    syncing_ = false;
    if (rc == SQLITE_OK) synced_ = std::max(synced_, upTo);
    syncDone_.notify_all();
    if (rc != SQLITE_OK) return rc;
  }
  return SQLITE_OK;
}

int WalKeeper::OnBusy(void* selfPtr, int) {
  auto* self = static_cast<WalKeeper*>(selfPtr);
  if (std::chrono::steady_clock::now() >= self->busyUntil_) return 0;
  std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return 1;
}

void WalKeeper::Run() {
  if (sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
    // Without a connection of its own the log is left to SQLite's checkpoint
    // at the last close.
    sqlite3_close(db_);
    db_ = nullptr;
    return;
  }
  sqlite3_busy_handler(db_, &WalKeeper::OnBusy, this);
  // A new connection knows the file is in WAL mode once it has read it.
  sqlite3_exec(db_, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
  sqlite3_stmt* stmt = nullptr;
  std::int64_t pageSize = 4096;
  if (sqlite3_prepare_v2(db_, "PRAGMA page_size", -1, &stmt, nullptr) == SQLITE_OK &&
      sqlite3_step(stmt) == SQLITE_ROW) {
    pageSize = sqlite3_column_int64(stmt, 0);
  }
  sqlite3_finalize(stmt);
  constexpr std::int64_t kFrameHeader = 24;
  limitBytes_ = 4 * static_cast<std::int64_t>(resetPages_) * (pageSize + kFrameHeader);
  std::unique_lock lock(mutex_);
  while (true) {
    wanted_.wait(lock, [&] { return want_ || stop_; });
    if (stop_) break;
    want_ = false;
    lock.unlock();
    Checkpoint();
    lock.lock();
  }
  lock.unlock();
  sqlite3_close(db_);
  db_ = nullptr;
}

void WalKeeper::Checkpoint() {
  // The copy first, beside the writers and readers.
  int logPages = 0;
  int copied = 0;
  busyUntil_ = {};
  sqlite3_wal_checkpoint_v2(db_, "main", SQLITE_CHECKPOINT_PASSIVE, &logPages, &copied);
  if (logPages < resetPages_) return;  // started afresh meanwhile

  if (!turns_.Take(std::chrono::steady_clock::now() + kTurnWait)) return;  // an open transaction: next commit
  std::error_code ec;
  const auto bytes = std::filesystem::file_size(path_ + "-wal", ec);
  const int mode =
      !ec && bytes > static_cast<std::uintmax_t>(limitBytes_) ? SQLITE_CHECKPOINT_TRUNCATE : SQLITE_CHECKPOINT_RESTART;
  busyUntil_ = std::chrono::steady_clock::now() + kReaderWait;
  const int rc = sqlite3_wal_checkpoint_v2(db_, "main", mode, nullptr, nullptr);
  busyUntil_ = {};
  turns_.Give();
  if (rc != SQLITE_OK) {
    // Readers held on: let the writers run a while before trying again.
    std::unique_lock lock(mutex_);
    wanted_.wait_for(lock, kRetryPause, [&] { return stop_; });
  }
}

}  // namespace mero::server
