#include "server/sql_engine.h"

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>

#include "base/encoding.h"
#include "link/codec/field_type.h"
#include "server/access_guard.h"
#include "server/database.h"
#include "server/oracle_errors.h"
#include "server/oracle_formats.h"
#include "server/session_vars.h"
#include "server/utf8_text.h"

namespace mero::server {
namespace {

constexpr std::size_t kStatementCacheSize = 64;
constexpr std::size_t kQueryCacheSize = 256;
constexpr std::size_t kScriptCacheSize = 64;

// Hands the write turn on when a request leaves no transaction open,
// whichever way it ended (SQLite rolls a transaction back by itself after
// some failures).
struct TurnCheck {
  Database& db;
  ~TurnCheck() { db.GiveTurnIfIdle(); }
};

std::string_view ValueText(sqlite3_value* v) {
  const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
  return p != nullptr ? std::string_view(p, static_cast<std::size_t>(sqlite3_value_bytes(v))) : std::string_view();
}

std::string_view ValueBlob(sqlite3_value* v) {
  const auto* p = static_cast<const char*>(sqlite3_value_blob(v));
  return p != nullptr ? std::string_view(p, static_cast<std::size_t>(sqlite3_value_bytes(v))) : std::string_view();
}

std::string_view IntText(std::int64_t v, char (&buf)[24]) {
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return {buf, static_cast<std::size_t>(r.ptr - buf)};
}

}  // namespace

// --- the translation caches

template <typename V>
V* SqlEngine::Lru<V>::Find(std::string_view key) {
  auto it = index_.find(key);
  if (it == index_.end()) return nullptr;
  items_.splice(items_.begin(), items_, it->second);
  return &it->second->second;
}

template <typename V>
V& SqlEngine::Lru<V>::Put(std::string key, V value) {
  items_.emplace_front(std::move(key), std::move(value));
  index_.emplace(items_.front().first, items_.begin());
  while (items_.size() > capacity_) {
    index_.erase(items_.back().first);
    items_.pop_back();
  }
  return items_.front().second;
}

// --- SelectCursor

SelectCursor::SelectCursor(SqlEngine& engine, std::shared_ptr<const TranslatedStatement> statement, bool ownTransaction)
    : engine_(engine), statement_(std::move(statement)), ownTransaction_(ownTransaction) {}

SelectCursor::~SelectCursor() {
  stmt_.Release();
  if (ownTransaction_) {
    // The sequence numbers it drew are spent, as Oracle's are.
    try {
      engine_.Commit();
    } catch (const SqlError&) {
      engine_.Rollback();
    }
  }
}

void SelectCursor::Open() {
  stmt_ = engine_.ClientStatement(statement_->sql);
  sqlite3_stmt* st = stmt_.get();
  if (!statement_->params.empty()) throw SqlError("ORA-01008: not all variables bound");
  const int count = sqlite3_column_count(st);
  result_ = statement_->columns;
  if (statement_->columnsFromSqlite || result_.size() != static_cast<std::size_t>(count)) {
    // A * over something the catalog does not know: SQLite's names, the
    // declared types where it knows them, the values for the rest.
    result_.clear();
    for (int i = 0; i < count; ++i) {
      const char* name = sqlite3_column_name(st, i);
      const char* declared = sqlite3_column_decltype(st, i);
      result_.push_back({Utf8Upper(name != nullptr ? name : ""),
                         declared != nullptr ? OracleType::FromDeclared(declared) : OracleType(), false});
    }
  }
  Step();
  bool settled = true;
  for (const ResultColumn& c : result_) settled = settled && c.type.IsSettled();
  // A select that drew sequence numbers ends its transaction at once.
  if (!settled || ownTransaction_) ReadAll();
  SettleColumns();
}

void SelectCursor::Step() {
  const int rc = sqlite3_step(stmt_.get());
  if (rc == SQLITE_ROW) {
    hasRow_ = true;
    return;
  }
  hasRow_ = false;
  if (rc == SQLITE_DONE) {
    Finish();
    return;
  }
  const std::string text = OracleErrorText(engine_.db_.Handle(), rc, statement_->sql);
  done_ = true;
  stmt_.Release();
  if (ownTransaction_) {
    ownTransaction_ = false;
    engine_.Rollback();
  }
  throw SqlError(text);
}

void SelectCursor::Finish() {
  done_ = true;
  stmt_.Release();
  if (ownTransaction_) {
    ownTransaction_ = false;
    engine_.Commit();
  }
}

void SelectCursor::ReadRow(RowBuffer& into) {
  sqlite3_stmt* st = stmt_.get();
  const std::size_t n = result_.size();
  for (std::size_t i = 0; i < n; ++i) {
    sqlite3_value* v = sqlite3_column_value(st, static_cast<int>(i));
    BufferedCell cell;
    cell.type = sqlite3_value_type(v);
    switch (cell.type) {
      case SQLITE_INTEGER:
        cell.bits = static_cast<std::uint64_t>(sqlite3_value_int64(v));
        break;
      case SQLITE_FLOAT: {
        const double d = sqlite3_value_double(v);
        std::memcpy(&cell.bits, &d, sizeof d);
        break;
      }
      case SQLITE_TEXT:
      case SQLITE_BLOB: {
        const std::string_view bytes = cell.type == SQLITE_TEXT ? ValueText(v) : ValueBlob(v);
        cell.bits = static_cast<std::uint64_t>(into.arena.size()) | (static_cast<std::uint64_t>(bytes.size()) << 32);
        into.arena.append(bytes);
        break;
      }
      default:
        break;
    }
    into.cells.push_back(cell);
  }
  ++into.rows;
}

void SelectCursor::ReadAll() {
  buffered_ = true;
  while (hasRow_) {
    ReadRow(buffer_);
    Step();
  }
  done_ = buffer_.rows == 0;
}

void SelectCursor::SettleColumns() {
  const std::size_t n = result_.size();
  for (std::size_t i = 0; i < n; ++i) {
    OracleType& type = result_[i].type;
    if (type.IsSettled()) continue;
    // Only a buffered cursor has unsettled columns: their values decide.
    bool sawInt = false;
    bool sawWideInt = false;
    bool sawReal = false;
    bool sawText = false;
    std::size_t longest = 0;
    for (std::size_t r = 0; r < buffer_.rows; ++r) {
      const BufferedCell& cell = buffer_.cells[r * n + i];
      std::size_t length = 0;
      switch (cell.type) {
        case SQLITE_INTEGER: {
          sawInt = true;
          const auto v = static_cast<std::int64_t>(cell.bits);
          sawWideInt = sawWideInt || v < INT32_MIN || v > INT32_MAX;
          char buf[24];
          length = IntText(v, buf).size();
          break;
        }
        case SQLITE_FLOAT: {
          sawReal = true;
          double d;
          std::memcpy(&d, &cell.bits, sizeof d);
          length = OracleNumberToChar(d).size();
          break;
        }
        case SQLITE_TEXT:
        case SQLITE_BLOB:
          sawText = true;
          length = Utf8Length(buffer_.Bytes(cell));
          break;
        default:
          break;
      }
      longest = std::max(longest, length);
    }
    const int size = static_cast<int>(std::max<std::size_t>(longest, 1));
    if (type.kind == OracleType::Varchar2 || sawText || (!sawInt && !sawReal)) {
      type = OracleType::Of(OracleType::Varchar2, size);
    } else {
      // An integer column is 32 bits wide on the client; wider values go as
      // numbers, which hold them exactly up to 2^53.
      type = OracleType::Of(sawReal || sawWideInt ? OracleType::Number : OracleType::Integer);
    }
  }
  columns_.clear();
  encodings_.clear();
  for (const ResultColumn& c : result_) {
    const int fieldType = c.type.FieldType();
    columns_.push_back({c.name, fieldType, c.type.kind == OracleType::Varchar2 ? c.type.size : 0});
    switch (c.type.kind) {
      case OracleType::Integer:
        encodings_.push_back(Encoding::Integer);
        break;
      case OracleType::Number:
        encodings_.push_back(Encoding::Number);
        break;
      case OracleType::Date:
        encodings_.push_back(Encoding::Date);
        break;
      case OracleType::Clob:
        encodings_.push_back(Encoding::Memo);
        break;
      case OracleType::Blob:
        encodings_.push_back(Encoding::Blob);
        break;
      default:
        encodings_.push_back(Encoding::Text);
    }
  }
}

void SelectCursor::EncodeText(link::ResultSetEncoder& out, Encoding enc, std::string_view utf8) {
  if (enc == Encoding::Blob) {
    out.AddLong(utf8);
    return;
  }
  if (enc == Encoding::Memo) {
    scratch_.clear();
    AppendUtf8AsWin1253(scratch_, utf8);
    out.AddLong(scratch_);
    return;
  }
  out.AddTextWith([utf8](std::string& payload) { AppendUtf8AsWin1253(payload, utf8); });
}

void SelectCursor::EncodeInteger(link::ResultSetEncoder& out, Encoding enc, std::int64_t v) {
  if (enc == Encoding::Integer) {
    // Sent as it is, the client would read a wider value as 0.
    if (v < INT32_MIN || v > INT32_MAX) throw SqlError("ORA-01455: converting column overflows integer datatype");
    out.AddInt(v);
  } else if (enc == Encoding::Number) {
    out.AddInt(v);
  } else if (enc == Encoding::Date) {
    out.AddFloat(static_cast<double>(v));
  } else {
    char buf[24];
    EncodeText(out, enc, IntText(v, buf));
  }
}

void SelectCursor::EncodeReal(link::ResultSetEncoder& out, Encoding enc, double d) {
  if (enc == Encoding::Integer || enc == Encoding::Number || enc == Encoding::Date) {
    out.AddFloat(d);
  } else {
    EncodeText(out, enc, OracleNumberToChar(d));
  }
}

void SelectCursor::EncodeRow(link::ResultSetEncoder& out) {
  sqlite3_stmt* st = stmt_.get();
  const std::size_t n = encodings_.size();
  for (std::size_t i = 0; i < n; ++i) {
    // One call into SQLite per cell: the value's own accessors do not repeat
    // the statement's checks that each sqlite3_column_* call makes.
    sqlite3_value* v = sqlite3_column_value(st, static_cast<int>(i));
    const Encoding enc = encodings_[i];
    if (enc == Encoding::Text) {
      // A text column holds texts (SQLite's TEXT affinity stores numbers as
      // text), so the text is asked for directly; NULL gives no pointer.
      const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
      if (p == nullptr) {
        out.AddNull();
      } else {
        EncodeText(out, enc, std::string_view(p, static_cast<std::size_t>(sqlite3_value_bytes(v))));
      }
      continue;
    }
    switch (sqlite3_value_type(v)) {
      case SQLITE_INTEGER:
        EncodeInteger(out, enc, sqlite3_value_int64(v));
        break;
      case SQLITE_FLOAT:
        EncodeReal(out, enc, sqlite3_value_double(v));
        break;
      case SQLITE_TEXT:
        EncodeText(out, enc, ValueText(v));
        break;
      case SQLITE_BLOB:
        EncodeText(out, enc == Encoding::Memo ? Encoding::Blob : enc, ValueBlob(v));
        break;
      default:
        out.AddNull();
    }
  }
  out.EndRow();
}

void SelectCursor::EncodeBufferedRow(link::ResultSetEncoder& out, const RowBuffer& from, std::size_t row) {
  const std::size_t n = encodings_.size();
  for (std::size_t i = 0; i < n; ++i) {
    const BufferedCell& cell = from.cells[row * n + i];
    const Encoding enc = encodings_[i];
    switch (cell.type) {
      case SQLITE_INTEGER:
        EncodeInteger(out, enc, static_cast<std::int64_t>(cell.bits));
        break;
      case SQLITE_FLOAT: {
        double d;
        std::memcpy(&d, &cell.bits, sizeof d);
        EncodeReal(out, enc, d);
        break;
      }
      case SQLITE_TEXT:
      case SQLITE_BLOB:
        EncodeText(out, cell.type == SQLITE_BLOB && enc == Encoding::Memo ? Encoding::Blob : enc, from.Bytes(cell));
        break;
      default:
        out.AddNull();
    }
  }
  out.EndRow();
}

std::size_t SelectCursor::Fetch(link::ResultSetEncoder& out, std::int64_t maxRows) {
  std::size_t n = 0;
  auto more = [&] { return maxRows < 0 || static_cast<std::int64_t>(n) < maxRows; };
  if (buffered_) {
    while (nextRow_ < buffer_.rows && more()) {
      EncodeBufferedRow(out, buffer_, nextRow_++);
      ++n;
    }
    done_ = nextRow_ >= buffer_.rows;
    return n;
  }
  while (hasRow_ && more()) {
    EncodeRow(out);
    ++n;
    Step();
  }
  return n;
}

// --- SqlEngine

SqlEngine::SqlEngine(Database& db, SessionVars& vars, std::shared_ptr<const Catalog> catalog, AccessGuard* guard)
    : db_(db),
      vars_(vars),
      catalog_(std::move(catalog)),
      guard_(guard),
      translator_(*catalog_),
      statements_(db.Handle(), kStatementCacheSize),
      queries_(kQueryCacheSize),
      scripts_(kScriptCacheSize) {}

SqlEngine::~SqlEngine() = default;

bool SqlEngine::InTransaction() const { return sqlite3_get_autocommit(db_.Handle()) == 0; }

std::shared_ptr<const TranslatedStatement> SqlEngine::Query(std::string_view sql) {
  if (auto* found = queries_.Find(sql)) return *found;
  auto t = std::make_shared<const TranslatedStatement>(translator_.TranslateQuery(sql));
  return queries_.Put(std::string(sql), std::move(t));
}

std::shared_ptr<const SqlEngine::Script> SqlEngine::ScriptOf(std::string_view sql) {
  if (auto* found = scripts_.Find(sql)) return *found;
  auto s = std::make_shared<const Script>(translator_.TranslateScript(sql));
  return scripts_.Put(std::string(sql), std::move(s));
}

void SqlEngine::Exec(std::string_view sqliteText) {
  StatementCache::Lease lease = statements_.Acquire(sqliteText);
  int rc;
  while ((rc = sqlite3_step(lease.get())) == SQLITE_ROW) {
  }
  if (rc != SQLITE_DONE) throw SqlError(OracleErrorText(db_.Handle(), rc, sqliteText));
}

StatementCache::Lease SqlEngine::ClientStatement(std::string_view sqliteText) {
  const AccessGuard::Checking checking(guard_);
  return statements_.Acquire(sqliteText);
}

bool SqlEngine::BeginIfNeeded() {
  if (InTransaction()) return false;
  db_.TakeWriteTurn();
  try {
    Exec("BEGIN IMMEDIATE");
  } catch (...) {
    db_.GiveTurnIfIdle();
    throw;
  }
  changed_ = false;
  return true;
}

void SqlEngine::Commit() {
  if (InTransaction()) Exec("COMMIT");
  changed_ = false;
  db_.GiveTurnIfIdle();
  // The next writer goes on while this commit waits for the disk.
  db_.SyncCommitted();
}

void SqlEngine::Rollback() {
  if (InTransaction()) Exec("ROLLBACK");
  changed_ = false;
  db_.GiveTurnIfIdle();
}

std::unique_ptr<SelectCursor> SqlEngine::OpenSelect(std::string_view sqlUtf8) {
  const TurnCheck check{db_};
  std::shared_ptr<const TranslatedStatement> t = Query(sqlUtf8);
  bool own = false;
  if (t->writes) {
    own = BeginIfNeeded();
    if (!own) changed_ = true;
  }
  std::unique_ptr<SelectCursor> cursor(new SelectCursor(*this, std::move(t), own));
  try {
    cursor->Open();
  } catch (...) {
    cursor->stmt_.Release();
    if (cursor->ownTransaction_) {
      cursor->ownTransaction_ = false;
      Rollback();
    }
    throw;
  }
  return cursor;
}

void SqlEngine::Execute(std::string_view sqlUtf8, const link::TLinkParamList* params) {
  const TurnCheck check{db_};
  const std::shared_ptr<const Script> script = ScriptOf(sqlUtf8);
  for (const TranslatedStatement& s : *script) Run(s, params);
}

void SqlEngine::Run(const TranslatedStatement& s, const link::TLinkParamList* params) {
  switch (s.kind) {
    case StatementKind::Commit:
      Commit();
      return;
    case StatementKind::Rollback:
      Rollback();
      return;
    case StatementKind::Block:
      RunBlock(s, params, 0);
      return;
    case StatementKind::Select:
    case StatementKind::Insert:
    case StatementKind::Update:
    case StatementKind::Delete:
      RunChange(s, params);
      return;
    case StatementKind::Assign:
      Assign(s);
      return;
    case StatementKind::Null:
      return;
  }
}

void SqlEngine::RunChange(const TranslatedStatement& s, const link::TLinkParamList* params) {
  // Prepared before the write lock is taken: a statement the guard refuses
  // (or that does not prepare) neither waits for the lock nor holds it.
  StatementCache::Lease lease = ClientStatement(s.sql);
  const bool opened = s.writes && BeginIfNeeded();
  try {
    Bind(lease.get(), s, params);
    int rc;
    while ((rc = sqlite3_step(lease.get())) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) throw SqlError(OracleErrorText(db_.Handle(), rc, s.sql));
  } catch (...) {
    // A transaction that holds nothing but the failed statement would keep
    // every other writer out until this session commits: end it.
    if (opened && InTransaction()) Rollback();
    if (!InTransaction()) changed_ = false;
    throw;
  }
  if (s.writes) changed_ = true;
}

void SqlEngine::RunBlock(const TranslatedStatement& block, const link::TLinkParamList* params, int depth) {
  const std::string savepoint = "MERO_BLOCK" + std::to_string(depth);
  bool inSavepoint = false;
  bool opened = false;
  bool commit = false;
  const bool changedBefore = changed_;
  try {
    for (const TranslatedStatement& s : block.body) {
      switch (s.kind) {
        case StatementKind::Commit:
          commit = true;
          break;
        case StatementKind::Rollback:
          Rollback();
          inSavepoint = false;
          commit = false;
          break;
        case StatementKind::Assign:
          Assign(s);
          break;
        case StatementKind::Null:
          break;
        case StatementKind::Block:
          RunBlock(s, params, depth + 1);
          break;
        case StatementKind::Select:
        case StatementKind::Insert:
        case StatementKind::Update:
        case StatementKind::Delete:
          if (s.writes && !inSavepoint) {
            opened = BeginIfNeeded() || opened;
            Exec("SAVEPOINT " + savepoint);
            inSavepoint = true;
          }
          RunChange(s, params);
          break;
      }
    }
  } catch (...) {
    if (inSavepoint && InTransaction()) {
      try {
        Exec("ROLLBACK TO " + savepoint);
        Exec("RELEASE " + savepoint);
      } catch (const SqlError&) {
        Rollback();
      }
    }
    changed_ = changedBefore && InTransaction();
    if (opened && !changed_ && InTransaction()) Rollback();
    throw;
  }
  if (inSavepoint && InTransaction()) Exec("RELEASE " + savepoint);
  if (commit) Commit();
}

void SqlEngine::Assign(const TranslatedStatement& s) {
  std::optional<std::string> value;
  if (!s.valueSql.empty()) {
    StatementCache::Lease lease = ClientStatement(s.valueSql);
    const int rc = sqlite3_step(lease.get());
    if (rc == SQLITE_ROW) {
      if (sqlite3_column_type(lease.get(), 0) != SQLITE_NULL) {
        const std::string text(ValueText(sqlite3_column_value(lease.get(), 0)));
        if (!text.empty()) value = text;
      }
    } else if (rc != SQLITE_DONE) {
      throw SqlError(OracleErrorText(db_.Handle(), rc, s.valueSql));
    }
  } else if (!s.valueIsNull) {
    value = s.valueText;
  }
  if (s.variable == "USRID") {
    vars_.usrid = value;
  } else {
    vars_.usrip = value;
  }
}

void SqlEngine::Bind(sqlite3_stmt* stmt, const TranslatedStatement& s, const link::TLinkParamList* params) {
  for (std::size_t i = 0; i < s.params.size(); ++i) {
    const link::TLinkParamItem* item = params != nullptr ? params->FindByName(s.params[i]) : nullptr;
    if (item == nullptr) throw SqlError("ORA-01008: not all variables bound");
    const int index = static_cast<int>(i) + 1;
    int rc = SQLITE_OK;
    if (item->IsNull()) {
      rc = sqlite3_bind_null(stmt, index);
    } else {
      switch (item->DataType()) {
        case link::ftString:
        case link::ftMemo:
        case link::ftFmtMemo:
        case link::ftFixedChar:
        case link::ftWideString:
        case link::ftGuid:
        case link::ftUnknown: {
          const std::string text = base::Win1253ToUtf8(item->RawValue());
          rc = text.empty()
                   ? sqlite3_bind_null(stmt, index)
                   : sqlite3_bind_text(stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
          break;
        }
        case link::ftSmallint:
        case link::ftInteger:
        case link::ftWord:
        case link::ftAutoInc:
        case link::ftLargeint:
        case link::ftBoolean: {
          const base::Variant v = item->Value();
          rc = sqlite3_bind_int64(stmt, index,
                                  v.kind() == base::Variant::Kind::Boolean ? (v.AsBoolean() ? 1 : 0) : v.AsInt64());
          break;
        }
        case link::ftFloat:
        case link::ftCurrency:
        case link::ftBCD:
        case link::ftDate:
        case link::ftTime:
        case link::ftDateTime:
          rc = sqlite3_bind_double(stmt, index, item->ValueFloat());
          break;
        default: {
          const std::string& bytes = item->RawValue();
          rc = bytes.empty()
                   ? sqlite3_bind_null(stmt, index)
                   : sqlite3_bind_blob(stmt, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
        }
      }
    }
    if (rc != SQLITE_OK) throw SqlError(OracleErrorText(db_.Handle(), rc, s.sql));
  }
}

}  // namespace mero::server
