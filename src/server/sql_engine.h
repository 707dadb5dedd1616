#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "link/codec/param_list.h"
#include "link/codec/result_set_encoder.h"
#include "server/catalog.h"
#include "server/oracle_translator.h"
#include "server/statement_cache.h"

namespace mero::server {

class AccessGuard;
class Database;
struct SessionVars;
class SqlEngine;

// A result column as the client will see it: Oracle's name (UTF-8; the
// session converts it), the link field type code and the size.
struct ColumnInfo {
  std::string name;
  int fieldType = 0;
  int size = 0;
};

// An open select. It is prepared at once and stepped as rows are asked for,
// so that a packet can continue it later; a select whose column types or
// text sizes depend on its values (computed columns without a type from the
// catalog) reads all its rows when it opens. A cursor must not outlive its
// engine. Errors raise SqlError.
class SelectCursor {
 public:
  ~SelectCursor();
  SelectCursor(const SelectCursor&) = delete;
  SelectCursor& operator=(const SelectCursor&) = delete;

  const std::vector<ColumnInfo>& Columns() const { return columns_; }

  // Encodes up to maxRows further rows (maxRows < 0: all) with the encoder,
  // each ended by EndRow: texts in windows-1253, integers as integers, REAL
  // values and dates as floats, NULL as NULL. Returns the rows encoded. The
  // end-of-data marker (Finish) is the caller's, once Done().
  std::size_t Fetch(link::ResultSetEncoder& out, std::int64_t maxRows);
  // No rows are left.
  bool Done() const { return done_; }

 private:
  friend class SqlEngine;

  // How a column's values are written, from its field type.
  // Integer columns are 32 bits wide on the client; Number ones are doubles.
  enum class Encoding : std::uint8_t { Text, Memo, Blob, Integer, Number, Date };

  struct BufferedCell {
    std::uint64_t bits = 0;  // integer, double bit pattern, or arena offset (low) and length (high)
    int type = 0;            // SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT, SQLITE_BLOB, SQLITE_NULL
  };

  // Rows read from SQLite and kept for encoding later: each row's cells in
  // column order, the bytes of texts and blobs in one arena.
  struct RowBuffer {
    std::vector<BufferedCell> cells;
    std::string arena;
    std::size_t rows = 0;

    void Clear() {
      cells.clear();
      arena.clear();
      rows = 0;
    }
    std::string_view Bytes(const BufferedCell& cell) const {
      return std::string_view(arena).substr(static_cast<std::uint32_t>(cell.bits), cell.bits >> 32);
    }
  };

  SelectCursor(SqlEngine& engine, std::shared_ptr<const TranslatedStatement> statement, bool ownTransaction);
  void Open();
  void Step();
  void Finish();
  void ReadAll();
  void SettleColumns();
  void EncodeRow(link::ResultSetEncoder& out);
  // Appends the current row to into.
  void ReadRow(RowBuffer& into);
  void EncodeBufferedRow(link::ResultSetEncoder& out, const RowBuffer& from, std::size_t row);
  void EncodeText(link::ResultSetEncoder& out, Encoding enc, std::string_view utf8);
  // A stored integer or real in the column's encoding.
  void EncodeInteger(link::ResultSetEncoder& out, Encoding enc, std::int64_t v);
  void EncodeReal(link::ResultSetEncoder& out, Encoding enc, double d);

