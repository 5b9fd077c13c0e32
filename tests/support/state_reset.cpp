#include "support/state_reset.h"

#include <gtest/gtest.h>

#include <utility>

namespace vorik::test {

namespace {

class StateReset : public ::testing::EmptyTestEventListener {
 public:
  explicit StateReset(std::function<void()> reset) : reset_(std::move(reset)) {}
  void OnTestStart(const ::testing::TestInfo &) override { reset_(); }

 private:
  std::function<void()> reset_;
};

}  // namespace

void resetBeforeEveryTest(std::function<void()> reset) {
  ::testing::UnitTest::GetInstance()->listeners().Append(new StateReset(std::move(reset)));
}

}  // namespace vorik::test
