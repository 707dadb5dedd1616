// A one-row primary-key select round trip through the client socket
// (TLinkClientSocket on Qt, rows decoded into a reused RowSet by a minimal
// dataset) against the same round trip through the codec-only test client,
// both on the same demo server.

#include <QCoreApplication>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

#include "base/runtime.h"
#include "bench_ratio.h"
#include "link/client/client_socket.h"
#include "link/client/link_dataset.h"
#include "link/codec/result_set.h"
#include "support/link_test_client.h"
#include "support/server_process.h"

using namespace mero;

namespace {

const char* const kSelect = "select ID, NAME, TEL1 from UORG where ID = '0.01'";

test::ServerProcess& Server() {
  static test::ServerProcess server;
  return server;
}

// What a dataset does with the replies of a select, and no more.
class RowsDataset : public link::LinkDataset {
 public:
  void LinkFieldDefs(std::string_view payload) override {
    rows.SetFields(link::FieldDefsFromFastFields(link::DecodeFieldDefs(payload)));
  }
  void LinkRows(std::string_view payload, std::int32_t packet) override { link::DecodeRows(payload, packet, rows); }
  void LinkPacketCursor(std::int32_t) override {}
  void LinkReceivedParams(int, const link::TLinkParamList&) override {}
  void LinkParams(const link::TLinkParamList&) override {}
  void LinkRowsAffected(int) override {}
  void LinkSocketDestroyed(link::TLinkClientSocket&) override {}

  link::RowSet rows;
};

void BM_ClientSocketSelect(benchmark::State& state) {
  link::TLinkClientSocket socket;
  socket.SetClientType(link::ctBlocking);  // Loaded returns logged in
  socket.SetConnectAction(link::caCustomConnect);
  socket.SetAutoLoginDlg(link::ltLoginNoDlg);
  socket.SetProgramArguments({});
  bool verified = false;
  socket.OnCustomConnect = [&] {
    socket.SetUserName("MARIA");
    socket.SetPassword("maria");
    socket.SetApplicationName("MERO");
    socket.SetApplicationVersion("1,31");
    socket.SetHost("127.0.0.1");
    socket.SetPort(Server().Port());
  };
  socket.OnLoginAttempt = [&](bool v) { verified = v; };
  socket.Loaded();
  if (!verified) throw std::runtime_error("the socket's login was refused");
  RowsDataset ds;
  for (auto _ : state) {
    const std::string error = socket.RequestSelect(&ds, "", kSelect, -1, 0);
    if (!error.empty() || ds.rows.RowCount() != 1) throw std::runtime_error("select failed: " + error);
    benchmark::DoNotOptimize(ds.rows.Text(0, 1).size());
  }
  socket.Close();
}

void BM_TestClientSelect(benchmark::State& state) {
  test::LinkTestClient client(Server().Port());
  if (!client.Login("MARIA", "maria")) throw std::runtime_error("the test client's login was refused");
  for (auto _ : state) {
    const test::LinkTestClient::SelectReply reply = client.Select(kSelect);
    if (!reply.error.empty() || reply.rows.RowCount() != 1) throw std::runtime_error("select failed");
    benchmark::DoNotOptimize(reply.rows.Text(0, 1).size());
  }
}

}  // namespace

BENCHMARK(BM_ClientSocketSelect)->Unit(benchmark::kMicrosecond)->Repetitions(5);
BENCHMARK(BM_TestClientSelect)->Unit(benchmark::kMicrosecond)->Repetitions(5);

int main(int argc, char** argv) {
  base::KeepFreedMemory();  // as the client program does at start
  // The socket's notifications need the thread's event dispatcher.
  QCoreApplication app(argc, argv);
  return bench::RunAndReport(argc, argv, {{"BM_ClientSocketSelect", "BM_TestClientSelect", 1.3}});
}
