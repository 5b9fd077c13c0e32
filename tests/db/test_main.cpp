// Entry point of the data access tests. The binary also serves as the second
// process of the multi-process tests (support/child_process.h).
#include "support/child_process.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  if (vorik::test::isChildRun(argc, argv)) return vorik::test::runChildMode(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
