// Entry point of the exchange module's tests: one application object for the
// dialogs that the tests drive (offscreen platform); the process-wide state
// put back before every test. The program also serves as the second process
// of the multi-process tests (child_modes.h, returns/child_modes.h).
#include "child_modes.h"
#include "returns/child_modes.h"
#include "support/data_fixture.h"
#include "support/state_reset.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstring>

int main(int argc, char **argv) {
  // Test discovery runs the program without the test environment.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc >= 3 && std::strcmp(argv[1], "--child") == 0) {
    QStringList args;
    for (int i = 2; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    const QString mode = args.front();
    if (mode == QLatin1String("merge") || mode == QLatin1String("gather")) return vorik::test::runReturnsChild(args);
    return vorik::test::runExchangeChild(mode, args.mid(1));
  }
  ::testing::InitGoogleTest(&argc, argv);
  vorik::test::resetBeforeEveryTest(vorik::test::resetAppState);
  return RUN_ALL_TESTS();
}
