// The printer catalogue on a generated fleet (10,000 printers with three
// requirement rows each, 2,000 consumables, 500 models, over the demo
// database's units, makers, buildings and delivery points), each figure
// beside a baseline in the same program:
// - the workbench opens, its three main lists and their details read (the
//   logic alone, and the window shown offscreen), against
//   "select * from UP_PRINTERS" of the same printers through the same client,
//   and against its three searches opened alone;
// - the requirement view opens with empty boxes (~30,000 rows), held to one
//   second; and on the server side alone, the requirement select with
//   F_UP_REQ_Q keeping its statement against one preparing it at every call;
// - one cursor move on the Consumables tab between two consumables that
//   ~1,000 printers each require, held to 50 ms.
// Everything the client does goes through a real mero-server and the login
// of the program (the connection module, the query utilities, the printer
// context), as ADMIN.

#include <sqlite3.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QHeaderView>
#include <QTabWidget>
#include <QTableView>
#include <cstdint>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/connection_context.h"
#include "app/connection_module.h"
#include "app/main_window_logic.h"
#include "base/runtime.h"
#include "base/variant.h"
#include "bench_ratio.h"
#include "data/dataset_utils.h"
#include "data/remote/application_dataset.h"
#include "data/remote/query_startup.h"
#include "data/remote/query_utils.h"
#include "printers/printer_context.h"
#include "printers/requirement_view.h"
#include "printers/workbench.h"
#include "printers/workbench_window.h"
#include "server/catalog.h"
#include "server/database.h"
#include "server/oracle_translator.h"
#include "server/prepared.h"
#include "server/server_functions.h"
#include "server/session_vars.h"
#include "support/server_process.h"
#include "ui/data_grid.h"

using namespace mero;

namespace {

constexpr int kFleetPrinters = 10000;
constexpr int kFleetConsumables = 2000;
constexpr int kFleetModels = 500;
// Every tenth generated model takes the first shared consumable, the models
// five further on the second: ~1,000 printers require each.
constexpr int kSharedEvery = 10;
constexpr int kContract = 2;

// What the generator made, for the checks of the benchmarks.
struct Fleet {
  int printers = 0;
  int models = 0;
  int consumables = 0;
  int requirements = 0;
  int sharedA = 0;  // consumable IDs
  int sharedB = 0;
  int sharedAPrinters = 0;
};

Fleet& TheFleet() {
  static Fleet fleet;
  return fleet;
}

void Check(int rc, sqlite3* db, const char* what) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
    throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
  }
}

std::vector<std::string> Column(server::Database& db, const char* sql) {
  std::vector<std::string> values;
  server::Prepared q(db.Handle(), sql);
  while (q.Step()) values.push_back(q.Text(0));
  return values;
}

std::int64_t Number(server::Database& db, const char* sql) {
  server::Prepared q(db.Handle(), sql);
  return q.Step() ? q.Int(0) : 0;
}

