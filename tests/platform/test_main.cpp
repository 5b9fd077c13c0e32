// Entry point of the platform tests. The application object sets the process
// locale from the environment, as the program does: conversions must not
// depend on it.
#include "support/child_process.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  if (vorik::test::isChildRun(argc, argv)) return vorik::test::runChildMode(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
