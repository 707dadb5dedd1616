// The server as the client meets it: a real mero-server process on loopback,
// driven through the link by the test client.

#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <fstream>

#include "base/encoding.h"
#include "base/number_format.h"
#include "link/codec/field_type.h"
#include "link/codec/message_stack.h"
#include "link/codec/param_list.h"
#include "link/codec/pipeline.h"
#include "link/codec/rijndael.h"
#include "support/link_test_client.h"
#include "support/server_process.h"

using namespace mero;
using namespace mero::base::literals;
using namespace std::chrono_literals;
using test::LinkTestClient;

namespace {

class ProtocolTest : public ::testing::Test {
 protected:
  std::unique_ptr<LinkTestClient> Connect() { return std::make_unique<LinkTestClient>(server_.Port()); }
  std::unique_ptr<LinkTestClient> LoggedIn(const std::string& user = "MARIA", const std::string& password = "maria") {
    auto c = Connect();
    EXPECT_TRUE(c->Login(user, password));
    return c;
  }

  test::ServerProcess server_;
};

TEST_F(ProtocolTest, LoginAcceptedAndRefused) {
  struct Case {
    const char* user;
    const char* password;
    const char* application;
    const char* version;
    bool accepted;
    const char* logged;
  };
  const Case cases[] = {
      {"MARIA", "maria", "MERO", "1,31", true, "MARIA: login accepted"},
      {"maria", "maria", "MERO", "1,31", true, "MARIA: login accepted"},  // the name in any case
      {"MARIA", "Maria", "MERO", "1,31", false, "wrong user name or password"},
      {"NOBODY", "x", "MERO", "1,31", false, "wrong user name or password"},
      {"NIKOS", "nikos", "OTHER", "1,31", false, "application \"OTHER\" is not served"},
      {"NIKOS", "nikos", "MERO", "1,30", false, "version \"1,30\" is not accepted"},
  };
  for (const Case& c : cases) {
    auto client = Connect();
    EXPECT_EQ(client->Login(c.user, c.password, c.application, c.version), c.accepted) << c.user << "/" << c.password;
    EXPECT_TRUE(server_.WaitForLog(c.logged)) << c.logged;
  }
}

TEST_F(ProtocolTest, RepeatedFailuresAreSlowedThenLockedOut) {
  auto client = Connect();
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(client->Login("NIKOS", "guess" + std::to_string(i)));
  // Locked: even the right password is refused now.
  EXPECT_FALSE(client->Login("NIKOS", "nikos"));
  EXPECT_TRUE(server_.WaitForLog("NIKOS: login refused, locked after repeated failures"));
  // Another user from the same address is not locked.
  EXPECT_TRUE(client->Login("MARIA", "maria"));
}

TEST_F(ProtocolTest, OnlyLoginAndServerInfoBeforeLogin) {
  auto client = Connect();
  EXPECT_EQ(client->ServerVersion(), "1.31");
  const auto select = client->Select("select * from UORG");
  EXPECT_EQ(select.error, "ORA-01012: not logged on");
  EXPECT_EQ(client->Exec("update UORG set NAME = 'x'"), "ORA-01012: not logged on");
}

TEST_F(ProtocolTest, ParamListBeforeLoginIsRefused) {
  auto client = Connect();
  link::TLinkStringLine line;
  line.SetKind(link::MessageKind::CodedParamList);
  line.AddInt(2000);
  line.AddText("");
  line.AddInt(1);
  client->Send(line);
  const link::TLinkStringLine reply = client->Receive();
  EXPECT_TRUE(reply.Is(link::MessageKind::SQLError));
  EXPECT_EQ(reply.Field(1), "ORA-01012: not logged on");
}

TEST_F(ProtocolTest, SelectCarriesEveryFieldTypeWithGreekTextAndNulls) {
  auto client = LoggedIn();
  const auto reply = client->Select("select ID, NODELT, ORGID, DTIN, DTSENT, VALTOT, COMM from UP_DELT where ID = 1");
  ASSERT_EQ(reply.error, "");
  // Sizes as the client reads them: a field without a size reads 25.
  EXPECT_EQ(reply.fastFields, (std::vector<std::string>{"ID,3,25", "NODELT,3,25", "ORGID,1,16", "DTIN,11,25",
                                                        "DTSENT,11,25", "VALTOT,6,25", "COMM,1,250"}));
  ASSERT_EQ(reply.rows.RowCount(), 1u);
  EXPECT_EQ(reply.rows.Int(0, 0), 1);
  EXPECT_EQ(reply.rows.Text(0, 2), "0.02.02");
  EXPECT_GT(reply.rows.Double(0, 3), 40000);
  EXPECT_FALSE(reply.rows.IsNull(0, 5));

  // A Greek text as the client reads it: windows-1253 bytes.
  const auto unit = client->Select("select NAME from UORG where ID = '0.01'");
  ASSERT_EQ(unit.rows.RowCount(), 1u);
  EXPECT_EQ(unit.rows.Text(0, 0), "Πρυτανεία"_gr);

  // NULLs of each kind of column.
  const auto nulls = client->Select("select DTCLOSED, COMM, VALDELIV from UP_DELT where ID = 4");
  ASSERT_EQ(nulls.rows.RowCount(), 1u);
  EXPECT_TRUE(nulls.rows.IsNull(0, 0));
  EXPECT_TRUE(nulls.rows.IsNull(0, 1));
}

TEST_F(ProtocolTest, ZeroRowSelectAnswersDefinitionsThenAnEmptyFreshResult) {
  auto client = LoggedIn();
  const auto reply = client->Select("select ID, NAME from UORG", 0);
  ASSERT_EQ(reply.error, "");
  EXPECT_EQ(reply.fastFields, (std::vector<std::string>{"ID,1,16", "NAME,1,80"}));
  EXPECT_EQ(reply.lastPacketArgument, 0);
  EXPECT_EQ(reply.rows.RowCount(), 0u);
}

TEST_F(ProtocolTest, PacketsFetchEveryRowOnceAndEndTheCursor) {
  auto client = LoggedIn();
  const auto all = client->Select("select ID from UP_PRINTERS order by ID");
  ASSERT_GT(all.rows.RowCount(), 10u);
  auto paged = client->Select("select ID from UP_PRINTERS order by ID", 10, 1 << 2);
  ASSERT_EQ(paged.error, "");
  EXPECT_GT(paged.packet, 0) << "an open packet cursor";
  EXPECT_EQ(paged.rows.RowCount(), 10u);
  int packets = 1;
  while (paged.packet > 0) {
    client->NextPacket(paged, 10);
    ASSERT_EQ(paged.error, "");
    ++packets;
    ASSERT_LT(packets, 100);
  }
  EXPECT_EQ(paged.lastPacketArgument, -2);
  EXPECT_EQ(paged.packet, -1);
  ASSERT_EQ(paged.rows.RowCount(), all.rows.RowCount());
  for (std::size_t r = 0; r < all.rows.RowCount(); ++r) EXPECT_EQ(paged.rows.Text(r, 0), all.rows.Text(r, 0));

  // Closing the dataset's cursor frees it; a packet asked afterwards fails.
  auto open = client->Select("select ID from UP_PRINTERS", 5, 1 << 2, 7);
  ASSERT_GT(open.packet, 0);
  client->CloseCursor(7);
  client->NextPacket(open, 5, 1 << 2, 7);
  EXPECT_EQ(open.error, "ORA-01001: invalid cursor");
}

TEST_F(ProtocolTest, RowsAreZlibCompressedWhenAskedAndTheMessageIsNot) {
  auto client = LoggedIn();
  const auto plain = client->Select("select * from UPV_PRINTERS");
  const auto packed = client->Select("select * from UPV_PRINTERS", -1, 1 << 5);
  EXPECT_FALSE(plain.compressedRows);
  EXPECT_TRUE(packed.compressedRows);
  ASSERT_EQ(packed.rows.RowCount(), plain.rows.RowCount());
  EXPECT_EQ(packed.rows.Value(3, 1), plain.rows.Value(3, 1));

  // A compressed message is answered compressed the same way, and then the
  // rows are not compressed a second time.
  for (auto compression : {link::acLinkZLib, link::acLinkCompress}) {
    client->SetCompression(compression);
    const auto reply = client->Select("select * from UPV_PRINTERS", -1, 1 << 5);
    EXPECT_FALSE(reply.compressedRows);
    EXPECT_EQ(reply.rows.RowCount(), plain.rows.RowCount());
  }
}

TEST_F(ProtocolTest, StatementsCommitAndErrorsComeBackAsOracleTexts) {
  auto client = LoggedIn("ADMIN", "admin");
  EXPECT_EQ(client->Exec("update UORG set TEL1 = '2310 999' where ID = '0.01'"), "");
  EXPECT_EQ(client->Exec("commit"), "");
  EXPECT_EQ(client->Select("select TEL1 from UORG where ID = '0.01'").rows.Text(0, 0), "2310 999");
  EXPECT_EQ(client->Exec("update NO_SUCH_TABLE set A = 1"), "ORA-00942: table or view does not exist");
  EXPECT_EQ(client->Select("select NO_SUCH_COLUMN from UORG").error,
            "ORA-00904: \"NO_SUCH_COLUMN\": invalid identifier");
  const std::string garbage = client->Exec("this is not SQL at all");
  EXPECT_EQ(garbage.rfind("ORA-", 0), 0u) << garbage;
  // The session goes on after errors.
  EXPECT_EQ(client->Select("select count(*) from UORG").error, "");
}

TEST_F(ProtocolTest, UncommittedWorkIsInvisibleToOthersAndRolledBackOnDisconnect) {
  auto writer = LoggedIn("ADMIN", "admin");
  auto reader = LoggedIn("NIKOS", "nikos");
  const std::string original(reader->Select("select TEL1 from UORG where ID = '0.02'").rows.Text(0, 0));
  EXPECT_EQ(writer->Exec("update UORG set TEL1 = 'changed' where ID = '0.02'"), "");
  EXPECT_EQ(writer->Select("select TEL1 from UORG where ID = '0.02'").rows.Text(0, 0), "changed");
  EXPECT_EQ(reader->Select("select TEL1 from UORG where ID = '0.02'").rows.Text(0, 0), original);
  writer.reset();  // the connection drops without a commit
  EXPECT_TRUE(server_.WaitForLog("uncommitted work rolled back"));
  EXPECT_EQ(reader->Select("select TEL1 from UORG where ID = '0.02'").rows.Text(0, 0), original);
}

TEST_F(ProtocolTest, AnUpdateBlockIsAtomicAndTaggedWithTheUser) {
  auto client = LoggedIn("ADMIN", "admin");
  const std::string begin = "BEGIN P1.USRID:='maria';P1.USRIP:='10.1.2.3';";
  const std::string end = " ;  P1.USRID:=NULL; P1.USRIP:=NULL; COMMIT; END;";
  // The second statement fails: the first one's change is undone as well.
  const std::string failing = client->Exec(begin + "update UORG set TEL1 = 'block' where ID = '0.01';\r\n" +
                                           "update NO_SUCH_TABLE set A = 1" + end);
  EXPECT_EQ(failing, "ORA-00942: table or view does not exist");
  EXPECT_NE(client->Select("select TEL1 from UORG where ID = '0.01'").rows.Text(0, 0), "block");
  EXPECT_EQ(client->Exec(begin + "update UORG set TEL1 = 'block' where ID = '0.01'" + end), "");
  auto other = LoggedIn("NIKOS", "nikos");
  EXPECT_EQ(other->Select("select TEL1 from UORG where ID = '0.01'").rows.Text(0, 0), "block");
}

TEST_F(ProtocolTest, LoginInformationReply) {
  auto client = LoggedIn();
  const std::string info = client->LoginInfo("MARIA;maria;MERO;1,31");
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t semi; (semi = info.find(';', start)) != std::string::npos; start = semi + 1) {
    fields.push_back(info.substr(start, semi - start));
  }
  fields.push_back(info.substr(start));
  ASSERT_EQ(fields.size(), 7u) << info;
  std::int32_t number = 0;
  EXPECT_TRUE(base::TryStrToInt(fields[0], number));
  EXPECT_EQ(fields[1], "0");  // not a super-user
  EXPECT_EQ(fields[2], "Μαρία Παπαδοπούλου"_gr);
  EXPECT_EQ(fields[4], "1");
  EXPECT_EQ(fields[5], "MARIA");
  EXPECT_EQ(fields[6], "1101");
  EXPECT_EQ(client->LoginInfo("MARIA;wrong;MERO;1,31"), "");
  EXPECT_EQ(client->LoginInfo("NIKOS;nikos;MERO;1,31"), "") << "another user's information";
}

