#pragma once

#include <string>

namespace mero::base {

// Three trace channels, all off by default. The two files are switched on by
// the parameter file (OVDEBUG0, MYDEBUG); the debug window by the debug level.

// Early trace: one line appended to "DEBUG0.txt" in the current directory
// when OVDEBUG0 is "1".
void WriteDebug0(const std::string& text);
// Creates or empties the debug log file (when MYDEBUG is "1").
void DebugLogStart();
// Appends one line to the debug log file (when MYDEBUG is "1"); the line is on
// disk when the call returns.
void DebugLog(const std::string& text);
// Appends the text to the debug window's lines when the debug level is not 0
// and the window exists; returns the new line count, else 0.
int DebugTrace(const std::string& text);
// Creates the debug window's line list if needed and makes it the target of
// DebugTrace. The window that shows the lines registers itself through
// SetDebugWindowShower.
void ShowDebugWindow();
void SetDebugWindowShower(void (*show)());

// The file name of the debug log, fixed at its first use in the process.
const std::string& DebugLogFileName();

}  // namespace mero::base
