// Opening a 100,000-row × 10-column query into a TLinkClientDataSet, each
// figure beside a baseline in the same program:
// - the open from the server's reply (field definitions decoded, fields
//   bound, rows decoded and put into the dataset's row blocks, the change log
//   prepared), with the reply captured once from the server, against
//   decoding the identical row payload with link::DecodeRows into a reused
//   RowSet;
// - the whole open over the client socket, against the same select through
//   the codec-only test client.

#include <QCoreApplication>

#include <sqlite3.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "base/runtime.h"
#include "bench_ratio.h"
#include "data/client_dataset.h"
#include "link/client/client_socket.h"
#include "link/client/link_dataset.h"
#include "link/codec/result_set.h"
#include "support/link_test_client.h"
#include "support/server_process.h"

using namespace mero;

namespace {

constexpr int kRows = 100000;
const char* const kSelect = "select * from BENCH_ROWS";

void Check(int rc, sqlite3* db, const char* what) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE) throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}

// 100,000 rows × 10 columns: integers, Greek texts, numbers, dates and a few NULLs.
void FillBenchTable(const std::string& path) {
  sqlite3* db = nullptr;
  Check(sqlite3_open(path.c_str(), &db), db, "open");
  Check(sqlite3_exec(db,
                     "CREATE TABLE BENCH_ROWS (ID INTEGER PRIMARY KEY, N1 INTEGER, N2 INTEGER, T1 VARCHAR2(40), "
                     "T2 VARCHAR2(20), X1 NUMBER, X2 NUMBER, D1 DATE, D2 DATE, T3 VARCHAR2(10));"
                     "BEGIN;",
                     nullptr, nullptr, nullptr),
        db, "create");
  sqlite3_stmt* stmt = nullptr;
  Check(sqlite3_prepare_v2(db, "INSERT INTO BENCH_ROWS VALUES (?1,?2,?3,?4,?5,?6,?7,?8,?9,?10)", -1, &stmt, nullptr),
        db, "prepare");
  const char* names[] = {"Τμήμα Προμηθειών", "Διεύθυνση Οικονομικών", "Γραφείο Πρύτανη", "Εργαστήριο Φυσικής"};
  for (int i = 1; i <= kRows; ++i) {
    sqlite3_bind_int(stmt, 1, i);
    sqlite3_bind_int(stmt, 2, i * 7 % 1000);
    if (i % 17 == 0) sqlite3_bind_null(stmt, 3);
    else sqlite3_bind_int(stmt, 3, i % 50);
    sqlite3_bind_text(stmt, 4, names[i % 4], -1, SQLITE_STATIC);
    sqlite3_bind_text(stmt, 5, "Toner K", -1, SQLITE_STATIC);
    sqlite3_bind_double(stmt, 6, i * 1.25);
    if (i % 23 == 0) sqlite3_bind_null(stmt, 7);
    else sqlite3_bind_double(stmt, 7, 19.9 + i % 7);
    sqlite3_bind_double(stmt, 8, 46000.0 + i % 365);
    sqlite3_bind_double(stmt, 9, 46000.5 + i % 30);
    sqlite3_bind_text(stmt, 10, i % 2 ? "C" : "ΜΑΥΡΟ", -1, SQLITE_STATIC);
    Check(sqlite3_step(stmt), db, "insert");
    sqlite3_reset(stmt);
  }
  sqlite3_finalize(stmt);
  Check(sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr), db, "commit");
  sqlite3_close(db);
}

test::ServerProcess& Server() {
  static test::ServerProcess server([] {
    test::ServerProcess::Options o;
    o.prepare = FillBenchTable;
    return o;
  }());
  return server;
}

// The client socket, logged in (a blocking connect returns once the verdict is in).
link::TLinkClientSocket& Socket() {
  static std::unique_ptr<link::TLinkClientSocket> socket = [] {
    auto s = std::make_unique<link::TLinkClientSocket>();
    s->SetClientType(link::ctBlocking);
    s->SetConnectAction(link::caCustomConnect);
    s->SetAutoLoginDlg(link::ltLoginNoDlg);
    s->SetProgramArguments({});
    bool verified = false;
    link::TLinkClientSocket* raw = s.get();
    s->OnCustomConnect = [raw] {
      raw->SetUserName("ADMIN");
      raw->SetPassword("admin");
      raw->SetApplicationName("MERO");
      raw->SetApplicationVersion("1,31");
      raw->SetHost("127.0.0.1");
      raw->SetPort(Server().port());
    };
    s->OnLoginAttempt = [&verified](bool v) { verified = v; };
    s->Loaded();
    s->OnLoginAttempt = nullptr;
    if (!verified) throw std::runtime_error("the socket's login was refused");
    return s;
  }();
  return *socket;
}

