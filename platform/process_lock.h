#pragma once
// A hold that one process at a time has on a purpose tied to a thing: a
// folder (a month folder, the working folder) or a file (the database). An
// flock on a lock file that lies with the thing, inside the folder or beside
// the file, whatever the environment's temporary folder is: every program
// on that thing meets the hold, by any path to it. The system drops it when
// its process dies, so a hold never outlives its program, however that
// ends; the holder removes the lock file when it lets go. Where no lock file
// can be made (a read-only or missing folder) there is no hold, and the
// Failure says so: nobody runs unheld.
#include "platform/result.h"

#include <QByteArray>
#include <QString>

#include <memory>

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
  // The hold, or a Failure: busy (error 0) while another process (or another
  // hold in this one) has it; else a message naming the lock file that could
  // not be opened or locked, with the system's error.
  static Result<std::unique_ptr<ProcessLock>> take(const QString &thing, const QString &purpose,
                                                   const QString &busy = QString());
  ~ProcessLock();
  ProcessLock(const ProcessLock &) = delete;
  ProcessLock &operator=(const ProcessLock &) = delete;

 private:
  ProcessLock(QByteArray name, int fd) : name_(std::move(name)), fd_(fd) {}

  QByteArray name_;
  int fd_;
};

}  // namespace platform
