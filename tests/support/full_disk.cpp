// A folder on a file system without room: a mounted tmpfs, or a simulation.
#include "support/full_disk.h"

#include "platform/error_text.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace vorik::test {

namespace {

constexpr const char *kFiller = ".filler";

// Appends chunks of the given size until the file system refuses one.
void fillWith(int fd, std::size_t size) {
  static const char zeros[4096] = {};
  while (::write(fd, zeros, size) == static_cast<ssize_t>(size)) {
  }
}

}  // namespace

FullDisk::FullDisk(const char *size) {
  QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/vorik-full-XXXXXX"));
  dir.setAutoRemove(false);
  path_ = dir.path();
  mounted_ = ::mount("tmpfs", QFile::encodeName(path_).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                     (QByteArray("size=") + size + ",mode=0755").constData()) == 0;
}

FullDisk::~FullDisk() {
  release();
  if (mounted_) ::umount2(QFile::encodeName(path_).constData(), MNT_DETACH);
  QDir(path_).removeRecursively();
}

void FullDisk::fill(long long room) {
  if (filled_) return;
  filled_ = true;
  if (mounted_) {
    const int fd = ::open(QFile::encodeName(file(QLatin1String(kFiller))).constData(),
                          O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) return;
    fillWith(fd, 4096);
    fillWith(fd, 1);
    if (room > 0) {
      const off_t size = ::lseek(fd, 0, SEEK_END);
      const off_t pages = (room + 4095) / 4096 * 4096;
      if (::ftruncate(fd, size > pages ? size - pages : 0) != 0) room = 0;
    }
    ::close(fd);
    return;
  }
  oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
  ::getrlimit(RLIMIT_FSIZE, &old_);
  rlimit none = old_;
  none.rlim_cur = static_cast<rlim_t>(room);
  ::setrlimit(RLIMIT_FSIZE, &none);
}

void FullDisk::release() {
  if (!filled_) return;
  filled_ = false;
  if (mounted_) {
    QFile::remove(file(QLatin1String(kFiller)));
    return;
  }
  ::setrlimit(RLIMIT_FSIZE, &old_);
  std::signal(SIGXFSZ, oldHandler_);
}

QString FullDisk::reason() const { return platform::systemErrorText(mounted_ ? ENOSPC : EFBIG); }

}  // namespace vorik::test
