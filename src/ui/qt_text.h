#pragma once

#include <QString>
#include <string>

namespace mero::ui {

// The system's windows-1253 text as Qt shows it, and back; the only place
// where the two meet.
QString ToQString(const std::string& text);
std::string FromQString(const QString& text);

}  // namespace mero::ui