  SqlEngine& engine_;
  std::shared_ptr<const TranslatedStatement> statement_;
  StatementCache::Lease stmt_;
  std::vector<ResultColumn> result_;  // Oracle types before settling
  std::vector<ColumnInfo> columns_;
  std::vector<Encoding> encodings_;
  bool ownTransaction_;  // opened to draw a sequence number; committed when the rows are read
  bool hasRow_ = false;
  bool done_ = false;
  bool buffered_ = false;
  RowBuffer buffer_;  // every row of a buffered cursor
  std::size_t nextRow_ = 0;
  std::string scratch_;
};

// The SQL of one session: the client's Oracle statements translated and run
// on the session's connection with Oracle's transaction rules.
//
// - A change (INSERT, UPDATE, DELETE, or a select that draws a sequence
//   number) opens a transaction (BEGIN IMMEDIATE) that lasts until COMMIT or
//   ROLLBACK; the session's selects see its own uncommitted changes, other
//   sessions do not. A second writer waits for the busy time-out and then
//   gets ORA-00054.
// - Each statement is atomic; a failing first change releases the
//   transaction it opened, so that a failure never keeps other writers out.
// - An anonymous block (BEGIN … END;) is one unit: a savepoint around it
//   undoes all its changes when one statement fails, and earlier uncommitted
//   work of the session stays; COMMIT inside a block commits at its end;
//   P1.USRID / P1.USRIP assignments set the session variables.
// - Translations and prepared statements are cached per session (bounded,
//   least recently used out first).
class SqlEngine {
 public:
  // The catalog must describe db's schema; RegisterSqlDialect (and the
  // server functions) must be registered on db. With a guard, every
  // statement of the client is prepared under its checks; it must outlive
  // the engine.
  SqlEngine(Database& db, SessionVars& vars, std::shared_ptr<const Catalog> catalog, AccessGuard* guard = nullptr);
  ~SqlEngine();
  SqlEngine(const SqlEngine&) = delete;
  SqlEngine& operator=(const SqlEngine&) = delete;

  // Opens one query; raises SqlError.
  std::unique_ptr<SelectCursor> OpenSelect(std::string_view sqlUtf8);
  // A statement, several statements (";" or line breaks between them), an
  // anonymous block or "commit". Long values named by placeholders
  // (":MemoCOMM") come from params, matched by name without regard to case;
  // texts are windows-1253 there and are stored as UTF-8. Raises SqlError;
  // statements before the failing one keep their (uncommitted) effect.
  void Execute(std::string_view sqlUtf8, const link::TLinkParamList* params = nullptr);
  // Undoes what the session has not committed (lost connection, shutdown).
  void Rollback();
  bool InTransaction() const;

 private:
  friend class SelectCursor;

  template <typename V>
  class Lru {
   public:
    explicit Lru(std::size_t capacity) : capacity_(capacity) {}
    V* Find(std::string_view key);
    V& Put(std::string key, V value);

   private:
    std::size_t capacity_;
    std::list<std::pair<std::string, V>> items_;
    std::unordered_map<std::string_view, typename std::list<std::pair<std::string, V>>::iterator> index_;
  };

  using Script = std::vector<TranslatedStatement>;

  std::shared_ptr<const TranslatedStatement> Query(std::string_view sql);
  std::shared_ptr<const Script> ScriptOf(std::string_view sql);
  void Exec(std::string_view sqliteText);
  // A statement of the client, prepared under the guard's checks.
  StatementCache::Lease ClientStatement(std::string_view sqliteText);
  bool BeginIfNeeded();
  void Commit();
  void RunChange(const TranslatedStatement& s, const link::TLinkParamList* params);
  void RunBlock(const TranslatedStatement& block, const link::TLinkParamList* params, int depth);
  void Run(const TranslatedStatement& s, const link::TLinkParamList* params);
  void Bind(sqlite3_stmt* stmt, const TranslatedStatement& s, const link::TLinkParamList* params);
  void Assign(const TranslatedStatement& s);

  Database& db_;
  SessionVars& vars_;
  std::shared_ptr<const Catalog> catalog_;
  AccessGuard* guard_;
  OracleTranslator translator_;
  StatementCache statements_;
  Lru<std::shared_ptr<const TranslatedStatement>> queries_;
  Lru<std::shared_ptr<const Script>> scripts_;
  bool changed_ = false;  // the open transaction holds a change
};

}  // namespace mero::server
