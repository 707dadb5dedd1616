#include "server/statement_cache.h"

#include <sqlite3.h>

#include <utility>

#include "server/database.h"
#include "server/oracle_errors.h"

namespace mero::server {

StatementCache::Lease::Lease(Lease&& other) noexcept
    : owner_(std::exchange(other.owner_, nullptr)),
      stmt_(std::exchange(other.stmt_, nullptr)),
      cached_(other.cached_) {}

StatementCache::Lease& StatementCache::Lease::operator=(Lease&& other) noexcept {
  if (this != &other) {
    Release();
    owner_ = std::exchange(other.owner_, nullptr);
    stmt_ = std::exchange(other.stmt_, nullptr);
    cached_ = other.cached_;
  }
  return *this;
}

void StatementCache::Lease::Release() {
  if (stmt_ == nullptr) return;
  owner_->GiveBack(stmt_, cached_);
  stmt_ = nullptr;
  owner_ = nullptr;
}

StatementCache::~StatementCache() {
  for (Entry& e : entries_) sqlite3_finalize(e.stmt);
}

sqlite3_stmt* StatementCache::Prepare(std::string_view sql, bool persistent) {
  sqlite3_stmt* stmt = nullptr;
  const int rc = sqlite3_prepare_v3(db_, sql.data(), static_cast<int>(sql.size()),
                                    persistent ? SQLITE_PREPARE_PERSISTENT : 0, &stmt, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_finalize(stmt);
    throw SqlError(OracleErrorText(db_, rc, sql));
  }
  if (stmt == nullptr) throw SqlError("ORA-00900: invalid SQL statement");
  return stmt;
}

StatementCache::Lease StatementCache::Acquire(std::string_view sql) {
  Lease lease;
  lease.owner_ = this;
  auto found = bySql_.find(sql);
  if (found != bySql_.end()) {
    auto it = found->second;
    if (!it->inUse) {
      it->inUse = true;
      entries_.splice(entries_.begin(), entries_, it);
      lease.stmt_ = it->stmt;
      lease.cached_ = true;
      return lease;
    }
    lease.stmt_ = Prepare(sql, false);
    lease.cached_ = false;
    return lease;
  }
  sqlite3_stmt* stmt = Prepare(sql, true);
  entries_.push_front(Entry{std::string(sql), stmt, true});
  auto it = entries_.begin();
  bySql_.emplace(it->sql, it);
  byStmt_.emplace(stmt, it);
  lease.stmt_ = stmt;
  lease.cached_ = true;
  Trim();
  return lease;
}

void StatementCache::GiveBack(sqlite3_stmt* stmt, bool cached) {
  if (!cached) {
    sqlite3_finalize(stmt);
    return;
  }
  sqlite3_reset(stmt);
  sqlite3_clear_bindings(stmt);
  auto it = byStmt_.find(stmt);
  if (it != byStmt_.end()) it->second->inUse = false;
  Trim();
}

void StatementCache::Trim() {
  auto it = entries_.end();
  while (entries_.size() > capacity_ && it != entries_.begin()) {
    --it;
    if (it->inUse) continue;
    sqlite3_finalize(it->stmt);
    bySql_.erase(it->sql);
    byStmt_.erase(it->stmt);
    it = entries_.erase(it);
  }
}

}  // namespace mero::server
