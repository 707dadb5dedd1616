#pragma once

#include <cstdint>

namespace mero::link {

// The kind of a message of the link, its first header byte (the receiver
// dispatches on the low seven bits). The client's requests and the server's
// messages share one numbering; a few numbers mean one thing from the client
// and another from the server (23, 44), and some kinds travel both ways with
// the same meaning (coded messages, parameter lists, login, server utility).
enum class MessageKind : std::uint8_t {
  // Sent by the client.
  Select = 3,              // open a query
  PassThroughSelect = 46,  // open a query with soPassThroughSQL
  NextPacket = 33,         // fetch the next packet of rows
  CloseServerCursor = 34,  // close the dataset's server cursor
  Execute = 29,            // execute a statement
  StoredProcedure = 27,
  ServerMethod = 23,       // a server method or metadata request
  UpdateTransaction = 31,  // a client-built update transaction
  ProviderUpdate = 36,
  ProviderRegistration = 44,
  ProviderTransaction = 45,

  // Both ways.
  CodedMessage = 15,
  CodedParamList = 28,  // a coded parameter-list request, and its reply
  Login = 17,           // the login, and the server's verdict
  ServerUtility = 48,   // the server utility request, and its reply

  // Sent by the server.
  FieldDefs = 1,
  FieldDefsAlternate = 10,  // handled as FieldDefs
  Release = 4,              // ends the reply wait, nothing else
  Rows = 5,
  RowsAlternate = 11,  // handled as Rows
  SQLError = 6,        // an SQL error text, or the text of success
  ChatMessage = 8,
  MessageBox = 9,            // a text shown in a message box
  MessageBoxAlternate = 14,  // handled as MessageBox
  ServerBroadcast = 13,
  CodedStream = 16,
  Reconnect = 18,        // reconnect to the proxied server
  ReconnectNotice = 19,  // close and reopen the connection
  ServerNotification = 20,
  ServerNotificationAlternate = 23,
  BlobUpdateResult = 21,  // empty, or why a blob did not update
  BlobStream = 22,
  TerminateMessage = 25,
  FieldProperties = 26,
  DatasetParamList = 30,  // a parameter list for the origin dataset
  PacketCursor = 32,      // the server cursor of a packet fetch
  DatasetParams = 35,
  ClientUpgrade = 38,
  UpgradeProgress = 39,  // show the upgrade's progress until ClientUpgrade
  BlobBufferCleared = 42,
  ChangedRows = 44,  // changed rows to merge into the dataset
  Redirect = 47,
  CustomObject = 50,
  ReplyText = 52,             // the text of the reply the client waits for
  ChangedRowsByDataset = 55,  // changed rows of several datasets
};

// The byte of a kind on the wire.
constexpr std::uint8_t KindByte(MessageKind kind) { return static_cast<std::uint8_t>(kind); }

// The client waits for the reply to these requests, so the server must
// answer each of them with a kind that ends the wait.
constexpr bool WaitsForReply(MessageKind kind) {
  switch (kind) {
    case MessageKind::Select:
    case MessageKind::PassThroughSelect:
    case MessageKind::NextPacket:
    case MessageKind::Execute:
    case MessageKind::CodedParamList:
    case MessageKind::Login:
    case MessageKind::StoredProcedure:
    case MessageKind::ServerMethod:
    case MessageKind::UpdateTransaction:
    case MessageKind::ProviderUpdate:
    case MessageKind::ProviderTransaction:
      return true;
    default:
      return false;
  }
}

}  // namespace mero::link
