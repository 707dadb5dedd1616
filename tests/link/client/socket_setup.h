#pragma once

// The client socket configured the way the connection module configures it:
// a custom connect to 127.0.0.1 on the given port, login without a window,
// the link cipher on ports 7771–7779, and a login hook that keeps the verdict.

#include <optional>
#include <string>
#include <vector>

#include "link/client/client_socket.h"
#include "link/codec/pipeline.h"

namespace mero::test {

struct SocketSetup {
  std::string user = "MARIA";
  std::string password = "maria";
  std::vector<std::string> args;  // the program's arguments
};

class ConnectedSocket {
 public:
  ConnectedSocket(int port, const SocketSetup& setup = {}) {
    socket.SetConnectAction(link::caCustomConnect);
    socket.SetAutoLoginDlg(link::ltLoginNoDlg);
    socket.SetApplicationName("MERO");
    socket.SetApplicationVersion("1,31");
    socket.SetProgramArguments(setup.args);
    socket.ClientParams().SetNamedValue("MYVERSION", base::Variant::Text("1,31"));
    socket.OnCustomConnect = [this, port, setup] {
      socket.SetUserName(setup.user);
      socket.SetPassword(setup.password);
      socket.SetPort(port);
      socket.SetHost("127.0.0.1");
      if (link::IsCipherPort(port)) {
        link::LinkTransforms cipher;
        link::UseLinkCipher(cipher, true);
        socket.SetEncryption(link::etUserDefined);
        socket.OnEncrypt = cipher.onEncrypt;
        socket.OnDecrypt = cipher.onDecrypt;
      }
    };
    socket.OnLoginAttempt = [this](bool verified) { verdict = verified; };
  }

  link::TLinkClientSocket socket;
  std::optional<bool> verdict;
};

}  // namespace mero::test
