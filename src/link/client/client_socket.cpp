#include "link/client/client_socket.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "base/format_settings.h"
#include "base/message_seam.h"
#include "base/number_format.h"
#include "base/runtime.h"
#include "base/text_routines.h"
#include "link/client/application_hooks.h"
#include "link/client/client_upgrade.h"
#include "link/client/client_windows.h"
#include "link/client/command_line.h"
#include "link/codec/compression.h"
#include "link/codec/link_errors.h"

namespace mero::link {
namespace {

// How long one pass of the reply wait blocks on the socket; a quit request
// from another thread is seen within it.
constexpr int kPumpSliceMs = 100;

constexpr std::string_view kNoError{"NULL\x04", 5};

std::int32_t Int(const TLinkStringLine& line, int k) { return static_cast<std::int32_t>(line.FieldInt(k)); }

std::string FileNameOf(const std::string& path) { return std::filesystem::path(path).filename().string(); }

// The server number of utility reply 6: a text without the process's decimal
// separator uses its second character as the separator for this conversion.
bool ReadServerNumber(const std::string& text, double& out) {
  const char separator = base::ProcessFormats().decimalSeparator;
  if (text.find(separator) == std::string::npos && text.size() >= 2) {
    return base::TryStrToFloat(text, out, text[1]);
  }
  return base::TryStrToFloat(text, out, separator);
}

// Resets a flag when the request ends, however it ends.
struct FlagReset {
  bool& flag;
  ~FlagReset() { flag = false; }
};

// What a user waits for a server that has gone silent before the program
// gives up: far longer than the slowest list or report takes, short enough
// that nobody kills the program first.
constexpr int kDefaultReplyTimeLimit = 60;

}  // namespace

std::string ReplyTimeoutText(int seconds) {
  return std::string(kDisconnectedText) + " The server sent nothing for " + std::to_string(seconds) + " seconds.";
}

TLinkClientSocket::TLinkClientSocket() : fallbackTimer_(std::make_unique<QTimer>()) {
  SetReplyTimeLimit(kDefaultReplyTimeLimit);
  fallbackTimer_->setSingleShot(true);
  fallbackTimer_->setInterval(500);
  QObject::connect(fallbackTimer_.get(), &QTimer::timeout, fallbackTimer_.get(), [this] {
    Guard([this] {
      if (!Active()) Open();
    });
  });
}

TLinkClientSocket::~TLinkClientSocket() {
  wait_.Release();
  const std::map<int, LinkDataset*> registry = registry_;
  registry_.clear();
  for (const auto& [number, dataset] : registry) {
    std::erase(dataset->sockets_, this);
    dataset->LinkSocketDestroyed(*this);
  }
}

// --- Properties ------------------------------------------------------------

void TLinkClientSocket::SetSQLDialect(TSQLDialect v) {
  sqlDialect_ = v;
  switch (v) {
    case sqlDialect1:
    case sqlDialect7:
      sqlOptions_ = (1U << ssUseQuotesInFieldNames) | (1U << ssUSDatesForLocalSQL);
      break;
    case sqlDialect2:
      sqlOptions_ = 1U << ssTerminateWithSemiColon;
      break;
    case sqlDialect3:
      sqlOptions_ = 1U << ssBooleanAsInteger;
      break;
    case sqlDialect8:
      sqlOptions_ = (1U << ssUseQuotesInFieldNames) | (1U << ssNoTableNameInUpdateStatements);
      dateMaskForSQL_ = "YYYY-MM-DD";
      dateTimeMaskForSQL_ = "YYYY-MM-DD HH:NN:SS";
      break;
    case sqlDialect4:
      sqlOptions_ = 0;
      dateMaskForSQL_ = "DD-MMM-YYYY";
      dateTimeMaskForSQL_ = "DD-MMM-YYYY HH:NN:SS";
      break;
    default:
      sqlOptions_ = 0;
      break;
  }
}

void TLinkClientSocket::SetReplyTimeLimit(int seconds) {
  replyTimeLimit_ = std::max(seconds, 0);
  wait_.SetTimeLimit(std::chrono::seconds(replyTimeLimit_));
}

std::string TLinkClientSocket::AnchorStatusText() const {
  switch (anchorStatus_) {
    case TACNoAnchor:
      return "No Connection";
    case TACConnectedToAnchor:
      return Active() ? "Connected to Anchor" : "Disconnected, Anchor Available";
    case TACConnectedToServer:
      return "Connected to Server";
    case TACDisconnectedFromAnchor:
      return "Disconnected from Anchor, attempting to Reconnect";
    case TACDisconnectedFromServer:
      return "Disconnected from Server";
    case TAAnchorReDirect:
      return "Connecting from Anchor to Server " + (Address().empty() ? Host() : Address()) + ":" +
             std::to_string(Port());
  }
  return {};
}

void TLinkClientSocket::SetStatus(TClientAnchorStatus status) {
  anchorStatus_ = status;
  const std::string text = AnchorStatusText();
  if (OnConnectStatusChange) OnConnectStatusChange(text);
  if (statusBar_ != nullptr) statusBar_->ShowStatus(text);
}

const std::vector<std::string>& TLinkClientSocket::ProgramArguments() const {
  if (programArgsSet_) return programArgs_;
  defaultArgs_.clear();
  if (QCoreApplication::instance() != nullptr) {
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) defaultArgs_.push_back(args[i].toStdString());
  }
  return defaultArgs_;
}