// The reply of the select, as the socket delivers it, kept once.
struct Reply {
  std::string fieldDefs;
  std::string rows;
};

class CapturingDataset : public link::LinkDataset {
 public:
  void LinkFieldDefs(std::string_view payload) override { reply.fieldDefs = payload; }
  void LinkRows(std::string_view payload, std::int32_t) override { reply.rows = payload; }
  void LinkPacketCursor(std::int32_t) override {}
  void LinkReceivedParams(int, const link::TLinkParamList&) override {}
  void LinkParams(const link::TLinkParamList&) override {}
  void LinkRowsAffected(int) override {}
  void LinkSocketDestroyed(link::TLinkClientSocket&) override {}

  Reply reply;
};

const Reply& Captured() {
  static const Reply reply = [] {
    CapturingDataset capture;
    const std::string error = Socket().RequestSelect(&capture, "", kSelect, -1, 0);
    if (!error.empty() || capture.reply.rows.empty()) throw std::runtime_error("select failed: " + error);
    Socket().UnregisterDataSet(&capture);
    return capture.reply;
  }();
  return reply;
}

// A TLinkClientDataSet whose open takes the captured reply instead of asking
// the server: everything of the open but the transport.
class ReplayedDataSet : public data::TLinkClientDataSet {
 public:
  explicit ReplayedDataSet(const Reply& reply) : TLinkClientDataSet("QBENCH"), reply_(reply) {}

 protected:
  std::string RequestOpen(link::TLinkClientSocket&) override {
    LinkFieldDefs(reply_.fieldDefs);
    LinkRows(reply_.rows, 0);
    return {};
  }

 private:
  const Reply& reply_;
};

void BM_ClientDataSetOpenFromReply(benchmark::State& state) {
  ReplayedDataSet ds(Captured());
  ds.SetLinkClientSocket(&Socket());
  ds.SetSQLText(kSelect);
  for (auto _ : state) {
    ds.Close();
    ds.Open();
    if (ds.RecordCount() != kRows) state.SkipWithError("wrong row count");
    benchmark::DoNotOptimize(ds.FieldByName("T1").AsString().size());
  }
}

void BM_DecodeRowsReused(benchmark::State& state) {
  const Reply& reply = Captured();
  link::RowSet rows(link::FieldDefsFromFastFields(link::DecodeFieldDefs(reply.fieldDefs)));
  for (auto _ : state) {
    link::DecodeRows(reply.rows, 0, rows);
    if (rows.RowCount() != static_cast<std::size_t>(kRows)) state.SkipWithError("wrong row count");
    benchmark::DoNotOptimize(rows.Text(0, 3).size());
  }
}

void BM_ClientDataSetOpenOverLink(benchmark::State& state) {
  data::TLinkClientDataSet ds("QBENCH");
  ds.SetLinkClientSocket(&Socket());
  ds.SetSQLText(kSelect);
  for (auto _ : state) {
    ds.Close();
    ds.Open();
    if (ds.RecordCount() != kRows) state.SkipWithError("wrong row count");
    benchmark::DoNotOptimize(ds.FieldByName("T1").AsString().size());
  }
}

void BM_TestClientSelect(benchmark::State& state) {
  test::LinkTestClient client(Server().port());
  if (!client.Login("ADMIN", "admin")) throw std::runtime_error("the test client's login was refused");
  for (auto _ : state) {
    const test::LinkTestClient::SelectReply reply = client.Select(kSelect);
    if (!reply.error.empty() || reply.rows.RowCount() != static_cast<std::size_t>(kRows)) {
      state.SkipWithError("select failed");
    }
    benchmark::DoNotOptimize(reply.rows.Text(0, 3).size());
  }
}

}  // namespace

BENCHMARK(BM_ClientDataSetOpenFromReply)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_DecodeRowsReused)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_ClientDataSetOpenOverLink)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_TestClientSelect)->Unit(benchmark::kMillisecond)->Repetitions(5);

int main(int argc, char** argv) {
  base::KeepFreedMemory();  // as the client program does at start
  // The socket's notifications need the thread's event dispatcher.
  QCoreApplication app(argc, argv);
  const int status = bench::RunAndReport(argc, argv,
                                         {{"BM_ClientDataSetOpenFromReply", "BM_DecodeRowsReused", 1.5},
                                          {"BM_ClientDataSetOpenOverLink", "BM_TestClientSelect", 1.5}});
  Socket().Close();
  return status;
}
