// mero-server's operator commands, run as the operator runs them.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>

#include "support/link_test_client.h"
#include "support/server_process.h"

using namespace mero;
using test::RunMeroServer;

namespace {

TEST(ServerCommands, InitRefusesAnExistingFileAndBadUsage) {
  test::TempDir dir;
  const std::string db = dir.File("m.db");
  std::string out;
  EXPECT_EQ(RunMeroServer({"init", "--db", db}, &out), 0) << out;
  EXPECT_EQ(RunMeroServer({"init", "--db", db}, &out), 2);
  EXPECT_NE(out.find("exists already; nothing was changed"), std::string::npos) << out;
  EXPECT_EQ(RunMeroServer({"init"}, &out), 2);
  EXPECT_NE(out.find("--db FILE is required"), std::string::npos) << out;
  EXPECT_EQ(RunMeroServer({"serve", "--db", dir.File("absent.db")}, &out), 2);
  EXPECT_NE(out.find("does not exist; create it with mero-server init"), std::string::npos) << out;
  EXPECT_EQ(RunMeroServer({"serve", "--db", db, "--listen", "nowhere:port"}, &out), 2);
  EXPECT_EQ(RunMeroServer({"serve", "--db", db, "--max-sessions", "0"}, &out), 2);
  EXPECT_NE(out.find("--max-sessions must be a whole number of at least 1, not \"0\""), std::string::npos) << out;
  EXPECT_EQ(RunMeroServer({"frobnicate"}, &out), 2);
  EXPECT_NE(out.find("unknown command frobnicate"), std::string::npos);
  EXPECT_EQ(RunMeroServer({"--help"}, &out), 0);
  EXPECT_NE(out.find("mero-server dispatch ID --db FILE"), std::string::npos);
}

TEST(ServerCommands, UsersAreAddedListedAndGivenNewPasswords) {
  test::ServerProcess server;
  const std::string db = server.Database();
  std::string out;
  setenv("MERO_PASSWORD", "s3cret", 1);
  EXPECT_EQ(RunMeroServer({"user", "add", "eleni", "--db", db, "--dept", "D02", "--rights", "1100", "--full-name",
                           "Ελένη Νικολάου"},
                          &out),
            0)
      << out;
  EXPECT_EQ(RunMeroServer({"user", "add", "Eleni", "--db", db}, &out), 2) << "a second ELENI";
  EXPECT_NE(out.find("there is already a user ELENI"), std::string::npos) << out;
  EXPECT_EQ(RunMeroServer({"user", "list", "--db", db}, &out), 0);
  EXPECT_NE(out.find("ELENI"), std::string::npos);
  EXPECT_NE(out.find("Ελένη Νικολάου"), std::string::npos);
  {
    test::LinkTestClient client(server.Port());
    EXPECT_TRUE(client.Login("ELENI", "s3cret"));
  }
  setenv("MERO_PASSWORD", "changed", 1);
  EXPECT_EQ(RunMeroServer({"user", "passwd", "Eleni", "--db", db}, &out), 0) << out;
  EXPECT_EQ(RunMeroServer({"user", "passwd", "NOBODY", "--db", db}, &out), 2);
  EXPECT_NE(out.find("there is no user NOBODY"), std::string::npos) << out;
  unsetenv("MERO_PASSWORD");
  test::LinkTestClient client(server.Port());
  EXPECT_FALSE(client.Login("ELENI", "s3cret"));
  EXPECT_TRUE(client.Login("ELENI", "changed"));
}

TEST(ServerCommands, DispatchMovesAFinalisedRequisitionToSent) {
  test::ServerProcess server;
  std::string out;
  test::LinkTestClient client(server.Port());
  ASSERT_TRUE(client.Login("ADMIN", "admin"));
  ASSERT_EQ(client.Select("select STATE from UP_DELT where ID = 8").rows.Int(0, 0), 2);
  EXPECT_EQ(RunMeroServer({"dispatch", "8", "--db", server.Database()}, &out), 0) << out;
  const auto after = client.Select("select STATE, DTSENT from UP_DELT where ID = 8");
  EXPECT_EQ(after.rows.Int(0, 0), 4);
  EXPECT_FALSE(after.rows.IsNull(0, 1));
  EXPECT_EQ(RunMeroServer({"dispatch", "8", "--db", server.Database()}, &out), 1) << "sent twice";
  EXPECT_NE(out.find("ORA-200"), std::string::npos) << out;
  EXPECT_EQ(RunMeroServer({"dispatch", "999", "--db", server.Database()}, &out), 1);
  EXPECT_EQ(RunMeroServer({"dispatch", "x", "--db", server.Database()}, &out), 2);
}

TEST(ServerCommands, ConfigurationFileAndFlagsThatWin) {
  test::TempDir dir;
  const std::string conf = dir.File("mero.conf");
  std::ofstream(conf) << "listen = 127.0.0.1:1\nversions = 1,31; 1,32\n";
  test::ServerProcess::Options options;
  options.extra = {"--config", conf};  // its listen is overridden by --listen 127.0.0.1:0
  test::ServerProcess server(options);
  test::LinkTestClient client(server.Port());
  EXPECT_TRUE(client.Login("NIKOS", "nikos", "MERO", "1,32"));
}

}  // namespace
