#pragma once
// The outcome of file and lock work that can fail: a value, or a Failure
// that says why in the program's words. The one way platform/ reports such
// a failure to its callers (no flag beside a reason(), no out-parameter, no
// bare errno, no exception).
#include "platform/error_text.h"

#include <QString>

#include <cerrno>
#include <optional>
#include <utility>
#include <variant>

namespace platform {

// Why the work failed: the reason as the user reads it, and the system's
// error behind it (0 when a rule of the program refused, not the system).
class Failure {
 public:
  explicit Failure(QString reason, int error = 0) : reason_(std::move(reason)), error_(error) {}
  // The system's error, its reason from platform::systemErrorText (an error
  // of 0 is taken for EIO: the system failed without saying why).
  static Failure system(int error) { return Failure(systemErrorText(error ? error : EIO), error ? error : EIO); }

  const QString &reason() const { return reason_; }
  int error() const { return error_; }

 private:
  QString reason_;
  int error_;
};

// A value of T, or the Failure that kept it from being made. Test it as a
// bool; the value is read only when it is there, the failure only when not.
template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : v_(std::move(value)) {}
  Result(Failure failure) : v_(std::move(failure)) {}

  explicit operator bool() const { return v_.index() == 0; }
  const T &operator*() const & { return std::get<0>(v_); }
  T &&operator*() && { return std::get<0>(std::move(v_)); }
  const T *operator->() const { return &std::get<0>(v_); }
  const Failure &failure() const { return std::get<1>(v_); }
  // The failure's reason; empty when there is a value.
  QString reason() const { return *this ? QString() : failure().reason(); }
  // The failure's system error; 0 when there is a value or a rule refused.
  int error() const { return *this ? 0 : failure().error(); }

 private:
  std::variant<T, Failure> v_;
};

// Work that gives nothing back but can fail: converts to true when done.
template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Failure failure) : f_(std::move(failure)) {}

  explicit operator bool() const { return !f_; }
  const Failure &failure() const { return *f_; }
  QString reason() const { return f_ ? f_->reason() : QString(); }
  int error() const { return f_ ? f_->error() : 0; }

 private:
  std::optional<Failure> f_;
};

using Done = Result<void>;

}  // namespace platform
