#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "link/client/client_socket.h"

namespace mero::data {
class TKZLINK;
}

namespace mero::app {

// The fields of the last login information reply 13001: three integers and
// eight texts. The first integer is -1234 until a reply arrives and -1 when
// the reply was empty.
struct RST1InfRecord {
  std::int32_t int1 = -1234;
  std::int32_t int2 = 0;
  std::int32_t int3 = 0;
  std::array<std::string, 8> texts;
};
RST1InfRecord& RST1Inf();

// 0: messages travel plain; 2: they are encrypted with the link cipher.
int& LinkCipherMode();

// Puts the module's process-wide state back to its load-time values
// (ResetClientState): RST1Inf, LinkCipherMode 0, and the link cipher, which
// takes the link key again on its next use.
void ResetConnectionModule();

// The reply wait limit of the module's socket, in seconds: the whole number
// (0 = none) under "ReplyWaitSeconds" in the user's settings, else
// defaultSeconds. An administrator lengthens it for a slow server.
int ReplyWaitSeconds(int defaultSeconds);

// The connection module: the one client socket ACS1, configured for MERO,
// with the hooks through which MERO customises the link, and two read-only
// queries on it: "_Q", which the connect hook makes the query utilities'
// global query, and "LWQ", which reads the user's rights after login.
// Creating the module loads it: the socket runs its custom connect at once
// (the connect hook reads the connection context) and starts connecting; the
// login verdict arrives later in the login hook.
class TDM1 {
 public:
  // args: the program's arguments for the socket's command-line overrides.
  explicit TDM1(std::vector<std::string> args = {});
  ~TDM1();
  TDM1(const TDM1&) = delete;
  TDM1& operator=(const TDM1&) = delete;

  link::TLinkClientSocket& ACS1() { return *acs1_; }
  // The query named "_Q": "select * from DEPT" / "where ID=:qID", with qID a
  // string parameter of size 50.
  data::TKZLINK& Q() { return *q_; }
  // The query named "LWQ", without SQL of its own.
  data::TKZLINK& LWQ() { return *lwq_; }

  // The handlers of the module's socket; each forwards to the shared routine.
  void ACS1CustomConnect();
  void ACS1LoginAttempt(bool verified);
  void ACS1CodedMessage(int msgId, const std::string& text);
  void ACS1CustomSQLSyntax(const link::LinkSQLField& field, std::string& result, bool& handled);
  void ACS1Encrypt(std::string& text);
  void ACS1Decrypt(std::string& text);

 private:
  std::unique_ptr<link::TLinkClientSocket> acs1_;
  // Declared after the socket, so that they go first.
  std::unique_ptr<data::TKZLINK> q_;
  std::unique_ptr<data::TKZLINK> lwq_;
};

// The shared routines behind the hooks. The connect hook makes the socket
// the process-wide one (for the query utilities too) and query the query
// utilities' global query.
void MyACSCustomConnect(link::TLinkClientSocket& socket, data::TKZLINK* query);
void MyACSLoginAttempt(bool verified);
void MyACSCodedMessage(int msgId, const std::string& text);
// Tags every transaction with the user and the workstation:
// "BEGIN P1.USRID:='user';P1.USRIP:='address';" … " ;  P1.USRID:=NULL; P1.USRIP:=NULL; COMMIT; END;".
void Set_BeginTans_EndTrans(link::TLinkClientSocket& socket);

}  // namespace mero::app
