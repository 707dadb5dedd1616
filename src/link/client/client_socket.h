#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/exception.h"
#include "link/client/file_transfer.h"
#include "link/client/http_transport.h"
#include "link/client/link_dataset.h"
#include "link/client/login_window_logic.h"
#include "link/client/metadata_cache.h"
#include "link/client/reply_wait.h"
#include "link/client/socket_connection.h"
#include "link/codec/message_stack.h"
#include "link/codec/param_list.h"
#include "link/codec/pipeline.h"
#include "link/codec/string_line.h"

class QTimer;

namespace mero::link {

enum TLinkConnectAction : std::uint8_t {
  caNone = 0,
  caUseDesignAddress = 1,
  caFastConnect = 2,
  caFastConnectCombo = 3,
  caCustomConnect = 4,
};

enum TLoginType : std::uint8_t { ltLoginDlg = 0, ltLoginNoDlg = 1, ltNoChallenge = 2 };

enum TLinkUpdateSQL : std::uint8_t { usODBC = 0, usBDE = 1, usAccess = 2, usODBCOld = 3, usOracle = 4 };

// Bits of SQLOptions.
enum TLinkServerSQLOptionTypes : std::uint16_t {
  ssUseQuotesInFieldNames = 0,
  ssTableNameInInsertStatments = 1,
  ssBooleanAsInteger = 2,
  ssUSDatesForLocalSQL = 3,
  ssTerminateWithSemiColon = 4,
  ssNoQuotesInDates = 5,
  ssDoubleQuoteStrings = 6,
  ssUseISInNullCompares = 7,
  ssNoTableNameInUpdateStatements = 8,
  ssBracketsInFieldNames = 9,
};

enum TSQLDialect : std::uint8_t {
  sqlNone = 0,
  sqlDialect1 = 1,
  sqlDialect2 = 2,
  sqlDialect3 = 3,
  sqlDialect4 = 4,
  sqlDialect5 = 5,
  sqlDialect6 = 6,
  sqlDialect7 = 7,
  sqlDialect8 = 8,
  sqlCustom = 9,
};

// Bits of SQLErrorHandling.
enum TLinkSQLErrorType : std::uint8_t { seToStatusBar = 0, seAsExceptions = 1 };

// Bits of the select options a dataset sends with its requests.
enum TLinkSelectSQLOptions : std::uint16_t {
  soFetchMemos = 0,
  soFetchBlobs = 1,
  soPackets = 2,
  soFieldProperties = 3,
  soPassThroughSQL = 4,
  soCompress = 5,
  soIgnoreAutoIncrement = 6,
  soExecStoredProc = 7,
  soFetchBytes = 8,
  SoDelayed = 9,
};

enum TClientAnchorStatus : std::uint8_t {
  TACNoAnchor = 0,
  TACConnectedToAnchor = 1,
  TACConnectedToServer = 2,
  TACDisconnectedFromAnchor = 3,
  TACDisconnectedFromServer = 4,
  TAAnchorReDirect = 5,
};

// Where the socket shows its connection status and SQL errors.
class LinkStatusBar {
 public:
  virtual ~LinkStatusBar() = default;
  // The connection status text (the bar's simple text, or its first panel).
  virtual void ShowStatus(const std::string& text) = 0;
  // An SQL error text (the bar's second panel).
  virtual void ShowSQLError(const std::string& text) = 0;
};

// Message numbers of parameter-list messages with a meaning of their own.
constexpr int kFilePieceMessage = -75008;
constexpr int kRowsAffectedMessage = -75007;

// Fixed texts of the socket.
inline constexpr const char* kNoSocketText = "No Socket! or Socket Not Active";
inline constexpr const char* kDisconnectedText = "Disconnected from server!";
// A reply wait that ran out its time limit: kDisconnectedText and the reason.
std::string ReplyTimeoutText(int seconds);
inline constexpr const char* kLinkServerErrorPrefix = "[LINK SERVER ERROR]";
inline constexpr const char* kBadLoginText =
    "Bad Login Attempt.  Your User Name and Password was not validated at the server.";
inline constexpr const char* kAddressNotSetText = "The Server Address and Port have not been set properly.";
inline constexpr const char* kBlobNotUpdatedText = "Blob Did Not Update On the Server";

// A server object request that the server answered with its failure (CustomObject, result 2000).
class ELinkCustomObjectException : public base::Exception {
 public:
  explicit ELinkCustomObjectException(const std::string& text) : base::Exception(text) {}
};

// The client's one connection to the application server: the link protocol
// on top of TLinkCustomClientSocket. Every message is built as a
// TLinkStringLine, compressed, encrypted and framed by link_codec; received
// frames are cut by a TLinkMessageStack and dispatched by kind.
//
// Requests are synchronous: a request that expects a reply enters the reply
// wait, which processes only this socket's traffic until a releasing kind
// arrives (TLinkSmartWait). Only one wait runs at a time; a message sent
// while a wait is in progress is discarded and a nested wait returns at once.
// A request that expects a reply on a closed connection raises
// ELinkConnectException "No Socket! or Socket Not Active" at once; a
// connection lost during the wait ends it with "Disconnected from server!".
// A wait during which the server sends nothing for ReplyTimeLimit seconds
// closes the connection (a reply that came later would be taken for the
// answer to the next request) and fails the same way, with the reason.
class TLinkClientSocket : public TLinkCustomClientSocket {
 public:
  TLinkClientSocket();
  ~TLinkClientSocket() override;

