// Holds of one process at a time on a purpose tied to a file.
#include "platform/process_lock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

ProcessLock::ProcessLock(const QString &file, const QString &purpose) {
  struct stat st {};
  // A file that cannot be looked at (not there yet) is known by its path.
  const QString identity = ::stat(QFile::encodeName(file).constData(), &st) == 0
                               ? QStringLiteral("%1-%2")
                                     .arg(static_cast<qulonglong>(st.st_dev))
                                     .arg(static_cast<qulonglong>(st.st_ino))
                               : QString::number(qHash(QFileInfo(file).absoluteFilePath()));
  const QString name = QDir::tempPath() + QStringLiteral("/vorik-%1-%2.lock").arg(purpose, identity);
  fd_ = ::open(QFile::encodeName(name).constData(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd_ >= 0) held_ = ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
}

ProcessLock::~ProcessLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace platform