std::string TLinkClientSocket::ProgramFile() const {
  if (!programFile_.empty()) return programFile_;
  if (QCoreApplication::instance() != nullptr) return QCoreApplication::applicationFilePath().toStdString();
  std::error_code ec;
  return std::filesystem::read_symlink("/proc/self/exe", ec).string();
}

int TLinkClientSocket::SendableSelectOptions(int selectOptions) const {
  if (Compression() == acLinkCompress || Compression() == acUserDefined) selectOptions &= ~(1 << soCompress);
  return selectOptions;
}

// --- Connection ------------------------------------------------------------

void TLinkClientSocket::Loaded() {
  autoLoginDlgAtLoad_ = autoLoginDlg_;
  switch (connectAction_) {
    case caNone:
      return;
    case caCustomConnect:
      if (Active()) Close();
      SetAddress("");
      SetHost("");
      SetPort(0);
      if (OnCustomConnect) OnCustomConnect();
      if ((!Address().empty() || !Host().empty()) && Port() != 0) {
        Connect();
      } else {
        base::ShowMess(kAddressNotSetText);
        Terminate(1);
      }
      return;
    case caUseDesignAddress:
    case caFastConnect:
    case caFastConnectCombo:
      Connect();
      return;
  }
}

void TLinkClientSocket::Connect() {
  if (base::UpperStr(Address()).find("LOCAL") != std::string::npos) SetAddress("127.0.0.1");
  if (!Address().empty() && std::isalpha(static_cast<unsigned char>(Address()[0])) != 0) {
    Close();
    SetHost(Address());
  }
  ApplyCommandLine(ProgramArguments());
  SetActive(true);
}

void TLinkClientSocket::ApplyCommandLine(const std::vector<std::string>& args) {
  const TLinkCommandLine cl = TLinkCommandLine::Parse(args);
  if (cl.port) SetPort(*cl.port);
  if (cl.proxiedAddress) proxiedAddress_ = *cl.proxiedAddress;
  if (cl.proxiedPort) proxiedPort_ = *cl.proxiedPort;
  // The address given is where the connection goes, even when a host name was set.
  if (cl.address) AimAt(*cl.address, Port());
  if (cl.compression) SetCompression(acLinkZLib);
  if (cl.loginDialog) SetAutoLoginDlg(ltLoginDlg);
  if (cl.http) http_.emplace(proxiedAddress_, proxiedPort_);
}

void TLinkClientSocket::DoOpening() {
  stack_.Clear();
  needDrain_ = false;
  if (http_) http_->Reset();
}

void TLinkClientSocket::DoConnected() {
  SetStatus(TACConnectedToServer);
  if (httpReopen_) {
    // This connection only carries frames of the session already logged in.
    httpReopen_ = false;
    FlushPendingQueue();
    return;
  }
  sessionStarted_ = true;
  if (applicationName_.empty()) applicationName_ = FileNameOf(ProgramFile());
  // The user chose to end the program in the login window.
  if (!SendLogin()) return;
  const std::vector<LinkDataset*> deferred = std::move(deferredOpens_);
  deferredOpens_.clear();
  for (LinkDataset* dataset : deferred) dataset->LinkOpenDeferred();
  if (!http_) RequestServerInfo(6);
}

void TLinkClientSocket::DoConnectionLost() {
  SetStatus(TACDisconnectedFromServer);
  const bool waiting = wait_.Waiting();
  if (waiting) lostDuringWait_ = true;
  ReleaseWait();
  if (redirected_ && !redirectFrom_.empty()) {
    redirected_ = false;
    AimAtText(redirectFrom_);
    SetStatus(TACConnectedToAnchor);
    fallbackTimer_->start();
  }
  // The waiting request fails with the same text (WaitForReply).
  if (waiting) return;
  // Over HTTP the server ends every exchange by closing; the next message reopens.
  if (http_) return;
  if (!OnDisconnect && ClientType() == ctNonBlocking) throw ELinkConnectException(kDisconnectedText);
}

void TLinkClientSocket::DoClosed() {
  // A close of the socket's own (a redirect, a reconnect notice, a terminate
  // message) ends the wait without a failure; the reasons that are failures
  // raise their own.
  ReleaseWait();
}

bool TLinkClientSocket::SendLogin() {
  if (autoLoginDlg_ == ltNoChallenge) return true;
  if (autoLoginDlg_ == ltLoginDlg && !AskLoginWindow()) return false;
  SendLoginMessage();
  return true;
}

