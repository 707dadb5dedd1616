#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/exception.h"

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
// WAL journal, synchronous=FULL, foreign keys on, a busy time-out. Each
// session owns one, so that sessions run in parallel.
//
// A connection that finds the write lock taken waits until another
// connection of this process commits or rolls back, and tries again at once,
// up to the busy time-out (then the statement fails with ORA-00054); it does
// not sleep in growing steps, so a writer that waits for another takes over
// as soon as the lock is free.
class Database {
 public:
  enum class Mode { Create, Existing };

  // Opens (or, with Mode::Create, creates) the file; raises SqlError.
  Database(const std::string& path, Mode mode, int busyTimeoutMs = 5000);
  ~Database();
  Database(Database&& other) noexcept;
  Database& operator=(Database&& other) noexcept;
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  sqlite3* Handle() const { return db_; }
  const std::string& Path() const { return path_; }

  // Runs statements that return no rows (SQLite's own dialect); raises
  // SqlError with the Oracle text of the failure.
  void Exec(std::string_view sql);

  // Runs fn just before the connection closes, last registered first. Whoever
  // keeps a prepared statement of the connection beyond one call finalizes it
  // here: a connection with a statement left open never closes.
  void AtClose(std::function<void()> fn);

 private:
  static int OnBusy(void* self, int count);
  void Close() noexcept;

  sqlite3* db_ = nullptr;
  std::string path_;
  int busyTimeoutMs_ = 0;
  std::chrono::steady_clock::time_point busySince_{};
  std::vector<std::function<void()>> atClose_;
};

}  // namespace mero::server
