#pragma once

// The workbench's tests: logged in as the super-user it is for, and able to
// count the selects its lists send.

#include <string>
#include <vector>

#include "base/runtime.h"
#include "data/dataset_utils.h"
#include "printers_fixture.h"

namespace mero::test {

class WorkbenchTest : public PrintersTest {
 protected:
  void SetUp() override {
    PrintersTest::SetUp();
    LoginAs("ADMIN", "admin");
  }
  void TearDown() override {
    data::SetSQLDisplay(nullptr);
    base::Rt().debugLevel = 0;
    PrintersTest::TearDown();
  }

  // Every select the lists open from now on.
  std::vector<std::string>& CountSelects() {
    base::Rt().debugLevel = 1;
    data::SetSQLDisplay([this](const std::string& sql) {
      if (!sql.empty()) selects_.push_back(sql);
    });
    selects_.clear();
    return selects_;
  }

  std::vector<std::string> selects_;
};

}  // namespace mero::test