  // --- Properties -------------------------------------------------------
  const std::string& ApplicationName() const { return applicationName_; }
  void SetApplicationName(std::string v) { applicationName_ = std::move(v); }
  const std::string& ApplicationVersion() const { return applicationVersion_; }
  void SetApplicationVersion(std::string v) { applicationVersion_ = std::move(v); }
  const std::string& UserName() const { return userName_; }
  void SetUserName(std::string v) { userName_ = std::move(v); }
  const std::string& Password() const { return password_; }
  void SetPassword(std::string v) { password_ = std::move(v); }
  TLinkConnectAction ConnectAction() const { return connectAction_; }
  void SetConnectAction(TLinkConnectAction v) { connectAction_ = v; }
  TLoginType AutoLoginDlg() const { return autoLoginDlg_; }
  void SetAutoLoginDlg(TLoginType v) { autoLoginDlg_ = v; }
  TLinkEncryption Encryption() const { return transforms_.encryption; }
  void SetEncryption(TLinkEncryption v) { transforms_.encryption = v; }
  TLinkCompression Compression() const { return transforms_.compression; }
  void SetCompression(TLinkCompression v) { transforms_.compression = v; }
  const std::string& SQLTransactionStart() const { return sqlTransactionStart_; }
  void SetSQLTransactionStart(std::string v) { sqlTransactionStart_ = std::move(v); }
  const std::string& SQLTransactionEnd() const { return sqlTransactionEnd_; }
  void SetSQLTransactionEnd(std::string v) { sqlTransactionEnd_ = std::move(v); }
  TLinkUpdateSQL UpdateSQLSyntax() const { return updateSQLSyntax_; }
  void SetUpdateSQLSyntax(TLinkUpdateSQL v) { updateSQLSyntax_ = v; }
  // Bit n for TLinkServerSQLOptionTypes n.
  std::uint16_t SQLOptions() const { return sqlOptions_; }
  void SetSQLOptions(std::uint16_t v) { sqlOptions_ = v; }
  bool HasSQLOption(TLinkServerSQLOptionTypes o) const { return (sqlOptions_ >> o) & 1U; }
  TSQLDialect SQLDialect() const { return sqlDialect_; }
  // Also presets SQLOptions and, for dialects 4 and 8, the date masks.
  void SetSQLDialect(TSQLDialect v);
  const std::string& DateMaskForSQL() const { return dateMaskForSQL_; }
  void SetDateMaskForSQL(std::string v) { dateMaskForSQL_ = std::move(v); }
  const std::string& DateTimeMaskForSQL() const { return dateTimeMaskForSQL_; }
  void SetDateTimeMaskForSQL(std::string v) { dateTimeMaskForSQL_ = std::move(v); }
  const std::string& TimeMaskForSQL() const { return timeMaskForSQL_; }
  void SetTimeMaskForSQL(std::string v) { timeMaskForSQL_ = std::move(v); }
  // Bit n for TLinkSQLErrorType n.
  std::uint8_t SQLErrorHandling() const { return sqlErrorHandling_; }
  void SetSQLErrorHandling(std::uint8_t v) { sqlErrorHandling_ = v; }
  // Seconds of silence from the server that end a reply wait; 0 = none.
  int ReplyTimeLimit() const { return replyTimeLimit_; }
  void SetReplyTimeLimit(int seconds);
  TWaitingCursor CursorOnQueries() const { return wait_.CursorMode(); }
  void SetCursorOnQueries(TWaitingCursor v) { wait_.SetCursorMode(v); }
  bool ProgressBar() const { return progressBar_; }
  void SetProgressBar(bool v) { progressBar_ = v; }
  LinkStatusBar* StatusBar() const { return statusBar_; }
  // Not owned.
  void SetStatusBar(LinkStatusBar* bar) { statusBar_ = bar; }
  TClientAnchorStatus AnchorStatus() const { return anchorStatus_; }
  // The text of the status as reported to OnConnectStatusChange.
  std::string AnchorStatusText() const;
  const std::string& PatchFile() const { return patchFile_; }
  void SetPatchFile(std::string v) { patchFile_ = std::move(v); }
  const std::string& About() const { return about_; }
  void SetAbout(std::string v) { about_ = std::move(v); }