bool TLinkClientSocket::AskLoginWindow() {
  for (;;) {
    std::string user = userName_;
    std::string password = password_;
    LinkClientWindows* windows = CurrentLinkClientWindows();
    const bool ok = windows != nullptr && windows->AskLogin(user, password);
    switch (loginLogic_.Answer(ok, user, password)) {
      case TLinkLoginWindowLogic::Step::Login:
        userName_ = user;
        password_ = password;
        return true;
      case TLinkLoginWindowLogic::Step::Terminate:
        base::ShowMess(TLinkLoginWindowLogic::kThreeCancelsText);
        Terminate(0);
        return false;
      case TLinkLoginWindowLogic::Step::AskExit:
        if (base::AskOK(TLinkLoginWindowLogic::kAskExitText)) {
          Terminate(0);
          return false;
        }
        break;
    }
  }
}

void TLinkClientSocket::SendLoginMessage() {
  if (!patchFile_.empty() && !std::filesystem::exists(base::AppFile("patcher.exe")) &&
      clientParams_.FindByName("NeedPatcher") == nullptr) {
    clientParams_.AddItem().SetName("NeedPatcher");
  }
  TLinkStringLine line;
  line.SetKind(MessageKind::Login);
  line.AddInt(autoLoginDlg_);
  line.AddText(userName_);
  line.AddText(password_);
  line.AddText(applicationName_);
  line.AddText(applicationVersion_ + '\x02' + clientParams_.ToText(false));
  SendLine(line, true);
}

void TLinkClientSocket::Terminate(int exitCode) { TerminateApplication(exitCode); }

void TLinkClientSocket::AimAtText(const std::string& addressAndPort) {
  const std::size_t colon = addressAndPort.find(':');
  std::int32_t port = 0;
  std::string address = addressAndPort;
  if (colon != std::string::npos) {
    address = addressAndPort.substr(0, colon);
    if (!base::TryStrToInt(addressAndPort.substr(colon + 1), port)) port = 0;
  }
  if (base::UpperStr(address).find("LOCAL") != std::string::npos) address = "127.0.0.1";
  AimAt(address, port);
  if (!address.empty() && std::isalpha(static_cast<unsigned char>(address[0])) != 0) SetHost(address);
}

// --- Dataset registry ------------------------------------------------------

int TLinkClientSocket::RegisterDataSet(LinkDataset* dataset) {
  if (dataset == nullptr) return -1;
  for (const auto& [number, known] : registry_) {
    if (known == dataset) return number;
  }
  const int number = ++lastRegistration_;
  registry_[number] = dataset;
  dataset->sockets_.push_back(this);
  return number;
}

LinkDataset* TLinkClientSocket::FindDataSet(int number) const {
  const auto it = registry_.find(number);
  return it == registry_.end() ? nullptr : it->second;
}

void TLinkClientSocket::UnregisterDataSet(LinkDataset* dataset) {
  if (dataset == nullptr) return;
  std::erase_if(registry_, [dataset](const auto& entry) { return entry.second == dataset; });
  std::erase(deferredOpens_, dataset);
  std::erase(dataset->sockets_, this);
}

void TLinkClientSocket::OpenWhenConnected(LinkDataset* dataset) {
  RegisterDataSet(dataset);
  if (dataset != nullptr && std::find(deferredOpens_.begin(), deferredOpens_.end(), dataset) == deferredOpens_.end()) {
    deferredOpens_.push_back(dataset);
  }
}

LinkDataset* TLinkClientSocket::Target(const TLinkStringLine& line) const { return FindDataSet(line.Origin()); }

// --- Sending and waiting -----------------------------------------------------

void TLinkClientSocket::SyncHooks() {
  transforms_.onEncrypt = OnEncrypt;
  transforms_.onDecrypt = OnDecrypt;
  transforms_.compressionHooks.onCompress = OnCompress;
  transforms_.compressionHooks.onDecompress = OnDecompress;
}

void TLinkClientSocket::SendLine(TLinkStringLine& line, bool wait) {
  // Only one request is ever outstanding.
  if (wait_.Waiting()) return;
  if (wait) RequireConnection();
  CallScope call(*this);
  ++sentCount_;
  SyncHooks();
  std::string frame = PackMessage(line.Finish(), transforms_);
  if (http_) frame.insert(0, http_->RequestHead(frame.size(), !Address().empty()));
  WriteFrame(std::move(frame));
  RaiseKeptFailure();
  if (wait) WaitForReply();
}

void TLinkClientSocket::WriteFrame(std::string frame) {
  if (http_ && sessionStarted_ && !Active()) {
    pendingQueue_.push_back(std::move(frame));
    httpReopen_ = true;
    OpenAndWait();
    return;
  }
  // A closed connection, or one still being made, takes nothing.
  if (!Connected()) return;
  QTcpSocket& s = Socket();
  // The socket keeps what the system does not take now and sends it as soon
  // as it can: in the reply wait, or from the event loop.
  s.write(frame.data(), static_cast<qint64>(frame.size()));
  s.flush();
}

