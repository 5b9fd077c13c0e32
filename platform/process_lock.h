#pragma once
// A hold that one process at a time has on a purpose tied to a file (the
// database file): an flock on a file in the temporary folder named after the
// purpose and the file's identity (device and inode, so every path to the
// file meets the same hold). The system drops it when its process dies, so a
// hold never outlives its program, however that ends; the holder removes
// the lock file when it lets go.
#include <QByteArray>
#include <QString>

namespace platform {

class ProcessLock {
 public:
  // Tries to take the hold at once; never waits.
  ProcessLock(const QString &file, const QString &purpose);
  ~ProcessLock();
  ProcessLock(const ProcessLock &) = delete;
  ProcessLock &operator=(const ProcessLock &) = delete;

  // False while another process (or another hold in this one) has it, or
  // when the lock file could not be opened (error() then says why).
  bool held() const { return held_; }
  // The errno of a lock file that could not be opened or locked; 0 when the
  // hold was taken or another has it.
  int error() const { return error_; }
  // Empty when held; busy while another has it; else a message naming the
  // lock file and the system's reason.
  QString refusal(const QString &busy) const;

 private:
  QByteArray name_;
  int fd_ = -1, error_ = 0;
  bool held_ = false;
};

}  // namespace platform
