#include "link/client/socket_errors.h"

#include <QAbstractSocket>

namespace mero::link {

int LinkSocketErrorCode(int qtSocketError) {
  switch (static_cast<QAbstractSocket::SocketError>(qtSocketError)) {
    case QAbstractSocket::RemoteHostClosedError:
      return 0;
    case QAbstractSocket::ConnectionRefusedError:
      return kErrConnectionRefused;
    case QAbstractSocket::NetworkError:
      return kErrHostUnreachable;
    case QAbstractSocket::HostNotFoundError:
      return kErrHostNotFound;
    case QAbstractSocket::SocketAccessError:
      return 10013;  // permission denied
    case QAbstractSocket::SocketResourceError:
      return 10055;  // no buffer space / too many sockets
    case QAbstractSocket::SocketTimeoutError:
      return 10060;  // timed out
    case QAbstractSocket::DatagramTooLargeError:
      return 10040;  // message too long
    case QAbstractSocket::AddressInUseError:
      return 10048;
    case QAbstractSocket::SocketAddressNotAvailableError:
      return 10049;
    case QAbstractSocket::UnsupportedSocketOperationError:
      return 10045;  // operation not supported
    case QAbstractSocket::TemporaryError:
      return 10035;  // would block
    default:
      return 10000 + qtSocketError;
  }
}

std::string SocketErrorMessage(int code) {
  switch (code) {
    case kErrConnectionAborted:
      return "10053: Software caused connection abort.  The server terminated the connection. It is possible that "
             "the server has terminated.";
    case kErrConnectionReset:
      return "10054: Software caused connection abort.  The server terminated the connection. It is possible that "
             "the server has terminated.";
    case kErrConnectionRefused:
      return "10061: Connection refused.  Verify that a server is available.";
    case kErrHostUnreachable:
      return "10065: The client cannot reach the destination network. Verify that your target network is available "
             "and that a firewall is not blocking your protocol and port";
    default:
      return {};
  }
}

std::string AsyncSocketErrorText(int code, const std::string& address, int port) {
  const std::string message = SocketErrorMessage(code);
  if (message.empty()) return "Asynchronous socket error " + std::to_string(code);
  return message + " at " + address + " on Port:" + std::to_string(port);
}

std::string WindowsSocketErrorText(const std::string& systemText, int code, const std::string& api) {
  return "Windows socket error: " + systemText + " (" + std::to_string(code) + "), on API '" + api + "'";
}

}  // namespace mero::link
