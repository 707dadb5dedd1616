#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>

class QTcpSocket;

namespace mero::link {

enum TClientType : std::uint8_t { ctNonBlocking = 0, ctBlocking = 1 };

// TCP keep-alive of the connection. A server that is gone without closing
// (its machine off, the cable pulled) never sends the close the socket waits
// for: after idleSeconds without traffic the system probes it every
// intervalSeconds, and count unanswered probes end the connection. Data sent
// and not acknowledged ends it after the same time. Either way the loss is
// reported as a closed connection, within DetectionSeconds.
struct TLinkKeepAlive {
  int idleSeconds = 15;
  int intervalSeconds = 5;
  int count = 3;

  int DetectionSeconds() const { return idleSeconds + intervalSeconds * count; }
};

// The connection of the client socket: where it connects, whether it is
// connected, and the raw socket events. One QTcpSocket on the thread that
// created the object (the user-interface thread); notifications arrive
// through Qt's event loop, or inside the socket's own blocking waits.
//
// With ctNonBlocking (this system), Open starts the connection and returns;
// the connection is reported later from the event loop. With ctBlocking,
// Open returns once the connection is made (and its handler has run) and
// raises its failure to the caller.
//
// Failures that occur while no call of this socket is in progress (a
// connection refused, a connection lost, a handler that throws) cannot be
// raised to anyone: they go to the application's error display
// (link::ShowApplicationError).
class TLinkCustomClientSocket {
 public:
  TLinkCustomClientSocket();
  virtual ~TLinkCustomClientSocket();
  TLinkCustomClientSocket(const TLinkCustomClientSocket&) = delete;
  TLinkCustomClientSocket& operator=(const TLinkCustomClientSocket&) = delete;

  // True from the start of a connection attempt until the socket is closed.
  bool Active() const;
  // True once the connection is made.
  bool Connected() const;
  // true: Open; false: Close.
  void SetActive(bool active);

  // Changing these while active raises ESocketError "Can't change value while socket is active".
  const std::string& Address() const { return address_; }
  void SetAddress(std::string address);
  const std::string& Host() const { return host_; }
  void SetHost(std::string host);
  int Port() const { return port_; }
  void SetPort(int port);
  // A service name looked up as a TCP port when Port is 0.
  const std::string& Service() const { return service_; }
  void SetService(std::string service);
  TClientType ClientType() const { return clientType_; }
  void SetClientType(TClientType type) { clientType_ = type; }
  // Applies to the next connection made.
  const TLinkKeepAlive& KeepAlive() const { return keepAlive_; }
  void SetKeepAlive(const TLinkKeepAlive& keepAlive) { keepAlive_ = keepAlive; }
  // How long an open that waits (OpenAndWait, ctBlocking) waits for the
  // connection in seconds; 0 leaves it to the system (about two minutes for
  // a server that never answers).
  int ConnectTimeLimit() const { return connectTimeLimit_; }
  void SetConnectTimeLimit(int seconds) { connectTimeLimit_ = seconds; }

  // Connects to Host (looked up) when it is set, else to Address. An open
  // socket raises ESocketError "Socket already open".
  void Open();
  // Open that returns once the connection is made and its handler has run,
  // raising its failure, whatever the ClientType.
  void OpenAndWait();
  // Closes the connection at once; not a lost connection, so nothing is raised.
  void Close();

  // The platform's error code of the last socket failure (see socket_errors.h); 0 when none.
  int LastSocketError() const { return lastError_; }
  // The local IPv4 address of the connection in dotted form; empty while not connected.
  std::string LocalAddress() const;
  // Bytes given to the connection that the system has not taken yet; they go
  // out as soon as it can take them.
  std::int64_t PendingWriteBytes() const;

  // Raw socket events. OnError gets the error code; assigning it makes the
  // socket consider every socket error handled.
  std::function<void()> OnLookup;
  std::function<void()> OnConnecting;
  std::function<void()> OnConnect;
  std::function<void()> OnDisconnect;
  std::function<void()> OnRead;
  std::function<void()> OnWrite;
  std::function<void(int errorCode)> OnError;

 protected:
  // The target of the next Open: Address (and Port) given, Host cleared.
  void AimAt(std::string address, int port);
  // The connection is made.
  virtual void DoConnected() {}
  // Bytes are ready to be read.
  virtual void DoReadable() {}
  // The peer closed the connection, or it broke (not called for Close).
  virtual void DoConnectionLost() {}
  // Close has closed the connection.
  virtual void DoClosed() {}
  // A connection is about to be opened.
  virtual void DoOpening() {}

  QTcpSocket& Socket() { return *socket_; }
  const QTcpSocket& Socket() const { return *socket_; }

  // Runs a notification handler: with a call of this socket in progress a
  // failure is kept for that call (TakeFailure); otherwise it goes to the
  // application's error display.
  void Guard(const std::function<void()>& handler);
  // A failure kept for the call in progress, raised and forgotten.
  void RaiseKeptFailure();
  // Marks a call of this socket in progress while it lives.
  class CallScope {
   public:
    explicit CallScope(TLinkCustomClientSocket& s) : socket_(s) { ++socket_.callDepth_; }
    ~CallScope() { --socket_.callDepth_; }
    CallScope(const CallScope&) = delete;
    CallScope& operator=(const CallScope&) = delete;

   private:
    TLinkCustomClientSocket& socket_;
  };
  bool InCall() const { return callDepth_ > 0; }
  // Reports a failure the way Guard does.
  void Fail(std::exception_ptr failure);

 private:
  void CheckInactive() const;
  void StartOpen(bool wait);
  void HandleError(int qtError);
  void HandleDisconnected();
  void ApplyKeepAlive();

  std::unique_ptr<QTcpSocket> socket_;
  std::string address_;
  std::string host_;
  int port_ = 0;
  std::string service_;
  TClientType clientType_ = ctNonBlocking;
  TLinkKeepAlive keepAlive_;
  int connectTimeLimit_ = 15;
  int lastError_ = 0;
  int callDepth_ = 0;
  bool closing_ = false;       // Close in progress: the disconnection is ours
  bool blockingOpen_ = false;  // a ctBlocking Open runs the connect handler itself
  bool everConnected_ = false;
  std::exception_ptr kept_;
};

}  // namespace mero::link
