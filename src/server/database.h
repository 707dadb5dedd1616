#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/exception.h"
#include "server/wal_keeper.h"

struct sqlite3;

namespace mero::server {

// A failure of the database in Oracle's words ("ORA-00942: table or view does
// not exist"). Texts inside the server are UTF-8; the session converts them
// to windows-1253 when it answers the client.
class SqlError : public base::Exception {
 public:
  explicit SqlError(const std::string& oracleText) : base::Exception(oracleText) {}
};

// One SQLite connection, set up the way every connection of the server is:
// WAL journal, foreign keys on, a busy time-out, commits flushed to the disk
// before they count as done (SyncCommitted, WalKeeper). Each session owns
// one, so that sessions run in parallel.
//
// Writers of this process take turns on a file in the order they came
// (TakeWriteTurn, before BEGIN IMMEDIATE). A connection that still finds the
// write lock taken (a writer outside the process or outside the turns) waits
// until another connection of this process commits or rolls back, and tries
// again at once, up to the busy time-out (then the statement fails with
// ORA-00054); it does not sleep in growing steps.
class Database {
 public:
  enum class Mode { Create, Existing };

  // Opens (or, with Mode::Create, creates) the file; raises SqlError.
  // The first connection to a file in this process sets how many pages the
  // log may hold before it starts afresh (WalKeeper).
  Database(const std::string& path, Mode mode, int busyTimeoutMs = 5000, int walPages = WalKeeper::kResetPages);
  ~Database();
  Database(Database&& other) noexcept;
  Database& operator=(Database&& other) noexcept;
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  sqlite3* Handle() const { return db_; }
  const std::string& Path() const { return path_; }

  // Runs statements that return no rows (SQLite's own dialect); raises
  // SqlError with the Oracle text of the failure. What they commit is on
  // the disk when it returns.
  void Exec(std::string_view sql);

  // Waits, up to the busy time-out, until this connection may write: its
  // turn lasts until the transaction ends and GiveTurnIfIdle is called.
  // Raises SqlError (ORA-00054) at the time-out.
  void TakeWriteTurn();
  // Hands the turn on once no transaction is open (a no-op otherwise).
  void GiveTurnIfIdle() noexcept;
  // Flushes what this connection committed since the last call to the disk;
  // call it before a commit is reported done. Raises SqlError.
  void SyncCommitted();

  // Runs fn just before the connection closes, last registered first. Whoever
  // keeps a prepared statement of the connection beyond one call finalizes it
  // here: a connection with a statement left open never closes.
  void AtClose(std::function<void()> fn);

 private:
  struct File;

  static int OnBusy(void* self, int count);
  static int OnCommitted(void* self, sqlite3* db, const char* schema, int pages);
  void Rehook();
  void Close() noexcept;

  sqlite3* db_ = nullptr;
  std::string path_;
  std::shared_ptr<File> file_;
  int busyTimeoutMs_ = 0;
  bool hasTurn_ = false;
  bool committed_ = false;  // frames committed and not yet flushed
  std::chrono::steady_clock::time_point busySince_{};
  std::vector<std::function<void()>> atClose_;
};

}  // namespace mero::server
