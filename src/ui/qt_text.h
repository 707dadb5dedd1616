#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace mero::ui {

// The system's windows-1253 text as Qt shows it, and back; the only place
// where the two meet.
QString ToQString(std::string_view text);
inline QString ToQString(const std::string& text) { return ToQString(std::string_view(text)); }
inline QString ToQString(const char* text) { return ToQString(std::string_view(text)); }
std::string FromQString(const QString& text);

}  // namespace mero::ui
