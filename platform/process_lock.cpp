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

Result<std::unique_ptr<ProcessLock>> ProcessLock::take(const QString &thing, const QString &purpose,
                                                       const QString &busy) {
  QByteArray name = QFile::encodeName(holdFilePath(thing, purpose));
  const auto refused = [&name](int error) {
    return Failure(QStringLiteral("Hiba! A(z) %1 zárolófájl nem hozható létre: %2. Zárolás nélkül a művelet nem "
                                  "indul el; kérem ellenőrizze, hogy a mappa létezik-e és írható-e.")
                       .arg(QFile::decodeName(name), systemErrorText(error)),
                   error);
  };
  // The holder removes the lock file when it lets go; one taken on a file
  // that its holder has just removed holds nothing, so it is taken again.
  for (int attempt = 0; attempt < 100; ++attempt) {
    const int fd = ::open(name.constData(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
    if (fd < 0) return refused(errno);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int error = errno;
      ::close(fd);
      return error == EWOULDBLOCK ? Failure(busy) : refused(error);
    }
    struct stat mine {}, named {};
    if (::fstat(fd, &mine) == 0 && ::stat(name.constData(), &named) == 0 && mine.st_dev == named.st_dev &&
        mine.st_ino == named.st_ino)
      return std::unique_ptr<ProcessLock>(new ProcessLock(std::move(name), fd));
    ::close(fd);
  }
  return refused(EAGAIN);
}

ProcessLock::~ProcessLock() {
  // Removed while still held: no other process holds a hold on it then.
  ::unlink(name_.constData());
  ::close(fd_);
}

}  // namespace platform