TEST(ProtocolFiles, FilesOnOfferAreCountedAndSentWithTheirTimes) {
  test::TempDir files;
  std::ofstream(files.File("b.frm"), std::ios::binary) << std::string("form\0two", 8);
  std::ofstream(files.File("a.txt")) << "first";
  test::ServerProcess::Options options;
  options.filesDir = files.Path().string();
  test::ServerProcess server(options);
  LinkTestClient client(server.Port());
  ASSERT_TRUE(client.Login("NIKOS", "nikos"));
  const link::TLinkParamList count = client.ParamList(2000, {});
  ASSERT_EQ(count.Count(), 1);
  EXPECT_EQ(count.ItemAt(0).ValueInt(), 2);
  link::TLinkParamList ask;
  ask.AddValue(base::Variant::Integer(1));
  const link::TLinkParamList file = client.ParamList(2001, ask);
  ASSERT_EQ(file.Count(), 3);
  EXPECT_EQ(file.ItemAt(0).ValueStream(), std::string("form\0two", 8));
  EXPECT_EQ(file.ItemAt(1).ValueText(), "b.frm");
  EXPECT_GT(file.ItemAt(2).ValueFloat(), base::EncodeDate(2020, 1, 1));
  link::TLinkParamList past;
  past.AddValue(base::Variant::Integer(2));
  EXPECT_EQ(client.ParamList(2001, past).Count(), 0);
}

