#pragma once

// A session of the SQL engine on a database file of its own: the connection,
// its session variables, the dialect and the server functions, a schema the
// test writes (or the server's own), and helpers that read results back
// through the link's own row format.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "link/codec/field_type.h"
#include "link/codec/result_set.h"
#include "link/codec/result_set_encoder.h"
#include "server/catalog.h"
#include "server/database.h"
#include "server/oracle_formats.h"
#include "server/server_functions.h"
#include "server/session_vars.h"
#include "server/sql_dialect.h"
#include "server/sql_engine.h"

namespace mero::test {

// A small schema in the server's style: Oracle's types and upper-case names,
// a sequence, a view with a computed column typed in MERO_COLUMNS, a trigger
// that refuses a change with an Oracle text, one that refuses with a plain
// text, and an audit trigger reading the package variables.
inline constexpr const char* kTestSchema = R"(
CREATE TABLE MERO_SEQUENCES(NAME VARCHAR2(30) PRIMARY KEY, LAST_VALUE INTEGER NOT NULL);
INSERT INTO MERO_SEQUENCES VALUES ('SEQ_UP_DELT', 100);
CREATE TABLE MERO_COLUMNS(OBJECT_NAME VARCHAR2(30), COLUMN_NAME VARCHAR2(30), DATA_TYPE VARCHAR2(30));
CREATE TABLE UORG(ID VARCHAR2(16) PRIMARY KEY, NAME VARCHAR2(80), TONER_UID VARCHAR2(32), TON INTEGER);
CREATE UNIQUE INDEX UX_UORG_NAME ON UORG(NAME);
CREATE TABLE UP_DELT(ID INTEGER PRIMARY KEY, SID INTEGER, ORGID VARCHAR2(16) NOT NULL REFERENCES UORG(ID),
                     STATE INTEGER, DTIN DATE, DTFIN DATE, VALTOT NUMBER, COMM VARCHAR2(250));
CREATE TABLE UP_DELTD(ID INTEGER PRIMARY KEY, MID INTEGER NOT NULL REFERENCES UP_DELT(ID),
                      QTY NUMBER CONSTRAINT CK_QTY CHECK (QTY >= 0),
                      CODE VARCHAR2(60));
CREATE TABLE AUDIT_LOG(TXT VARCHAR2(100), USRID VARCHAR2(30), USRIP VARCHAR2(30));
CREATE TRIGGER UP_DELT_REFUSE BEFORE UPDATE OF STATE ON UP_DELT WHEN NEW.STATE = 99
BEGIN SELECT RAISE(ABORT, 'ORA-20001: Δεν επιτρέπεται η αλλαγή'); END;
CREATE TRIGGER UORG_KEEP BEFORE DELETE ON UORG WHEN OLD.ID = '0.03'
BEGIN SELECT RAISE(ABORT, 'protected unit'); END;
CREATE TRIGGER UP_DELT_AUDIT AFTER UPDATE ON UP_DELT
BEGIN INSERT INTO AUDIT_LOG VALUES ('update ' || NEW.ID, MERO_USRID(), MERO_USRIP()); END;
CREATE VIEW UPV_DELT AS SELECT d.*, o.NAME AS ORGNAME,
  (SELECT count(*) FROM UP_DELTD l WHERE l.MID = d.ID) AS LINES, d.VALTOT * 2 AS DOUBLE_VALUE
  FROM UP_DELT d JOIN UORG o ON o.ID = d.ORGID;
INSERT INTO MERO_COLUMNS VALUES ('UPV_DELT', 'LINES', 'INTEGER');
INSERT INTO UORG VALUES ('0.01', 'Άλφα', 'maria', 1), ('0.02', 'beta', NULL, 0), ('0.03', '01/02/2024', 'nikos', 1);
INSERT INTO UP_DELT VALUES (1, 2, '0.01', 1, 45356, NULL, 10.5, 'σχόλιο'), (2, 2, '0.02', 2, 45357.5, 45360, 20, NULL);
INSERT INTO UP_DELTD VALUES (1, 1, 3, 'Toner'), (2, 1, 1.5, 'Ink');
)";

// One row set read through the link: the encoder's bytes decoded again.
struct Rows {
  std::vector<server::ColumnInfo> columns;
  link::RowSet set;

  std::size_t Count() const { return set.RowCount(); }
  // The cell as text in UTF-8: strings as they are, numbers as the decoder
  // holds them ("5", "2.5"), dates as dd/mm/yyyy[ hh:nn:ss], NULL as "<null>".
  std::string Cell(std::size_t row, std::size_t col) const;
};

inline std::string Rows::Cell(std::size_t row, std::size_t col) const {
  if (set.IsNull(row, col)) return "<null>";
  switch (columns[col].fieldType) {
    case link::ftInteger:
      return std::to_string(set.Int(row, col));
    case link::ftFloat:
      return server::OracleNumberToChar(set.Double(row, col));
    case link::ftDateTime: {
      const double d = set.Double(row, col);
      return server::OracleDateToChar(
          d, d == static_cast<double>(static_cast<long long>(d)) ? "DD/MM/YYYY" : "DD/MM/YYYY HH24:MI:SS");
    }
    default:
      return base::Win1253ToUtf8(set.Text(row, col));
  }
}

// A session: its own connection to path, set up as the server sets up each.
class SqlSession {
 public:
  SqlSession(const std::string& path, server::Database::Mode mode, int busyTimeoutMs = 2000)
      : db(path, mode, busyTimeoutMs) {
    server::RegisterSqlDialect(db, vars);
    server::RegisterServerFunctions(db, vars);
  }

  // Runs SQLite's own SQL (schema set-up).
  void Setup(const std::string& sqlite) { db.Exec(sqlite); }
  // Loads the catalog and starts the engine; call after Setup.
  server::SqlEngine& Engine() {
    if (!engine_) engine_ = std::make_unique<server::SqlEngine>(db, vars, server::LoadCatalog(db));
    return *engine_;
  }

  Rows Select(const std::string& oracle, std::int64_t packet = -1) {
    std::unique_ptr<server::SelectCursor> c = Engine().OpenSelect(oracle);
    Rows r;
    r.columns = c->Columns();
    std::vector<link::FieldDef> defs;
    for (const server::ColumnInfo& col : r.columns) {
      defs.push_back({base::Utf8ToWin1253(col.name), col.fieldType, col.size});
    }
    r.set.SetFields(defs);
    bool first = true;
    do {
      std::string payload;
      link::ResultSetEncoder out(payload);
      c->Fetch(out, packet);
      if (c->Done()) out.Finish();
      link::DecodeRows(payload, first ? 0 : -1, r.set);
      first = false;
    } while (!c->Done());
    return r;
  }
  // The first cell of the first row, as Rows::Cell reads it; "<none>" without rows.
  std::string Value(const std::string& oracle) {
    const Rows r = Select(oracle);
    return r.Count() == 0 ? "<none>" : r.Cell(0, 0);
  }
  void Execute(const std::string& oracle, const link::TLinkParamList* params = nullptr) {
    Engine().Execute(oracle, params);
  }

  server::Database db;
  server::SessionVars vars;

 private:
  std::unique_ptr<server::SqlEngine> engine_;
};

}  // namespace mero::test
