#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mero::base {

// A settings file of [Section] headers and NAME=VALUE lines, kept in the
// order written. Section and value names are compared without regard to case.
// Values are stored as they are given (windows-1253 bytes). Saving writes a
// new file beside the old one and renames it over, so a failed save never
// leaves a half-written file.
class IniFile {
 public:
  explicit IniFile(std::string path);

  const std::string& Path() const { return path_; }
  // Reads the file; a missing file is an empty one. False when it exists but
  // cannot be read.
  bool Load();
  // False when the file cannot be written.
  bool Save() const;

  bool HasSection(std::string_view section) const;
  // The section's entries as NAME=VALUE lines, each ended by CR LF.
  std::string ReadSection(std::string_view section) const;
  std::string ReadString(std::string_view section, std::string_view name, std::string_view defaultValue) const;
  void WriteString(std::string_view section, std::string_view name, std::string_view value);

 private:
  struct Entry {
    std::string name;
    std::string value;
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
  };

  const Section* Find(std::string_view section) const;

  std::string path_;
  std::vector<Section> sections_;
};

}  // namespace mero::base
