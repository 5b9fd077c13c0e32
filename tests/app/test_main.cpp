// Entry point of the register core's tests: one application object for the
// dialogs that the tests drive (offscreen platform). The program also serves
// as the second process of the multi-process tests (child_modes.h).
#include "app/Program.h"
#include "app/child_modes.h"
#include "support/data_fixture.h"
#include "support/state_reset.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstring>

int main(int argc, char **argv) {
  const bool child = argc >= 3 && std::strcmp(argv[1], "--child") == 0;
  if (child && std::strcmp(argv[2], "program") == 0) BlockTerminationSignals();
  // Test discovery runs the program without the test environment.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (child) {
    QStringList args;
    for (int i = 3; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    if (std::strcmp(argv[2], "program") == 0) return vorik::test::runProgramChild(args);
    if (std::strcmp(argv[2], "entry") == 0) return vorik::test::runEntryChild(args);
    return 1;
  }
  ::testing::InitGoogleTest(&argc, argv);
  vorik::test::resetBeforeEveryTest(vorik::test::resetAppState);
  return RUN_ALL_TESTS();
}