// An insert run once per row: bind, step, reset.
class Insert {
 public:
  Insert(sqlite3* db, const char* sql) : db_(db) { Check(sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr), db, sql); }
  ~Insert() { sqlite3_finalize(stmt_); }
  Insert(const Insert&) = delete;
  Insert& operator=(const Insert&) = delete;

  Insert& Int(int i, std::int64_t v) {
    sqlite3_bind_int64(stmt_, i, v);
    return *this;
  }
  Insert& Real(int i, double v) {
    sqlite3_bind_double(stmt_, i, v);
    return *this;
  }
  Insert& Text(int i, const std::string& v) {
    sqlite3_bind_text(stmt_, i, v.c_str(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    return *this;
  }
  void Run() {
    Check(sqlite3_step(stmt_), db_, "insert");
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
  }

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

std::string Padded(int n, int width) {
  std::string s = std::to_string(n);
  return std::string(s.size() < static_cast<std::size_t>(width) ? static_cast<std::size_t>(width) - s.size() : 0, '0') +
         s;
}

// Tops the demo catalogue up to the fleet's sizes. The connection has the
// server's functions, which the audit triggers call; with no user set for
// the session they record nothing.
void GenerateFleet(const std::string& path) {
  server::SessionVars vars;
  server::Database db(path, server::Database::Mode::Existing);
  server::RegisterServerFunctions(db, vars);
  sqlite3* h = db.Handle();

  const std::vector<std::string> units = Column(db, "SELECT ID FROM UORG ORDER BY ID");
  const std::vector<std::string> makers = Column(db, "SELECT ID FROM UP_MANUF ORDER BY ID");
  const std::vector<std::string> makerNames = Column(db, "SELECT SNAME FROM UP_MANUF ORDER BY ID");
  const std::vector<std::string> buildings = Column(db, "SELECT ID FROM UP_BUILDINGS ORDER BY ID");
  const std::vector<std::string> points = Column(db, "SELECT ID FROM UDELIVERY WHERE ID <> '-' ORDER BY ID");
  const std::vector<std::string> people = {"maria", "nikos", "eleni", "kostas", "giorgos", "christina"};
  const std::vector<std::string> colours = {"K", "C", "M", "Y"};
  const std::vector<std::string> kinds = {"Toner", "Toner", "Ink", "Drum"};
  const std::vector<std::string> colourNames = {"Μαύρο", "Κυανό", "Ματζέντα", "Κίτρινο"};

  const auto newModels = static_cast<int>(kFleetModels - Number(db, "SELECT count(*) FROM UP_PR_MODELS"));
  const auto newConsumables = static_cast<int>(kFleetConsumables - Number(db, "SELECT count(*) FROM UP_CONS"));
  const auto newPrinters = static_cast<int>(kFleetPrinters - Number(db, "SELECT count(*) FROM UP_PRINTERS"));
  const auto firstConsumable = static_cast<int>(Number(db, "SELECT max(ID) FROM UP_CONS") + 1);
  auto contractLine = static_cast<int>(Number(db, "SELECT max(ID) FROM UP_SYMBD") + 1);
  auto item = static_cast<int>(Number(db, "SELECT max(ITEMAA) FROM UP_SYMBD WHERE MID = 2") + 1);
  if (newModels < 10 || newConsumables < 10 || newPrinters < 10) throw std::runtime_error("the demo is too big");

  db.Exec("BEGIN");
  {
    Insert cons(h,
                "INSERT INTO UP_CONS (ID, CODE, CTYPE, CODEREQ, COL, PAGECNT, UP, CTYPEORG, MANID, COSTPP, GEN) "
                "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, 'TONER', ?8, ?9, ?10)");
    Insert line(h,
                "INSERT INTO UP_SYMBD (ID, MID, CID, CODE, UP, ITEMAA, QSUG, GEN) "
                "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
    for (int i = 0; i < newConsumables; ++i) {
      const int id = firstConsumable + i;
      const auto m = static_cast<std::size_t>(i % static_cast<int>(makers.size()));
      const auto c = static_cast<std::size_t>(i % 4);
      // The two shared ones sort next to each other on the Consumables tab.
      const std::string ref = i < 2 ? std::string("000") + static_cast<char>('A' + i) : "T" + Padded(i, 5);
      const std::string code = makerNames[i < 2 ? 0 : m] + " " + ref + " " + colourNames[c] + " " + kinds[c];
      const int pages = 1000 + (i * 37) % 20000;
      const double price = 20 + (i * 13) % 300 + (i % 4) * 0.5;
      cons.Int(1, id)
          .Text(2, code)
          .Text(3, kinds[c])
          .Text(4, ref)
          .Text(5, colours[c])
          .Int(6, pages)
          .Real(7, price)
          .Text(8, makers[i < 2 ? 0 : m])
          .Real(9, price * 100 / pages)
          .Text(10, i % 5 == 0 ? "0" : "1")
          .Run();
      line.Int(1, contractLine++)
          .Int(2, kContract)
          .Int(3, id)
          .Text(4, code)
          .Real(5, price * 0.95)
          .Int(6, item++)
          .Int(7, 5 + i % 20)
          .Text(8, i % 5 == 0 ? "0" : "1")
          .Run();
    }

    Insert model(h,
                 "INSERT INTO UP_PR_MODELS (ID, FULLNAME, HASETH, IL, COL, MANID, ISCP) "
                 "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    Insert modelCons(h, "INSERT INTO UP_MODEL_CONS (MODELID, CONSID) VALUES (?1, ?2)");
    // The consumables of each model; the shared one last where it has one.
    std::vector<std::vector<int>> modelConsumables(static_cast<std::size_t>(newModels));
    for (int k = 0; k < newModels; ++k) {
      const std::string id = "GM" + Padded(k, 5);
      const auto m = static_cast<std::size_t>(k % static_cast<int>(makers.size()));
      model.Text(1, id)
          .Text(2, makerNames[m] + " Σειρά " + Padded(k, 4) + (k % 3 == 0 ? " Color" : ""))
          .Int(3, k % 2)
          .Text(4, k % 4 == 3 ? "I" : "L")
          .Int(5, k % 3 == 0 ? 4 : 0)
          .Text(6, makers[m])
          .Text(7, k % 2 == 0 ? "1" : "0")
          .Run();
      std::vector<int>& own = modelConsumables[static_cast<std::size_t>(k)];
      for (int j = 0; j < 3; ++j) own.push_back(firstConsumable + 2 + (3 * k + j) % (newConsumables - 2));
      if (k % kSharedEvery == 0) own.push_back(firstConsumable);
      if (k % kSharedEvery == kSharedEvery / 2) own.push_back(firstConsumable + 1);
      for (int cid : own) modelCons.Text(1, id).Int(2, cid).Run();
    }

    Insert printer(h,
                   "INSERT INTO UP_PRINTERS (ID, MODELID, SN, ORGID, BUILDINGID, OFFICE, USERPID, ORDERPID, DELPID, "
                   "CP18ID, YRPROD) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)");
    Insert requirement(h,
                       "INSERT INTO UP_CONS_REQ (PRID, CID, QTY, TECHPID, DIAG, CIDREQ, QTYORG) "
                       "VALUES (?1, ?2, ?3, 'admin', 0, ?2, ?3)");
    for (int i = 0; i < newPrinters; ++i) {
      const std::string id = "G" + Padded(i, 5);
      const int k = i % newModels;
      printer.Text(1, id)
          .Text(2, "GM" + Padded(k, 5))
          .Text(3, "SN" + Padded(i * 7919 % 1000000, 8))
          .Text(4, units[static_cast<std::size_t>(i) % units.size()])
          .Text(5, buildings[static_cast<std::size_t>(i) % buildings.size()])
          .Text(6, "Γραφείο " + std::to_string(1 + i % 300) + ", " + std::to_string(i % 5) + "ος όροφος")
          .Text(7, people[static_cast<std::size_t>(i) % people.size()])
          .Text(8, people[static_cast<std::size_t>(i / 7) % people.size()])
          .Text(9, points[static_cast<std::size_t>(i) % points.size()])
          .Int(10, 10 + i % 5)
          .Int(11, 2015 + i % 10)
          .Run();
      // Three requirement rows: the model's first two and its last (the
      // shared consumable where the model has one).
      const std::vector<int>& own = modelConsumables[static_cast<std::size_t>(k)];
      for (int cid : {own[0], own[1], own.back()}) requirement.Text(1, id).Int(2, cid).Int(3, 1 + i % 3).Run();
    }
  }
  db.Exec("COMMIT");

  Fleet& f = TheFleet();
  f.printers = static_cast<int>(Number(db, "SELECT count(*) FROM UP_PRINTERS"));
  f.models = static_cast<int>(Number(db, "SELECT count(*) FROM UP_PR_MODELS"));
  f.consumables = static_cast<int>(Number(db, "SELECT count(*) FROM UP_CONS"));
  f.requirements = static_cast<int>(Number(db, "SELECT count(*) FROM UP_CONS_REQ"));
  f.sharedA = firstConsumable;
  f.sharedB = firstConsumable + 1;
  f.sharedAPrinters = static_cast<int>(
      Number(db, ("SELECT count(*) FROM UP_CONS_REQ WHERE CID = " + std::to_string(f.sharedA)).c_str()));
}

test::ServerProcess& FleetServer() {
  static test::ServerProcess server([] {
    test::ServerProcess::Options o;
    o.prepare = GenerateFleet;
    return o;
  }());
  return server;
}

// The program's login: the connection context as the login window fills
// it, the connection module (its socket connects at once), then the steps
// after the login that the printer windows rely on.
std::unique_ptr<app::TDM1>& Module() {
  static std::unique_ptr<app::TDM1> module;
  return module;
}

void LogIn() {
  app::ConnectionContext& c = app::Ctx();
  c.AppName = "MERO";
  c.LoginUser = "ADMIN";
  c.LoginPassword = "admin";
  c.ServerPort = std::to_string(FleetServer().Port());
  c.ServerAddress = "127.0.0.1";
  c.LoginState = -1;
  Module() = std::make_unique<app::TDM1>(std::vector<std::string>{});
  for (int i = 0; i < 116 && c.LoginState == -1; ++i) app::WaitWithMessages(0.1);
  if (c.LoginState != 1) throw std::runtime_error("the login of ADMIN failed:\n" + FleetServer().Log());
  data::InitQueryUtils(false);
  app::LoadPrinterContext();
  printers::SetUserContextSource([] { return printers::UserContext{"admin", std::to_string(kContract)}; });
}

void LogOut() {
  printers::SetUserContextSource({});
  data::ResetQueryUtils();
  Module().reset();
}

using List = printers::Workbench::List;

// The rows the workbench shows as it opens, or an error text.
std::string WorkbenchShapeError(printers::Workbench& w) {
  const Fleet& f = TheFleet();
  if (w.Query(List::kPrinters).RecordCount() != f.printers) return "printers";
  if (w.Query(List::kModels).RecordCount() != f.models) return "models";
  if (w.Query(List::kConsumables).RecordCount() < f.consumables - 10) return "consumables";
  for (List d : {List::kPrinterRequirements, List::kModelConsumables, List::kModelPrinters, List::kConsumableModels,
                 List::kConsumablePrinters, List::kConsumableRequirements}) {
    if (!w.Query(d).Active()) return "a detail list is closed";
  }
  return {};
}

void BM_WorkbenchOpens(benchmark::State& state) {
  for (auto _ : state) {
    printers::Workbench w;
    w.OpenAll();
    const std::string error = WorkbenchShapeError(w);
    if (!error.empty()) state.SkipWithError(error.c_str());
  }
}

void PaintGrids(printers::TPrintersKZF& window) {
  for (ui::TKZDBGrid* grid : window.Grids) {
    if (!grid->isVisible()) continue;
    grid->View()->viewport()->repaint();
    grid->View()->horizontalHeader()->viewport()->repaint();
  }
}

// The window as the printer menu opens it, shown offscreen (not modally):
// built, its lists read at the first show, the active tab painted.
void BM_WorkbenchWindowOpens(benchmark::State& state) {
  for (auto _ : state) {
    printers::TPrintersKZF window;
    window.show();
    QApplication::processEvents();
    PaintGrids(window);
    const std::string error = WorkbenchShapeError(window.Logic());
    if (!error.empty()) state.SkipWithError(error.c_str());
    window.hide();
  }
}

void BM_SelectAllPrinters(benchmark::State& state) {
  for (auto _ : state) {
    std::unique_ptr<data::TKZLINK> q = data::NewQuery();
    data::OpenSQL(*q, "select * from UP_PRINTERS");
    if (q->RecordCount() != TheFleet().printers) state.SkipWithError("wrong row count");
    data::FreeQuery(q);
  }
}

// Where the workbench's time goes: each tab's search with empty boxes
// opened into a plain query (0 printers, 1 models, 2 consumables), and
// (3) the three one after the other: what the workbench cannot do without.
void BM_WorkbenchSearchesAlone(benchmark::State& state) {
  std::vector<std::string> selects = {printers::PrinterSearchSQL({}), printers::ModelSearchSQL({}),
                                      printers::ConsumableSearchSQL({})};
  if (state.range(0) < 3) selects = {selects[static_cast<std::size_t>(state.range(0))]};
  for (auto _ : state) {
    for (const std::string& sql : selects) {
      std::unique_ptr<data::TKZLINK> q = data::NewQuery();
      data::OpenSQL(*q, sql);
      if (q->RecordCount() == 0) state.SkipWithError("no rows");
      data::FreeQuery(q);
    }
  }
}

// The requirement view of the printer menu with its three boxes empty, as
// its window opens it.
void BM_RequirementViewOpens(benchmark::State& state) {
  for (auto _ : state) {
    printers::RequirementView view("", "", "");
    if (view.RunQuery(view.InitialInput()) != TheFleet().requirements) state.SkipWithError("wrong row count");
  }
}

// F_UP_REQ_Q as it was before it kept its statement: the sums prepared,
// run and finalized at every call.
constexpr const char* kReqQSums =
    "SELECT total(CASE WHEN d.STATE = 1 THEN l.QTY END),"
    "       total(CASE WHEN d.STATE BETWEEN 2 AND 8"
    "                  THEN max(coalesce(l.QTY, 0) - coalesce(l.QTYDEL, 0), 0) END),"
    "       total(CASE WHEN d.STATE BETWEEN 2 AND 9 THEN l.QTYDEL END)"
    "  FROM UP_DELTD l JOIN UP_DELT d ON d.ID = l.MID"
    " WHERE l.PRID = ?3 AND l.CID = ?2 AND d.SID = ?1";

void ResultQuantity(sqlite3_context* ctx, double value) {
  if (value == static_cast<double>(static_cast<std::int64_t>(value))) {
    sqlite3_result_int64(ctx, static_cast<std::int64_t>(value));
  } else {
    sqlite3_result_double(ctx, value);
  }
}

void ReqQPreparedEachCall(sqlite3_context* ctx, int, sqlite3_value** argv) {
  try {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    const std::int64_t kind = sqlite3_value_int64(argv[0]);
    if (kind < 1 || kind > 4) return sqlite3_result_error(ctx, "ORA-20031: F_UP_REQ_Q", -1);
    for (int i = 1; i < 4; ++i) {
      if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return sqlite3_result_int(ctx, 0);
    }
    server::Prepared sums(sqlite3_context_db_handle(ctx), kReqQSums);
    sums.BindValue(1, argv[1]).BindValue(2, argv[2]).BindValue(3, argv[3]);
    sums.Step();
    const double drafts = sums.Double(0);
    const double outstanding = sums.Double(1);
    const double delivered = sums.Double(2);
    switch (kind) {
      case 1:
        return ResultQuantity(ctx, drafts);
      case 2:
        return ResultQuantity(ctx, outstanding);
      case 3:
        return ResultQuantity(ctx, outstanding + delivered);
      default:
        return ResultQuantity(ctx, delivered);
    }
  } catch (const std::exception& e) {
    sqlite3_result_error(ctx, e.what(), -1);
  }
}

// A connection of the benchmark's own to the server's file, set up as a
// session's is, and the requirement select in SQLite's dialect as the
// server translates it.
struct ServerSide {
  server::SessionVars vars;
  server::Database db;
  std::string sql;

  explicit ServerSide(bool preparedEachCall) : db(FleetServer().Database(), server::Database::Mode::Existing) {
    server::RegisterServerFunctions(db, vars);
    if (preparedEachCall) {
      Check(sqlite3_create_function_v2(db.Handle(), "F_UP_REQ_Q", 4, SQLITE_UTF8, nullptr, ReqQPreparedEachCall,
                                       nullptr, nullptr, nullptr),
            db.Handle(), "F_UP_REQ_Q");
    }
    const std::shared_ptr<const server::Catalog> catalog = server::LoadCatalog(db);
    const server::OracleTranslator translator(*catalog);
    sql = translator.TranslateQuery(printers::RequirementSelect(kContract) + " order by ID").sql;
  }

  // Every row, every column read as the session reads it to encode it;
  // sum, when given, adds up the five computed quantities.
  int SelectAll(double* sum = nullptr) {
    server::Prepared q(db.Handle(), sql);
    sqlite3_stmt* stmt = q.Handle();
    const int columns = sqlite3_column_count(stmt);
    int rows = 0;
    while (q.Step()) {
      for (int c = 0; c < columns; ++c) {
        if (sqlite3_column_type(stmt, c) == SQLITE_TEXT) benchmark::DoNotOptimize(sqlite3_column_text(stmt, c));
        else benchmark::DoNotOptimize(sqlite3_column_double(stmt, c));
      }
      if (sum != nullptr) {
        for (int c = 0; c < 5; ++c) *sum += sqlite3_column_double(stmt, c);
      }
      ++rows;
    }
    return rows;
  }
};

// Both functions give the same quantities, or the comparison means nothing.
void CheckServerSidesAgree() {
  double kept = 0;
  double eachCall = 0;
  ServerSide(false).SelectAll(&kept);
  ServerSide(true).SelectAll(&eachCall);
  if (kept != eachCall || kept == 0) throw std::runtime_error("the two F_UP_REQ_Q give different quantities");
}

void BM_RequirementSelectOnServer(benchmark::State& state) {
  const bool preparedEachCall = state.range(0) == 1;
  ServerSide side(preparedEachCall);
  std::int64_t rows = 0;
  for (auto _ : state) {
    const int n = side.SelectAll();
    if (n != TheFleet().requirements) state.SkipWithError("wrong row count");
    rows += n;
  }
  // The time per row, in seconds.
  state.counters["per_row"] =
      benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.SetLabel(preparedEachCall ? "F_UP_REQ_Q preparing at every call" : "F_UP_REQ_Q keeping its statement");
}

// Places the consumables list on the first shared consumable; the second
// is the next row.
void OnSharedConsumable(printers::Workbench& w) {
  data::TKZLINK& q = w.Query(List::kConsumables);
  q.Locate("ID", base::Variant::Integer(TheFleet().sharedA), 0);
  q.Next();
  if (data::FieldInt(q, "ID") != TheFleet().sharedB)
    throw std::runtime_error("the shared consumables are not adjacent");
  q.Prior();
}

bool DetailsAreLarge(printers::Workbench& w) {
  return w.Query(List::kConsumablePrinters).RecordCount() > TheFleet().sharedAPrinters / 2 &&
         w.Query(List::kConsumableRequirements).RecordCount() > TheFleet().sharedAPrinters / 2;
}

// One move, down then up, between the two shared consumables: the details
// posted (none pending) and read again for the row the cursor comes to.
void BM_ConsumableCursorMove(benchmark::State& state) {
  printers::Workbench w;
  w.OpenAll();
  OnSharedConsumable(w);
  data::TKZLINK& q = w.Query(List::kConsumables);
  bool down = true;
  for (auto _ : state) {
    if (down) q.Next();
    else q.Prior();
    down = !down;
    if (!DetailsAreLarge(w)) state.SkipWithError("small details");
  }
}

// The same move in the window on its Consumables tab, with the four grids
// repainted.
void BM_ConsumableCursorMoveInWindow(benchmark::State& state) {
  printers::TPrintersKZF window;
  window.show();
  QApplication::processEvents();
  window.SetActiveTab(printers::WorkbenchTab::Consumables);
  QApplication::processEvents();
  OnSharedConsumable(window.Logic());
  data::TKZLINK& q = window.Logic().Query(List::kConsumables);
  QApplication::processEvents();
  PaintGrids(window);
  bool down = true;
  for (auto _ : state) {
    if (down) q.Next();
    else q.Prior();
    down = !down;
    QApplication::processEvents();
    PaintGrids(window);
    if (!DetailsAreLarge(window.Logic())) state.SkipWithError("small details");
  }
  window.hide();
}

}  // namespace

// Most of the time is the server's: the number of iterations follows the
// time on the clock, not the client's processor time.
BENCHMARK(BM_WorkbenchOpens)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);
BENCHMARK(BM_WorkbenchWindowOpens)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);
BENCHMARK(BM_SelectAllPrinters)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);
BENCHMARK(BM_WorkbenchSearchesAlone)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);
BENCHMARK(BM_RequirementViewOpens)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);
// 0: the server's F_UP_REQ_Q; 1: the one preparing at every call.
BENCHMARK(BM_RequirementSelectOnServer)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);
BENCHMARK(BM_ConsumableCursorMove)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);
BENCHMARK(BM_ConsumableCursorMoveInWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);

