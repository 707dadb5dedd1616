#pragma once

#include <cstddef>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;

namespace mero::server {

// Prepared statements of one connection, kept by their SQL text and reused
// (a primary-key select prepared each time costs six times more). At most
// `capacity` statements are kept; the least recently used idle one goes
// first. A statement that is in use (an open cursor) is never handed out
// twice: a second user of the same text gets a statement of its own, which
// is finalized when it is given back.
class StatementCache {
 public:
  class Lease {
   public:
    Lease() = default;
    Lease(Lease&& other) noexcept;
    Lease& operator=(Lease&& other) noexcept;
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    ~Lease() { Release(); }

    sqlite3_stmt* get() const { return stmt_; }
    explicit operator bool() const { return stmt_ != nullptr; }
    // Resets the statement and gives it back (idempotent).
    void Release();

   private:
    friend class StatementCache;
    StatementCache* owner_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
    bool cached_ = false;
  };

  StatementCache(sqlite3* db, std::size_t capacity) : db_(db), capacity_(capacity) {}
  ~StatementCache();
  StatementCache(const StatementCache&) = delete;
  StatementCache& operator=(const StatementCache&) = delete;

  // The prepared statement of one SQL statement; raises SqlError with the
  // Oracle text of a failure to prepare.
  Lease Acquire(std::string_view sql);
  std::size_t Size() const { return entries_.size(); }

 private:
  struct Entry {
    std::string sql;
    sqlite3_stmt* stmt = nullptr;
    bool inUse = false;
  };

  sqlite3_stmt* Prepare(std::string_view sql, bool persistent);
  void GiveBack(sqlite3_stmt* stmt, bool cached);
  void Trim();

  sqlite3* db_;
  std::size_t capacity_;
  std::list<Entry> entries_;  // most recently used first
  std::unordered_map<std::string_view, std::list<Entry>::iterator> bySql_;
  std::unordered_map<sqlite3_stmt*, std::list<Entry>::iterator> byStmt_;
};

}  // namespace mero::server
