#pragma once

// The printer windows' tests against the real server with the demo data: a
// server of their own, a login through the connection module, the query
// utilities and the parameter cache as after a real login, and the user
// context the program gives the printer windows.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/connection_context.h"
#include "app/connection_module.h"
#include "app/main_window_logic.h"
#include "base/encoding.h"
#include "base/text_routines.h"
#include "data/remote/application_dataset.h"
#include "data/remote/query_startup.h"
#include "data/remote/query_utils.h"
#include "printers/printer_context.h"
#include "support/login_helper.h"
#include "support/scripted_presenter.h"
#include "support/server_process.h"
#include "ui/lookup_logic.h"

namespace mero::test {

class PrintersTest : public ClientTest {
 protected:
  void SetUp() override {
    ClientTest::SetUp();
    LoginAs("MARIA", "maria");
  }
  void TearDown() override {
    printers::SetUserContextSource({});
    data::ResetQueryUtils();
    module_.reset();
    ClientTest::TearDown();
  }

  // Ends the session in progress (if any) and logs in as the user, with the
  // after-login steps the printer windows rely on.
  void LoginAs(const std::string& user, const std::string& password) {
    if (module_) {
      data::ResetQueryUtils();
      module_.reset();
      app::ResetClientState();
    }
    module_ = LoginThroughModule(server_.Port(), user, password);
    ASSERT_EQ(app::Ctx().LoginState, 1) << server_.Log();
    data::InitQueryUtils(false);
    app::LoadPrinterContext();
    ui::SetLookupKeepsFilterCase(true);
    const std::string lower = base::LowerStr(user);
    printers::SetUserContextSource([lower] { return printers::UserContext{lower, "2"}; });
  }

  // A second session of the user's, beside the window's: what another
  // connection reads is what the database holds.
  std::string OtherSelect(const std::string& sql, const std::string& user = "ADMIN",
                          const std::string& password = "admin") {
    if (!other_) other_ = LoginOwnSocket(server_.Port(), user, password);
    data::TKZLINK q("OTHER");
    q.SetLinkClientSocket(other_.get());
    q.SetSQLText(sql);
    q.Open();
    if (q.IsEmpty()) return "<none>";
    return q.Fields(0).IsNull() ? "<null>" : q.Fields(0).AsString();
  }

  // A statement and its commit on the second session (ADMIN's unless it was
  // opened as someone else): how a test sets the data up.
  void AdminExec(const std::string& sql) {
    OtherSelect("select 1 from DUAL");
    // Written here in UTF-8; the link carries the client's code page.
    data::RunStatement(base::Utf8ToWin1253(sql), true, other_.get());
  }

  // The first column of every row, read from the second session.
  std::vector<std::string> OtherColumn(const std::string& sql) {
    OtherSelect("select 1 from DUAL");
    data::TKZLINK q("OTHER");
    q.SetLinkClientSocket(other_.get());
    q.SetSQLText(sql);
    q.Open();
    std::vector<std::string> values;
    for (q.First(); !q.Eof(); q.Next()) values.push_back(q.Fields(0).AsString());
    return values;
  }

  ServerProcess server_;
  ScriptedPresenter presenter_;
  std::unique_ptr<app::TDM1> module_;
  std::unique_ptr<link::TLinkClientSocket> other_;
};

}  // namespace mero::test
