#include "support/link_test_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "link/codec/field_type.h"

namespace mero::test {
namespace {

using K = link::MessageKind;

std::int32_t Int(const link::TLinkStringLine& line, int field) {
  return static_cast<std::int32_t>(line.FieldInt(field));
}

}  // namespace

LinkTestClient::LinkTestClient(int port, bool cipher) {
  fd_ = socket(AF_INET, SOCK_STREAM, 0);
  if (fd_ < 0) throw std::runtime_error("cannot create a socket");
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<std::uint16_t>(port));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    close(fd_);
    fd_ = -1;
    throw std::runtime_error("cannot connect to port " + std::to_string(port));
  }
  const int one = 1;
  setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  link::UseLinkCipher(transforms_, cipher);
}

LinkTestClient::~LinkTestClient() {
  if (fd_ >= 0) close(fd_);
}

void LinkTestClient::SendRaw(std::string_view bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) {
      if (n < 0 && errno == EINTR) continue;
      throw std::runtime_error("the connection is closed");
    }
    sent += static_cast<std::size_t>(n);
  }
  bytesSent_ += bytes.size();
}

void LinkTestClient::Send(const link::TLinkStringLine& line) { SendRaw(link::PackMessage(line.Finish(), transforms_)); }

void LinkTestClient::ReadSome(std::chrono::steady_clock::time_point deadline) {
  // What is there already is taken at once; poll only waits for more. A big
  // reply comes in few large reads instead of many small ones.
  readBuffer_.resize(kReadBytes);
  ssize_t n = recv(fd_, readBuffer_.data(), readBuffer_.size(), MSG_DONTWAIT);
  if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd p{fd_, POLLIN, 0};
    const int ready = poll(&p, 1, static_cast<int>(std::max<std::int64_t>(left.count(), 0)));
    if (ready <= 0) return;
    n = recv(fd_, readBuffer_.data(), readBuffer_.size(), 0);
  }
  if (n <= 0) {
    closed_ = true;
    return;
  }
  bytesReceived_ += static_cast<std::size_t>(n);
  stack_.Feed(readBuffer_.data(), static_cast<std::size_t>(n),
              [this](std::string_view payload) { received_.push_back(link::UnpackMessage(payload, transforms_)); });
}

link::TLinkStringLine LinkTestClient::Receive(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (received_.empty()) {
    if (closed_) throw std::runtime_error("the server closed the connection");
    if (std::chrono::steady_clock::now() >= deadline) throw std::runtime_error("no reply within the time-out");
    ReadSome(deadline);
  }
  std::string message = std::move(received_.front());
  received_.pop_front();
  return link::TLinkStringLine::Parse(std::move(message));
}

bool LinkTestClient::WaitClosed(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!closed_ && std::chrono::steady_clock::now() < deadline) {
    try {
      ReadSome(deadline);
    } catch (const std::exception&) {
      // Garbage before the close does not matter here.
    }
    received_.clear();
  }
  return closed_;
}

bool LinkTestClient::Quiet(std::chrono::milliseconds time) {
  const auto deadline = std::chrono::steady_clock::now() + time;
  while (received_.empty() && !closed_ && std::chrono::steady_clock::now() < deadline) ReadSome(deadline);
  return received_.empty();
}

bool LinkTestClient::Login(const std::string& user, const std::string& password, const std::string& application,
                           const std::string& version) {
  link::TLinkParamList clientParams;
  clientParams.SetNamedValue("MYVERSION", base::Variant::Text(version));
  link::TLinkStringLine line;
  line.SetKind(K::Login);
  line.AddInt(1);  // ltLoginNoDlg
  line.AddText(user);
  line.AddText(password);
  line.AddText(application);
  line.AddText(version + '\x02' + clientParams.ToText(false));
  Send(line);
  const link::TLinkStringLine reply = Receive();
  if (!reply.Is(K::Login)) throw std::runtime_error("login answered by kind " + std::to_string(reply.DispatchKind()));
  return Int(reply, 1) == 1;
}

