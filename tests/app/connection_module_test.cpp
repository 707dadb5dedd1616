#include "app/connection_module.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMetaObject>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/connection_context.h"
#include "app/sql_value_rule.h"
#include "base/date_time.h"
#include "base/encoding.h"
#include "base/file_routines.h"
#include "base/variant_routines.h"
#include "data/remote/application_dataset.h"
#include "data/remote/query_utils.h"
#include "link/client/socket_errors.h"
#include "link/codec/field_type.h"
#include "support/error_text.h"
#include "support/login_helper.h"
#include "support/scripted_presenter.h"
#include "support/server_process.h"
#include "support/temp_dir.h"

using namespace mero;
using namespace mero::base::literals;
using namespace std::chrono_literals;

namespace {

// The user's settings in a folder of the test's own while it lives.
class OwnSettings {
 public:
  OwnSettings() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    old_ = config != nullptr ? std::optional<std::string>(config) : std::nullopt;
    setenv("XDG_CONFIG_HOME", dir_.File("config").c_str(), 1);
  }
  ~OwnSettings() {
    if (old_) {
      setenv("XDG_CONFIG_HOME", old_->c_str(), 1);
    } else {
      unsetenv("XDG_CONFIG_HOME");
    }
  }
  OwnSettings(const OwnSettings&) = delete;
  OwnSettings& operator=(const OwnSettings&) = delete;

 private:
  test::TempDir dir_;
  std::optional<std::string> old_;
};

TEST(SqlValueRule, WritesNullsFractionsAndDatesItsOwnWay) {
  const base::TDateTime day = base::EncodeDate(2005, 5, 10);
  struct Case {
    const char* name;
    int type;
    base::Variant value;
    std::string text;
    bool handled;
    const char* expected;
  };
  const Case cases[] = {
      {"empty of any kind", link::ftInteger, base::Variant::Null(), "", true, "NULL"},
      {"empty string", link::ftString, base::Variant::Text(""), "", true, "NULL"},
      {"fraction", link::ftFloat, base::Variant::Double(2.5), "2,5", true, "2.5"},
      {"currency fraction", link::ftCurrency, base::Variant::Double(-0.125), "-0,125", true, "-0.125"},
      {"eight decimals", link::ftFloat, base::Variant::Double(1.0 / 3), "0,333", true, "0.33333333"},
      {"whole float", link::ftFloat, base::Variant::Double(3.0), "3", false, ""},
      {"midnight", link::ftDateTime, base::Variant::Date(day), "10/05/2005", true, "'10/05/2005'"},
      {"date field", link::ftDate, base::Variant::Date(day), "10/05/2005", true, "'10/05/2005'"},
      {"one second past", link::ftDateTime, base::Variant::Date(day + base::EncodeTime(0, 0, 1, 0)),
       "10/05/2005 00:00:01", true, "TO_DATE('10/05/2005 00:00:01','DD/MM/YYYY HH24:MI:SS')"},
      {"text", link::ftString, base::Variant::Text("x"), "x", false, ""},
      {"integer", link::ftInteger, base::Variant::Integer(5), "5", false, ""},
  };
  for (const Case& c : cases) {
    std::string result;
    EXPECT_EQ(app::SqlValueRule(c.type, c.value, c.text, result), c.handled) << c.name;
    if (c.handled) {
      EXPECT_EQ(result, c.expected) << c.name;
    }
  }
}

// The hooks of the module write the client's process-wide state; each test
// starts from a fresh one.
class ConnectionModule : public test::ClientTest {};

TEST_F(ConnectionModule, LoginInformationReplyFillsTheRecord) {
  app::RST1InfRecord& r = app::RST1Inf();
  app::MyACSCodedMessage(13001, "17;3;Μαρία;D02;1;maria;1101"_gr);
  EXPECT_EQ(r.int1, 17);
  EXPECT_EQ(r.int2, 1);
  EXPECT_EQ(r.int3, 3);
  EXPECT_EQ(r.texts[0], "Μαρία"_gr);
  EXPECT_EQ(r.texts[1], "maria");
  EXPECT_EQ(r.texts[2], "1101");
  EXPECT_EQ(r.texts[3], "D02");
  EXPECT_EQ(app::Ctx().LastCodedReply, 13001);

  app::MyACSCodedMessage(13001, "");
  EXPECT_EQ(r.int1, -1);
  app::MyACSCodedMessage(13001, "x;;name");  // fewer than seven fields
  EXPECT_EQ(r.int1, base::NullInt);
  EXPECT_EQ(r.int2, 0);
  EXPECT_EQ(r.int3, 0);
  EXPECT_EQ(r.texts[0], "name");
  app::MyACSCodedMessage(2500, "other");  // every coded message is remembered
  EXPECT_EQ(app::Ctx().LastCodedReply, 2500);
}