  // The parameter list sent inside the login message.
  TLinkParamList& ClientParams() { return clientParams_; }
  // The program's arguments, searched for the command-line overrides and
  // given again to an upgraded program. Until set: the arguments of the
  // running QCoreApplication, without the program itself.
  const std::vector<std::string>& ProgramArguments() const;
  void SetProgramArguments(std::vector<std::string> args) {
    programArgs_ = std::move(args);
    programArgsSet_ = true;
  }
  // The program file. Until set: the running program.
  std::string ProgramFile() const;
  void SetProgramFile(std::string path) { programFile_ = std::move(path); }

  // The proxied server set on the command line (HTTP transport, Reconnect).
  const std::string& ServerProxiedAddress() const { return proxiedAddress_; }
  int ServerProxiedPort() const { return proxiedPort_; }
  bool HTTPTransport() const { return http_.has_value(); }
  // The real number the server announced (utility reply 6); 0 until then.
  double ServerNumber() const { return serverNumber_; }
  int SentMessageCount() const { return sentCount_; }
  // How many reconnect notices (ReconnectNotice) arrived.
  int ReconnectNoticeCount() const { return reconnectNotices_; }
  const TLinkMetaDataCache& MetaDataCache() const { return metaData_; }
  // The text a reply left for the waiting caller (kinds 22, 50, 52 and
  // parameter-list replies); cleared when a request is sent.
  const std::string& PendingReplyText() const { return pendingReply_; }
  TLinkSmartWait& SmartWait() { return wait_; }
  // The remembered connection a redirected socket falls back to, as
  // address:port; empty when none.
  const std::string& RedirectMemory() const { return redirectFrom_; }

  // --- Events ----------------------------------------------------------
  std::function<void(bool clientVerified)> OnLoginAttempt;
  std::function<void(int msgId, const std::string& text)> OnCodedMessage;
  std::function<void(int msgId, const TLinkParamList& params)> OnCodedParamList;
  std::function<void(int msgId, std::string_view bytes)> OnCodedStream;
  std::function<void()> OnCustomConnect;
  // Asked by the datasets for every value they write into generated SQL.
  std::function<void(const LinkSQLField& field, std::string& result, bool& handled)> OnCustomSQLSyntax;
  // Asked by the datasets for every parameter they render into SQL.
  TCustomParamSyntax OnCustomParamSyntax;
  // Each replaces the whole text (etUserDefined, acUserDefined).
  std::function<void(std::string& text)> OnEncrypt;
  std::function<void(std::string& text)> OnDecrypt;
  std::function<void(std::string& text)> OnCompress;
  std::function<void(std::string& text)> OnDecompress;
  std::function<void(const std::string& text)> OnSQLError;
  std::function<void(const std::string& text)> OnChatMessage;
  std::function<void(const std::string& text)> OnServerBroadcast;
  // Kinds 20 and 23: notices of the server.
  std::function<void(int kind, const std::string& text)> OnServerNotification;
  std::function<void(const TLinkParamList& params)> OnCustomSQLError;
  std::function<void(const std::string& status)> OnConnectStatusChange;
  std::function<void(const std::string& message, bool& handled)> OnTerminateMessageFromServer;
  std::function<void(int code, const TLinkParamList& params)> OnServerUtilityInfoEvent;
  std::function<void(int token, const std::string& objectName, const TLinkParamList& params)> OnCustomObject;
  // Bytes the socket reported readable when the read began, and bytes read
  // so far (only with ProgressBar).
  std::function<void(std::int64_t expected, std::int64_t received)> OnReadProgress;
  // The program a client upgrade received and the lines of the restart
  // script; handled = true leaves the upgrade to the handler.
  std::function<void(std::string_view program, std::vector<std::string>& scriptLines, bool& handled)>
      OnAutoClientUpgrade;
  // One piece of a file the server sends: name, piece size, file size, bytes written so far.
  std::function<void(const std::string& name, std::int64_t piece, std::int64_t fileSize, std::int64_t written)>
      OnFileProgress;

