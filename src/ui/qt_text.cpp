#include "ui/qt_text.h"

#include <array>

#include "base/encoding.h"

namespace mero::ui {

namespace {

// windows-1253 is one byte a character, each of them one UTF-16 unit: a
// grid's cells are converted through a table, straight into the QString.
std::array<char16_t, 256> BuildWin1253Table() {
  std::array<char16_t, 256> table{};
  for (int b = 0; b < 256; ++b) {
    const QString one = QString::fromStdString(base::Win1253ToUtf8(std::string(1, static_cast<char>(b))));
    table[static_cast<std::size_t>(b)] = one.size() == 1 ? one[0].unicode() : u'\uFFFD';
  }
  return table;
}

}  // namespace

QString ToQString(std::string_view text) {
  static const std::array<char16_t, 256> table = BuildWin1253Table();
  QString out(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
  char16_t* to = reinterpret_cast<char16_t*>(out.data());
  for (const char c : text) *to++ = table[static_cast<unsigned char>(c)];
  return out;
}

std::string FromQString(const QString& text) { return base::Utf8ToWin1253(text.toStdString()); }

}  // namespace mero::ui
