// Entry point of the data access tests. The binary also serves as the second
// process of the multi-process tests: "--child <mode> ..." runs one database
// action and reports through its exit code and standard output.
#include "child_process.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cstring>

int main(int argc, char **argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--child") == 0) return vorik::test::runChild(argc, argv);
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