TEST(ProtocolCipher, CipherPortsEncryptEveryMessage) {
  // A cipher port that is free on this machine.
  std::unique_ptr<test::ServerProcess> server;
  for (int port = 7771; port <= 7779 && !server; ++port) {
    test::ServerProcess::Options options;
    options.ports = {port, 0};
    try {
      server = std::make_unique<test::ServerProcess>(options);
    } catch (const std::exception&) {
    }
  }
  ASSERT_TRUE(server) << "no port from 7771 to 7779 is free";
  LinkTestClient ciphered(server->Ports()[0]);
  EXPECT_TRUE(ciphered.Transforms().encryption == link::etUserDefined);
  ASSERT_TRUE(ciphered.Login("MARIA", "maria"));
  EXPECT_EQ(ciphered.Select("select NAME from UORG where ID = '0.01'").rows.Text(0, 0), "Πρυτανεία"_gr);
  // The same server's plain port speaks plain.
  LinkTestClient plain(server->Ports()[1]);
  EXPECT_TRUE(plain.Login("MARIA", "maria"));
  // A plain client on the cipher port is not understood: the session ends,
  // the server stays.
  LinkTestClient wrong(server->Ports()[0], false);
  link::TLinkStringLine line;
  line.SetKind(link::MessageKind::ServerUtility);
  line.AddInt(6);
  line.AddText("");
  wrong.Send(line);
  EXPECT_TRUE(wrong.WaitClosed());
  EXPECT_EQ(ciphered.ServerVersion(), "1.31");
}

