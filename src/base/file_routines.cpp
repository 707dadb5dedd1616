#include "base/file_routines.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "base/date_time.h"
#include "base/encoding.h"
#include "base/exception.h"
#include "base/ini_file.h"
#include "base/number_routines.h"
#include "base/runtime.h"
#include "base/text_routines.h"

namespace mero::base {
namespace {

using namespace literals;

constexpr const char* kRegistrySection = "TALV";

IniFile LoadedIni(const std::string& path) {
  IniFile ini(path);
  ini.Load();
  return ini;
}

// A name beside path that no other file has yet, created empty and open for
// writing; -1 with errno set when none could be made.
int CreateBeside(const std::string& path, std::string& temp) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = path + ".part" + std::to_string(getpid()) + "-" + std::to_string(counter++);
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) errno = EIO;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

std::string ExpImpDir() {
  const Runtime& rt = Rt();
  const std::string dir = !rt.expImpOverride.empty() ? rt.expImpOverride : AppFile("ExpImp");
  std::error_code ec;
  if (!std::filesystem::is_directory(dir, ec)) {
    std::filesystem::create_directory(dir, ec);
    if (!std::filesystem::is_directory(dir, ec)) {
      throw Exception("Δεν μπορεσα να δημιουργήσω τον κατάλογο : "_gr + dir);
    }
  }
  return dir;
}

std::string GetEnvVar(std::string_view name) {
  const char* value = std::getenv(std::string(name).c_str());
  if (value == nullptr) return std::string();
  return std::string(value).substr(0, 512);
}

std::string StripTrailingBackslash(std::string_view s) {
  if (!s.empty() && (s.back() == '\\' || s.back() == '/')) s.remove_suffix(1);
  return std::string(s);
}

std::string UserIniName() { return AppFile("UPRM_" + IntToStrZ(0, 3) + ".ini"); }

bool UserIniHasSection(std::string_view section) { return LoadedIni(UserIniName()).HasSection(section); }

std::string UserIniReadSection(std::string_view section) { return LoadedIni(UserIniName()).ReadSection(section); }

void UserIniWriteSection(std::string_view section, std::string_view text) {
  IniFile ini = LoadedIni(UserIniName());
  std::vector<std::string> lines;
  SplitToList(ReplaceAll(text, "\r\n", "\n"), "\n", lines, false);
  for (const std::string& line : lines) {
    const std::string name = LeftOf(line, "=");
    if (name.empty()) continue;
    ini.WriteString(section, name, RightOf(line, "="));
  }
  ini.Save();
}

void RaiseCannotWrite(const std::string& name, const std::string& reason) {
  throw Exception("Cannot write file " + name + ": " + reason);
}

std::time_t FileTimeOf(TDateTime localTime) {
  if (!std::isfinite(localTime) || localTime < EncodeDate(1980, 1, 1) || localTime >= EncodeDate(2100, 1, 1)) return 0;
  const DateParts date = DecodeDate(localTime);
  const TimeParts time = DecodeTime(localTime);
  // The year check again: a time a hair before 2100 may round into it.
  if (date.year > 2099) return 0;
  std::tm local{};
  local.tm_year = date.year - 1900;
  local.tm_mon = date.month - 1;
  local.tm_mday = date.day;
  local.tm_hour = time.hour;
  local.tm_min = time.minute;
  local.tm_sec = time.second;
  local.tm_isdst = -1;  // the rules of that day decide summer time
  const std::time_t t = std::mktime(&local);
  return t < 0 ? 0 : t;
}

void ReplaceFile(const std::string& path, std::string_view bytes, std::time_t modified, const std::string& name) {
  const std::filesystem::path target(path);
  if (target.has_parent_path()) {
    std::error_code ec;
    std::filesystem::create_directories(target.parent_path(), ec);
    if (ec) RaiseCannotWrite(name, ec.message());
  }
  std::string temp;
  const int fd = CreateBeside(path, temp);
  if (fd < 0) RaiseCannotWrite(name, std::strerror(errno));
  timespec times[2] = {};
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = modified;
  // Each step runs only when the ones before it succeeded; errno is the
  // first failure's.
  bool ok = WriteAll(fd, bytes) && futimens(fd, times) == 0 && fsync(fd) == 0;
  int error = ok ? 0 : errno;
  if (close(fd) != 0 && ok) ok = false, error = errno;
  if (ok && std::rename(temp.c_str(), path.c_str()) != 0) ok = false, error = errno;
  if (!ok) {
    unlink(temp.c_str());
    RaiseCannotWrite(name, std::strerror(error));
  }
}

std::string RegistryFileName() {
  std::string base = GetEnvVar("XDG_CONFIG_HOME");
  if (base.empty()) base = GetEnvVar("HOME") + "/.config";
  return base + "/mero/registry.ini";
}

std::string RegReadStr(std::string_view name, std::string_view defaultValue) {
  return LoadedIni(RegistryFileName()).ReadString(kRegistrySection, name, defaultValue);
}

void RegWriteStr(std::string_view name, std::string_view value) {
  const std::string path = RegistryFileName();
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  IniFile ini = LoadedIni(path);
  ini.WriteString(kRegistrySection, name, value);
  ini.Save();
}

}  // namespace mero::base
