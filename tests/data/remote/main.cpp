#include <gtest/gtest.h>

#include <QCoreApplication>

// The client socket delivers its notifications through the thread's event
// dispatcher.
int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