TEST_F(ConnectionModule, CipherOnlyOnPorts7771To7779AndTheTransactionTexts) {
  struct Case {
    const char* port;
    int mode;
    std::vector<std::string> args = {};  // the program's words
  };
  // One socket per port, all kept to the end: the hook leaves the last one
  // as the process-wide socket. The cases run in order, so a plain port
  // after a cipher port shows that the hook switches the cipher off again.
  std::vector<std::unique_ptr<link::TLinkClientSocket>> sockets;
  // The word "Port=" decides over the port of the context: it is the port
  // the connection will use.
  for (const Case& c : {Case{"7771", 2}, Case{"7779", 2}, Case{"7773", 2}, Case{"7770", 0}, Case{"7780", 0},
                        Case{"7773", 0, {"Port=7780"}}, Case{"7780", 2, {"x", "port=7775"}}}) {
    link::TLinkClientSocket& socket = *sockets.emplace_back(std::make_unique<link::TLinkClientSocket>());
    socket.SetProgramArguments(c.args);
    app::Ctx().AppName = "MERO";
    app::Ctx().LoginUser = "MARIA";
    app::Ctx().LoginPassword = "maria";
    app::Ctx().ServerPort = c.port;
    app::Ctx().ServerAddress = "127.0.0.1";
    socket.SetApplicationVersion("1,31");
    app::MyACSCustomConnect(socket, nullptr);
    EXPECT_EQ(app::LinkCipherMode(), c.mode) << c.port;
    EXPECT_EQ(socket.Encryption(), c.mode == 2 ? link::etUserDefined : link::etNoEncryption) << c.port;
    EXPECT_EQ(socket.UserName(), "MARIA");
    EXPECT_EQ(socket.ApplicationName(), "MERO");
    EXPECT_EQ(socket.ClientParams().GetByName("MYVERSION").ValueText(), "1,31");
    EXPECT_EQ(socket.SQLTransactionStart().rfind("BEGIN P1.USRID:='MARIA';P1.USRIP:='", 0), 0u);
    EXPECT_EQ(socket.SQLTransactionStart().back(), ';');
    EXPECT_EQ(socket.SQLTransactionEnd(), " ;  P1.USRID:=NULL; P1.USRIP:=NULL; COMMIT; END;");
    EXPECT_FALSE(app::Ctx().LoginVerdict);
  }
}

TEST_F(ConnectionModule, TheConnectHookHandsItsSocketAndQueryToTheQueryUtilities) {
  link::TLinkClientSocket socket;
  data::TKZLINK query("_Q");
  app::Ctx().ServerPort = "7768";
  app::MyACSCustomConnect(socket, &query);
  EXPECT_EQ(data::SharedSocket(), &socket);
  EXPECT_EQ(data::GlobalQuery(), &query);
  app::MyACSCustomConnect(socket, nullptr);
  EXPECT_EQ(data::GlobalQuery(), nullptr);
}

TEST_F(ConnectionModule, WaitWithMessagesReturnsAtOnceForTinyWaits) {
  // A wait that returns at once processes nothing: an event posted before
  // it is still pending after it. Any longer wait processes it.
  bool processed = false;
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [&processed] { processed = true; }, Qt::QueuedConnection);
  for (const double x : {0.0, 0.0001, -1.0}) {
    app::WaitWithMessages(x);
    EXPECT_FALSE(processed) << x;
  }
  app::WaitWithMessages(0.0002);
  EXPECT_TRUE(processed);
}

TEST_F(ConnectionModule, TheReplyWaitLimitComesFromTheSettingsWhenItIsAWholeNumber) {
  OwnSettings settings;
  EXPECT_EQ(app::ReplyWaitSeconds(60), 60) << "no settings file";
  const std::pair<const char*, int> cases[] = {
      {"", 60}, {"5", 5}, {" 300 ", 300}, {"0", 0}, {"-3", 60}, {"ten", 60}, {"2.5", 60},
  };
  for (const auto& [text, seconds] : cases) {
    base::RegWriteStr("ReplyWaitSeconds", text);
    EXPECT_EQ(app::ReplyWaitSeconds(60), seconds) << '"' << text << '"';
  }
}

