#include "base/named_params.h"

#include <fstream>

#include "base/runtime.h"
#include "base/text_routines.h"
#include "base/trace.h"
#include "base/variant_routines.h"

namespace mero::base {

void LoadTheNamedParameters() {
  Runtime& rt = Rt();
  rt.paramNames.clear();
  rt.paramValues.clear();
  rt.paramListsExist = true;
  const std::string name = AppFile("NParams.dat");
  WriteDebug0("Load Params from file :" + name);
  try {
    std::ifstream in(name, std::ios::binary);
    if (!in) return;
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty() && line[0] == ';') continue;
      lines.push_back(line);
    }
    WriteDebug0("Count= :" + std::to_string(lines.size()));
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::string& l = lines[i];
      SetListItem(&rt.paramNames, static_cast<int>(i), LeftOf(l, "="));
      SetListItem(&rt.paramValues, static_cast<int>(i), StrTrim(RightOf(l, "=")));
    }
  } catch (...) {
    // A damaged file leaves the lists with what was read.
  }
}

std::string GetNamedParam(std::string_view name, std::string_view defaultValue) {
  const Runtime& rt = Rt();
  if (!rt.paramListsExist) return std::string(defaultValue);
  const std::string key = UpperStr(name);
  for (std::size_t i = 0; i < rt.paramNames.size(); ++i) {
    if (UpperStr(rt.paramNames[i]) == key) return i < rt.paramValues.size() ? rt.paramValues[i] : std::string();
  }
  return std::string(defaultValue);
}

}  // namespace mero::base
