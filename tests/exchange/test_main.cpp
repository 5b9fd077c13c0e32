// Entry point of the exchange module's tests: one application object for the
// dialogs that the tests drive (offscreen platform); the process-wide state
// put back before every test. The program also serves as the second process
// of the multi-process tests (support/child_process.h).
#include "support/child_process.h"
#include "support/data_fixture.h"
#include "support/state_reset.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv) {
  // Test discovery runs the program without the test environment.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (vorik::test::isChildRun(argc, argv)) return vorik::test::runChildMode(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  vorik::test::resetBeforeEveryTest(vorik::test::resetAppState);
  return RUN_ALL_TESTS();
}