class LiveConnection : public test::ClientTest {
 protected:
  void Login(const std::string& user, const std::string& password, int port, std::vector<std::string> args = {}) {
    module_ = test::LoginThroughModule(port, user, password, std::move(args));
  }

  test::ServerProcess server_;
  test::ScriptedPresenter presenter_;
  std::unique_ptr<app::TDM1> module_;
};

TEST_F(LiveConnection, TheModulesQueriesAndTheGlobalQuery) {
  Login("MARIA", "maria", server_.Port());
  ASSERT_EQ(app::Ctx().LoginState, 1) << server_.Log();
  data::TKZLINK& q = module_->Q();
  data::TKZLINK& lwq = module_->LWQ();
  EXPECT_EQ(data::GlobalQuery(), &q);
  EXPECT_EQ(data::SharedSocket(), &module_->ACS1());
  for (data::TKZLINK* each : {&q, &lwq}) {
    EXPECT_EQ(each->LinkClientSocket(), &module_->ACS1());
    EXPECT_EQ(each->EditMode(), "Read Only");
    EXPECT_TRUE(each->zAutoCommit());
    EXPECT_EQ(each->UpdateMethod(), data::umManual);
    EXPECT_FALSE(each->Active());
  }
  EXPECT_EQ(q.Name(), "_Q");
  EXPECT_EQ(lwq.Name(), "LWQ");
  EXPECT_TRUE(lwq.SQL().empty());
  EXPECT_EQ(q.SQL(), (std::vector<std::string>{"select * from DEPT", "where ID=:qID"}));
  ASSERT_EQ(q.Params().Count(), 1);
  const link::TLinkParamItem& qID = q.ParamByName("qID");
  EXPECT_EQ(qID.DataType(), link::ftString);
  EXPECT_EQ(qID.Size(), 50);
  EXPECT_EQ(qID.ParamType(), link::ptInput);
  EXPECT_FALSE(qID.IsNull());
  EXPECT_EQ(qID.ValueText(), "");

  q.ParamByName("qID").SetString("D02");
  EXPECT_TRUE(data::OpenQuery(q));
  EXPECT_EQ(q.FieldByName("NAME").AsString(), "Τμήμα Γραμματείας"_gr);
  EXPECT_TRUE(data::OpenSQL(lwq, "select DEPTID from USRLU where USRID='MARIA'"));

  module_.reset();
  EXPECT_EQ(data::GlobalQuery(), nullptr);
  EXPECT_EQ(data::SharedSocket(), nullptr);
}

TEST_F(LiveConnection, TheModulesSocketHasAReplyWaitLimitAndTakesTheSetting) {
  OwnSettings settings;
  Login("MARIA", "maria", server_.Port());
  EXPECT_EQ(module_->ACS1().ReplyTimeLimit(), 60);
  base::RegWriteStr("ReplyWaitSeconds", "7");
  Login("MARIA", "maria", server_.Port());
  ASSERT_EQ(app::Ctx().LoginState, 1) << server_.Log();
  EXPECT_EQ(module_->ACS1().ReplyTimeLimit(), 7);
}

// What a window meets when the server dies under one of its lists: the list
// fails with the disconnect text at once, and the next one (which reconnects)
// with the refusal, not a hang.
TEST_F(LiveConnection, AListWhoseServerIsKilledFailsAndTheNextOneIsRefused) {
  Login("MARIA", "maria", server_.Port());
  ASSERT_EQ(app::Ctx().LoginState, 1) << server_.Log();
  link::TLinkClientSocket& socket = module_->ACS1();
  socket.SetReplyTimeLimit(0);  // the kill alone must end the wait
  const auto start = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point killed{};
  socket.SmartWait().OnWaitTick = [&] {
    if (killed == std::chrono::steady_clock::time_point{} && std::chrono::steady_clock::now() - start > 300ms) {
      server_.Kill();
      killed = std::chrono::steady_clock::now();
    }
  };
  data::TKZLINK& q = module_->Q();
  const std::string endless =
      "select count(*) from UP_CONS_REQ a, UP_CONS_REQ b, UP_CONS_REQ c, UP_CONS_REQ d, UP_CONS_REQ e";
  EXPECT_EQ(test::ErrorOf<std::exception>([&] { data::OpenSQL(q, endless); }), link::kDisconnectedText);
  EXPECT_LT(std::chrono::steady_clock::now() - killed, 1s);
  socket.SmartWait().OnWaitTick = nullptr;
  EXPECT_FALSE(q.Active());
  EXPECT_EQ(test::ErrorOf<std::exception>([&] { data::OpenSQL(q, "select 1 from DUAL"); }),
            link::AsyncSocketErrorText(link::kErrConnectionRefused, "127.0.0.1", socket.Port()));
  EXPECT_FALSE(socket.Active());
}

