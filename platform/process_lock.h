#pragma once
// A hold that one process at a time has on a purpose tied to a thing: a
// folder (a month folder, the working folder) or a file (the database). An
// flock on a lock file that lies with the thing, inside the folder or beside
// the file, whatever the environment's temporary folder is: every program
// on that thing meets the hold, by any path to it. The system drops it when
// its process dies, so a hold never outlives its program, however that
// ends; the holder removes the lock file when it lets go. Where no lock file
// can be made (a read-only or missing folder) there is no hold, and refusal()
// says so: nobody runs unheld.
#include <QByteArray>
#include <QString>

namespace platform {

// The lock file of a purpose's hold on thing: hidden, named so that no
// reader of the folder takes it for data (isHoldFileName).
QString holdFilePath(const QString &thing, const QString &purpose);
// Whether a name in a folder is a hold's lock file, which the program's own
// listing, clearing and reuse of a folder leave alone.
bool isHoldFileName(QStringView name);

class ProcessLock {
 public:
  // Tries to take the hold at once; never waits. thing is a folder (a path
  // ending in "/" is taken for one even when it does not exist) or a file.
  ProcessLock(const QString &thing, const QString &purpose);
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
