// The main of every test program that runs on Qt. The client socket delivers
// its notifications through the thread's event dispatcher, so the application
// object exists before the first test. Built twice: with MERO_TEST_WIDGETS a
// QApplication for the tests of the windows, else a QCoreApplication, so that
// the programs below the windows never link Qt Widgets. The windows run in
// the program's own application, whose events are delivered under the edge
// that shows what an action raised.

#include <gtest/gtest.h>

#ifdef MERO_TEST_WIDGETS
#include "ui/event_guard.h"
using TestApplication = mero::ui::GuardedApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv) {
#ifdef MERO_TEST_WIDGETS
  // CTest lists the tests by running the program without the tests'
  // environment, and a developer may run it on a machine without a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
  TestApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
