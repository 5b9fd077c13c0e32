// Entry point of the designer module's tests: one application object for the
// dialogs that the tests drive (offscreen platform); the engine's and the
// designer's process-wide state put back before every test.
#include "designer/FR_Desgn.h"
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
  // The engine's and the designer's process-wide state.
  vorik::test::resetBeforeEveryTest([] {
    report::frResetGlobals();
    designer::frResetDesignerGlobals();
  });
  return RUN_ALL_TESTS();
}
