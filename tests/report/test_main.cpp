// Entry point of the report engine's tests: one application object for
// painting and fonts (offscreen platform); the engine's process-wide state put
// back before every test.
#include "report/core/FR_Class_Build.h"
#include "support/child_process.h"
#include "support/state_reset.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv) {
  // Test discovery runs the program without the test environment.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (vorik::test::isChildRun(argc, argv)) return vorik::test::runChildMode(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  vorik::test::resetBeforeEveryTest(report::frResetGlobals);
  return RUN_ALL_TESTS();
}
