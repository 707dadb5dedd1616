#pragma once

// The current directory and the program's directory set to a folder for the
// life of a test, so that what the client writes "beside the program" lands
// there; both are restored afterwards.

#include <filesystem>
#include <string>

#include "base/runtime.h"

namespace mero::test {

class DirectoryScope {
 public:
  explicit DirectoryScope(const std::filesystem::path& dir)
      : previous_(std::filesystem::current_path()), previousAppDir_(base::Rt().appDir) {
    std::filesystem::current_path(dir);
    base::Rt().appDir = dir.string();
  }
  ~DirectoryScope() {
    std::filesystem::current_path(previous_);
    base::Rt().appDir = previousAppDir_;
  }
  DirectoryScope(const DirectoryScope&) = delete;
  DirectoryScope& operator=(const DirectoryScope&) = delete;

 private:
  std::filesystem::path previous_;
  std::string previousAppDir_;
};

}  // namespace mero::test