void TLinkClientSocket::FlushPendingQueue() {
  std::vector<std::string> queue = std::move(pendingQueue_);
  pendingQueue_.clear();
  for (std::string& frame : queue) WriteFrame(std::move(frame));
}

void TLinkClientSocket::RequireConnection() const {
  // Over HTTP a closed connection is reopened for the message.
  const bool reopens = http_.has_value() && sessionStarted_ && !Active();
  if (!Connected() && !reopens) throw ELinkConnectException(kNoSocketText);
}

void TLinkClientSocket::WaitForReply() {
  if (wait_.Waiting()) return;
  if (!Connected()) throw ELinkConnectException(kNoSocketText);
  CallScope call(*this);
  lostDuringWait_ = false;
  const TLinkSmartWait::Outcome end = wait_.Wait([this] { return PumpOnce(); });
  RaiseKeptFailure();
  if (end == TLinkSmartWait::Outcome::TimedOut) {
    // The connection cannot be trusted to pair requests and replies again.
    Close();
    SetStatus(TACDisconnectedFromServer);
    throw ELinkConnectException(ReplyTimeoutText(replyTimeLimit_));
  }
  if (lostDuringWait_) {
    lostDuringWait_ = false;
    throw ELinkConnectException(kDisconnectedText);
  }
}

bool TLinkClientSocket::PumpOnce() {
  RaiseKeptFailure();
  QTcpSocket& s = Socket();
  if (needDrain_ || s.bytesAvailable() > 0) {
    ReadAvailable();
    return true;
  }
  if (!Connected()) return false;
  // Writes what is still queued and blocks until bytes arrive; the readyRead
  // handler may already read them.
  const qint64 unsent = s.bytesToWrite();
  s.waitForReadyRead(kPumpSliceMs);
  RaiseKeptFailure();
  // A big request the server is still taking in is not silence.
  if (s.bytesToWrite() < unsent) wait_.Activity();
  if (s.bytesAvailable() > 0) ReadAvailable();
  return true;
}

void TLinkClientSocket::ReleaseWait() { wait_.Release(); }

void TLinkClientSocket::DrainLater() {
  QTimer::singleShot(0, &Socket(), [this] {
    Guard([this] {
      if (needDrain_) ReadAvailable();
    });
  });
}

// --- Receiving ----------------------------------------------------------------

void TLinkClientSocket::DoReadable() { ReadAvailable(); }

void TLinkClientSocket::ReadAvailable() {
  QTcpSocket& s = Socket();
  const qint64 available = s.bytesAvailable();
  if (available <= 0 && !needDrain_) return;
  needDrain_ = false;
  if (available > 0) wait_.Activity();
  // A handler that waits reads again while this read is being cut: each
  // level reads into its own buffer.
  std::string nested;
  std::string& buffer = readDepth_ == 0 ? readBuffer_ : nested;
  ++readDepth_;
  struct Depth {
    int& depth;
    ~Depth() { --depth; }
  } depth{readDepth_};
  buffer.resize(static_cast<std::size_t>(std::max<qint64>(available, 0)));
  qint64 n = available > 0 ? s.read(buffer.data(), available) : 0;
  if (n < 0) n = 0;
  buffer.resize(static_cast<std::size_t>(n));
  if (progressBar_ && OnReadProgress) OnReadProgress(available, n);
  std::string_view bytes = buffer;
  std::string filtered;
  if (http_) {
    try {
      filtered = http_->Filter(bytes);
    } catch (const ELinkConnectException& e) {
      Close();
      if (OnCustomSQLError) {
        TLinkParamList list;
        list.AddValue(base::Variant::Text(e.what()));
        OnCustomSQLError(list);
        return;
      }
      throw;
    }
    bytes = filtered;
  }
  try {
    stack_.Feed(bytes, [this](std::string_view payload) { HandleFrame(payload); });
  } catch (const ELinkFrameException&) {
    // The stream can no longer be cut: the connection is given up.
    stack_.Clear();
    Close();
    throw;
  } catch (...) {
    needDrain_ = true;
    DrainLater();
    throw;
  }
}

void TLinkClientSocket::HandleFrame(std::string_view payload) {
  SyncHooks();
  std::string message = UnpackMessage(payload, transforms_);
  if (message.empty()) return;
  const TLinkStringLine line = TLinkStringLine::Parse(std::move(message));
  Dispatch(line);
}

