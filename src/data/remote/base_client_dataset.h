#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/change_log_dataset.h"
#include "link/client/client_socket.h"
#include "link/client/link_dataset.h"
#include "link/codec/param_list.h"

namespace mero::data {

// The fixed texts of the remote datasets.
namespace errors {
inline constexpr const char* kNoLinkClientSocket = "No LinkClientSocket Assigned.";
inline constexpr const char* kNoActiveSocket = "No Socket! or Socket Not Active";
inline constexpr const char* kNotConnected = "No LinkclientSocket or it is not connected!";
// A request made while another waits for its reply: the socket would drop it
// unsent, and no reply would come.
inline constexpr const char* kRequestWaiting = "Another request is waiting for its reply.";
// An open whose reply carried no field definitions.
inline constexpr const char* kNoFieldDefinitions = "The server sent no field definitions.";
}  // namespace errors

// An in-memory dataset with a change log that fills itself from the
// application server: opening sends the SELECT text over the client socket
// (kind 3, or 46 with soPassThroughSQL) and waits for the field definitions
// and rows; packets of RowsToReturn rows follow on demand (kind 33).
//
// The dataset registers with its socket as a link::LinkDataset; replies are
// taken only while one of its own requests is in progress and no error reply
// has come for it, so rows that arrive after a request ended, or after its
// error, are ignored.
//
// Failures of a request reach the caller as EDatabaseError; a server error
// carries "[LINK SERVER ERROR]" and the server's text. A connection lost
// during a request is the socket's ELinkConnectException, a damaged reply the
// codec's ELinkResultSetException.
class TLinkBaseClientDataSet : public TLink2CustomAuditDataSet, public link::LinkDataset {
 public:
  ~TLinkBaseClientDataSet() override;

  // Not owned; the socket forgets the dataset when either goes first.
  link::TLinkClientSocket* LinkClientSocket() const { return socket_; }
  void SetLinkClientSocket(link::TLinkClientSocket* socket);

  // The statement, one entry per line. Assigning it closes the dataset;
  // when the text holds ":" and there are no parameters yet, one input
  // parameter is made per placeholder (ELinkParamException "Please check
  // Syntax :param:param must be :param:param" for ":a:b"; an open quote is
  // shown as "There is an open quote in your SQL String").
  const std::vector<std::string>& SQL() const { return sql_; }
  void SetSQL(std::vector<std::string> lines);
  // The lines joined with CR LF / split at CR LF, LF or CR.
  std::string SQLText() const;
  void SetSQLText(std::string_view text);

  link::TLinkParamList& Params() { return params_; }
  const link::TLinkParamList& Params() const { return params_; }
  // ELinkParamException "Parameter Not Found: <name>" when absent.
  link::TLinkParamItem& ParamByName(std::string_view name) { return params_.GetByName(name); }

  // Request options: bit n for link::TLinkSelectSQLOptions n.
  std::uint16_t SQLOptions() const { return sqlOptions_; }
  void SetSQLOptions(std::uint16_t options) { sqlOptions_ = options; }
  bool HasSQLOption(link::TLinkSelectSQLOptions option) const { return (sqlOptions_ >> option) & 1U; }
  void SetSQLOption(link::TLinkSelectSQLOptions option, bool on);
  // -1: all rows; n > 0: rows per packet; 0: field definitions only.
  int RowsToReturn() const { return rowsToReturn_; }
  void SetRowsToReturn(int rows) { rowsToReturn_ = rows; }
  // Fetch a further packet when the cursor is sent to the last row.
  bool AutoFetchPackets() const { return autoFetchPackets_; }
  void SetAutoFetchPackets(bool value) { autoFetchPackets_ = value; }
  // ORDER BY appended to the statement (ASC, or DESC when not Ascending).
  const std::string& OrderBy() const { return orderBy_; }
  void SetOrderBy(std::string fields) { orderBy_ = std::move(fields); }
  bool Ascending() const { return ascending_; }
  void SetAscending(bool value) { ascending_ = value; }
  // The database name sent with every request.
  const std::string& DataBase() const { return dataBase_; }
  void SetDataBase(std::string name) { dataBase_ = std::move(name); }

