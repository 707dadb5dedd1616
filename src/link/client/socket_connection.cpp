#include "link/client/socket_connection.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <QHostAddress>
#include <QObject>
#include <QTcpSocket>
#include <algorithm>

#include "link/client/application_hooks.h"
#include "link/client/socket_errors.h"
#include "link/codec/link_errors.h"

namespace mero::link {

TLinkCustomClientSocket::TLinkCustomClientSocket() : socket_(std::make_unique<QTcpSocket>()) {
  QTcpSocket* s = socket_.get();
  QObject::connect(s, &QAbstractSocket::stateChanged, s, [this](QAbstractSocket::SocketState state) {
    if (state == QAbstractSocket::HostLookupState && OnLookup) Guard(OnLookup);
    if (state == QAbstractSocket::ConnectingState && OnConnecting) Guard(OnConnecting);
  });
  QObject::connect(s, &QAbstractSocket::connected, s, [this] {
    everConnected_ = true;
    // Requests must not wait for small frames to be gathered.
    socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    ApplyKeepAlive();
    if (OnConnect) Guard(OnConnect);
    if (!blockingOpen_) Guard([this] { DoConnected(); });
  });
  QObject::connect(s, &QAbstractSocket::disconnected, s, [this] { HandleDisconnected(); });
  QObject::connect(s, &QIODevice::readyRead, s, [this] {
    if (OnRead) Guard(OnRead);
    Guard([this] { DoReadable(); });
  });
  QObject::connect(s, &QIODevice::bytesWritten, s, [this](qint64) {
    if (OnWrite) Guard(OnWrite);
  });
  QObject::connect(s, &QAbstractSocket::errorOccurred, s,
                   [this](QAbstractSocket::SocketError error) { HandleError(static_cast<int>(error)); });
}

TLinkCustomClientSocket::~TLinkCustomClientSocket() {
  closing_ = true;
  // No handler may run on a half-destroyed object.
  QObject::disconnect(socket_.get(), nullptr, socket_.get(), nullptr);
  socket_->abort();
}

bool TLinkCustomClientSocket::Active() const { return socket_->state() != QAbstractSocket::UnconnectedState; }

bool TLinkCustomClientSocket::Connected() const { return socket_->state() == QAbstractSocket::ConnectedState; }

void TLinkCustomClientSocket::SetActive(bool active) {
  if (active) {
    Open();
  } else {
    Close();
  }
}

void TLinkCustomClientSocket::CheckInactive() const {
  if (Active()) throw ESocketError("Can't change value while socket is active");
}

void TLinkCustomClientSocket::SetAddress(std::string address) {
  if (address == address_) return;
  CheckInactive();
  address_ = std::move(address);
}

void TLinkCustomClientSocket::SetHost(std::string host) {
  if (host == host_) return;
  CheckInactive();
  host_ = std::move(host);
}

void TLinkCustomClientSocket::SetPort(int port) {
  if (port == port_) return;
  CheckInactive();
  port_ = port;
}

void TLinkCustomClientSocket::SetService(std::string service) {
  if (service == service_) return;
  CheckInactive();
  service_ = std::move(service);
}

void TLinkCustomClientSocket::Open() { StartOpen(clientType_ == ctBlocking); }

void TLinkCustomClientSocket::OpenAndWait() { StartOpen(true); }

void TLinkCustomClientSocket::AimAt(std::string address, int port) {
  CheckInactive();
  host_.clear();
  address_ = std::move(address);
  port_ = port;
}

void TLinkCustomClientSocket::StartOpen(bool wait) {
  if (Active()) throw ESocketError("Socket already open");
  const std::string& target = host_.empty() ? address_ : host_;
  if (target.empty()) throw ESocketError(WindowsSocketErrorText("Host not found", kErrHostNotFound, "ASync Lookup"));
  int port = port_;
  if (port == 0 && !service_.empty()) {
    if (const servent* entry = getservbyname(service_.c_str(), "tcp")) {
      port = ntohs(static_cast<std::uint16_t>(entry->s_port));
    }
  }
  if (port < 0 || port > 65535) throw ESocketError(AsyncSocketErrorText(10049, target, port));
  closing_ = false;
  everConnected_ = false;
  lastError_ = 0;
  kept_ = nullptr;
  DoOpening();
  if (!wait) {
    socket_->connectToHost(QString::fromStdString(target), static_cast<quint16>(port));
    return;
  }
  CallScope call(*this);
  blockingOpen_ = true;
  socket_->connectToHost(QString::fromStdString(target), static_cast<quint16>(port));
  const bool connected = socket_->waitForConnected(connectTimeLimit_ > 0 ? connectTimeLimit_ * 1000 : -1);
  blockingOpen_ = false;
  if (!connected && Active()) {
    // Given up: the attempt must not connect later behind the caller's back.
    closing_ = true;
    socket_->abort();
    closing_ = false;
  }
  RaiseKeptFailure();
  if (!connected) {
    if (OnError) return;  // the handler took the error
    const int code = LinkSocketErrorCode(static_cast<int>(socket_->error()));
    throw ESocketError(AsyncSocketErrorText(code, target, port));
  }
  DoConnected();
}

void TLinkCustomClientSocket::Close() {
  if (!Active()) return;
  closing_ = true;
  socket_->flush();
  socket_->abort();
  closing_ = false;
  DoClosed();
}

void TLinkCustomClientSocket::ApplyKeepAlive() {
  const int fd = static_cast<int>(socket_->socketDescriptor());
  if (fd < 0) return;
  const auto set = [fd](int level, int option, int value) { setsockopt(fd, level, option, &value, sizeof value); };
  // Probing is best effort: a system that refuses an option keeps its own value.
  set(SOL_SOCKET, SO_KEEPALIVE, 1);
  set(IPPROTO_TCP, TCP_KEEPIDLE, std::max(keepAlive_.idleSeconds, 1));
  set(IPPROTO_TCP, TCP_KEEPINTVL, std::max(keepAlive_.intervalSeconds, 1));
  set(IPPROTO_TCP, TCP_KEEPCNT, std::max(keepAlive_.count, 1));
  // Without it a request the server never acknowledges is retransmitted for
  // a quarter of an hour before the system gives up.
  set(IPPROTO_TCP, TCP_USER_TIMEOUT, std::max(keepAlive_.DetectionSeconds(), 1) * 1000);
}

std::string TLinkCustomClientSocket::LocalAddress() const {
  if (!Connected()) return {};
  const QHostAddress local = socket_->localAddress();
  bool ok = false;
  const quint32 v4 = local.toIPv4Address(&ok);
  return ok ? QHostAddress(v4).toString().toStdString() : std::string();
}

std::int64_t TLinkCustomClientSocket::PendingWriteBytes() const { return socket_->bytesToWrite(); }

void TLinkCustomClientSocket::Fail(std::exception_ptr failure) {
  if (InCall()) {
    if (!kept_) kept_ = std::move(failure);
  } else {
    ShowApplicationError(std::move(failure));
  }
}

void TLinkCustomClientSocket::Guard(const std::function<void()>& handler) {
  try {
    handler();
  } catch (...) {
    Fail(std::current_exception());
  }
}

void TLinkCustomClientSocket::RaiseKeptFailure() {
  if (!kept_) return;
  std::exception_ptr failure = std::move(kept_);
  kept_ = nullptr;
  std::rethrow_exception(failure);
}

void TLinkCustomClientSocket::HandleError(int qtError) {
  // A blocking wait of the socket that ran out its slice reports a time-out;
  // the connection itself is fine.
  if (qtError == QAbstractSocket::SocketTimeoutError && Connected()) return;
  const int code = LinkSocketErrorCode(qtError);
  if (code == 0 || closing_) return;  // the peer's close is a lost connection, reported by HandleDisconnected
  lastError_ = code;
  if (OnError) {
    Guard([&] { OnError(code); });
    return;
  }
  const std::string where = address_.empty() ? host_ : address_;
  if (qtError == QAbstractSocket::SocketResourceError) {
    Fail(std::make_exception_ptr(ESocketError("Can't create new socket")));
  } else if (code == kErrHostNotFound) {
    Fail(std::make_exception_ptr(
        ESocketError(WindowsSocketErrorText(socket_->errorString().toStdString(), code, "ASync Lookup"))));
  } else {
    Fail(std::make_exception_ptr(ESocketError(AsyncSocketErrorText(code, where, port_))));
  }
}

void TLinkCustomClientSocket::HandleDisconnected() {
  if (closing_) return;
  if (OnDisconnect) Guard(OnDisconnect);
  Guard([this] { DoConnectionLost(); });
}

}  // namespace mero::link
