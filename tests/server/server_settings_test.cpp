#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/date_time.h"
#include "server/login_throttle.h"
#include "server/offered_files.h"
#include "server/server_config.h"
#include "support/temp_dir.h"

using namespace mero;
using namespace std::chrono_literals;

namespace {

TEST(ServerConfig, EndpointsAndTheirCipher) {
  EXPECT_EQ(server::ParseEndpoint("127.0.0.1:7773").ToString(), "127.0.0.1:7773");
  EXPECT_EQ(server::ParseEndpoint(":7775").ToString(), "127.0.0.1:7775");
  EXPECT_EQ(server::ParseEndpoint("0").port, 0);
  EXPECT_EQ(server::ParseEndpoint("0.0.0.0:7771").address, "0.0.0.0");
  EXPECT_TRUE(server::ParseEndpoint("7771").Cipher());
  EXPECT_TRUE(server::ParseEndpoint("7779").Cipher());
  EXPECT_FALSE(server::ParseEndpoint("7770").Cipher());
  EXPECT_FALSE(server::ParseEndpoint("7780").Cipher());
  for (const char* bad : {"", "host:", "host:port", "1.2.3.4:70000", "1.2.3.4:-1"}) {
    EXPECT_THROW(server::ParseEndpoint(bad), std::invalid_argument) << bad;
  }
}

TEST(ServerConfig, FileSettingsAndErrors) {
  test::TempDir dir;
  const std::string path = dir.File("mero-server.conf");
  std::ofstream(path) << "# demo\n db = /var/mero.db \nlisten = 127.0.0.1:7773, 127.0.0.1:7775\n"
                         "files=/srv/files\nversions = 1,31; 1,32\nbusy-timeout = 250\nlog-requests = Yes\n";
  server::ServerConfig config;
  server::LoadConfigFile(path, config);
  EXPECT_EQ(config.database, "/var/mero.db");
  ASSERT_EQ(config.listen.size(), 2u);
  EXPECT_TRUE(config.listen[1].Cipher());
  EXPECT_EQ(config.filesDir, "/srv/files");
  EXPECT_EQ(config.acceptedVersions, (std::vector<std::string>{"1,31", "1,32"}));
  EXPECT_EQ(config.busyTimeoutMs, 250);
  EXPECT_TRUE(config.logRequests);

  struct Case {
    const char* text;
    const char* error;
  };
  const Case cases[] = {
      {"nonsense\n", ":1: expected key = value"},
      {"\n\ncolour = blue\n", ":3: unknown setting \"colour\""},
      {"busy-timeout = long\n", ":1: busy-timeout must be a number, not \"long\""},
      {"listen = here:there\n", ":1: listen address must be ADDR:PORT"},
      {"log-requests = maybe\n", ":1: log-requests must be yes or no, not \"maybe\""},
  };
  for (const Case& c : cases) {
    std::ofstream(path) << c.text;
    server::ServerConfig other;
    try {
      server::LoadConfigFile(path, other);
      ADD_FAILURE() << c.text << " was accepted";
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(path + c.error), std::string::npos) << e.what();
    }
  }
  server::ServerConfig none;
  EXPECT_THROW(server::LoadConfigFile(dir.File("absent.conf"), none), std::runtime_error);
  none.ApplyDefaults();
  ASSERT_EQ(none.listen.size(), 1u);
  EXPECT_EQ(none.listen[0].ToString(), "127.0.0.1:7773");
}

TEST(LoginThrottle, DelaysGrowThenLockAndSuccessClears) {
  server::LoginThrottle t(250ms);
  const auto t0 = server::LoginThrottle::Clock::now();
  EXPECT_EQ(t.DelayFor("maria", "10.0.0.1", t0), 0ms);
  const std::chrono::milliseconds expected[] = {250ms, 500ms, 1000ms, 2000ms};
  for (auto delay : expected) {
    t.Failed("MARIA", "10.0.0.1", t0);
    EXPECT_EQ(t.DelayFor("maria", "10.0.0.1", t0), delay);
    EXPECT_FALSE(t.Locked("maria", "10.0.0.1", t0));
  }
  EXPECT_EQ(t.DelayFor("maria", "10.0.0.2", t0), 0ms);  // another address is not slowed
  t.Failed("maria", "10.0.0.1", t0);                    // the fifth failure locks
  EXPECT_TRUE(t.Locked("maria", "10.0.0.1", t0 + 4min));
  EXPECT_EQ(t.DelayFor("maria", "10.0.0.1", t0), 4000ms);
  EXPECT_FALSE(t.Locked("maria", "10.0.0.1", t0 + 5min + 1s));
  t.Failed("maria", "10.0.0.1", t0 + 6min);  // after the lock a failure starts afresh
  EXPECT_EQ(t.DelayFor("maria", "10.0.0.1", t0 + 6min), 250ms);
  t.Succeeded("maria", "10.0.0.1");
  EXPECT_EQ(t.DelayFor("maria", "10.0.0.1", t0 + 6min), 0ms);
}

TEST(OfferedFiles, RegularFilesInNameOrder) {
  test::TempDir dir;
  std::ofstream(dir.File("b.frm")) << "second";
  std::ofstream(dir.File("a.frm"), std::ios::binary) << std::string("first\0bytes", 11);
  std::filesystem::create_directory(dir.Path() / "sub");
  server::OfferedFiles files(dir.Path().string());
  EXPECT_EQ(files.Names(), (std::vector<std::string>{"a.frm", "b.frm"}));
  server::OfferedFiles::File f;
  ASSERT_TRUE(files.Read(0, f));
  EXPECT_EQ(f.name, "a.frm");
  EXPECT_EQ(f.bytes, std::string("first\0bytes", 11));
  EXPECT_GT(f.modified, base::EncodeDate(2020, 1, 1));
  EXPECT_FALSE(files.Read(2, f));
  EXPECT_FALSE(files.Read(-1, f));
  EXPECT_TRUE(server::OfferedFiles("").Names().empty());
  EXPECT_TRUE(server::OfferedFiles(dir.File("absent")).Names().empty());
}

}  // namespace