LinkTestClient::SelectReply LinkTestClient::Select(const std::string& sql, int rows, int options, int origin,
                                                   bool passThrough) {
  link::TLinkStringLine line;
  line.SetOrigin(origin);
  if (passThrough) {
    line.SetKind(K::PassThroughSelect);
    line.AddText("");
    line.AddText(sql);
    line.AddInt(rows);
    line.AddInt(options);
  } else {
    line.SetKind(K::Select);
    line.AddText(sql);
    line.AddInt(rows);
    line.AddInt(options);
    line.AddText("");
  }
  Send(line);
  SelectReply reply;
  link::TLinkStringLine first = Receive();
  if (first.Is(K::SQLError)) {
    reply.error = std::string(first.Field(1));
    return reply;
  }
  if (!first.Is(K::FieldDefs))
    throw std::runtime_error("select answered by kind " + std::to_string(first.DispatchKind()));
  reply.fastFields = link::DecodeFieldDefs(first.Field(1));
  reply.rows.SetFields(link::FieldDefsFromFastFields(reply.fastFields));
  const link::TLinkStringLine rowsReply = Receive();
  if (!rowsReply.Is(K::Rows))
    throw std::runtime_error("rows answered by kind " + std::to_string(rowsReply.DispatchKind()));
  ReadRows(rowsReply, reply);
  return reply;
}

void LinkTestClient::ReadRows(const link::TLinkStringLine& answer, SelectReply& reply) {
  const std::int32_t packet = Int(answer, 1);
  reply.compressedRows = answer.FieldCount() >= 3 && Int(answer, 3) != 0;
  std::string inflated;
  if (reply.compressedRows) inflated = link::InflateText(answer.Field(2));
  const link::RowsDecoded decoded =
      link::DecodeRows(reply.compressedRows ? std::string_view(inflated) : answer.Field(2), packet, reply.rows);
  reply.packet = decoded.packet.cursor.value_or(reply.packet);
  reply.lastPacketArgument = packet;
}

void LinkTestClient::NextPacket(SelectReply& reply, int rows, int options, int origin) {
  link::TLinkStringLine line;
  line.SetKind(K::NextPacket);
  line.SetOrigin(origin);
  line.AddInt(reply.packet);
  line.AddInt(rows);
  line.AddInt(options);
  Send(line);
  const link::TLinkStringLine answer = Receive();
  if (answer.Is(K::SQLError)) {
    reply.error = std::string(answer.Field(1));
    return;
  }
  if (!answer.Is(K::Rows)) throw std::runtime_error("packet answered by kind " + std::to_string(answer.DispatchKind()));
  ReadRows(answer, reply);
}

void LinkTestClient::CloseCursor(int origin) {
  link::TLinkStringLine line;
  line.SetKind(K::CloseServerCursor);
  line.SetOrigin(origin);
  line.AddInt(origin);
  line.AddInt(0);
  Send(line);
}

std::string LinkTestClient::Exec(const std::string& sql, const std::string& paramsText, int origin) {
  link::TLinkStringLine line;
  line.SetKind(K::Execute);
  line.SetOrigin(origin);
  line.AddText(sql);
  line.AddText(paramsText);
  line.AddText("");
  line.AddText("");
  Send(line);
  const link::TLinkStringLine reply = Receive();
  if (!reply.Is(K::SQLError))
    throw std::runtime_error("execute answered by kind " + std::to_string(reply.DispatchKind()));
  const std::string text(reply.Field(1));
  return text == std::string("NULL\x04", 5) || text.empty() ? std::string() : text;
}

std::string LinkTestClient::LoginInfo(const std::string& text) {
  link::TLinkStringLine line;
  line.SetKind(K::CodedMessage);
  line.AddInt(3001);
  line.AddText(text);
  Send(line);
  const link::TLinkStringLine reply = Receive();
  if (!reply.Is(K::CodedMessage) || Int(reply, 1) != 13001) throw std::runtime_error("3001 answered wrongly");
  return std::string(reply.Field(2));
}

link::TLinkParamList LinkTestClient::ParamList(int number, const link::TLinkParamList& params) {
  link::TLinkStringLine line;
  line.SetKind(K::CodedParamList);
  line.AddInt(number);
  line.AddText(params.ToText(false));
  line.AddInt(1);
  Send(line);
  const link::TLinkStringLine reply = Receive();
  if (!reply.Is(K::CodedParamList) && !reply.Is(K::DatasetParamList)) {
    throw std::runtime_error("parameter list answered by kind " + std::to_string(reply.DispatchKind()));
  }
  return link::TLinkParamList::FromText(reply.Field(2));
}

std::string LinkTestClient::ServerVersion() {
  link::TLinkStringLine line;
  line.SetKind(K::ServerUtility);
  line.AddInt(6);
  line.AddText("");
  Send(line);
  const link::TLinkStringLine reply = Receive();
  if (!reply.Is(K::ServerUtility) || Int(reply, 1) != 6) throw std::runtime_error("utility request answered wrongly");
  const link::TLinkParamList list = link::TLinkParamList::FromText(reply.Field(2));
  return list.Count() > 0 ? list.ItemAt(0).ValueText() : std::string();
}

}  // namespace mero::test
