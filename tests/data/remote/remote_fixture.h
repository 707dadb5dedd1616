#pragma once

// A demo server of its own for each test and a login through the connection
// module, so that datasets talk over the socket exactly as configured for
// the system (SQL value rule, transaction texts).

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/connection_context.h"
#include "app/connection_module.h"
#include "data/remote/client_dataset.h"
#include "support/login_helper.h"
#include "support/scripted_presenter.h"
#include "support/server_process.h"

namespace mero::test {

// Starts and ends with the client's state reset (ClientTest).
class RemoteDataSetTest : public ClientTest {
 public:
  link::TLinkClientSocket& Socket() { return module_->ACS1(); }

 protected:
  void SetUp() override {
    ClientTest::SetUp();
    // The super-user: these tests change the shell's tables and the units.
    module_ = LoginThroughModule(server_.Port(), "ADMIN", "admin");
    ASSERT_EQ(app::Ctx().LoginState, 1) << server_.Log();
  }

  // A query on the module's socket, as a window declares one.
  std::unique_ptr<data::TLinkClientDataSet> Query(const std::string& sql, const std::string& name = "Q") {
    auto q = std::make_unique<data::TLinkClientDataSet>(name);
    q->SetLinkClientSocket(&Socket());
    q->SetSQLText(sql);
    return q;
  }

  // The first column of the first row of a select of its own, "<null>" for
  // NULL and "<none>" without a row.
  std::string Select1(const std::string& sql) {
    auto q = Query(sql, "CHECK");
    q->Open();
    if (q->IsEmpty()) return "<none>";
    return q->Fields(0).IsNull() ? "<null>" : q->Fields(0).AsString();
  }

  ServerProcess server_;
  ScriptedPresenter presenter_;
  std::unique_ptr<app::TDM1> module_;
};

}  // namespace mero::test
