#pragma once
// The second processes of the multi-process tests: this test program started
// again with "--child <mode> <arguments>" instead of running tests.
#include <QStringList>

namespace vorik::test {

// "entry <database>": one program instance entering tickets, driven by
// commands on standard input (tickets/TwoInstances_test.cpp).
int runEntryChild(const QStringList &args);

// "program <working folder>": the program itself, taken to an open dialog
// and message box (startup_test.cpp). Termination signals are blocked
// before the application object exists, as main() does.
int runProgramChild(const QStringList &args);

}  // namespace vorik::test
