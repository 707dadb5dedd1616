#include "server/server_log.h"

#include <atomic>
#include <cstdio>
#include <mutex>

#include "base/clock.h"
#include "base/date_format.h"

namespace mero::server {
namespace {

std::atomic<bool> g_quiet{false};

}  // namespace

void Log(const std::string& text) {
  if (g_quiet.load()) return;
  static std::mutex mutex;
  const std::string line = base::FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", base::Now()) + " " + text + "\n";
  std::lock_guard lock(mutex);
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

void SetLogQuiet(bool quiet) { g_quiet.store(quiet); }

}  // namespace mero::server
