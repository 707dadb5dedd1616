#include "base/file_routines.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

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
