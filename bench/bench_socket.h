#pragma once

// The client socket of the benchmarks on Qt, logged in to the benchmark
// server as ADMIN (a blocking connect returns once the verdict is in).

#include <memory>
#include <stdexcept>

#include "bench_table.h"
#include "link/client/client_socket.h"

namespace mero::bench {

inline link::TLinkClientSocket& BenchSocket() {
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
      raw->SetPort(BenchServer().Port());
    };
    s->OnLoginAttempt = [&verified](bool v) { verified = v; };
    s->Loaded();
    s->OnLoginAttempt = nullptr;
    if (!verified) throw std::runtime_error("the socket's login was refused");
    return s;
  }();
  return *socket;
}

}  // namespace mero::bench
