#pragma once
// A folder on a file system that can be filled to its last byte: a small
// tmpfs mounted for the test (the superuser, or wherever mounts are allowed).
// Where no mount is allowed, a full disk is simulated: while filled, the
// process's file size limit is nothing, so every write past offset 0 fails
// ("File too large" instead of "No space left on device") and nothing else
// changes. Files written before fill() stay readable either way. The limit
// binds the whole process, the embedded database's writes included: a test
// that needs the database while the disk is full skips unless mounted().
#include <QString>

#include <sys/resource.h>

namespace vorik::test {

class FullDisk {
 public:
  // size: the mounted file system's size, as the mount takes it ("256k", "8m").
  explicit FullDisk(const char *size = "256k");
  ~FullDisk();
  FullDisk(const FullDisk &) = delete;
  FullDisk &operator=(const FullDisk &) = delete;

  QString path() const { return path_; }
  QString file(const QString &name) const { return path_ + QLatin1Char('/') + name; }
  // True when the folder is a real small file system (else simulated).
  bool mounted() const { return mounted_; }
  // Why a write fails while it is filled, as a message names it
  // (platform::systemErrorText): no space left, or the file too large.
  QString reason() const;

  // No room left from now on but about room bytes (whole pages on a mounted
  // file system; a file may grow to room bytes where it is simulated).
  void fill(long long room = 0);
  // Room again (the filling removed, or the size limit restored).
  void release();

 private:
  QString path_;
  bool mounted_ = false, filled_ = false;
  rlimit old_{};
  void (*oldHandler_)(int) = nullptr;
};

}  // namespace vorik::test
