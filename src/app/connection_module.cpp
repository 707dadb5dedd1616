#include "app/connection_module.h"

#include <QHostInfo>
#include <optional>

#include "app/connection_context.h"
#include "app/sql_value_rule.h"
#include "base/encoding.h"
#include "base/file_routines.h"
#include "base/message_seam.h"
#include "base/number_format.h"
#include "base/number_routines.h"
#include "base/startup.h"
#include "base/text_routines.h"
#include "base/trace.h"
#include "data/remote/application_dataset.h"
#include "data/remote/query_utils.h"
#include "link/client/command_line.h"
#include "link/codec/pipeline.h"
#include "link/codec/rijndael.h"

namespace mero::app {
namespace {

using namespace base::literals;

// The link cipher of the process and its mode.
struct CipherState {
  link::TRijndael cipher;
  bool keyed = false;
  int mode = 0;
};

CipherState& Cipher() {
  static CipherState state;
  return state;
}

// The cipher, keyed with the link key on first use.
link::TRijndael& LinkCipher() {
  CipherState& state = Cipher();
  if (!state.keyed) {
    state.cipher.SetKey(base::LinkKey());
    state.keyed = true;
  }
  return state.cipher;
}

}  // namespace

RST1InfRecord& RST1Inf() {
  static RST1InfRecord record;
  return record;
}

int& LinkCipherMode() { return Cipher().mode; }

void ResetConnectionModule() {
  RST1Inf() = RST1InfRecord{};
  Cipher().keyed = false;
  Cipher().mode = 0;
}

int ReplyWaitSeconds(int defaultSeconds) {
  std::int32_t seconds = 0;
  const std::string text = base::StrTrim(base::RegReadStr("ReplyWaitSeconds", ""));
  return base::TryStrToInt(text, seconds) && seconds >= 0 ? seconds : defaultSeconds;
}

namespace {

// A read-only query of the module on its socket.
std::unique_ptr<data::TKZLINK> ModuleQuery(const char* name, link::TLinkClientSocket& socket) {
  auto q = std::make_unique<data::TKZLINK>(name);
  q->SetLinkClientSocket(&socket);
  q->SetEditMode("Read Only");
  q->SetzAutoCommit(true);
  q->SetUpdateMethod(data::umManual);
  return q;
}

}  // namespace

TDM1::TDM1(std::vector<std::string> args)
    : acs1_(std::make_unique<link::TLinkClientSocket>()),
      q_(ModuleQuery("_Q", *acs1_)),
      lwq_(ModuleQuery("LWQ", *acs1_)) {
  q_->SetSQL({"select * from DEPT", "where ID=:qID"});
  link::TLinkParamItem& qID = q_->ParamByName("qID");
  qID.SetParamType(link::ptInput);
  qID.SetString("");
  qID.SetSize(50);
  qID.SetIsNull(false);

  link::TLinkClientSocket& s = *acs1_;
  s.SetAddress("127.0.0.1");
  s.SetPort(7768);
  s.SetClientType(link::ctNonBlocking);
  s.SetConnectAction(link::caCustomConnect);
  s.SetAutoLoginDlg(link::ltLoginNoDlg);
  s.SetApplicationName("MERO");
  s.SetApplicationVersion("1,31");
  s.SetUpdateSQLSyntax(link::usOracle);
  s.SetDateMaskForSQL("dd/mm/yyyy");
  s.SetDateTimeMaskForSQL("dd/mm/yyyy hh:nn:ss");
  s.SetSQLTransactionStart("BEGIN ");
  s.SetSQLTransactionEnd(";COMMIT; END;");
  s.SetReplyTimeLimit(ReplyWaitSeconds(s.ReplyTimeLimit()));
  s.OnCodedMessage = [this](int id, const std::string& text) { ACS1CodedMessage(id, text); };
  s.OnCustomConnect = [this] { ACS1CustomConnect(); };
  s.OnCustomSQLSyntax = [this](const link::LinkSQLField& f, std::string& r, bool& h) { ACS1CustomSQLSyntax(f, r, h); };
  s.OnEncrypt = [this](std::string& text) { ACS1Encrypt(text); };
  s.OnDecrypt = [this](std::string& text) { ACS1Decrypt(text); };
  s.OnLoginAttempt = [this](bool verified) { ACS1LoginAttempt(verified); };
  if (!args.empty()) s.SetProgramArguments(std::move(args));
  s.Loaded();
}

TDM1::~TDM1() {
  if (Ctx().socket == acs1_.get()) Ctx().socket = nullptr;
  if (data::SharedSocket() == acs1_.get()) data::SetSharedSocket(nullptr);
  if (data::GlobalQuery() == q_.get()) data::SetGlobalQuery(nullptr);
}

void TDM1::ACS1CustomConnect() { MyACSCustomConnect(*acs1_, q_.get()); }
void TDM1::ACS1LoginAttempt(bool verified) { MyACSLoginAttempt(verified); }
void TDM1::ACS1CodedMessage(int msgId, const std::string& text) { MyACSCodedMessage(msgId, text); }

void TDM1::ACS1CustomSQLSyntax(const link::LinkSQLField& field, std::string& result, bool& handled) {
  handled = SqlValueRule(field.dataType, field.value, field.text, result);
}

void TDM1::ACS1Encrypt(std::string& text) {
  if (LinkCipherMode() == 2) text = LinkCipher().EncryptString(text);
}

void TDM1::ACS1Decrypt(std::string& text) {
  if (LinkCipherMode() == 2) text = LinkCipher().DecryptString(text);
}

void MyACSCustomConnect(link::TLinkClientSocket& socket, data::TKZLINK* query) {
  base::DebugLog("In MyACSCustomConnect ");
  ConnectionContext& c = Ctx();
  c.socket = &socket;
  data::SetSharedSocket(&socket);
  socket.SetApplicationName(c.AppName);
  socket.SetUserName(c.LoginUser);
  socket.SetPassword(c.LoginPassword);
  socket.ClientParams().SetNamedValue("MYVERSION", base::Variant::Text(socket.ApplicationVersion()));
  data::SetGlobalQuery(query);
  socket.SetPort(base::StrToIntZ(c.ServerPort));
  socket.SetHost(c.ServerAddress);
  // The program's words ("Port=7780") are applied only as the socket
  // connects; the cipher must follow the port the connection will use.
  const std::optional<int> wordPort = link::TLinkCommandLine::Parse(socket.ProgramArguments()).port;
  if (link::IsCipherPort(wordPort.value_or(socket.Port()))) {
    LinkCipherMode() = 2;
    socket.SetEncryption(link::etUserDefined);
  } else {
    LinkCipherMode() = 0;
  }
  Set_BeginTans_EndTrans(socket);
  c.LoginVerdict = false;
  base::DebugLog("Out MyACSCustomConnect ");
}

void Set_BeginTans_EndTrans(link::TLinkClientSocket& socket) {
  base::DebugLog("In Set_BeginTans_EndTrans ");
  std::string address = socket.LocalAddress();
  if (address.empty()) address = QHostInfo::localHostName().toStdString();
  socket.SetSQLTransactionStart("BEGIN P1.USRID:=" + base::QuotedStr(socket.UserName()) + ";" +
                                "P1.USRIP:=" + base::QuotedStr(address) + ";");
  socket.SetSQLTransactionEnd(std::string(" ; ") + " P1.USRID:=NULL; P1.USRIP:=NULL; COMMIT; END;");
  base::DebugLog("Out Set_BeginTans_EndTrans ");
}

void MyACSLoginAttempt(bool verified) {
  base::DebugLog("In MyACSLoginAttempt ");
  ConnectionContext& c = Ctx();
  c.LoginVerdict = verified;
  c.LoginState = verified ? 1 : 0;
  if (!verified) {
    const std::string version = c.socket != nullptr ? c.socket->ApplicationVersion() : std::string();
    base::ShowMess("Εσφαλμένο UserName/Password ή λάθος έκδοση της εφαρμογής. "_gr + "\r\n" + "Τρέχουσα έκδοση :"_gr +
                   version + "\r\n" + "Βεβαιωθείτε ότι αυτή είναι η τελευταία έκδοση της εφαρμογής!"_gr);
    return;  // the handler ends here (a silent abort)
  }
  if (c.socket != nullptr) c.CurrentUser = c.socket->UserName();
  RST1Inf().int1 = -1234;
  base::DebugLog("Out MyACSLoginAttempt ");
}

void MyACSCodedMessage(int msgId, const std::string& text) {
  base::DebugLog("In MyACSCodedMessage " + std::to_string(msgId));
  if (msgId == 13001) {
    RST1InfRecord& r = RST1Inf();
    if (text.empty()) {
      r.int1 = -1;
    } else {
      r.int1 = base::StrToIntNull(base::GetNField(text, ";", 1));
      r.int2 = base::StrToIntZ(base::GetNField(text, ";", 5));
      r.int3 = base::StrToIntZ(base::GetNField(text, ";", 2));
      r.texts = {};
      r.texts[0] = base::GetNField(text, ";", 3);
      r.texts[1] = base::GetNField(text, ";", 6);
      r.texts[2] = base::GetNField(text, ";", 7);
      r.texts[3] = base::GetNField(text, ";", 4);
      if (r.int2 > 0 && r.texts[1].empty() && Ctx().socket != nullptr) r.texts[1] = Ctx().socket->UserName();
    }
  }
  Ctx().LastCodedReply = msgId;
  base::DebugLog("Out MyACSCodedMessage " + std::to_string(msgId));
}

}  // namespace mero::app
