#include "ui/message_window_logic.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "base/encoding.h"
#include "base/exception.h"
#include "base/runtime.h"

namespace mero::ui {

using namespace base::literals;

namespace {

[[noreturn]] void CannotWrite(const std::string& path) {
  throw base::Exception("Δεν μπορώ να ανοίξω το αρχείο "_gr + path + "!");
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

std::vector<std::string> MessLines(const std::string& crlfText) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  while (from < crlfText.size()) {
    const std::size_t end = crlfText.find("\r\n", from);
    if (end == std::string::npos) {
      lines.push_back(crlfText.substr(from));
      break;
    }
    lines.push_back(crlfText.substr(from, end - from));
    from = end + 2;
  }
  return lines;
}

std::string MessFolder() {
  std::string temp = base::Rt().tempDir;
  if (temp.empty()) temp = "/tmp";
  while (temp.size() > 1 && temp.back() == '/') temp.pop_back();
  const std::string folder = temp + "/mero-" + std::to_string(::geteuid());
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) CannotWrite(folder);
  // Someone else may have made the folder first, or planted a link to one
  // of theirs: only a directory of the user's own, closed to others, will do.
  struct stat st {};
  if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() ||
      (st.st_mode & 077) != 0) {
    CannotWrite(folder);
  }
  return folder;
}

std::string SaveMessLines(const std::vector<std::string>& lines) {
  const std::string path = MessFolder() + "/mess.txt";
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  std::string temp = path + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) CannotWrite(path);
  const bool written = WriteAll(fd, bytes);
  const bool closed = ::close(fd) == 0;
  if (!written || !closed || ::rename(temp.c_str(), path.c_str()) != 0) {
    ::unlink(temp.c_str());
    CannotWrite(path);
  }
  return path;
}

}  // namespace mero::ui
