#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mero::link {

// A new version of the program sent by the server: written beside the
// running one and swapped in by a restart script that runs after the
// program has ended.
class TLinkClientUpgrade {
 public:
  static constexpr const char* kTempFile = "TempFile.exe";
  static constexpr const char* kScriptFile = "ReStart.sh";

  // programFile: the running program (full path); args: its arguments;
  // directory: where TempFile.exe and the script are written.
  TLinkClientUpgrade(std::string programFile, std::vector<std::string> args, std::string directory);

  // The lines of the restart script: take the old program aside as
  // <name>.OLD (retrying while it is still busy, at most 30 times a second
  // apart), move TempFile.exe into its place, start it with the same
  // arguments, delete the script.
  std::vector<std::string> ScriptLines() const;
  // Writes the program to TempFile.exe and the lines to the script (both
  // executable); raises base::Exception "Cannot write file <name>: <reason>".
  void WriteFiles(std::string_view program, const std::vector<std::string>& scriptLines) const;
  // Starts the script detached from this process; raises base::Exception
  // "Cannot start <script>" when it cannot.
  void StartScript() const;

  std::string TempFilePath() const;
  std::string ScriptPath() const;

 private:
  std::string programFile_;
  std::vector<std::string> args_;
  std::string directory_;
};

// A text quoted for the POSIX shell.
std::string ShellQuote(std::string_view text);

}  // namespace mero::link