const std::array<TLinkClientSocket::KindHandler, 128>& TLinkClientSocket::KindHandlers() {
  using K = MessageKind;
  using S = TLinkClientSocket;
  static const std::array<KindHandler, 128> table = [] {
    const std::pair<MessageKind, KindHandler> handlers[] = {
        {K::FieldDefs, &S::DispatchFieldDefs},
        {K::FieldDefsAlternate, &S::DispatchFieldDefs},
        {K::Release, &S::DispatchRelease},
        {K::Rows, &S::DispatchRows},
        {K::RowsAlternate, &S::DispatchRows},
        {K::SQLError, &S::DispatchSQLError},
        {K::ChatMessage, &S::DispatchChatMessage},
        {K::MessageBox, &S::DispatchMessageBox},
        {K::MessageBoxAlternate, &S::DispatchMessageBox},
        {K::ServerBroadcast, &S::DispatchServerBroadcast},
        {K::CodedMessage, &S::DispatchCodedMessage},
        {K::CodedStream, &S::DispatchCodedStream},
        {K::Login, &S::DispatchLoginVerdict},
        {K::Reconnect, &S::DispatchReconnect},
        {K::ReconnectNotice, &S::DispatchReconnectNotice},
        {K::ServerNotification, &S::DispatchServerNotification},
        {K::ServerNotificationAlternate, &S::DispatchServerNotification},
        {K::BlobUpdateResult, &S::DispatchBlobUpdateResult},
        {K::BlobStream, &S::DispatchBlobStream},
        {K::TerminateMessage, &S::DispatchTerminateMessage},
        {K::FieldProperties, &S::DispatchFieldProperties},
        {K::CodedParamList, &S::DispatchParamList},
        {K::DatasetParamList, &S::DispatchParamList},
        {K::PacketCursor, &S::DispatchPacketCursor},
        {K::DatasetParams, &S::DispatchDatasetParams},
        {K::ClientUpgrade, &S::DispatchUpgrade},
        {K::UpgradeProgress, &S::DispatchUpgradeProgress},
        {K::BlobBufferCleared, &S::DispatchBlobBufferCleared},
        {K::ChangedRows, &S::DispatchChangedRows},
        {K::Redirect, &S::DispatchRedirect},
        {K::ServerUtility, &S::DispatchUtility},
        {K::CustomObject, &S::DispatchCustomObject},
        {K::ReplyText, &S::DispatchReplyText},
        {K::ChangedRowsByDataset, &S::DispatchChangedRowsByDataset},
    };
    std::array<KindHandler, 128> t{};
    for (const auto& [kind, handler] : handlers) t[KindByte(kind)] = handler;
    return t;
  }();
  return table;
}

void TLinkClientSocket::Dispatch(const TLinkStringLine& line) {
  if (const KindHandler handler = KindHandlers()[static_cast<std::size_t>(line.DispatchKind())]) (this->*handler)(line);
}

void TLinkClientSocket::DispatchFieldDefs(const TLinkStringLine& line) {
  const bool zeroRows = zeroRows_;
  zeroRows_ = false;
  if (LinkDataset* ds = Target(line)) {
    ds->LinkFieldDefs(line.Field(1));
    if (zeroRows) ds->LinkRows(line.Field(1), 0);
  }
}

void TLinkClientSocket::DispatchRelease(const TLinkStringLine&) { ReleaseWait(); }

void TLinkClientSocket::DispatchRows(const TLinkStringLine& line) {
  const std::int32_t packet = Int(line, 1);
  std::string_view rows = line.Field(2);
  const bool compressed = serverNumber_ >= 0 && line.FieldCount() >= 3 && line.FieldInt(3) != 0;
  std::string inflated;
  if (compressed && Compression() != acLinkCompress && Compression() != acUserDefined) {
    inflated = RowInflater()(rows, false);
    rows = inflated;
  }
  if (LinkDataset* ds = Target(line)) ds->LinkRows(rows, packet);
  ReleaseWait();
}

void TLinkClientSocket::DispatchChatMessage(const TLinkStringLine& line) {
  if (OnChatMessage) OnChatMessage(std::string(line.Field(1)));
}

void TLinkClientSocket::DispatchMessageBox(const TLinkStringLine& line) { base::ShowMess(std::string(line.Field(1))); }

void TLinkClientSocket::DispatchServerBroadcast(const TLinkStringLine& line) {
  if (OnServerBroadcast) OnServerBroadcast(std::string(line.Field(1)));
}

void TLinkClientSocket::DispatchCodedMessage(const TLinkStringLine& line) {
  if (OnCodedMessage) OnCodedMessage(Int(line, 1), line.FieldCount() >= 2 ? std::string(line.Field(2)) : "");
}

void TLinkClientSocket::DispatchCodedStream(const TLinkStringLine& line) {
  if (OnCodedStream) OnCodedStream(Int(line, 1), line.Field(2));
}

void TLinkClientSocket::DispatchLoginVerdict(const TLinkStringLine& line) {
  ReleaseWait();
  const bool verified = Int(line, 1) == 1;
  if (OnLoginAttempt) {
    OnLoginAttempt(verified);
  } else if (!verified) {
    base::ShowMess(kBadLoginText);
    Terminate(1);
  }
}

void TLinkClientSocket::DispatchServerNotification(const TLinkStringLine& line) {
  if (OnServerNotification) OnServerNotification(line.DispatchKind(), std::string(line.Field(1)));
}