int main(int argc, char** argv) {
  base::KeepFreedMemory();
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  int status = 0;
  try {
    LogIn();
    CheckServerSidesAgree();
    const Fleet& f = TheFleet();
    std::printf(
        "fleet: %d printers, %d models, %d consumables, %d requirement rows; %d printers require the shared "
        "consumable %d\n",
        f.printers, f.models, f.consumables, f.requirements, f.sharedAPrinters, f.sharedA);
    status = bench::RunAndReport(
        argc, argv,
        {{"BM_WorkbenchOpens", "BM_SelectAllPrinters", 20.0},
         {"BM_WorkbenchWindowOpens", "BM_SelectAllPrinters", 20.0},
         {"BM_WorkbenchWindowOpens", "BM_WorkbenchSearchesAlone/3", 1.6},
         {"BM_WorkbenchOpens", "BM_WorkbenchSearchesAlone/3", 1.6},
         {"BM_RequirementSelectOnServer/0", "BM_RequirementSelectOnServer/1", 0.5}},
        {{"BM_RequirementViewOpens", 1000}, {"BM_ConsumableCursorMove", 50}, {"BM_ConsumableCursorMoveInWindow", 50}});
  } catch (const std::exception& e) {
    std::fprintf(stderr, "catalogue_bench: %s\n", e.what());
    status = 2;
  }
  LogOut();
  return status;
}