  // The text a normal open sends. Without parameters: the lines joined by
  // CR LF, then " ORDER BY …". With parameters: each line (and an "ORDER
  // BY …" line) with the parameters' literals written in under the socket's
  // settings, each followed by one blank, as one line. A placeholder takes
  // the parameter whose whole name it spells (":p10" is p10's even when p1
  // comes first).
  std::string SelectSQL() const;

  // The server's packet cursor while more rows remain there; 0 before any
  // packet, -1 once the last packet arrived.
  std::int32_t PacketCursor() const { return packetCursor_; }
  // Asks for the next packet of an open cursor; returns the rows it added
  // (0 when no cursor is open).
  int FetchNextPacket();
  // The rows the last statement of this dataset affected, as the server
  // reported them (-1 until it does).
  int RowsAffected() const { return rowsAffected_; }
  // The last parameter list the server sent for this dataset (kind 30).
  const link::TLinkParamList& ReceivedParams() const { return receivedParams_; }

  // Sends one statement (or a block) as an execute request with an empty
  // parameter list and waits for the reply.
  void SendStatement(const std::string& sql);

  // Closes (when open) and opens again with controls disabled; without a
  // connected socket raises "No Socket! or Socket Not Active".
  void Reopen();

  // link::LinkDataset
  void LinkFieldDefs(std::string_view payload) override;
  void LinkRows(std::string_view payload, std::int32_t packetArgument) override;
  void LinkPacketCursor(std::int32_t cursor) override;
  void LinkReceivedParams(int msgId, const link::TLinkParamList& params) override;
  void LinkParams(const link::TLinkParamList& params) override;
  void LinkRowsAffected(int rows) override;
  void LinkSocketDestroyed(link::TLinkClientSocket& socket) override;
  void LinkOpenDeferred() override;

 protected:
  explicit TLinkBaseClientDataSet(std::string name = {});

  // The socket for a request: EDatabaseError "No LinkClientSocket
  // Assigned." without one, "No Socket! or Socket Not Active" when it is
  // not connected, kRequestWaiting while another request waits.
  link::TLinkClientSocket& Socket() const;
  // Sends an execute request (kind 29) with the parameter-list text; returns
  // the server's error text (empty on success).
  std::string Execute(const std::string& sql, const std::string& paramsText);
  // Sends the open request and waits; the replies arrive through LinkFieldDefs
  // and LinkRows. Returns the server's error text (empty on success).
  virtual std::string RequestOpen(link::TLinkClientSocket& socket);

  void InternalOpen() override;
  void InternalClose() override;
  bool FetchMore(bool toLast) override;
  void DoAfterOpen() override;

 private:
  // Marks the dataset as the receiver of replies for one request.
  class Receiving;

  void Request();
  int FetchPacket();
  void CloseServerCursor();
  bool TakesReplies() const;

  link::TLinkClientSocket* socket_ = nullptr;
  std::vector<std::string> sql_;
  link::TLinkParamList params_;
  std::uint16_t sqlOptions_ = 0;
  int rowsToReturn_ = -1;
  bool autoFetchPackets_ = true;
  std::string orderBy_;
  bool ascending_ = true;
  std::string dataBase_;

  std::int32_t packetCursor_ = 0;
  int rowsAffected_ = -1;
  link::TLinkParamList receivedParams_;
  // Replies are taken only while a request of this dataset runs.
  bool receiving_ = false;
  // The request asked for definitions only.
  bool definitionsOnly_ = false;
  bool definitionsArrived_ = false;
  // Rows added by the replies of the request in progress.
  std::size_t rowsReceived_ = 0;
};

}  // namespace mero::data
