#include "server/database.h"

#include <sqlite3.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <utility>

#include "server/oracle_errors.h"

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

// Pages of the write-ahead log after which a commit copies it back into the
// database file (SQLite's own default).
constexpr int kCheckpointPages = 1000;

int OnCommitted(void*, sqlite3* db, const char* schema, int pages) {
  // Called after the commit, with the write lock released. Taking this hook
  // replaces SQLite's automatic checkpoint, so it checkpoints here instead.
  Released();
  if (pages >= kCheckpointPages) sqlite3_wal_checkpoint_v2(db, schema, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
  return SQLITE_OK;
}

void OnRolledBack(void*) { Released(); }

}  // namespace

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

Database::Database(const std::string& path, Mode mode, int busyTimeoutMs) : path_(path) {
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
  sqlite3_wal_hook(db_, &OnCommitted, nullptr);
  sqlite3_rollback_hook(db_, &OnRolledBack, nullptr);
  Exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA foreign_keys=ON;");
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
  sqlite3_close_v2(db_);
  db_ = nullptr;
}

void Database::AtClose(std::function<void()> fn) { atClose_.push_back(std::move(fn)); }

Database::Database(Database&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)),
      path_(std::move(other.path_)),
      busyTimeoutMs_(other.busyTimeoutMs_),
      atClose_(std::exchange(other.atClose_, {})) {
  if (db_ != nullptr) sqlite3_busy_handler(db_, &Database::OnBusy, this);
}

Database& Database::operator=(Database&& other) noexcept {
  if (this != &other) {
    Close();
    db_ = std::exchange(other.db_, nullptr);
    path_ = std::move(other.path_);
    busyTimeoutMs_ = other.busyTimeoutMs_;
    atClose_ = std::exchange(other.atClose_, {});
    if (db_ != nullptr) sqlite3_busy_handler(db_, &Database::OnBusy, this);
  }
  return *this;
}

void Database::Exec(std::string_view sql) {
  const std::string text(sql);
  const int rc = sqlite3_exec(db_, text.c_str(), nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) throw SqlError(OracleErrorText(db_, rc, text));
}

}  // namespace mero::server
