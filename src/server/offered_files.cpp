#include "server/offered_files.h"

#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace mero::server {

std::vector<std::string> OfferedFiles::Names() const {
  std::vector<std::string> names;
  if (dir_.empty()) return names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(dir_, ec)) {
    if (entry.is_regular_file(ec)) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool OfferedFiles::Read(int index, File& file) const {
  const std::vector<std::string> names = Names();
  if (index < 0 || index >= static_cast<int>(names.size())) return false;
  const std::filesystem::path path = std::filesystem::path(dir_) / names[static_cast<std::size_t>(index)];
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return false;
  std::tm local{};
  localtime_r(&info.st_mtime, &local);
  file.name = names[static_cast<std::size_t>(index)];
  file.bytes = bytes.str();
  file.modified = base::CombineDateTime(base::EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday),
                                        base::EncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), 0));
  return true;
}

}  // namespace mero::server
