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
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "base/runtime.h"
#include "bench_ratio.h"
#include "bench_socket.h"
#include "bench_table.h"
#include "data/remote/client_dataset.h"
#include "link/client/client_socket.h"
#include "link/client/link_dataset.h"
#include "link/codec/result_set.h"
#include "support/link_test_client.h"
#include "support/server_process.h"

using namespace mero;

namespace {

constexpr int kRows = bench::kBenchRows;
const char* const kSelect = "select * from BENCH_ROWS";
test::ServerProcess& Server() { return bench::BenchServer(); }

link::TLinkClientSocket& Socket() { return bench::BenchSocket(); }

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

// Opens the select into ds again and again.
void OpenRepeatedly(benchmark::State& state, data::TLinkClientDataSet& ds) {
  ds.SetLinkClientSocket(&Socket());
  ds.SetSQLText(kSelect);
  for (auto _ : state) {
    ds.Close();
    ds.Open();
    if (ds.RecordCount() != kRows) state.SkipWithError("wrong row count");
    benchmark::DoNotOptimize(ds.FieldByName("T1").AsString().size());
  }
}

void BM_ClientDataSetOpenFromReply(benchmark::State& state) {
  ReplayedDataSet ds(Captured());
  OpenRepeatedly(state, ds);
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
  OpenRepeatedly(state, ds);
}

void BM_TestClientSelect(benchmark::State& state) {
  test::LinkTestClient client(Server().Port());
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
