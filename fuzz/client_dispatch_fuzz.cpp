// The client socket fed by a hostile server: any bytes arriving on an open
// connection go through the socket's own receive path (the frame cutter, the
// connection's decryption and decompression, the message reader and the
// dispatch by kind) into a dataset registered with it, which decodes what it
// is handed as the client's datasets do. A failure may only be one of the
// system's own exceptions; nothing may crash, hang or escape as another type.
//
// Input: one byte of connection settings (bits 0-1 compression: none,
// LZRW1-KH, none, zlib; bit 2 the link cipher; bit 3 frames inside HTTP
// responses), then the bytes the server sends.
//
// The connection is one end of a socket pair, so no network is touched. The
// redirect kind is left out: it tells the client to connect to an address
// the server names, which would take the fuzzer onto the network. Files the
// server sends land in a scratch directory that is emptied after every run.

#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTcpSocket>
#include <filesystem>
#include <memory>
#include <string>

#include "base/exception.h"
#include "base/message_seam.h"
#include "base/runtime.h"
#include "fuzz_support.h"
#include "link/client/application_hooks.h"
#include "link/client/client_socket.h"
#include "link/client/link_dataset.h"
#include "link/codec/compression.h"
#include "link/codec/link_errors.h"
#include "link/codec/message_kind.h"
#include "link/codec/pipeline.h"
#include "link/codec/result_set.h"

using namespace mero;

namespace {

// Only the system's own failures may come out of the receive path.
void CheckFailure(std::exception_ptr failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const base::Exception&) {
  } catch (const std::exception& e) {
    std::fprintf(stderr, "unexpected failure %s: %s\n", typeid(e).name(), e.what());
    FUZZ_CHECK(false);
  }
}

// Decodes what the socket hands over, as a dataset of the client does.
class DecodingDataset : public link::LinkDataset {
 public:
  void LinkFieldDefs(std::string_view payload) override {
    rows_.SetFields(link::FieldDefsFromFastFields(link::DecodeFieldDefs(payload)));
  }
  void LinkRows(std::string_view payload, std::int32_t packet) override {
    link::DecodeRows(payload, packet, rows_);
    for (std::size_t r = 0; r < rows_.RowCount(); ++r) {
      for (std::size_t c = 0; c < rows_.FieldCount(); ++c) (void)rows_.Value(r, c);
    }
  }
  void LinkPacketCursor(std::int32_t) override {}
  void LinkReceivedParams(int, const link::TLinkParamList& params) override { (void)params.ToText(); }
  void LinkParams(const link::TLinkParamList& params) override { (void)params.ToText(); }
  void LinkRowsAffected(int) override {}
  void LinkSocketDestroyed(link::TLinkClientSocket&) override {}

 private:
  link::RowSet rows_;
};

class HostileServerSocket : public link::TLinkClientSocket {
 public:
  bool Adopt(int fd) { return Socket().setSocketDescriptor(fd); }
  bool Waiting() { return Socket().bytesAvailable() > 0; }
  void Readable() { DoReadable(); }
};

struct Process {
  Process() {
    static int argc = 1;
    static char name[] = "client_dispatch_fuzz";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QCoreApplication>(argc, argv);
    scratch = (std::filesystem::is_directory("/dev/shm") ? std::filesystem::path("/dev/shm")
                                                         : std::filesystem::temp_directory_path()) /
              ("mero-fuzz-client-" + std::to_string(::getpid()));
    std::filesystem::create_directories(scratch);
    std::filesystem::current_path(scratch);
    base::Rt().appDir = scratch.string();
    base::SetMessagePresenter(&presenter);
    link::SetErrorDisplay(CheckFailure);
    link::SetTerminateHook([](int) {});
  }
  ~Process() {
    link::ResetApplicationHooks();
    base::SetMessagePresenter(nullptr);
    std::error_code ec;
    std::filesystem::current_path("/", ec);
    std::filesystem::remove_all(scratch, ec);
  }
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  void EmptyScratch() {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(scratch, ec)) std::filesystem::remove_all(entry, ec);
  }

  std::unique_ptr<QCoreApplication> app;
  std::filesystem::path scratch;
  base::CancellingPresenter presenter;
};

Process& TheProcess() {
  static Process process;
  return process;
}

void Configure(HostileServerSocket& socket, std::uint8_t settings) {
  static const link::TLinkCompression kCompression[] = {link::acNoCompression, link::acLinkCompress,
                                                        link::acNoCompression, link::acLinkZLib};
  socket.SetCompression(kCompression[settings & 3]);
  if ((settings & 8) != 0) socket.ApplyCommandLine({"HTTP"});
  link::LinkTransforms cipher;
  if ((settings & 4) != 0) link::UseLinkCipher(cipher, true);
  socket.SetEncryption(link::etUserDefined);
  socket.OnEncrypt = [cipher](std::string& text) {
    if (cipher.onEncrypt) cipher.onEncrypt(text);
  };
  const link::TLinkCompression compression = socket.Compression();
  socket.OnDecrypt = [cipher, compression](std::string& text) {
    if (cipher.onDecrypt) cipher.onDecrypt(text);
    // A redirect becomes a chat message: the message is read once more here
    // for its kind, and anything unreadable is left to the socket.
    std::string message;
    try {
      message = link::DecompressMessage(text, compression, {});
    } catch (const base::Exception&) {
      return;
    }
    if (message.empty() ||
        (static_cast<unsigned char>(message[0]) & 0x7F) != link::KindByte(link::MessageKind::Redirect)) {
      return;
    }
    message[0] = static_cast<char>(link::KindByte(link::MessageKind::ChatMessage));
    text = link::CompressMessage(std::move(message), compression, {});
  };
  socket.OnLoginAttempt = [](bool) {};
  socket.OnDisconnect = [] {};
  socket.OnTerminateMessageFromServer = [](const std::string&, bool& handled) { handled = true; };
  socket.OnAutoClientUpgrade = [](std::string_view, std::vector<std::string>&, bool& handled) { handled = true; };
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Process& process = TheProcess();
  fuzz::Input in(data, size);
  const std::uint8_t settings = in.Byte();
  const std::string_view bytes = in.Rest();

  int fds[2];
  FUZZ_CHECK(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) == 0);
  {
    HostileServerSocket socket;
    Configure(socket, settings);
    DecodingDataset first;
    DecodingDataset second;
    FUZZ_CHECK(socket.RegisterDataSet(&first) == 1);
    FUZZ_CHECK(socket.RegisterDataSet(&second) == 2);
    FUZZ_CHECK(socket.Adopt(fds[0]));
    std::size_t written = 0;
    while (written < bytes.size()) {
      const ssize_t n = ::write(fds[1], bytes.data() + written, bytes.size() - written);
      FUZZ_CHECK(n > 0);
      written += static_cast<std::size_t>(n);
    }
    // Every failed read leaves the rest buffered for the next one; each takes
    // at least one frame, so the rounds end.
    for (int round = 0; round < 100000 && socket.Connected(); ++round) {
      bool failed = false;
      try {
        socket.Readable();
      } catch (...) {
        CheckFailure(std::current_exception());
        failed = true;
      }
      if (!failed && !socket.Waiting()) break;
    }
    QCoreApplication::processEvents();
  }
  ::close(fds[1]);
  process.EmptyScratch();
  return 0;
}
