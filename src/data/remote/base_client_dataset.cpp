#include "data/remote/base_client_dataset.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "data/database_error.h"
#include "link/codec/link_errors.h"
#include "link/codec/result_set.h"

namespace mero::data {

namespace {

// Rows on their way from a reply into a dataset. One set serves every
// dataset of the thread: it is filled and emptied within one delivery, and
// keeping its capacity spares each open the first touch of fresh memory.
link::RowSet& DecodeBuffer() {
  thread_local link::RowSet rows;
  return rows;
}

// A server error raised by the socket at once (packets, pass-through opens)
// reaches the caller like every other server error.
template <typename Op>
void RaisingServerErrors(Op op) {
  try {
    op();
  } catch (const link::ELinkSQLException& e) {
    throw EDatabaseError(std::string(link::kLinkServerErrorPrefix) + e.what());
  }
}

}  // namespace

class TLinkBaseClientDataSet::Receiving {
 public:
  explicit Receiving(TLinkBaseClientDataSet& ds) : ds_(ds) {
    ds_.receiving_ = true;
    ds_.rowsReceived_ = 0;
  }
  ~Receiving() { ds_.receiving_ = false; }
  Receiving(const Receiving&) = delete;
  Receiving& operator=(const Receiving&) = delete;

 private:
  TLinkBaseClientDataSet& ds_;
};

TLinkBaseClientDataSet::TLinkBaseClientDataSet(std::string name) : TLink2CustomAuditDataSet(std::move(name)) {}

TLinkBaseClientDataSet::~TLinkBaseClientDataSet() {
  try {
    CloseServerCursor();
  } catch (...) {
    // The server drops the cursor with the session anyway.
  }
}

void TLinkBaseClientDataSet::SetLinkClientSocket(link::TLinkClientSocket* socket) {
  if (socket == socket_) return;
  Close();
  if (socket_ != nullptr) socket_->UnregisterDataSet(this);
  socket_ = socket;
}

void TLinkBaseClientDataSet::SetSQL(std::vector<std::string> lines) {
  Close();
  sql_ = std::move(lines);
  if (params_.Count() == 0) {
    const bool placeholders =
        std::any_of(sql_.begin(), sql_.end(), [](const std::string& l) { return l.find(':') != std::string::npos; });
    if (placeholders) params_.ParamsFromSQL(sql_);
  }
}

std::string TLinkBaseClientDataSet::SQLText() const {
  std::string text;
  for (std::size_t i = 0; i < sql_.size(); ++i) {
    if (i > 0) text += "\r\n";
    text += sql_[i];
  }
  return text;
}

void TLinkBaseClientDataSet::SetSQLText(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
  }
  SetSQL(std::move(lines));
}

void TLinkBaseClientDataSet::SetSQLOption(link::TLinkSelectSQLOptions option, bool on) {
  const auto bit = static_cast<std::uint16_t>(1U << option);
  sqlOptions_ = static_cast<std::uint16_t>(on ? (sqlOptions_ | bit) : (sqlOptions_ & ~bit));
}

std::string TLinkBaseClientDataSet::SelectSQL() const {
  std::string order;
  if (!orderBy_.empty()) order = "ORDER BY " + orderBy_ + (ascending_ ? " ASC" : " DESC");
  if (params_.Count() == 0) {
    std::string text = SQLText();
    if (!order.empty()) text += " " + order;
    return text;
  }
  std::vector<std::string> lines = sql_;
  if (!order.empty()) lines.push_back(order);

  // A placeholder takes the parameter whose whole name it spells: with p1
  // and p10, ":p10" is p10's, although ":p1" is where it starts. Trying the
  // longer names first gives that.
  std::vector<const link::TLinkParamItem*> items;
  for (int i = 0; i < params_.Count(); ++i) items.push_back(&params_.ItemAt(i));
  std::stable_sort(items.begin(), items.end(), [](const link::TLinkParamItem* a, const link::TLinkParamItem* b) {
    return a->Name().size() > b->Name().size();
  });
  link::TLinkParamList ordered;
  for (const link::TLinkParamItem* item : items) ordered.AddItem() = *item;

  link::TLinkRenderSettings settings;
  link::TCustomParamSyntax custom;
  if (socket_ != nullptr) {
    settings.hashDates = socket_->UpdateSQLSyntax() == link::usAccess;
    settings.quoteDates = !socket_->HasSQLOption(link::ssNoQuotesInDates);
    settings.doubleQuote = socket_->HasSQLOption(link::ssDoubleQuoteStrings);
    settings.usDates = socket_->HasSQLOption(link::ssUSDatesForLocalSQL);
    settings.dateMask = socket_->DateMaskForSQL();
    settings.dateTimeMask = socket_->DateTimeMaskForSQL();
    custom = socket_->OnCustomParamSyntax;
  }
  return ordered.RenderSQL(lines, settings, custom);
}

link::TLinkClientSocket& TLinkBaseClientDataSet::Socket() const {
  if (socket_ == nullptr) throw EDatabaseError(errors::kNoLinkClientSocket);
  if (!socket_->Connected()) throw EDatabaseError(errors::kNoActiveSocket);
  // The socket drops a message sent while another request waits: the
  // request would neither be sent nor answered.
  if (socket_->SmartWait().Waiting()) throw EDatabaseError(errors::kRequestWaiting);
  return *socket_;
}

std::string TLinkBaseClientDataSet::RequestOpen(link::TLinkClientSocket& socket) {
  if (HasSQLOption(link::soPassThroughSQL)) {
    const int options = sqlOptions_ | (1 << link::soFetchMemos) | (1 << link::soFetchBlobs);
    RaisingServerErrors([&] { socket.RequestPassThroughSelect(this, dataBase_, SQLText(), rowsToReturn_, options); });
    return {};
  }
  return socket.RequestSelect(this, dataBase_, SelectSQL(), rowsToReturn_, sqlOptions_);
}

