#include "base/startup.h"

#include "base/date_routines.h"
#include "base/date_time.h"
#include "base/file_routines.h"
#include "base/format_settings.h"
#include "base/messages.h"
#include "base/named_params.h"
#include "base/runtime.h"
#include "base/trace.h"

namespace mero::base {
namespace {

// The stored constant: never the key itself, so that the key does not stand
// in the program as plain text. Character i (from 1) of the key is character
// i of this constant combined with i mod 15 by exclusive or.
constexpr char kStoredKey[12] = {'L' ^ 1, 'i' ^ 2, 'n' ^ 3, 'k' ^ 4,  'M' ^ 5,  'e' ^ 6,
                                 'r' ^ 7, 'o' ^ 8, '1' ^ 9, '3' ^ 10, '1' ^ 11, '\0'};

}  // namespace

std::string BuiltInLinkKey() {
  std::string key;
  for (int i = 1; i <= 11; ++i) key.push_back(static_cast<char>(kStoredKey[i - 1] ^ (i % 15)));
  return key;
}

const std::string& LinkKey() {
  Runtime& rt = Rt();
  if (rt.linkKey.empty()) {
    const std::string own = GetEnvVar("MERO_LINK_KEY");
    rt.linkKey = own.empty() ? BuiltInLinkKey() : own;
  }
  return rt.linkKey;
}

void InitBasu(int /*flag*/) {
  WriteDebug0("In InitBasu");
  Runtime& rt = Rt();
  if (rt.initDone) return;
  LinkKey();
  RefreshToday();
  rt.tempDir = GetEnvVar("TEMP");
  if (rt.tempDir.empty()) rt.tempDir = GetEnvVar("TMP");
  if (rt.tempDir.empty()) rt.tempDir = "/tmp";
  ProcessFormats() = FormatSettings::Greek();
  rt.defaultPeriodFrom = EncodeDate(1990, 1, 1);
  rt.defaultPeriodTo = EncodeDate(2040, 1, 1);
  rt.messTableExists = true;
  WriteDebug0("Before ParSLN");
  rt.paramListsExist = true;
  WriteDebug0("Before LoadTheNamedParameters");
  LoadTheNamedParameters();
  WriteDebug0("After LoadTheNamedParameters MyDEBUG=" + GetNamedParam("MYDEBUG"));
  rt.expImpOverride = GetNamedParam("EXPIMPDIR");
  DebugLogStart();
  DebugLog("START DEBUG LOGING ");
  DebugLog("InitBasu Px01 ");
  RegisterBaseMessages();
  DebugLog("InitBasu Px02 ");
  rt.initDone = true;
  DebugLog("END InitBasu");
}

}  // namespace mero::base
