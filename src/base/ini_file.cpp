#include "base/ini_file.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "base/text_routines.h"

namespace mero::base {
namespace {

bool SameName(std::string_view a, std::string_view b) { return UpperStr(StrTrim(a)) == UpperStr(StrTrim(b)); }

}  // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)) {}

bool IniFile::Load() {
  sections_.clear();
  std::ifstream in(path_, std::ios::binary);
  if (!in) {
    std::FILE* probe = std::fopen(path_.c_str(), "rb");
    if (probe != nullptr) {
      std::fclose(probe);
      return false;
    }
    return true;
  }
  std::string line;
  Section* current = nullptr;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string t = StrTrim(line);
    if (t.empty() || t[0] == ';') continue;
    if (t.front() == '[' && t.back() == ']') {
      sections_.push_back({StrTrim(t.substr(1, t.size() - 2)), {}});
      current = &sections_.back();
      continue;
    }
    if (current == nullptr) continue;  // entries before any section belong to none
    const std::size_t eq = t.find('=');
    if (eq == std::string::npos) continue;
    current->entries.push_back({StrTrim(t.substr(0, eq)), t.substr(eq + 1)});
  }
  return !in.bad();
}

bool IniFile::Save() const {
  std::ostringstream out;
  for (const Section& s : sections_) {
    out << '[' << s.name << "]\r\n";
    for (const Entry& e : s.entries) out << e.name << '=' << e.value << "\r\n";
    out << "\r\n";
  }
  const std::string text = out.str();
  const std::string temp = path_ + ".new";
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  if (f == nullptr) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  const bool closed = std::fclose(f) == 0;
  if (!written || !closed || std::rename(temp.c_str(), path_.c_str()) != 0) {
    std::remove(temp.c_str());
    return false;
  }
  return true;
}

const IniFile::Section* IniFile::Find(std::string_view section) const {
  for (const Section& s : sections_) {
    if (SameName(s.name, section)) return &s;
  }
  return nullptr;
}

bool IniFile::HasSection(std::string_view section) const { return Find(section) != nullptr; }

std::string IniFile::ReadSection(std::string_view section) const {
  std::string out;
  if (const Section* s = Find(section)) {
    for (const Entry& e : s->entries) out += e.name + "=" + e.value + "\r\n";
  }
  return out;
}

std::string IniFile::ReadString(std::string_view section, std::string_view name, std::string_view defaultValue) const {
  if (const Section* s = Find(section)) {
    for (const Entry& e : s->entries) {
      if (SameName(e.name, name)) return e.value;
    }
  }
  return std::string(defaultValue);
}

void IniFile::WriteString(std::string_view section, std::string_view name, std::string_view value) {
  auto* s = const_cast<Section*>(Find(section));
  if (s == nullptr) {
    sections_.push_back({StrTrim(section), {}});
    s = &sections_.back();
  }
  for (Entry& e : s->entries) {
    if (SameName(e.name, name)) {
      e.value = std::string(value);
      return;
    }
  }
  s->entries.push_back({StrTrim(name), std::string(value)});
}

}  // namespace mero::base
