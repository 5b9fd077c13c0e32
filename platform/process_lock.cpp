// Holds of one process at a time on a purpose tied to a folder or a file.
#include "platform/process_lock.h"

#include "platform/error_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

const QString kPrefix = QStringLiteral(".vorik-hold-"), kSuffix = QStringLiteral(".lock");

}  // namespace

QString holdFilePath(const QString &thing, const QString &purpose) {
  const QFileInfo info(thing);
  // Every path to the thing (links included) leads to one lock file.
  const QString path = info.exists() ? info.canonicalFilePath() : QDir::cleanPath(info.absoluteFilePath());
  if (info.isDir() || thing.endsWith(QLatin1Char('/')))
    return path + QLatin1Char('/') + kPrefix + purpose + kSuffix;
  // Cut so that the name stays within the file system's limit.
  const QFileInfo file(path);
  return file.path() + QLatin1Char('/') + kPrefix + purpose + QLatin1Char('-') + file.fileName().left(160) + kSuffix;
}

bool isHoldFileName(QStringView name) { return name.startsWith(kPrefix) && name.endsWith(kSuffix); }

ProcessLock::ProcessLock(const QString &thing, const QString &purpose)
    : name_(QFile::encodeName(holdFilePath(thing, purpose))) {
  // The holder removes the lock file when it lets go; one taken on a file
  // that its holder has just removed holds nothing, so it is taken again.
  for (int attempt = 0; attempt < 100; ++attempt) {
    fd_ = ::open(name_.constData(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
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
  return QStringLiteral("Hiba! A(z) %1 zárolófájl nem hozható létre: %2. Zárolás nélkül a művelet nem indul el; "
                        "kérem ellenőrizze, hogy a mappa létezik-e és írható-e.")
      .arg(QFile::decodeName(name_), systemErrorText(error_));
}

}  // namespace platform
