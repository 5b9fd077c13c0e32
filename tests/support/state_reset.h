#pragma once
// Process-wide state put back before every test of a test program, so that
// its tests pass in any order (test.sh runs them shuffled) and each starts as
// it would alone in a new process.
#include <functional>

namespace vorik::test {

// Runs reset before each test starts, ahead of its fixture's construction and
// SetUp (after a suite's SetUpTestSuite). Call once from main, after
// InitGoogleTest.
void resetBeforeEveryTest(std::function<void()> reset);

}  // namespace vorik::test
