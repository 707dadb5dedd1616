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
                         "files=/srv/files\nversions = 1,31; 1,32\nbusy-timeout = 250\nlog-requests = Yes\n"
                         "login-timeout = 5\nmax-sessions = 12\n";
  server::ServerConfig config;
  server::LoadConfigFile(path, config);
  EXPECT_EQ(config.database, "/var/mero.db");
  ASSERT_EQ(config.listen.size(), 2u);
  EXPECT_TRUE(config.listen[1].Cipher());
  EXPECT_EQ(config.filesDir, "/srv/files");
  EXPECT_EQ(config.acceptedVersions, (std::vector<std::string>{"1,31", "1,32"}));
  EXPECT_EQ(config.busyTimeoutMs, 250);
  EXPECT_TRUE(config.logRequests);
  EXPECT_EQ(config.loginTimeoutS, 5);
  EXPECT_EQ(config.maxSessions, 12);

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
      {"max-sessions = 0\n", ":1: max-sessions must be a whole number of at least 1, not \"0\""},
      {"login-timeout = soon\n", ":1: login-timeout must be a whole number of at least 1, not \"soon\""},
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

// The records of failed logins stay bounded however many names are tried,
// without ever lifting a lock early.
TEST(LoginThrottle, RecordsExpireAfterTheLockTimeAndAreCapped) {
  using server::LoginThrottle;
  const auto t0 = LoginThrottle::Clock::now();
  const std::string ip = "10.0.0.1";
  {
    SCOPED_TRACE("a failure is forgotten once it is as old as the lock time");
    LoginThrottle t(10ms);
    t.Failed("maria", ip, t0);
    EXPECT_EQ(t.Records(t0 + LoginThrottle::kLockTime - 1ms), 1u);
    EXPECT_EQ(t.Records(t0 + LoginThrottle::kLockTime), 0u);
    EXPECT_EQ(t.DelayFor("maria", ip, t0 + LoginThrottle::kLockTime), 0ms);
  }
  {
    SCOPED_TRACE("a lock lasts its whole time, and failures during it keep the pair");
    LoginThrottle t(10ms);
    for (int i = 0; i < LoginThrottle::kLockAfter; ++i) t.Failed("admin", ip, t0);
    t.Failed("admin", ip, t0 + 4min);
    EXPECT_TRUE(t.Locked("admin", ip, t0 + 5min - 1ms));
    EXPECT_FALSE(t.Locked("admin", ip, t0 + 5min));
    EXPECT_EQ(t.Records(t0 + 9min - 1ms), 1u);
    EXPECT_EQ(t.Records(t0 + 9min), 0u);
  }
  {
    SCOPED_TRACE("beyond the cap the pair that failed longest ago goes; a new failure makes a pair young");
    LoginThrottle t(10ms, 3);
    t.Failed("a", ip, t0);
    t.Failed("b", ip, t0 + 1s);
    t.Failed("c", ip, t0 + 2s);
    t.Failed("a", ip, t0 + 3s);
    t.Failed("d", ip, t0 + 4s);
    EXPECT_EQ(t.Records(t0 + 4s), 3u);
    EXPECT_EQ(t.DelayFor("b", ip, t0 + 4s), 0ms);
    EXPECT_EQ(t.DelayFor("a", ip, t0 + 4s), 20ms);
    EXPECT_EQ(t.DelayFor("c", ip, t0 + 4s), 10ms);
    EXPECT_EQ(t.DelayFor("d", ip, t0 + 4s), 10ms);
  }
  {
    SCOPED_TRACE("a flood of names does not push out a lock, unless every pair is locked");
    LoginThrottle t(10ms, 2);
    for (int i = 0; i < LoginThrottle::kLockAfter; ++i) t.Failed("admin", ip, t0);
    for (int i = 0; i < 100; ++i) t.Failed("name" + std::to_string(i), ip, t0 + 1s);
    EXPECT_TRUE(t.Locked("admin", ip, t0 + 2s));
    EXPECT_EQ(t.Records(t0 + 2s), 2u);
    for (int i = 0; i < LoginThrottle::kLockAfter; ++i) t.Failed("maria", ip, t0 + 3s);
    for (int i = 0; i < LoginThrottle::kLockAfter; ++i) t.Failed("nikos", ip, t0 + 4s);
    EXPECT_FALSE(t.Locked("admin", ip, t0 + 5s));
    EXPECT_TRUE(t.Locked("maria", ip, t0 + 5s));
    EXPECT_TRUE(t.Locked("nikos", ip, t0 + 5s));
  }
  {
    SCOPED_TRACE("the default cap holds");
    LoginThrottle t(10ms);
    for (std::size_t i = 0; i < LoginThrottle::kMaxRecords + 500; ++i) t.Failed("u" + std::to_string(i), ip, t0);
    EXPECT_EQ(t.Records(t0), LoginThrottle::kMaxRecords);
    t.Succeeded("u" + std::to_string(LoginThrottle::kMaxRecords + 499), ip);
    EXPECT_EQ(t.Records(t0), LoginThrottle::kMaxRecords - 1);
  }
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