void TLinkClientSocket::DispatchBlobUpdateResult(const TLinkStringLine& line) {
  ReleaseWait();
  const std::string_view text = line.FieldCount() >= 1 ? line.Field(1) : std::string_view();
  if (!text.empty()) throw ELinkSQLException(std::string(kBlobNotUpdatedText) + "\r" + std::string(text));
}

void TLinkClientSocket::DispatchBlobStream(const TLinkStringLine& line) {
  if (Int(line, 3) == 1) {
    pendingReply_ = std::string(line.Field(4));
  } else if (LinkDataset* ds = Target(line)) {
    ds->LinkBlobStream(line.Field(1), line.Field(2), line.Field(4));
  }
  ReleaseWait();
}

void TLinkClientSocket::DispatchTerminateMessage(const TLinkStringLine& line) {
  bool handled = false;
  const std::string text(line.Field(1));
  if (OnTerminateMessageFromServer) OnTerminateMessageFromServer(text, handled);
  if (!handled) {
    Close();
    Terminate(0);
  }
}

void TLinkClientSocket::DispatchFieldProperties(const TLinkStringLine& line) {
  if (LinkDataset* ds = Target(line)) ds->LinkFieldProperties(line.Field(1));
}

void TLinkClientSocket::DispatchPacketCursor(const TLinkStringLine& line) {
  if (LinkDataset* ds = Target(line)) ds->LinkPacketCursor(Int(line, 1));
}

void TLinkClientSocket::DispatchDatasetParams(const TLinkStringLine& line) {
  if (LinkDataset* ds = Target(line)) ds->LinkParams(TLinkParamList::FromText(line.Field(1)));
}

void TLinkClientSocket::DispatchUpgradeProgress(const TLinkStringLine&) {
  upgradeProgress_ = true;
  if (LinkClientWindows* windows = CurrentLinkClientWindows()) windows->ShowUpgradeProgress(true);
}

void TLinkClientSocket::DispatchBlobBufferCleared(const TLinkStringLine& line) {
  ReleaseWait();
  if (LinkDataset* ds = Target(line)) ds->LinkClearBlobBuffer();
}

void TLinkClientSocket::DispatchChangedRows(const TLinkStringLine& line) {
  if (LinkDataset* ds = Target(line)) ds->LinkMergeRows(line.Field(1));
}

void TLinkClientSocket::DispatchReplyText(const TLinkStringLine& line) {
  ReleaseWait();
  pendingReply_ = std::string(line.Field(1));
}

void TLinkClientSocket::DispatchChangedRowsByDataset(const TLinkStringLine& line) {
  const TLinkParamList list = TLinkParamList::FromText(line.Field(1));
  for (int i = 0; i < list.Count(); ++i) {
    const TLinkParamItem& item = list.ItemAt(i);
    std::int32_t number = 0;
    if (!base::TryStrToInt(item.Name(), number)) continue;
    if (LinkDataset* ds = FindDataSet(number)) ds->LinkMergeRows(item.RawValue());
  }
}

void TLinkClientSocket::DispatchSQLError(const TLinkStringLine& line) {
  errorArrived_ = true;
  std::string text = line.FieldCount() >= 1 ? std::string(line.Field(1)) : std::string();
  if (!text.empty() && text[0] == '\x02') {
    const TLinkParamList list = TLinkParamList::FromText(std::string_view(text).substr(1));
    if (OnCustomSQLError) {
      ReleaseWait();
      OnCustomSQLError(list);
      return;
    }
    text = list.Count() > 0 ? list.ItemAt(0).ValueText() : std::string();
  }
  if (text.empty() || text == kNoError) {
    ReleaseWait();
    return;
  }
  const bool toBar = (sqlErrorHandling_ >> seToStatusBar) & 1U;
  const bool asExceptions = (sqlErrorHandling_ >> seAsExceptions) & 1U;
  if (toBar && asExceptions && statusBar_ != nullptr) statusBar_->ShowSQLError(text);
  ReleaseWait();
  if (OnSQLError) OnSQLError(text);
  if (!asExceptions) return;
  pendingReply_ = text;
  if (!replyExpected_ && raiseDirectly_) {
    // Raised here, so not collected again.
    pendingReply_.clear();
    errorArrived_ = false;
    throw ELinkSQLException(text);
  }
}

void TLinkClientSocket::DispatchParamList(const TLinkStringLine& line) {
  const int number = Int(line, 1);
  const TLinkParamList list = TLinkParamList::FromText(line.FieldCount() >= 2 ? line.Field(2) : std::string_view());
  const int replyFlag = line.FieldCount() >= 3 ? Int(line, 3) : 0;
  const bool special = number == kFilePieceMessage || number == kRowsAffectedMessage;
  if (number == kFilePieceMessage) {
    const FilePiece piece = files_.Write(list);
    if (OnFileProgress) OnFileProgress(piece.name, piece.pieceSize, piece.fileSize, piece.written);
  } else if (number == kRowsAffectedMessage) {
    const int id = list.GetByName("DatasetId").ValueInt();
    const int rows = list.GetByName("RowsAffected").ValueInt();
    if (LinkDataset* ds = FindDataSet(id)) ds->LinkRowsAffected(rows);
  } else if (line.Is(MessageKind::DatasetParamList)) {
    if (LinkDataset* ds = Target(line)) ds->LinkReceivedParams(number, list);
    return;
  }
  if (replyFlag > 0) {
    ReleaseWait();
    pendingReply_ = list.ToText(true);
  } else if (!special && OnCodedParamList) {
    OnCodedParamList(number, list);
  }
}