  // --- Connection --------------------------------------------------------
  // What the socket does once its owner has configured it: with
  // caCustomConnect the custom connect (OnCustomConnect, then Connect); with
  // caUseDesignAddress, caFastConnect and caFastConnectCombo Connect to the
  // address as set; caNone nothing.
  void Loaded();
  // LOCAL becomes 127.0.0.1, a name becomes Host, the command-line
  // overrides apply, and the connection opens.
  void Connect();
  // The overrides of the program's arguments (command_line.h) applied to this socket.
  void ApplyCommandLine(const std::vector<std::string>& args);

  // --- Dataset registry ------------------------------------------------
  // The dataset's registration number: 1, 2, … in order of first sight,
  // never reused; -1 for nullptr.
  int RegisterDataSet(LinkDataset* dataset);
  LinkDataset* FindDataSet(int number) const;
  void UnregisterDataSet(LinkDataset* dataset);
  // Opens the dataset (LinkOpenDeferred) once the socket has connected.
  void OpenWhenConnected(LinkDataset* dataset);

  // --- Messages ---------------------------------------------------------
  // Sends the message (discarded while a wait is in progress); with wait,
  // enters the reply wait afterwards.
  void SendLine(TLinkStringLine& line, bool wait);
  void WaitForReply();
  void ReleaseWait();

  // CodedMessage (15); does not wait.
  void PostCodedMessage(int msgId, const std::string& text);
  // CodedParamList (28) with reply flag 1; the list the reply carries, or none when it is empty.
  std::optional<TLinkParamList> RequestParamList(int msgId, const TLinkParamList& params);
  // Select (3); returns the collected error text, empty on success.
  std::string RequestSelect(LinkDataset* dataset, const std::string& database, const std::string& sql, int rows,
                            int selectOptions);
  // PassThroughSelect (46); an SQL error is raised as ELinkSQLException.
  void RequestPassThroughSelect(LinkDataset* dataset, const std::string& database, const std::string& sql, int rows,
                                int selectOptions);
  // NextPacket (33); an SQL error is raised as ELinkSQLException.
  void RequestNextPacket(LinkDataset* dataset, int cursor, int selectOptions, int rows);
  // CloseServerCursor (34); does not wait.
  void CloseServerCursor(LinkDataset* dataset);
  // Execute (29); returns the collected error text, empty on success.
  std::string RequestExec(LinkDataset* dataset, const std::string& database, const std::string& sql,
                          const std::string& paramsText, const std::string& datasetText, bool replyExpected);
  // ServerUtility (48); does not wait.
  void RequestServerInfo(int code);
  // The error text of the last request prefixed "[LINK SERVER ERROR]", or empty.
  std::string CollectError();

  // The select options as sent: soCompress is dropped when every message is compressed.
  int SendableSelectOptions(int selectOptions) const;

 protected:
  void DoConnected() override;
  void DoReadable() override;
  void DoConnectionLost() override;
  void DoClosed() override;
  void DoOpening() override;