TEST_F(ProtocolTest, BrokenInputEndsOnlyThatSession) {
  struct Case {
    const char* name;
    std::string bytes;
  };
  link::TLinkStringLine good;
  good.SetKind(link::MessageKind::ServerUtility);
  good.AddInt(6);
  good.AddText("");
  std::string badSlots = good.Finish();
  badSlots[6] = 100;  // field 1 starts past the data
  const Case cases[] = {
      {"frame longer than the limit", std::string("\x01\x00\x40\x06", 4)},
      {"negative frame length", std::string("\xFF\xFF\xFF\xFF", 4)},
      {"message shorter than its header", link::EncodeFrame("short")},
      {"field outside the message", link::EncodeFrame(badSlots)},
      {"damaged zlib message", link::EncodeFrame(std::string("\x78\x01garbage", 9))},
      {"damaged container", link::EncodeFrame("WRZL\x05\x00\x00\x00\x01\x00")},
  };
  auto bystander = LoggedIn("NIKOS", "nikos");
  for (const Case& c : cases) {
    auto client = Connect();
    client->SendRaw(c.bytes);
    EXPECT_TRUE(client->WaitClosed()) << c.name;
  }
  EXPECT_EQ(bystander->Select("select count(*) from UORG").error, "");
  auto fresh = LoggedIn();
  EXPECT_EQ(fresh->ServerVersion(), "1.31");
}

TEST(ProtocolShutdown, StopRollsBackAndEndsCleanly) {
  auto server = std::make_unique<test::ServerProcess>();
  {
    LinkTestClient client(server->Port());
    ASSERT_TRUE(client.Login("ADMIN", "admin"));
    EXPECT_EQ(client.Exec("update UORG set TEL1 = 'pending' where ID = '0.01'"), "");
    EXPECT_EQ(server->Stop(), 0) << server->Log();
    EXPECT_TRUE(client.WaitClosed());
  }
  EXPECT_NE(server->Log().find("uncommitted work rolled back"), std::string::npos) << server->Log();
  EXPECT_NE(server->Log().find("stopped"), std::string::npos);
}

}  // namespace
