#include "base/runtime.h"

#include <malloc.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "base/clock.h"
#include "base/date_format.h"
#include "base/encoding.h"

namespace mero::base {
namespace {

using namespace literals;

Runtime MakeLoadTimeState() {
  Runtime rt;
  rt.appDir = StartDirectory();
  rt.today = TodayRecordOf(Today());
  rt.reportDateLabel = "Ημ/νία:"_gr + FormatDateTime("dd\"/\"mm\"/\"yyyy", rt.today.date);
  return rt;
}

}  // namespace

TodayRecord TodayRecordOf(TDateTime date) {
  TodayRecord r;
  r.date = DateOf(date);
  const DateParts d = DecodeDate(r.date);
  r.year = d.year;
  r.month = d.month;
  r.day = d.day;
  r.dayOfWeek = DayOfWeek(r.date);
  return r;
}

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

void KeepFreedMemory() {
  // Large blocks come from the heap, not from fresh mappings, and the heap
  // is not trimmed back, so freed pages stay mapped and are reused.
  mallopt(M_MMAP_THRESHOLD, 512 << 20);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
}

}  // namespace mero::base
