// A settings file of [Section] headers and NAME=VALUE lines, read from disk
// as the program reads its settings. Whatever the file holds, each section
// reads the same after the file was saved and read again.

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "base/ini_file.h"
#include "base/text_routines.h"
#include "fuzz_support.h"

using namespace mero;

namespace {

const fuzz::ScratchFile scratch(".ini");

// The names between brackets on the lines of the text, as a reader of the
// file would take them, plus one that no file holds.
std::vector<std::string> SectionNames(std::string_view text) {
  std::vector<std::string> names = {"TALV"};
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string line = base::StrTrim(text.substr(0, end));
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') names.push_back(line.substr(1, line.size() - 2));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  scratch.Write(data, size);
  const std::string& path = scratch.Path();
  base::IniFile ini(path);
  FUZZ_CHECK(ini.Load());
  const std::vector<std::string> names = SectionNames(text);
  std::vector<std::string> sections;
  for (const std::string& name : names) {
    sections.push_back(ini.ReadSection(name));
    (void)ini.ReadString(name, "UserName", "none");
  }
  FUZZ_CHECK(ini.Save());
  base::IniFile again(path);
  FUZZ_CHECK(again.Load());
  for (std::size_t i = 0; i < names.size(); ++i) {
    FUZZ_CHECK(again.HasSection(names[i]) == ini.HasSection(names[i]));
    FUZZ_CHECK(again.ReadSection(names[i]) == sections[i]);
  }
  return 0;
}
