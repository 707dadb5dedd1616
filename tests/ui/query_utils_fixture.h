#pragma once

// The windows' tests against the real server: a server of their own, a login
// through the connection module and the query utilities started on it, with
// the SQL display recorded instead of shown.

#include <string>
#include <vector>

#include "data/dataset_utils.h"
#include "data/remote/query_startup.h"
#include "data/remote/remote_fixture.h"

namespace mero::test {

class QueryUtilsTest : public RemoteDataSetTest {
 protected:
  void SetUp() override {
    RemoteDataSetTest::SetUp();
    if (HasFatalFailure()) return;
    data::InitQueryUtils(false);
    data::SetSQLDisplay([this](const std::string& sql) { shownSQL.push_back(sql); });
  }
  void TearDown() override {
    data::ResetQueryUtils();
    RemoteDataSetTest::TearDown();
  }

  std::vector<std::string> shownSQL;
};

}  // namespace mero::test
