#include "app/sql_shell.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "base/encoding.h"
#include "link/codec/result_set_encoder.h"
#include "support/server_process.h"

using namespace mero;
using namespace mero::base::literals;

namespace {

std::vector<std::string> Split(const std::vector<std::string>& lines) {
  app::StatementSplitter splitter;
  std::vector<std::string> out;
  for (const std::string& l : lines) {
    if (auto s = splitter.AddLine(l)) out.push_back(*s);
  }
  if (auto s = splitter.Finish()) out.push_back(*s);
  return out;
}

TEST(StatementSplitter, SemicolonsSlashesQuotesAndBlocks) {
  EXPECT_EQ(Split({"select 1 from dual;", "select", "  2 from dual ;"}),
            (std::vector<std::string>{"select 1 from dual", "select\n  2 from dual"}));
  EXPECT_EQ(Split({"update T set A = 'x;", "y' where B = 1;"}),
            (std::vector<std::string>{"update T set A = 'x;\ny' where B = 1"}));
  EXPECT_EQ(Split({"select 1 from dual", "/"}), (std::vector<std::string>{"select 1 from dual"}));
  EXPECT_EQ(Split({"BEGIN P1.USRID:='maria';", "update T set A = 1;", "COMMIT; END;", "commit;"}),
            (std::vector<std::string>{"BEGIN P1.USRID:='maria';\nupdate T set A = 1;\nCOMMIT; END;", "commit"}));
  EXPECT_TRUE(Split({"", "  ", ";"}).empty());
  EXPECT_EQ(Split({"select 1 from dual"}), (std::vector<std::string>{"select 1 from dual"}));
  EXPECT_TRUE(app::IsQuery("  select * from UORG"));
  EXPECT_TRUE(app::IsQuery("WITH x as (select 1 from dual) select * from x"));
  EXPECT_FALSE(app::IsQuery("update UORG set A = 1"));
}

TEST(FormatTable, AlignsGreekTextAndNumbers) {
  std::string defs;
  link::ResultSetEncoder enc(defs);
  enc.AddFieldDefs({{"ID", 3, 0}, {"NAME", 1, 20}, {"VALUE", 6, 0}});
  std::string rows;
  link::ResultSetEncoder r(rows);
  r.AddInt(1);
  r.AddText("Πρυτανεία"_gr);
  r.AddFloat(2.5);
  r.EndRow();
  r.AddInt(12);
  r.AddNull();
  r.AddFloat(100);
  r.EndRow();
  r.Finish();
  app::ResultDataset ds;
  ds.LinkFieldDefs(defs);
  ds.LinkRows(rows, 0);
  EXPECT_EQ(app::FormatTable(ds.Rows()),
            "ID | NAME      | VALUE\n"
            "---+-----------+------\n"
            " 1 | Πρυτανεία |   2.5\n"
            "12 |           |   100\n"
            "(2 rows)\n");
}

struct ShellRun {
  int status;
  std::string output;  // standard output and standard error together
};

// Runs mero-sql against the server with the password in MERO_PASSWORD.
ShellRun MeroSql(const std::string& password, const std::string& arguments) {
  const std::string command = "MERO_PASSWORD=" + password + " " + MERO_SQL_PATH + " " + arguments + " 2>&1";
  FILE* p = popen(command.c_str(), "r");
  ShellRun run{-1, {}};
  if (p == nullptr) return run;
  char buf[4096];
  std::size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) run.output.append(buf, n);
  run.status = pclose(p);
  return run;
}

TEST(MeroSql, RunsStatementsAgainstTheServer) {
  test::ServerProcess server;
  const std::string port = " --port " + std::to_string(server.Port());
  const ShellRun ok = MeroSql("admin", "--user admin" + port +
                                           " -c \"select ID, NAME from UORG where ID = '0.01'\""
                                           " -c \"update UORG set TEL1 = 'x' where ID = '0.01'\" -c commit");
  EXPECT_EQ(ok.status, 0) << ok.output;
  EXPECT_EQ(ok.output,
            "ID   | NAME\n"
            "-----+----------\n"
            "0.01 | Πρυτανεία\n"
            "(1 row)\n"
            "OK\n"
            "OK\n");

  // The server decides what a user may change, whatever the program.
  const ShellRun forbidden =
      MeroSql("maria", "--user maria" + port + " -c \"update UP_SYMBD set UP=0.01 where ID=201\"");
  EXPECT_NE(forbidden.status, 0);
  EXPECT_EQ(forbidden.output, "[LINK SERVER ERROR]ORA-01031: insufficient privileges\n");

  const ShellRun failing = MeroSql("maria", "--user MARIA" + port + " -c \"select * from NOWHERE\"");
  EXPECT_NE(failing.status, 0);
  EXPECT_EQ(failing.output, "[LINK SERVER ERROR]ORA-00942: table or view does not exist\n");

  const ShellRun refused = MeroSql("nope", "--user MARIA" + port + " -c \"select 1 from dual\"");
  EXPECT_NE(refused.status, 0);
  EXPECT_NE(refused.output.find("mero-sql: the server refused the login"), std::string::npos) << refused.output;
}

}  // namespace