 private:
  void SetStatus(TClientAnchorStatus status);
  // False when the login window ended the program.
  bool SendLogin();
  void SendLoginMessage();
  bool AskLoginWindow();
  void ReadAvailable();
  void HandleFrame(std::string_view payload);
  // Dispatch hands each received message to the handler of its kind (by
  // its low seven bits); a kind without a handler is ignored.
  using KindHandler = void (TLinkClientSocket::*)(const TLinkStringLine& line);
  static const std::array<KindHandler, 128>& KindHandlers();
  void Dispatch(const TLinkStringLine& line);
  void DispatchFieldDefs(const TLinkStringLine& line);
  void DispatchRelease(const TLinkStringLine& line);
  void DispatchRows(const TLinkStringLine& line);
  void DispatchSQLError(const TLinkStringLine& line);
  void DispatchChatMessage(const TLinkStringLine& line);
  void DispatchMessageBox(const TLinkStringLine& line);
  void DispatchServerBroadcast(const TLinkStringLine& line);
  void DispatchCodedMessage(const TLinkStringLine& line);
  void DispatchCodedStream(const TLinkStringLine& line);
  void DispatchLoginVerdict(const TLinkStringLine& line);
  void DispatchReconnect(const TLinkStringLine& line);
  void DispatchReconnectNotice(const TLinkStringLine& line);
  void DispatchServerNotification(const TLinkStringLine& line);
  void DispatchBlobUpdateResult(const TLinkStringLine& line);
  void DispatchBlobStream(const TLinkStringLine& line);
  void DispatchTerminateMessage(const TLinkStringLine& line);
  void DispatchFieldProperties(const TLinkStringLine& line);
  void DispatchParamList(const TLinkStringLine& line);
  void DispatchPacketCursor(const TLinkStringLine& line);
  void DispatchDatasetParams(const TLinkStringLine& line);
  void DispatchUpgrade(const TLinkStringLine& line);
  void DispatchUpgradeProgress(const TLinkStringLine& line);
  void DispatchBlobBufferCleared(const TLinkStringLine& line);
  void DispatchChangedRows(const TLinkStringLine& line);
  void DispatchRedirect(const TLinkStringLine& line);
  void DispatchUtility(const TLinkStringLine& line);
  void DispatchCustomObject(const TLinkStringLine& line);
  void DispatchReplyText(const TLinkStringLine& line);
  void DispatchChangedRowsByDataset(const TLinkStringLine& line);
  void AimAtText(const std::string& addressAndPort);
  void Terminate(int exitCode);
  bool PumpOnce();
  void WriteFrame(std::string frame);
  void FlushPendingQueue();
  void DrainLater();
  LinkDataset* Target(const TLinkStringLine& line) const;
  void BeginRequest(bool replyExpected, bool raiseDirectly);
  void SyncHooks();
  void RequireConnection() const;

  // Properties.
  std::string applicationName_;
  std::string applicationVersion_;
  std::string userName_;
  std::string password_;
  TLinkConnectAction connectAction_ = caFastConnectCombo;
  TLoginType autoLoginDlg_ = ltNoChallenge;
  TLoginType autoLoginDlgAtLoad_ = ltNoChallenge;
  LinkTransforms transforms_;
  std::string sqlTransactionStart_ = "BEGIN TRANSACTION";
  std::string sqlTransactionEnd_ = "COMMIT";
  TLinkUpdateSQL updateSQLSyntax_ = usBDE;
  std::uint16_t sqlOptions_ = 0;
  TSQLDialect sqlDialect_ = sqlNone;
  std::string dateMaskForSQL_;
  std::string dateTimeMaskForSQL_;
  std::string timeMaskForSQL_;
  std::uint8_t sqlErrorHandling_ = 1U << seAsExceptions;
  int replyTimeLimit_ = 0;
  bool progressBar_ = false;
  LinkStatusBar* statusBar_ = nullptr;
  TClientAnchorStatus anchorStatus_ = TACNoAnchor;
  std::string patchFile_;
  std::string about_;
  std::vector<std::string> programArgs_;
  bool programArgsSet_ = false;
  mutable std::vector<std::string> defaultArgs_;
  std::string programFile_;
  std::string proxiedAddress_;
  int proxiedPort_ = 0;

  // State.
  std::map<int, LinkDataset*> registry_;
  int lastRegistration_ = 0;
  std::vector<LinkDataset*> deferredOpens_;
  TLinkParamList clientParams_;
  TLinkMessageStack stack_;
  std::string readBuffer_;
  TLinkSmartWait wait_;
  std::string pendingReply_;
  bool replyExpected_ = false;
  bool raiseDirectly_ = false;
  bool errorArrived_ = false;
  bool zeroRows_ = false;
  double serverNumber_ = 0;
  int sentCount_ = 0;
  int reconnectNotices_ = 0;
  std::optional<THttpTransport> http_;
  TLinkFileTransfer files_;
  TLinkMetaDataCache metaData_;
  TLinkLoginWindowLogic loginLogic_;
  std::string redirectFrom_;  // address:port of the connection a redirect left
  bool redirected_ = false;   // the current connection is the redirect's target
  std::unique_ptr<QTimer> fallbackTimer_;
  bool needDrain_ = false;                 // a handler threw: frames may wait in the buffer
  int readDepth_ = 0;                      // nested reads (a handler that waits reads more)
  bool lostDuringWait_ = false;            // the connection closed while a reply was awaited
  bool sessionStarted_ = false;            // the first connection was made (HTTP reopens carry no login)
  bool httpReopen_ = false;                // the connection being opened carries queued frames only
  std::vector<std::string> pendingQueue_;  // frames waiting for the HTTP transport to reopen
  bool upgradeProgress_ = false;
};

}  // namespace mero::link
