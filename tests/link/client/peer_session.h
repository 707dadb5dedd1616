#pragma once

// A client socket connected and logged in to a scripted peer whose script
// goes on after the login.

#include <functional>
#include <utility>

#include "link/client/client_test_support.h"
#include "link/client/scripted_peer.h"
#include "link/client/socket_setup.h"

namespace mero::test {

class PeerSession {
 public:
  using AfterLogin = std::function<void(PeerConnection& connection, ScriptedPeer& peer)>;

  explicit PeerSession(AfterLogin afterLogin, SocketSetup setup = {},
                       const std::function<void(link::TLinkClientSocket&)>& configure = {})
      : peer([afterLogin = std::move(afterLogin)](ScriptedPeer& p) {
          auto connection = p.Accept();
          connection->AcceptLogin();
          afterLogin(*connection, p);
        }),
        client(peer.Port(), setup) {
    if (configure) configure(client.socket);
    client.socket.Loaded();
    EXPECT_TRUE(ProcessUntil([&] { return client.verdict.has_value(); }));
  }

  link::TLinkClientSocket& socket() { return client.socket; }
  // Lets Qt deliver events until the peer's script has ended.
  bool ProcessUntilPeerFinished() {
    return ProcessUntil([&] { return peer.Finished(); });
  }

  ScriptedPeer peer;
  ConnectedSocket client;
};

}  // namespace mero::test