void TLinkBaseClientDataSet::Request() {
  link::TLinkClientSocket& s = Socket();
  packetCursor_ = 0;
  definitionsOnly_ = rowsToReturn_ == 0;
  definitionsArrived_ = false;
  Receiving receiving(*this);
  const std::string error = RequestOpen(s);
  if (!error.empty()) throw EDatabaseError(error);
  if (!definitionsArrived_) throw EDatabaseError(errors::kNoFieldDefinitions);
}

void TLinkBaseClientDataSet::InternalOpen() {
  Socket();
  // The replies rebuild the field list and the rows, which the dataset
  // accepts only while it is closed.
  const TDataSetState state = SwapState(dsInactive);
  try {
    Request();
  } catch (...) {
    SwapState(state);
    throw;
  }
  SwapState(state);
  TLink2CustomAuditDataSet::InternalOpen();
}

void TLinkBaseClientDataSet::InternalClose() {
  try {
    CloseServerCursor();
  } catch (...) {
    // Closing never fails on the link's account; the session ends the cursor.
  }
  packetCursor_ = 0;
  TLink2CustomAuditDataSet::InternalClose();
}

void TLinkBaseClientDataSet::CloseServerCursor() {
  if (packetCursor_ > 0 && socket_ != nullptr && socket_->Connected() && !socket_->SmartWait().Waiting()) {
    socket_->CloseServerCursor(this);
  }
  packetCursor_ = 0;
}

void TLinkBaseClientDataSet::DoAfterOpen() {
  DoAfterPopulate();
  TLink2CustomAuditDataSet::DoAfterOpen();
}

int TLinkBaseClientDataSet::FetchPacket() {
  if (packetCursor_ <= 0) return 0;
  link::TLinkClientSocket& s = Socket();
  Receiving receiving(*this);
  RaisingServerErrors([&] { s.RequestNextPacket(this, packetCursor_, sqlOptions_, rowsToReturn_); });
  return static_cast<int>(rowsReceived_);
}

int TLinkBaseClientDataSet::FetchNextPacket() { return FetchPacket(); }

bool TLinkBaseClientDataSet::FetchMore(bool toLast) {
  if (toLast && !autoFetchPackets_) return false;
  return FetchPacket() > 0;
}

std::string TLinkBaseClientDataSet::Execute(const std::string& sql, const std::string& paramsText) {
  return Socket().RequestExec(this, dataBase_, sql, paramsText, std::string(), true);
}

void TLinkBaseClientDataSet::SendStatement(const std::string& sql) {
  const std::string error = Execute(sql, std::string());
  if (!error.empty()) throw EDatabaseError(error);
}

void TLinkBaseClientDataSet::Reopen() {
  if (socket_ == nullptr || !socket_->Connected()) throw EDatabaseError(errors::kNoActiveSocket);
  DisabledControls quiet(*this);
  Close();
  Open();
}

// --- Replies -------------------------------------------------------------------

bool TLinkBaseClientDataSet::TakesReplies() const {
  // An error reply leaves its text with the socket until the requester
  // collects it: whatever follows belongs to a failed request.
  return receiving_ && (socket_ == nullptr || socket_->PendingReplyText().empty());
}

void TLinkBaseClientDataSet::LinkFieldDefs(std::string_view payload) {
  if (!TakesReplies()) return;
  SetFastFields(link::DecodeFieldDefs(payload));
  PrepareFieldList();
  definitionsArrived_ = true;
}

void TLinkBaseClientDataSet::LinkRows(std::string_view payload, std::int32_t packetArgument) {
  if (!TakesReplies()) return;
  // A select of no rows hands its definitions to the row reader as well,
  // and the server follows with an empty fresh result: neither holds rows.
  if (definitionsOnly_) {
    EmptyRows();
    return;
  }
  link::RowSet& rows = DecodeBuffer();
  std::vector<link::FieldDef> defs;
  defs.reserve(FieldList().Count());
  for (const TLinkFieldEntry& e : FieldList().Entries()) defs.push_back({e.name, e.type, e.size});
  rows.SetFields(std::move(defs));
  struct Emptied {
    link::RowSet& rows;
    ~Emptied() { rows.Clear(); }
  } emptied{rows};
  const link::RowsDecoded decoded = link::DecodeRows(payload, packetArgument, rows);
  if (decoded.packet.replace) EmptyRows();
  rowsReceived_ += AppendRows(rows);
  if (decoded.packet.cursor) packetCursor_ = *decoded.packet.cursor;
}

void TLinkBaseClientDataSet::LinkPacketCursor(std::int32_t cursor) { packetCursor_ = cursor; }

void TLinkBaseClientDataSet::LinkReceivedParams(int msgId, const link::TLinkParamList& params) {
  (void)msgId;
  receivedParams_ = params;
}

void TLinkBaseClientDataSet::LinkParams(const link::TLinkParamList& params) {
  for (int i = 0; i < params.Count(); ++i) {
    const link::TLinkParamItem& received = params.ItemAt(i);
    if (link::TLinkParamItem* mine = params_.FindByName(received.Name())) {
      mine->SetDataType(received.DataType());
      mine->SetIsNull(received.IsNull());
      mine->SetRawValue(received.RawValue());
    }
  }
}

void TLinkBaseClientDataSet::LinkRowsAffected(int rows) { rowsAffected_ = rows; }

void TLinkBaseClientDataSet::LinkSocketDestroyed(link::TLinkClientSocket& socket) {
  if (&socket == socket_) socket_ = nullptr;
}

void TLinkBaseClientDataSet::LinkOpenDeferred() { Open(); }

}  // namespace mero::data
