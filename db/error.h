#pragma once
// The one exception type of the data access layer. Errors raised by the
// database carry the engine's formatted message text and its error codes.
#include <QString>

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace db {

class Error : public std::runtime_error {
 public:
  explicit Error(const QString &message, std::vector<std::intptr_t> codes = {});

  QString message() const { return message_; }
  // The engine's error codes in the order of the status vector (empty for
  // errors raised by this layer itself).
  const std::vector<std::intptr_t> &codes() const { return codes_; }
  bool hasCode(std::intptr_t code) const;
  // True when the failure is a lock or update conflict with another
  // transaction (under "nowait" it is raised at once).
  bool isLockConflict() const;

 private:
  QString message_;
  std::vector<std::intptr_t> codes_;
};

}  // namespace db