void TLinkClientSocket::DispatchUtility(const TLinkStringLine& line) {
  const int code = Int(line, 1);
  const TLinkParamList list = TLinkParamList::FromText(line.FieldCount() >= 2 ? line.Field(2) : std::string_view());
  if (OnServerUtilityInfoEvent) OnServerUtilityInfoEvent(code, list);
  switch (code) {
    case 6: {
      double number = 0;
      if (list.Count() > 0 && ReadServerNumber(list.ItemAt(0).ValueText(), number)) serverNumber_ = number;
      break;
    }
    case 13:
      metaData_.Load(list.ItemAt(0).RawValue());
      break;
    case 14: {
      if (const TLinkParamItem* item = list.FindByName("DateMaskForSQL")) dateMaskForSQL_ = item->ValueText();
      if (const TLinkParamItem* item = list.FindByName("DateTimeMaskForSQL")) dateTimeMaskForSQL_ = item->ValueText();
      if (const TLinkParamItem* item = list.FindByName("TimeMaskForSQL")) timeMaskForSQL_ = item->ValueText();
      if (const TLinkParamItem* item = list.FindByName("SQLOptions")) {
        sqlOptions_ = static_cast<std::uint16_t>(item->ValueInt() & 0x3FF);
      }
      if (const TLinkParamItem* item = list.FindByName("UpdateSQLSyntax")) {
        const int syntax = item->ValueInt();
        if (syntax >= usODBC && syntax <= usOracle) updateSQLSyntax_ = static_cast<TLinkUpdateSQL>(syntax);
      }
      break;
    }
    case 15: {
      const std::string path = base::AppFile("patcher.exe");
      const std::string& bytes = list.GetByName("Patcher").RawValue();
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      if (out) out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
      if (!out) throw base::Exception("Cannot write file " + path + ": " + std::strerror(errno));
      break;
    }
    default:
      break;
  }
}

void TLinkClientSocket::DispatchRedirect(const TLinkStringLine& line) {
  const TLinkParamList list = TLinkParamList::FromText(line.Field(1));
  const std::string target = list.ItemAt(0).ValueText();
  redirectFrom_ = (Address().empty() ? Host() : Address()) + ":" + std::to_string(Port());
  Close();
  AimAtText(target);
  SetStatus(TAAnchorReDirect);
  autoLoginDlg_ = autoLoginDlgAtLoad_;
  redirected_ = true;
  Open();
}

void TLinkClientSocket::DispatchReconnect(const TLinkStringLine&) {
  Close();
  // Without a proxied server on the command line the socket stays aimed as it is.
  AimAt(proxiedAddress_.empty() ? Address() : proxiedAddress_, proxiedPort_ == 0 ? Port() : proxiedPort_);
  Open();
  SetStatus(TACConnectedToServer);
}

void TLinkClientSocket::DispatchReconnectNotice(const TLinkStringLine&) {
  ++reconnectNotices_;
  SetStatus(TACNoAnchor);
  Close();
  OpenAndWait();
}

void TLinkClientSocket::DispatchUpgrade(const TLinkStringLine& line) {
  if (upgradeProgress_) {
    upgradeProgress_ = false;
    if (LinkClientWindows* windows = CurrentLinkClientWindows()) windows->ShowUpgradeProgress(false);
  }
  ReleaseWait();
  const std::string_view program = line.Field(1);
  std::error_code ec;
  const std::string directory = std::filesystem::current_path(ec).string();
  const TLinkClientUpgrade upgrade(ProgramFile(), ProgramArguments(), directory);
  std::vector<std::string> lines = upgrade.ScriptLines();
  bool handled = false;
  if (OnAutoClientUpgrade) OnAutoClientUpgrade(program, lines, handled);
  if (handled) return;
  upgrade.WriteFiles(program, lines);
  upgrade.StartScript();
  Terminate(0);
}

void TLinkClientSocket::DispatchCustomObject(const TLinkStringLine& line) {
  const int token = Int(line, 1);
  const TLinkParamList list = TLinkParamList::FromText(line.Field(2));
  const std::string objectName(line.Field(3));
  const int result = Int(line, 4);
  if (result <= 0) {
    if (OnCustomObject) OnCustomObject(token, objectName, list);
    return;
  }
  ReleaseWait();
  if (result == 2000) throw ELinkCustomObjectException(list.Count() > 0 ? list.ItemAt(0).ValueText() : std::string());
  pendingReply_ = list.ToText(true);
}

