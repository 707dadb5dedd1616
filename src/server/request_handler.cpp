#include "server/request_handler.h"

#include <algorithm>
#include <exception>

#include "base/encoding.h"
#include "base/text_routines.h"
#include "base/variant.h"
#include "link/codec/field_type.h"
#include "link/codec/link_errors.h"
#include "link/codec/result_set_encoder.h"
#include "server/access_guard.h"
#include "server/catalog.h"
#include "server/passwords.h"
#include "server/prepared.h"
#include "server/request_log.h"
#include "server/server_functions.h"
#include "server/server_log.h"
#include "server/sql_dialect.h"
#include "server/sql_engine.h"

namespace mero::server {
namespace {

constexpr int kOptionCompress = 1 << 5;
constexpr int kLoginInfoRequest = 3001;
constexpr int kLoginInfoReply = 13001;
constexpr int kFileCount = 2000;
constexpr int kFileFetch = 2001;
constexpr int kServerInfo = 6;

std::string ToUtf8(std::string_view text) { return base::Win1253ToUtf8(text); }
std::string ToWire(std::string_view utf8) { return base::Utf8ToWin1253(utf8); }

struct UserRow {
  std::string usrid;
  std::string passwordHash;
  std::string fullName;
  std::string deptId;
  std::string rights;
  bool superUser = false;
  std::int64_t number = 0;
};

// The user's row, found without regard to case.
bool FindUser(sqlite3* db, const std::string& name, UserRow& row) {
  Prepared q(db,
             "SELECT USRID, PASSWORD_HASH, FULLNAME, DEPTID, CANU, IS_SUPERUSER, rowid FROM USRLU "
             "WHERE upper(USRID) = upper(?1)");
  q.Bind(1, std::string_view(name));
  if (!q.Step()) return false;
  row.usrid = q.Text(0);
  row.passwordHash = q.Text(1);
  row.fullName = q.Text(2);
  row.deptId = q.Text(3);
  row.rights = q.Text(4);
  row.superUser = q.Int(5) == 1;
  row.number = q.Int(6);
  return true;
}

link::TLinkStringLine Line(link::MessageKind kind, std::int32_t origin) {
  link::TLinkStringLine line;
  line.SetKind(kind);
  line.SetOrigin(origin);
  return line;
}

std::string Verdict(bool accepted) {
  link::TLinkStringLine reply = Line(link::MessageKind::Login, 0);
  reply.AddInt(accepted ? 1 : 0);
  return std::move(reply).Finish();
}

// The longest user name there can be: the width of USRLU.USRID.
std::size_t UserNameWidth(const Catalog& catalog) {
  constexpr std::size_t kFallback = 16;  // the schema's width, for a catalog without the table
  const CatalogObject* users = catalog.Find("USRLU");
  const CatalogColumn* id = users != nullptr ? users->Find("USRID") : nullptr;
  return id != nullptr && id->type.size > 0 ? static_cast<std::size_t>(id->type.size) : kFallback;
}

}  // namespace

ServerContext::ServerContext(ServerConfig c)
    : config(std::move(c)), throttle(std::chrono::milliseconds(config.loginDelayMs)), files(config.filesDir) {
  Database db(config.database, Database::Mode::Existing, config.busyTimeoutMs);
  catalog = LoadCatalog(db);
}

RequestHandler::RequestHandler(ServerContext& context, SessionName session)
    : context_(context), session_(std::move(session)) {
  vars_.clientAddress = session_.peer;
}

RequestHandler::~RequestHandler() {
  cursors_.clear();
  if (engine_ && engine_->InTransaction()) {
    try {
      engine_->Rollback();
      LogSession(session_, vars_.loginUser, "connection closed, uncommitted work rolled back");
    } catch (const std::exception& e) {
      LogSession(session_, vars_.loginUser, std::string("rollback failed: ") + e.what());
    }
  }
}

void RequestHandler::OpenDatabase() {
  db_ = std::make_unique<Database>(context_.config.database, Database::Mode::Existing, context_.config.busyTimeoutMs,
                                   context_.config.walPages);
  RegisterSqlDialect(*db_, vars_);
  RegisterServerFunctions(*db_, vars_);
  guard_ = std::make_unique<AccessGuard>(*db_);
  engine_ = std::make_unique<SqlEngine>(*db_, vars_, context_.catalog, guard_.get());
}

void RequestHandler::RestartEngine() {
  cursors_.clear();
  if (engine_->InTransaction()) {
    engine_->Rollback();
    LogSession(session_, vars_.loginUser, "new login, uncommitted work rolled back");
  }
  engine_ = std::make_unique<SqlEngine>(*db_, vars_, context_.catalog, guard_.get());
}

RequestHandler::Outcome RequestHandler::Handle(const link::TLinkStringLine& request,
                                               link::TLinkCompression messageCompression) {
  Outcome out;
  outcome_.clear();
  if (!context_.config.logRequests) {
    Dispatch(request, messageCompression, out);
    return out;
  }
  // The user the request ran as: a login's line shows who was logged in before it.
  const std::string user = vars_.loginUser;
  const auto start = std::chrono::steady_clock::now();
  Dispatch(request, messageCompression, out);
  const auto took = std::chrono::steady_clock::now() - start;
  LogSession(session_, user, RequestLine(DescribeRequest(request), took, outcome_.empty() ? "ok" : outcome_));
  return out;
}

void RequestHandler::Dispatch(const link::TLinkStringLine& request, link::TLinkCompression messageCompression,
                              Outcome& out) {
  using link::MessageKind;
  const auto kind = static_cast<MessageKind>(request.DispatchKind());
  const bool waits = link::WaitsForReply(kind);
  const std::int32_t origin = request.Origin();
  try {
    if (!db_) OpenDatabase();
    if (kind == MessageKind::Login) {
      Login(request, out);
      return;
    }
    if (kind == MessageKind::ServerUtility) {
      Utility(request, out);
      return;
    }
    if (!loggedIn_) {
      Fail(waits, origin, "ORA-01012: not logged on", out);
      return;
    }
    switch (kind) {
      case MessageKind::Select:
        Select(origin, request.Field(1), request.FieldInt(2), static_cast<int>(request.FieldInt(3)), messageCompression,
               out);
        break;
      case MessageKind::PassThroughSelect:
        Select(origin, request.Field(2), request.FieldInt(3), static_cast<int>(request.FieldInt(4)), messageCompression,
               out);
        break;
      case MessageKind::NextPacket:
        NextPacket(origin, static_cast<std::int32_t>(request.FieldInt(1)), request.FieldInt(2),
                   static_cast<int>(request.FieldInt(3)), messageCompression, out);
        break;
      case MessageKind::CloseServerCursor: {
        const auto dataset = static_cast<std::int32_t>(request.FieldInt(1));
        std::erase_if(cursors_, [dataset](const auto& c) { return c.second.origin == dataset; });
        break;
      }
      case MessageKind::Execute:
        Execute(origin, request.Field(1), request.FieldCount() >= 2 ? request.Field(2) : std::string_view(), out);
        break;
      case MessageKind::CodedMessage:
        CodedMessage(request, out);
        break;
      case MessageKind::CodedParamList:
        ParamList(request, out);
        break;
      default:
        Fail(waits, origin, "ORA-03001: unimplemented feature", out);
        break;
    }
  } catch (const SqlError& e) {
    out.replies.clear();
    Fail(waits, origin, e.what(), out);
  } catch (const base::Exception& e) {
    // A request without the fields its kind carries, or with a damaged
    // parameter list: refused with the reason; the session goes on.
    out.replies.clear();
    Fail(waits, origin, "ORA-03120: " + ToUtf8(e.what()), out);
  }
}

void RequestHandler::Fail(bool waits, std::int32_t origin, const std::string& utf8Text, Outcome& out) {
  if (waits) Error(origin, utf8Text, out);
  else outcome_ = utf8Text;
}

void RequestHandler::Error(std::int32_t origin, const std::string& utf8Text, Outcome& out) {
  outcome_ = utf8Text;
  link::TLinkStringLine line = Line(link::MessageKind::SQLError, origin);
  line.AddText(ToWire(utf8Text));
  out.replies.push_back(std::move(line).Finish());
}

void RequestHandler::Login(const link::TLinkStringLine& request, Outcome& out) {
  // windows-1253 has one byte per character, so the name's length is known
  // before anything is made of it.
  const std::string_view wireUser = base::StrTrimView(request.Field(2));
  if (wireUser.size() > UserNameWidth(*context_.catalog)) {
    // No user has such a name: refused before it costs a throttle record or
    // more than a short line of the log.
    LogSession(
        session_, ToUtf8(wireUser.substr(0, kLoggedNameLength + 1)),
        "login refused, a user name of " + std::to_string(wireUser.size()) + " characters is longer than any user's");
    loggedIn_ = false;
    outcome_ = "refused";
    out.replies.push_back(Verdict(false));
    return;
  }
  const std::string user = ToUtf8(wireUser);
  const std::string password = ToUtf8(request.Field(3));
  const std::string_view application = request.Field(4);
  const std::string_view versionField = request.Field(5);
  const std::string_view version = versionField.substr(0, versionField.find('\x02'));
  const auto now = LoginThrottle::Clock::now();

  UserRow row;
  std::string refusal;
  if (context_.throttle.Locked(user, session_.peer, now)) {
    refusal = "locked after repeated failures";
  } else if (application != context_.config.applicationName) {
    refusal = "application " + QuotedWire(application, kLoggedNameLength) + " is not served";
  } else if (std::find(context_.config.acceptedVersions.begin(), context_.config.acceptedVersions.end(), version) ==
             context_.config.acceptedVersions.end()) {
    refusal = "version " + QuotedWire(version, kLoggedNameLength) + " is not accepted";
  } else if (!FindUser(db_->Handle(), user, row) || !VerifyPassword(password, row.passwordHash)) {
    refusal = "wrong user name or password";
  }

  const bool accepted = refusal.empty();
  if (accepted) {
    context_.throttle.Succeeded(user, session_.peer);
    if (hadLogin_) RestartEngine();
    guard_->SetUser(row.usrid, row.superUser);
    loggedIn_ = true;
    hadLogin_ = true;
    vars_.loginUser = row.usrid;
    loginPassword_ = password;
    LogSession(session_, row.usrid, "login accepted");
  } else {
    context_.throttle.Failed(user, session_.peer, now);
    out.delay = context_.throttle.DelayFor(user, session_.peer, now);
    loggedIn_ = false;
    LogSession(session_, user, "login refused, " + refusal);
    outcome_ = "refused";
  }
  out.replies.push_back(Verdict(accepted));
}

void RequestHandler::Utility(const link::TLinkStringLine& request, Outcome& out) {
  if (request.FieldInt(1) != kServerInfo) {
    outcome_ = "not handled";
    return;
  }
  link::TLinkParamList info;
  info.AddValue(base::Variant::Text(context_.config.serverVersion));
  link::TLinkStringLine reply = Line(link::MessageKind::ServerUtility, 0);
  reply.AddInt(kServerInfo);
  reply.AddText(info.ToText(false));
  out.replies.push_back(std::move(reply).Finish());
}

void RequestHandler::Select(std::int32_t origin, std::string_view sql, std::int64_t rows, int options,
                            link::TLinkCompression messageCompression, Outcome& out) {
  std::unique_ptr<SelectCursor> cursor = engine_->OpenSelect(ToUtf8(sql));
  std::vector<link::FieldDef> defs;
  for (const ColumnInfo& c : cursor->Columns()) defs.push_back({ToWire(c.name), c.fieldType, c.size});
  std::string defsPayload;
  link::ResultSetEncoder(defsPayload).AddFieldDefs(defs);
  link::TLinkStringLine reply = Line(link::MessageKind::FieldDefs, origin);
  reply.AddText(defsPayload);
  out.replies.push_back(std::move(reply).Finish());

  // Rows: all of them (rows < 0), none (0: definitions only), or one packet
  // of n rows whose cursor stays open, under a new id, while rows remain.
  if (rows <= 0) {
    SendRows(origin, *cursor, rows, 0, 0, options, messageCompression, out);
    return;
  }
  const std::int32_t id = nextCursorId_;
  if (SendRows(origin, *cursor, rows, id, 0, options, messageCompression, out)) {
    ++nextCursorId_;
    cursors_[id] = Cursor{origin, std::move(cursor), options};
  }
}

void RequestHandler::NextPacket(std::int32_t origin, std::int32_t cursorId, std::int64_t rows, int options,
                                link::TLinkCompression messageCompression, Outcome& out) {
  const auto it = cursors_.find(cursorId);
  if (it == cursors_.end()) {
    Error(origin, "ORA-01001: invalid cursor", out);
    return;
  }
  // -1: a further packet; -2: the last one, which closes the cursor.
  if (!SendRows(origin, *it->second.select, rows > 0 ? rows : -1, -1, -2, options, messageCompression, out)) {
    cursors_.erase(it);
  }
}

bool RequestHandler::SendRows(std::int32_t origin, SelectCursor& cursor, std::int64_t rows, std::int32_t packetIfMore,
                              std::int32_t packetIfLast, int options, link::TLinkCompression messageCompression,
                              Outcome& out) {
  rowsBuffer_.clear();
  link::ResultSetEncoder encoder(rowsBuffer_);
  if (rows != 0) cursor.Fetch(encoder, rows);
  encoder.Finish();
  const bool more = rows != 0 && !cursor.Done();
  const bool compress = (options & kOptionCompress) != 0 && messageCompression == link::acNoCompression;
  link::TLinkStringLine reply = Line(link::MessageKind::Rows, origin);
  reply.AddInt(more ? packetIfMore : packetIfLast);
  if (compress) reply.AddText(link::DeflateText(rowsBuffer_, link::ZLibLevel()));
  else reply.AddText(rowsBuffer_);
  reply.AddInt(compress ? 1 : 0);
  out.replies.push_back(std::move(reply).Finish());
  return more;
}

void RequestHandler::Execute(std::int32_t origin, std::string_view sql, std::string_view paramsText, Outcome& out) {
  link::TLinkParamList params;
  try {
    params = link::TLinkParamList::FromText(paramsText);
  } catch (const link::ELinkParamException& e) {
    Error(origin, std::string("ORA-01008: not all variables bound: ") + ToUtf8(e.what()), out);
    return;
  }
  engine_->Execute(ToUtf8(sql), &params);
  link::TLinkStringLine reply = Line(link::MessageKind::SQLError, origin);
  reply.AddText(kNoError);
  out.replies.push_back(std::move(reply).Finish());
}

void RequestHandler::CodedMessage(const link::TLinkStringLine& request, Outcome& out) {
  if (request.FieldInt(1) != kLoginInfoRequest) {
    outcome_ = "not handled";
    return;
  }
  // user;password;application;version → the user's login information.
  const std::string text = ToUtf8(request.Field(2));
  const std::string user = base::GetNField(text, ";", 1);
  const std::string password = base::GetNFieldEx(text, ";", 2, false);
  UserRow row;
  std::string info;
  if (FindUser(db_->Handle(), user, row) && base::UpperStr(row.usrid) == base::UpperStr(vars_.loginUser) &&
      VerifyPassword(password, row.passwordHash)) {
    info = std::to_string(row.number) + ";" + (row.superUser ? "1" : "0") + ";" + row.fullName + ";" + row.deptId +
           ";1;" + row.usrid + ";" + row.rights;
  } else {
    outcome_ = "refused";
  }
  link::TLinkStringLine reply = Line(link::MessageKind::CodedMessage, 0);
  reply.AddInt(kLoginInfoReply);
  reply.AddText(ToWire(info));
  out.replies.push_back(std::move(reply).Finish());
}

void RequestHandler::ParamList(const link::TLinkStringLine& request, Outcome& out) {
  const std::int64_t number = request.FieldInt(1);
  link::TLinkParamList answer;
  if (number == kFileCount) {
    answer.AddValue(base::Variant::Integer(static_cast<std::int32_t>(context_.files.Names().size())));
  } else if (number == kFileFetch) {
    const link::TLinkParamList asked = link::TLinkParamList::FromText(request.Field(2));
    OfferedFiles::File file;
    if (asked.Count() > 0 && context_.files.Read(asked.ItemAt(0).ValueInt(), file)) {
      answer.AddItem().SetBlob(file.bytes);
      answer.AddItem().SetString(ToWire(file.name));
      answer.AddItem().SetDateTime(file.modified);
      LogSession(session_, vars_.loginUser, "file " + file.name + " sent");
    }
  }
  link::TLinkStringLine reply = Line(link::MessageKind::CodedParamList, request.Origin());
  reply.AddInt(number);
  reply.AddText(answer.ToText(false));
  reply.AddInt(1);
  out.replies.push_back(std::move(reply).Finish());
}

}  // namespace mero::server
