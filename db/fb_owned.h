#pragma once
// The owner of one engine object. Needs only the engine's forward
// declarations: what it calls is resolved where it is used, in db/ sources
// that include the engine's interface.
#include <utility>

namespace db::fb {

// Owns one engine object and lets go of it once: reference-counted objects
// (attachments, transactions, statements, result sets, metadata) are
// released, disposable ones (status, parameter block builders) disposed of.
// An exception between getting an object and its last use cannot leak it.
// Move-only.
template <class T>
class Owned {
 public:
  Owned() = default;
  explicit Owned(T *p) noexcept : p_(p) {}
  Owned(const Owned &) = delete;
  Owned &operator=(const Owned &) = delete;
  Owned(Owned &&o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  Owned &operator=(Owned &&o) noexcept {
    if (this != &o) reset(std::exchange(o.p_, nullptr));
    return *this;
  }
  ~Owned() { reset(); }

  T *get() const noexcept { return p_; }
  T *operator->() const noexcept { return p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }

  // Lets go of the object held (if any) and takes p.
  void reset(T *p = nullptr) noexcept {
    T *old = std::exchange(p_, p);
    if (old) letGo(old);
  }

  // After the object's own ending call (close, free, commit, rollback,
  // detach, dropDatabase): one that succeeded has released the object
  // already, so the owner forgets it; after a failure the owner releases it,
  // and the status keeps the engine's error for check().
  template <class Status>
  void ended(const Status &st) noexcept {
    if (!st.failed()) p_ = nullptr;
    reset();
  }

 private:
  static void letGo(T *p) noexcept {
    if constexpr (requires { p->dispose(); })
      p->dispose();
    else
      p->release();
  }

  T *p_ = nullptr;
};

}  // namespace db::fb
