#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "base/date_time.h"

namespace mero::base {

// Files, folders and the user's settings file of the run-time services.

// The folder for exports and imports: EXPIMPDIR when set, else "ExpImp" in
// the application directory; created (one level) when missing. Raises
// base::Exception "Δεν μπορεσα να δημιουργήσω τον κατάλογο : " + folder when
// it can be neither found nor created.
std::string ExpImpDir();
// The variable's value (at most 512 characters); empty when unset.
std::string GetEnvVar(std::string_view name);
// Removes one final path separator ('/' or '\').
std::string StripTrailingBackslash(std::string_view s);
// "UPRM_000.ini" in the application directory (the user number is 0 here).
std::string UserIniName();
bool UserIniHasSection(std::string_view section);
std::string UserIniReadSection(std::string_view section);
// Writes every NAME=VALUE line of text into the section and saves the file.
void UserIniWriteSection(std::string_view section, std::string_view text);

// The system's file error: raises base::Exception
// "Cannot write file <name>: <reason>".
[[noreturn]] void RaiseCannotWrite(const std::string& name, const std::string& reason);

// The modification time (seconds since the Unix epoch) that a local
// date-time gives a file. Dates outside the years 1980-2099, the empty date
// among them, give the zero time, which is the epoch itself.
std::time_t FileTimeOf(TDateTime localTime);

// Puts the bytes into the file at path with the modification time: written
// to a new file beside it (missing folders are made) and renamed over it, so
// that a failure at any step leaves the old file as it was and no temporary
// behind. A failure raises RaiseCannotWrite(name, reason).
void ReplaceFile(const std::string& path, std::string_view bytes, std::time_t modified, const std::string& name);

// String values that the user's own settings keep between runs (the last user
// name, for one): the section "TALV" of "registry.ini" in the user's
// configuration folder ($XDG_CONFIG_HOME/mero, else ~/.config/mero).
std::string RegistryFileName();
std::string RegReadStr(std::string_view name, std::string_view defaultValue);
void RegWriteStr(std::string_view name, std::string_view value);

}  // namespace mero::base
