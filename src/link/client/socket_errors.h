#pragma once

#include <string>

namespace mero::link {

// Error codes of the link's socket failures (the Windows Sockets numbering
// the system's texts use).
constexpr int kErrConnectionAborted = 10053;
constexpr int kErrConnectionReset = 10054;
constexpr int kErrConnectionRefused = 10061;
constexpr int kErrHostUnreachable = 10065;
constexpr int kErrHostNotFound = 11001;

// The code of a Qt socket error (QAbstractSocket::SocketError as int); 0 for
// the orderly close of the peer, which is a lost connection, not an error.
int LinkSocketErrorCode(int qtSocketError);

// The message of the four codes with a text of their own; empty for others.
std::string SocketErrorMessage(int code);

// The text raised for a socket error reported by a notification:
// "<message> at <address> on Port:<port>" for the four codes,
// "Asynchronous socket error <code>" for any other.
std::string AsyncSocketErrorText(int code, const std::string& address, int port);

// "Windows socket error: <system text> (<code>), on API '<api>'".
std::string WindowsSocketErrorText(const std::string& systemText, int code, const std::string& api);

}  // namespace mero::link
