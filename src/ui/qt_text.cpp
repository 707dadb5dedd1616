#include "ui/qt_text.h"

#include "base/encoding.h"

namespace mero::ui {

QString ToQString(const std::string& text) { return QString::fromStdString(base::Win1253ToUtf8(text)); }

std::string FromQString(const QString& text) { return base::Utf8ToWin1253(text.toStdString()); }

}  // namespace mero::ui
