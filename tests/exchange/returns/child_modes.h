#pragma once
// The second processes of the return tests: this test program started again
// with "--child <mode> <arguments>" instead of running tests, killing itself
// at a chosen step of a merge or a gather (Interrupted_test.cpp).
#include <QStringList>

namespace vorik::test {

// "merge <drive C> <drive E> <working folder> <step> <pair names...>" and
// "gather <database> <drive C> <step>": the process is killed (SIGKILL)
// right after that many files have been written, renamed or deleted.
int runReturnsChild(const QStringList &args);

}  // namespace vorik::test
