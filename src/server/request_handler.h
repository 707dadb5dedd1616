#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "link/codec/compression.h"
#include "link/codec/param_list.h"
#include "link/codec/string_line.h"
#include "server/database.h"
#include "server/login_throttle.h"
#include "server/offered_files.h"
#include "server/server_config.h"
#include "server/server_log.h"
#include "server/session_vars.h"

namespace mero::server {

class AccessGuard;
class Catalog;
class SelectCursor;
class SqlEngine;

// What every session shares: the settings, the schema's catalog, the login
// throttle and the files on offer.
struct ServerContext {
  explicit ServerContext(ServerConfig c);

  ServerConfig config;
  std::shared_ptr<const Catalog> catalog;
  LoginThrottle throttle;
  OfferedFiles files;
};

// The protocol of one session, without the socket: it takes each request
// message and says what to answer. It owns the session's database connection
// and SQL engine; destroying it rolls back what the session did not commit.
class RequestHandler {
 public:
  struct Outcome {
    std::vector<std::string> replies;    // finished messages, in order
    std::chrono::milliseconds delay{0};  // hold the replies back this long (failed logins)
  };

  RequestHandler(ServerContext& context, SessionName session);
  ~RequestHandler();
  RequestHandler(const RequestHandler&) = delete;
  RequestHandler& operator=(const RequestHandler&) = delete;

  // Handles one request. Replies that carry rows are compressed with zlib
  // when the select asks for it and the message itself came uncompressed.
  // With the request log on, writes the request's line once it is answered.
  Outcome Handle(const link::TLinkStringLine& request, link::TLinkCompression messageCompression);

  bool LoggedIn() const { return loggedIn_; }
  const std::string& User() const { return vars_.loginUser; }

 private:
  struct Cursor {
    std::int32_t origin;
    std::unique_ptr<SelectCursor> select;
    int options;
  };

  void Dispatch(const link::TLinkStringLine& request, link::TLinkCompression messageCompression, Outcome& out);
  void Login(const link::TLinkStringLine& request, Outcome& out);
  void Select(std::int32_t origin, std::string_view sql, std::int64_t rows, int options,
              link::TLinkCompression messageCompression, Outcome& out);
  void NextPacket(std::int32_t origin, std::int32_t cursorId, std::int64_t rows, int options,
                  link::TLinkCompression messageCompression, Outcome& out);
  void Execute(std::int32_t origin, std::string_view sql, std::string_view paramsText, Outcome& out);
  void CodedMessage(const link::TLinkStringLine& request, Outcome& out);
  void ParamList(const link::TLinkStringLine& request, Outcome& out);
  void Utility(const link::TLinkStringLine& request, Outcome& out);

  // Encodes up to `rows` rows of the cursor (all for rows < 0) into one rows
  // reply whose packet argument says whether rows remain; returns that.
  bool SendRows(std::int32_t origin, SelectCursor& cursor, std::int64_t rows, std::int32_t packetIfMore,
                std::int32_t packetIfLast, int options, link::TLinkCompression messageCompression, Outcome& out);
  void Error(std::int32_t origin, const std::string& utf8Text, Outcome& out);
  // The request failed: an error reply when the client waits for one.
  void Fail(bool waits, std::int32_t origin, const std::string& utf8Text, Outcome& out);
  void OpenDatabase();
  // A new engine for a new login: what the session had not committed is
  // rolled back and its cursors close, since prepared statements carry the
  // checks of the user they were prepared for.
  void RestartEngine();

  ServerContext& context_;
  SessionName session_;
  std::string outcome_;  // how the request in hand ended, for the request log: empty when it went well
  SessionVars vars_;
  std::unique_ptr<Database> db_;
  std::unique_ptr<AccessGuard> guard_;
  std::unique_ptr<SqlEngine> engine_;
  bool loggedIn_ = false;
  bool hadLogin_ = false;  // a login was accepted on this connection before
  std::string loginPassword_;
  std::map<std::int32_t, Cursor> cursors_;
  std::int32_t nextCursorId_ = 1;
  std::string rowsBuffer_;  // reused for every rows payload
};

// The reply of kind 6 that means success: "NULL" and byte 4.
inline constexpr std::string_view kNoError{"NULL\x04", 5};

}  // namespace mero::server
