#pragma once

// The texts of the debug log's lines, without the time stamp each line
// starts with (which the test checks is there).

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace mero::test {

inline std::vector<std::string> LogTexts(const std::string& path) {
  static const std::regex stamp(R"(\d\d:\d\d:\d\d\.\d\d\d- )");
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> out;
  for (std::string line; std::getline(in, line);) {
    EXPECT_TRUE(line.size() >= 14 && std::regex_match(line.substr(0, 14), stamp)) << line;
    out.push_back(line.size() >= 14 ? line.substr(14) : line);
  }
  return out;
}

}  // namespace mero::test
