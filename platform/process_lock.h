#pragma once
// A hold that one process at a time has on a purpose tied to a file (the
// database file): an flock on a file in the temporary folder named after the
// purpose and the file's identity (device and inode, so every path to the
// file meets the same hold). The system drops it when its process dies, so a
// hold never outlives its program, however that ends.
#include <QString>

namespace platform {

class ProcessLock {
 public:
  // Tries to take the hold at once; never waits.
  ProcessLock(const QString &file, const QString &purpose);
  ~ProcessLock();
  ProcessLock(const ProcessLock &) = delete;
  ProcessLock &operator=(const ProcessLock &) = delete;

  // False while another process (or another hold in this one) has it.
  bool held() const { return held_; }

 private:
  int fd_ = -1;
  bool held_ = false;
};

}  // namespace platform