TEST_F(LiveConnection, AcceptedLoginThenTheLoginInformation) {
  Login("MARIA", "maria", server_.Port());
  ASSERT_EQ(app::Ctx().LoginState, 1) << server_.Log();
  EXPECT_TRUE(app::Ctx().LoginVerdict);
  EXPECT_EQ(app::Ctx().CurrentUser, "MARIA");
  EXPECT_EQ(app::LinkCipherMode(), 0);  // an ephemeral port is plain
  app::SendLoginRequest();
  EXPECT_EQ(app::Ctx().LastCodedReply, 13001);
  EXPECT_EQ(app::RST1Inf().texts[1], "MARIA");
  EXPECT_EQ(app::RST1Inf().texts[0], "Μαρία Παπαδοπούλου"_gr);
  EXPECT_EQ(app::RST1Inf().texts[2], "1101");
  EXPECT_TRUE(presenter_.AllShown().empty());
}

TEST_F(LiveConnection, RefusedLoginShowsTheModulesMessage) {
  Login("MARIA", "wrong", server_.Port());
  EXPECT_EQ(app::Ctx().LoginState, 0);
  EXPECT_FALSE(app::Ctx().LoginVerdict);
  ASSERT_EQ(presenter_.AllShown().size(), 1u);
  EXPECT_EQ(presenter_.AllShown()[0].text,
            "Εσφαλμένο UserName/Password ή λάθος έκδοση της εφαρμογής. \r\nΤρέχουσα έκδοση :1,31\r\n"
            "Βεβαιωθείτε ότι αυτή είναι η τελευταία έκδοση της εφαρμογής!"_gr);
}

TEST_F(LiveConnection, TransactionTextsMakeAnAuditedBlock) {
  Login("ADMIN", "admin", server_.Port());
  ASSERT_EQ(app::Ctx().LoginState, 1);
  link::TLinkClientSocket& s = module_->ACS1();
  const std::string block =
      s.SQLTransactionStart() + "update UORG set TEL1 = '2310 000' where ID = '0.01'" + s.SQLTransactionEnd();
  EXPECT_EQ(s.RequestExec(nullptr, "", block, "", "", true), "");
  EXPECT_EQ(s.CollectError(), "");
  const std::string error = s.RequestExec(nullptr, "", "update NO_SUCH_TABLE set A = 1", "", "", true);
  EXPECT_EQ(error, "[LINK SERVER ERROR]ORA-00942: table or view does not exist");
}

TEST_F(LiveConnection, CompressionArgumentCompressesEveryMessage) {
  Login("ADMIN", "admin", server_.Port(), {"-Compression"});
  ASSERT_EQ(app::Ctx().LoginState, 1);
  EXPECT_EQ(module_->ACS1().Compression(), link::acLinkZLib);
  EXPECT_EQ(module_->ACS1().RequestExec(nullptr, "", "update UORG set TEL1 = '1' where ID = '0.01'", "", "", true), "");
}

class LiveCipher : public test::ClientTest {};

TEST_F(LiveCipher, TheModuleTalksToACipherPort) {
  std::unique_ptr<test::ServerProcess> server;
  int port = 0;
  for (int p = 7771; p <= 7779 && !server; ++p) {
    test::ServerProcess::Options options;
    options.ports = {p};
    try {
      server = std::make_unique<test::ServerProcess>(options);
      port = p;
    } catch (const std::exception&) {
    }
  }
  ASSERT_TRUE(server) << "no port from 7771 to 7779 is free";
  test::ScriptedPresenter presenter;
  const std::unique_ptr<app::TDM1> module = test::LoginThroughModule(port);
  EXPECT_EQ(app::Ctx().LoginState, 1) << server->Log();
  EXPECT_EQ(app::LinkCipherMode(), 2);
  EXPECT_EQ(module->ACS1().RequestExec(nullptr, "", "commit", "", "", true), "");
}

}  // namespace
