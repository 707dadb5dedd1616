#include "base/runtime.h"

#include <unistd.h>

#include <cerrno>
#include <string>

namespace mero::base {
namespace {

Runtime MakeLoadTimeState() {
  Runtime rt;
  rt.appDir = StartDirectory();
  return rt;
}

}  // namespace

Runtime& Rt() {
  static Runtime runtime = MakeLoadTimeState();
  return runtime;
}

void ResetRuntime() { Rt() = MakeLoadTimeState(); }

std::string StartDirectory() {
  std::string dir(4096, '\0');
  while (getcwd(dir.data(), dir.size()) == nullptr) {
    if (errno != ERANGE) return ".";
    dir.resize(dir.size() * 2);
  }
  dir.resize(dir.find('\0'));
  while (dir.size() > 1 && (dir.back() == '/' || dir.back() == '\\')) dir.pop_back();
  return dir;
}

std::string AppFile(const std::string& name) { return Rt().appDir + "/" + name; }

}  // namespace mero::base
