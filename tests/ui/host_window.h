#pragma once

// A small active window holding the controls under test, as a form would.

#include <gtest/gtest.h>

#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <initializer_list>

namespace mero::test {

class HostWindow : public QWidget {
 public:
  HostWindow(const char* title, std::initializer_list<QWidget*> controls) {
    auto* layout = new QVBoxLayout(this);
    for (QWidget* control : controls) layout->addWidget(control);
    setWindowTitle(title);
    show();
    activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(this));
  }
};

}  // namespace mero::test
