#include "base/trace.h"

#include <cstdio>

#include "base/date_routines.h"
#include "base/named_params.h"
#include "base/runtime.h"

namespace mero::base {
namespace {

void AppendLine(const std::string& file, const std::string& text) {
  std::FILE* f = std::fopen(file.c_str(), "ab");
  if (f == nullptr) f = std::fopen(file.c_str(), "wb");
  if (f == nullptr) return;
  const std::string line = TimeStampStr() + "- " + text + "\n";
  std::fwrite(line.data(), 1, line.size(), f);
  std::fflush(f);
  std::fclose(f);
}

void (*&DebugWindowShower())() {
  static void (*show)() = nullptr;
  return show;
}

}  // namespace

void WriteDebug0(const std::string& text) {
  if (GetNamedParam("OVDEBUG0", "0") != "1") return;
  AppendLine("DEBUG0.txt", text);
}

const std::string& DebugLogFileName() {
  Runtime& rt = Rt();
  if (rt.debugLogFileName.empty()) rt.debugLogFileName = AppFile("DBG" + DateTimeStamp() + ".txt");
  return rt.debugLogFileName;
}

void DebugLogStart() {
  if (GetNamedParam("MYDEBUG") != "1") return;
  std::FILE* f = std::fopen(DebugLogFileName().c_str(), "wb");
  if (f != nullptr) std::fclose(f);
}

void DebugLog(const std::string& text) {
  if (GetNamedParam("MYDEBUG") != "1") return;
  AppendLine(DebugLogFileName(), text);
}

int DebugTrace(const std::string& text) {
  Runtime& rt = Rt();
  if (rt.debugLevel == 0 || !rt.debugWindowLines) return 0;
  rt.debugWindowLines->push_back(text);
  return static_cast<int>(rt.debugWindowLines->size());
}

void ShowDebugWindow() {
  Runtime& rt = Rt();
  if (!rt.debugWindowLines) rt.debugWindowLines = std::make_shared<std::vector<std::string>>();
  if (DebugWindowShower() != nullptr) DebugWindowShower()();
}

void SetDebugWindowShower(void (*show)()) { DebugWindowShower() = show; }

}  // namespace mero::base
