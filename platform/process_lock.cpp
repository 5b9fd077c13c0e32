// Holds of one process at a time on a purpose tied to a file.
#include "platform/process_lock.h"

#include "platform/error_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <cerrno>

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
  name_ = QFile::encodeName(QDir::tempPath() + QStringLiteral("/vorik-%1-%2.lock").arg(purpose, identity));
  // The holder removes the lock file when it lets go; one taken on a file
  // that its holder has just removed holds nothing, so it is taken again.
  for (int attempt = 0; attempt < 100; ++attempt) {
    fd_ = ::open(name_.constData(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0) {
      error_ = errno;
      return;
    }
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
      if (errno != EWOULDBLOCK) error_ = errno;
      return;
    }
    struct stat mine {}, named {};
    if (::fstat(fd_, &mine) == 0 && ::stat(name_.constData(), &named) == 0 && mine.st_dev == named.st_dev &&
        mine.st_ino == named.st_ino) {
      held_ = true;
      return;
    }
    ::close(fd_);
    fd_ = -1;
  }
  error_ = EAGAIN;
}

ProcessLock::~ProcessLock() {
  // Removed while still held: no other process holds a hold on it then.
  if (held_) ::unlink(name_.constData());
  if (fd_ >= 0) ::close(fd_);
}

QString ProcessLock::refusal(const QString &busy) const {
  if (held_) return QString();
  if (error_ == 0) return busy;
  return QStringLiteral("Hiba! A(z) %1 zárolófájl nem nyitható meg: %2.")
      .arg(QFile::decodeName(name_), systemErrorText(error_));
}

}  // namespace platform
