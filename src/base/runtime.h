#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/date_time.h"

namespace mero::base {

// Today's date split the way the routines use it.
struct TodayRecord {
  TDateTime date = 0;
  int year = 0;
  int month = 0;
  int day = 0;
  int dayOfWeek = 0;  // 1 = Sunday
};

TodayRecord TodayRecordOf(TDateTime date);

// The process-wide state of the run-time services: one instance, with its
// load-time values until InitBasu fills it.
struct Runtime {
  std::string appDir;          // base directory of every client-side file
  std::string expImpOverride;  // EXPIMPDIR when set
  std::string tempDir;         // TEMP, else TMP
  TodayRecord today;
  int screenWidth = 1024;
  int screenHeight = 738;
  TDateTime defaultPeriodFrom = 0;
  TDateTime defaultPeriodTo = 0;
  int dateFmtMode = 0;
  int debugLevel = 0;
  std::string debugLogFileName;  // fixed at the first debug log write
  std::string printFileName = "Pout.prn";
  std::string reportHeaderTemplate = "!!509 ; !!502 ; !!503";
  std::string reportDateLabel;
  std::vector<std::string> paramNames;
  std::vector<std::string> paramValues;
  bool paramListsExist = false;
  std::vector<std::string> messNumbers;
  std::vector<std::string> messTexts;
  bool messTableExists = false;
  std::string linkKey;
  std::shared_ptr<std::vector<std::string>> debugWindowLines;  // target of DebugTrace
  bool initDone = false;
};

Runtime& Rt();

// Puts the state back to its load-time values (used by tests and by a fresh
// start in the same process).
void ResetRuntime();

// The directory the process started in, without a trailing separator.
std::string StartDirectory();

// Joins the application directory and a file name.
std::string AppFile(const std::string& name);

// Keeps memory the program frees for its own later use instead of returning
// it to the system. Touching fresh memory costs about 10 µs per 4 KiB page on
// the machines MERO runs on, so a list of 100,000 rows would otherwise pay
// tens of milliseconds each time its buffers are allocated anew. Programs
// call it once at start.
void KeepFreedMemory();

}  // namespace mero::base
