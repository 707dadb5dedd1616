#pragma once

// With MERO_SCREENSHOTS=DIR set, the tests of the windows save a picture of
// every window and dialog they show into DIR (NAME.png), so that the
// documentation shows the windows as they are.

#include <QDir>
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <string>

namespace mero::test {

inline void Screenshot(QWidget* window, const std::string& name) {
  const QByteArray dir = qgetenv("MERO_SCREENSHOTS");
  if (dir.isEmpty() || window == nullptr) return;
  QDir().mkpath(QString::fromLocal8Bit(dir));
  window->grab().save(QString::fromLocal8Bit(dir) + "/" + QString::fromStdString(name) + ".png");
}

}  // namespace mero::test
