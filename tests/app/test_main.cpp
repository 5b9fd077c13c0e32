// Entry point of the register core's tests: one application object for the
// dialogs that the tests drive (offscreen platform). The program also serves
// as the second process of the multi-process tests (support/child_process.h).
#include "app/Program.h"
#include "support/child_process.h"
#include "support/data_fixture.h"
#include "support/state_reset.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv) {
  // A child may run the program itself: termination signals blocked before
  // any thread starts, as its main() does.
  if (vorik::test::isChildRun(argc, argv)) BlockTerminationSignals();
  // Test discovery runs the program without the test environment.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (vorik::test::isChildRun(argc, argv)) return vorik::test::runChildMode(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  vorik::test::resetBeforeEveryTest(vorik::test::resetAppState);
  return RUN_ALL_TESTS();
}
