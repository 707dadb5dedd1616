#include "link/client/client_upgrade.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "base/exception.h"

namespace mero::link {
namespace {

void WriteExecutable(const std::string& path, std::string_view bytes) {
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out) out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw base::Exception("Cannot write file " + path + ": " + std::strerror(errno));
  }
  std::error_code ec;
  std::filesystem::permissions(path,
                               std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                                   std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                                   std::filesystem::perms::others_exec,
                               ec);
  if (ec) throw base::Exception("Cannot write file " + path + ": " + ec.message());
}

}  // namespace

std::string ShellQuote(std::string_view text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'') {
      out += "'\\''";
    } else {
      out += c;
    }
  }
  out += '\'';
  return out;
}

TLinkClientUpgrade::TLinkClientUpgrade(std::string programFile, std::vector<std::string> args, std::string directory)
    : programFile_(std::move(programFile)), args_(std::move(args)), directory_(std::move(directory)) {}

std::string TLinkClientUpgrade::TempFilePath() const {
  return (std::filesystem::path(directory_) / kTempFile).string();
}
std::string TLinkClientUpgrade::ScriptPath() const {
  return (std::filesystem::path(directory_) / kScriptFile).string();
}

std::vector<std::string> TLinkClientUpgrade::ScriptLines() const {
  const std::string program = ShellQuote(programFile_);
  const std::string old = ShellQuote(programFile_ + ".OLD");
  std::string command = "exec " + program;
  for (const std::string& arg : args_) command += " " + ShellQuote(arg);
  return {
      "#!/bin/sh",
      "cd " + ShellQuote(directory_) + " || exit 1",
      "rm -f " + old,
      "tries=0",
      // The old program may still be busy; give it up to 30 seconds.
      "while [ ! -e " + old + " ] && [ $tries -lt 30 ]; do",
      "  mv -f " + program + " " + old + " 2>/dev/null || { tries=$((tries+1)); sleep 1; }",
      "done",
      "if [ ! -e " + old + " ]; then rm -f \"$0\"; exit 1; fi",
      "mv -f " + ShellQuote(kTempFile) + " " + program,
      "chmod +x " + program,
      "rm -f \"$0\"",
      command,
  };
}

void TLinkClientUpgrade::WriteFiles(std::string_view program, const std::vector<std::string>& scriptLines) const {
  WriteExecutable(TempFilePath(), program);
  std::string script;
  for (const std::string& line : scriptLines) script += line + "\n";
  WriteExecutable(ScriptPath(), script);
}

void TLinkClientUpgrade::StartScript() const {
  const QString script = QString::fromStdString(ScriptPath());
  if (!QProcess::startDetached(QStringLiteral("/bin/sh"), QStringList{script}, QString::fromStdString(directory_))) {
    throw base::Exception("Cannot start " + ScriptPath());
  }
}

}  // namespace mero::link
