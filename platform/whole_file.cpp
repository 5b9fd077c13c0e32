// Files written whole or not at all, and the temporaries they are made in.
#include "platform/whole_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

QString temporaryPrefix(const QFileInfo &target) {
  return QStringLiteral(".") + target.fileName() + QStringLiteral(".~");
}

}  // namespace

QString systemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

FileWriteError::FileWriteError(const QString &path, const QString &reason)
    : std::runtime_error(QStringLiteral("Cannot write the file \"%1\". %2").arg(path, reason).toStdString()),
      path_(path),
      reason_(reason) {}

void removeLeftTemporaries(const QString &target) {
  const QFileInfo info(target);
  const QString prefix = temporaryPrefix(info);
  const QDir dir = info.absoluteDir();
  for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
    if (!name.startsWith(prefix)) continue;
    const qsizetype dot = name.indexOf(u'.', prefix.size());
    bool ok = false;
    const qint64 pid =
        dot < 0 ? 0 : QStringView(name).mid(prefix.size(), dot - prefix.size()).toLongLong(&ok);
    if (!ok || pid <= 0) continue;
    // A live writer (this process included) keeps its file.
    if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
    QFile::remove(dir.filePath(name));
  }
}

int createTemporaryBeside(const QString &target, QString *name) {
  removeLeftTemporaries(target);
  const QFileInfo info(target);
  QByteArray pattern = QFile::encodeName(info.absolutePath() + QLatin1Char('/') + temporaryPrefix(info) +
                                         QString::number(::getpid()) + QStringLiteral(".XXXXXX"));
  const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd >= 0) *name = QFile::decodeName(pattern);
  return fd;
}

unsigned targetMode(const QString &target) {
  struct stat st {};
  if (::stat(QFile::encodeName(target).constData(), &st) == 0) return st.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

int renameNoReplace(const QString &from, const QString &to) {
  const QByteArray a = QFile::encodeName(from), b = QFile::encodeName(to);
  if (::renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return errno;
  // A file system without the flag: a hard link fails on an existing name.
  if (::link(a.constData(), b.constData()) != 0) return errno;
  ::unlink(a.constData());
  return 0;
}

WholeFile::WholeFile(QString path) : path_(std::move(path)) {}

WholeFile::~WholeFile() { cancel(); }

bool WholeFile::fail(const QString &reason) {
  if (reason_.isEmpty()) reason_ = reason;
  cancel();
  return false;
}

bool WholeFile::open() {
  cancel();
  reason_.clear();
  // A link is followed: the file it names is replaced, the link stays.
  const QFileInfo info(path_);
  target_ = info.isSymLink() ? info.symLinkTarget() : path_;
  const QFileInfo target(target_);
  if (target.isDir()) return fail(systemReason(EISDIR));
  // A read-only file is not replaced behind its owner's back.
  if (target.exists() && !target.isWritable()) return fail(systemReason(EACCES));
  const int fd = createTemporaryBeside(target_, &temp_);
  if (fd < 0) return fail(systemReason(errno));
  file_ = std::make_unique<QFile>();
  if (!file_->open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    return fail(file_->errorString());
  }
  return true;
}

QIODevice &WholeFile::device() {
  if (!file_) file_ = std::make_unique<QFile>();  // not open: every write fails
  return *file_;
}

bool WholeFile::write(const QByteArray &bytes) {
  if (!file_ || !file_->isOpen()) return fail(QStringLiteral("The file is not open."));
  if (file_->write(bytes) != bytes.size()) return fail(file_->errorString());
  return true;
}

bool WholeFile::commit() {
  if (!file_ || !file_->isOpen() || temp_.isEmpty()) return fail(QStringLiteral("The file is not open."));
  // Buffered bytes meet the disk here: a full disk fails the flush or the sync.
  if (file_->error() != QFileDevice::NoError) return fail(file_->errorString());
  if (!file_->flush()) return fail(file_->errorString());
  if (::fchmod(file_->handle(), static_cast<mode_t>(targetMode(target_))) != 0)
    return fail(systemReason(errno));
  if (::fsync(file_->handle()) != 0) return fail(systemReason(errno));
  file_->close();
  if (file_->error() != QFileDevice::NoError) return fail(file_->errorString());
  if (::rename(QFile::encodeName(temp_).constData(), QFile::encodeName(target_).constData()) != 0)
    return fail(systemReason(errno));
  temp_.clear();
  file_.reset();
  return true;
}

void WholeFile::cancel() {
  if (file_) file_->close();
  file_.reset();
  if (!temp_.isEmpty()) QFile::remove(temp_);
  temp_.clear();
}

void writeFileWhole(const QString &path, const QByteArray &bytes) {
  WholeFile f(path);
  if (!f.open() || !f.write(bytes) || !f.commit()) throw FileWriteError(path, f.reason());
}

}  // namespace platform
