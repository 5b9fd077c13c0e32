#include "db/error.h"

#include <algorithm>

namespace db {

namespace {
// Engine error codes of a lock or update conflict.
constexpr std::intptr_t kDeadlock = 335544336L;
constexpr std::intptr_t kLockConflict = 335544345L;
constexpr std::intptr_t kUpdateConflict = 335544451L;
}  // namespace

Error::Error(const QString &message, std::vector<std::intptr_t> codes)
    : std::runtime_error(message.toStdString()), message_(message), codes_(std::move(codes)) {}

bool Error::hasCode(std::intptr_t code) const {
  return std::find(codes_.begin(), codes_.end(), code) != codes_.end();
}

bool Error::isLockConflict() const {
  return hasCode(kDeadlock) || hasCode(kLockConflict) || hasCode(kUpdateConflict);
}

}  // namespace db