// --- Requests -----------------------------------------------------------------

void TLinkClientSocket::BeginRequest(bool replyExpected, bool raiseDirectly) {
  replyExpected_ = replyExpected;
  raiseDirectly_ = raiseDirectly;
  errorArrived_ = false;
  pendingReply_.clear();
}

void TLinkClientSocket::PostCodedMessage(int msgId, const std::string& text) {
  TLinkStringLine line;
  line.SetKind(MessageKind::CodedMessage);
  line.AddInt(msgId);
  line.AddText(text);
  SendLine(line, false);
}

std::optional<TLinkParamList> TLinkClientSocket::RequestParamList(int msgId, const TLinkParamList& params) {
  TLinkStringLine line;
  line.SetKind(MessageKind::CodedParamList);
  line.AddInt(msgId);
  line.AddText(params.ToText(false));
  line.AddInt(1);
  if (wait_.Waiting()) return std::nullopt;
  BeginRequest(true, false);
  SendLine(line, true);
  if (errorArrived_) {
    // A server error instead of a list.
    const std::string error = CollectError();
    if (!error.empty()) throw ELinkSQLException(error);
    return std::nullopt;
  }
  std::string text = std::move(pendingReply_);
  pendingReply_.clear();
  if (text.empty()) return std::nullopt;
  return TLinkParamList::FromText(text);
}

std::string TLinkClientSocket::RequestSelect(LinkDataset* dataset, const std::string& database, const std::string& sql,
                                             int rows, int selectOptions) {
  if (wait_.Waiting()) return {};
  TLinkStringLine line;
  line.SetKind(MessageKind::Select);
  line.SetOrigin(RegisterDataSet(dataset));
  line.AddText(sql);
  line.AddInt(rows);
  line.AddInt(SendableSelectOptions(selectOptions));
  line.AddText(database);
  RequireConnection();
  BeginRequest(true, true);
  FlagReset raise{raiseDirectly_};
  FlagReset zero{zeroRows_};
  zeroRows_ = rows == 0;
  SendLine(line, true);
  return CollectError();
}

void TLinkClientSocket::RequestPassThroughSelect(LinkDataset* dataset, const std::string& database,
                                                 const std::string& sql, int rows, int selectOptions) {
  if (wait_.Waiting()) return;
  TLinkStringLine line;
  line.SetKind(MessageKind::PassThroughSelect);
  line.SetOrigin(RegisterDataSet(dataset));
  line.AddText(database);
  line.AddText(sql);
  line.AddInt(rows);
  line.AddInt(SendableSelectOptions(selectOptions));
  RequireConnection();
  BeginRequest(false, true);
  FlagReset raise{raiseDirectly_};
  FlagReset zero{zeroRows_};
  zeroRows_ = rows == 0;
  SendLine(line, true);
}

void TLinkClientSocket::RequestNextPacket(LinkDataset* dataset, int cursor, int selectOptions, int rows) {
  if (wait_.Waiting()) return;
  TLinkStringLine line;
  line.SetKind(MessageKind::NextPacket);
  line.SetOrigin(RegisterDataSet(dataset));
  line.AddInt(cursor);
  line.AddInt(rows);
  line.AddInt(SendableSelectOptions(selectOptions | (1 << soPackets)));
  RequireConnection();
  BeginRequest(false, true);
  FlagReset raise{raiseDirectly_};
  SendLine(line, true);
}

void TLinkClientSocket::CloseServerCursor(LinkDataset* dataset) {
  const int number = RegisterDataSet(dataset);
  TLinkStringLine line;
  line.SetKind(MessageKind::CloseServerCursor);
  line.SetOrigin(number);
  line.AddInt(number);
  line.AddInt(0);
  SendLine(line, false);
}

std::string TLinkClientSocket::RequestExec(LinkDataset* dataset, const std::string& database, const std::string& sql,
                                           const std::string& paramsText, const std::string& datasetText,
                                           bool replyExpected) {
  if (wait_.Waiting()) return {};
  TLinkStringLine line;
  line.SetKind(MessageKind::Execute);
  line.SetOrigin(RegisterDataSet(dataset));
  line.AddText(sql);
  line.AddText(paramsText);
  line.AddText(database);
  line.AddText(datasetText);
  RequireConnection();
  BeginRequest(replyExpected, false);
  SendLine(line, true);
  return CollectError();
}

void TLinkClientSocket::RequestServerInfo(int code) {
  TLinkStringLine line;
  line.SetKind(MessageKind::ServerUtility);
  line.AddInt(code);
  line.AddText("");
  SendLine(line, false);
}

std::string TLinkClientSocket::CollectError() {
  if (!errorArrived_) return {};
  std::string text = pendingReply_.empty() ? std::string() : kLinkServerErrorPrefix + pendingReply_;
  pendingReply_.clear();
  errorArrived_ = false;
  return text;
}

}  // namespace mero::link
