#include "server/database.h"

#include <sqlite3.h>

#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "server/oracle_errors.h"
#include "server/wal_keeper.h"
#include "server/write_turns.h"

namespace mero::server {
namespace {

// How much of the database file each connection maps for reading.
constexpr std::int64_t kMappedBytes = 256LL << 20;

// Raised each time a connection of this process lets go of the write lock.
struct WriteReleases {
  std::mutex mutex;
  std::condition_variable released;
  std::uint64_t count = 0;
};

WriteReleases& Releases() {
  static WriteReleases r;
  return r;
}

void Released() {
  WriteReleases& r = Releases();
  {
    std::lock_guard lock(r.mutex);
    ++r.count;
  }
  r.released.notify_all();
}

void OnRolledBack(void*) { Released(); }

}  // namespace

// What the connections of this process to one file share.
struct Database::File {
  File(const std::string& path, int walPages) : keeper(path, turns, walPages) {}
  WriteTurns turns;
  WalKeeper keeper;

  // One per file while a connection to it is open, found by the file's
  // full path (an in-memory database has one of its own).
  static std::shared_ptr<File> Of(const std::string& path, int walPages) {
    static std::mutex mutex;
    static std::map<std::string, std::weak_ptr<File>> open;
    std::error_code ec;
    const bool memory = path.empty() || path == ":memory:" || path.starts_with("file:");
    const std::string key = memory ? std::string() : std::filesystem::weakly_canonical(path, ec).string();
    if (memory || ec) return std::make_shared<File>(path, walPages);
    std::lock_guard lock(mutex);
    for (auto it = open.begin(); it != open.end();) it = it->second.expired() ? open.erase(it) : std::next(it);
    if (auto found = open[key].lock()) return found;
    auto file = std::make_shared<File>(key, walPages);
    open[key] = file;
    return file;
  }
};

int Database::OnCommitted(void* selfPtr, sqlite3*, const char*, int pages) {
  // Called after the commit, with the write lock released. Taking this hook
  // replaces SQLite's automatic checkpoint: the file's keeper does it.
  auto* self = static_cast<Database*>(selfPtr);
  Released();
  self->committed_ = true;
  self->file_->keeper.Committed(pages);
  return SQLITE_OK;
}

int Database::OnBusy(void* selfPtr, int count) {
  auto* self = static_cast<Database*>(selfPtr);
  const auto now = std::chrono::steady_clock::now();
  if (count == 0) self->busySince_ = now;
  const auto deadline = self->busySince_ + std::chrono::milliseconds(self->busyTimeoutMs_);
  if (now >= deadline) return 0;
  // A release of another connection of this process wakes the wait at once;
  // the short bound covers a writer outside the process and a rollback that
  // lets go of the lock just after its hook ran.
  WriteReleases& r = Releases();
  std::unique_lock lock(r.mutex);
  const std::uint64_t seen = r.count;
  r.released.wait_until(lock, std::min(deadline, now + std::chrono::milliseconds(5)), [&] { return r.count != seen; });
  return 1;
}

Database::Database(const std::string& path, Mode mode, int busyTimeoutMs, int walPages)
    : path_(path), file_(File::Of(path, walPages)) {
  const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (mode == Mode::Create ? SQLITE_OPEN_CREATE : 0);
  const int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
  if (rc != SQLITE_OK) {
    const std::string text = db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory";
    sqlite3_close(db_);
    db_ = nullptr;
    throw SqlError("ORA-12154: cannot open the database " + path + ": " + text);
  }
  sqlite3_extended_result_codes(db_, 1);
  busyTimeoutMs_ = busyTimeoutMs;
  sqlite3_busy_handler(db_, &Database::OnBusy, this);
  sqlite3_wal_hook(db_, &Database::OnCommitted, this);
  sqlite3_rollback_hook(db_, &OnRolledBack, nullptr);
  // NORMAL: a commit does not wait for the disk while it holds the write
  // lock; SyncCommitted() flushes the log before the commit is answered.
  Exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA foreign_keys=ON;");
  // Pages are read from a mapping of the file instead of being copied out of
  // the kernel for every select: a big list reads a third faster. Writes
  // still go through the journal and the file as before.
  Exec("PRAGMA mmap_size=" + std::to_string(kMappedBytes) + ";");
}

Database::~Database() { Close(); }

void Database::Close() noexcept {
  for (auto it = atClose_.rbegin(); it != atClose_.rend(); ++it) {
    try {
      (*it)();
    } catch (...) {
      // Closing goes on; what a step could not free goes with the connection.
    }
  }
  atClose_.clear();
  if (db_ != nullptr && sqlite3_get_autocommit(db_) == 0) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close_v2(db_);
  db_ = nullptr;
  GiveTurnIfIdle();
  file_.reset();
}

void Database::TakeWriteTurn() {
  if (hasTurn_) return;
  if (!file_->turns.Take(std::chrono::steady_clock::now() + std::chrono::milliseconds(busyTimeoutMs_))) {
    throw SqlError(OracleErrorText(nullptr, SQLITE_BUSY, ""));
  }
  hasTurn_ = true;
}

void Database::GiveTurnIfIdle() noexcept {
  if (!hasTurn_ || (db_ != nullptr && sqlite3_get_autocommit(db_) == 0)) return;
  hasTurn_ = false;
  file_->turns.Give();
}

void Database::SyncCommitted() {
  if (!committed_ || db_ == nullptr) return;
  committed_ = false;
  const int rc = file_->keeper.Sync(db_);
  if (rc != SQLITE_OK) throw SqlError(OracleErrorText(nullptr, rc, ""));
}

void Database::AtClose(std::function<void()> fn) { atClose_.push_back(std::move(fn)); }

Database::Database(Database&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)),
      path_(std::move(other.path_)),
      file_(std::move(other.file_)),
      busyTimeoutMs_(other.busyTimeoutMs_),
      hasTurn_(std::exchange(other.hasTurn_, false)),
      committed_(std::exchange(other.committed_, false)),
      atClose_(std::exchange(other.atClose_, {})) {
  Rehook();
}

void Database::Rehook() {
  if (db_ == nullptr) return;
  sqlite3_busy_handler(db_, &Database::OnBusy, this);
  sqlite3_wal_hook(db_, &Database::OnCommitted, this);
}

Database& Database::operator=(Database&& other) noexcept {
  if (this != &other) {
    Close();
    db_ = std::exchange(other.db_, nullptr);
    path_ = std::move(other.path_);
    file_ = std::move(other.file_);
    busyTimeoutMs_ = other.busyTimeoutMs_;
    hasTurn_ = std::exchange(other.hasTurn_, false);
    committed_ = std::exchange(other.committed_, false);
    atClose_ = std::exchange(other.atClose_, {});
    Rehook();
  }
  return *this;
}

void Database::Exec(std::string_view sql) {
  const std::string text(sql);
  const int rc = sqlite3_exec(db_, text.c_str(), nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) throw SqlError(OracleErrorText(db_, rc, text));
  // What the statements committed is on the disk before they are done.
  if (sqlite3_get_autocommit(db_) != 0) SyncCommitted();
}

}  // namespace mero::server
