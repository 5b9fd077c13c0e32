// Files written whole or not at all, and the temporaries they are made in.
#include "platform/whole_file.h"

#include "platform/error_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <functional>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// A file name holds at most this many bytes; the temporary's adds the dot,
// ".~", a process id of up to ten digits, a dot and six characters.
constexpr qsizetype kNameMax = NAME_MAX;
constexpr qsizetype kTemporaryExtra = 1 + 2 + 10 + 1 + 6;

// "." + the target's name, cut (whole characters) so that the temporary's
// name stays within the limit, + ".~".
QString temporaryPrefix(const QFileInfo &target) {
  QString name = target.fileName();
  while (!name.isEmpty() && QFile::encodeName(name).size() > kNameMax - kTemporaryExtra) {
    name.chop(1);
    if (!name.isEmpty() && name.back().isHighSurrogate()) name.chop(1);
  }
  return QStringLiteral(".") + name + QStringLiteral(".~");
}

}  // namespace

FileWriteError::FileWriteError(const QString &path, const QString &reason)
    : std::runtime_error(QStringLiteral("Cannot write the file \"%1\". %2").arg(path, reason).toStdString()),
      path_(path),
      reason_(reason) {}

namespace {

// Removes the temporaries in folder whose name starts with prefix, whose
// writing process no longer runs and whose target's name (as the temporary's
// name carries it) is taken. The folder is read as it comes, only names with
// the prefix made into texts: a writer of thousands of new files in one
// folder reads it once for each.
void removeLeft(const QString &folder, const QByteArray &prefix, const std::function<bool(QStringView target)> &take) {
  DIR *dir = ::opendir(QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : folder).constData());
  if (dir == nullptr) return;
  QStringList left;
  while (const dirent *entry = ::readdir(dir)) {
    if (std::strncmp(entry->d_name, prefix.constData(), static_cast<size_t>(prefix.size())) != 0) continue;
    const QString name = QFile::decodeName(entry->d_name);
    const qsizetype mark = name.lastIndexOf(QStringLiteral(".~"));
    if (!name.startsWith(u'.') || mark < 1) continue;
    const qsizetype dot = name.indexOf(u'.', mark + 2);
    bool ok = false;
    const qint64 pid = dot < 0 || name.size() - dot != 7 ? 0 : QStringView(name).mid(mark + 2, dot - mark - 2).toLongLong(&ok);
    if (!ok || pid <= 0 || !take(QStringView(name).mid(1, mark - 1))) continue;
    // A live writer (this process included) keeps its file.
    if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
    left << name;
  }
  ::closedir(dir);
  const QDir d(folder);
  for (const QString &name : left) {
    // Files only (a link, too), as they were written.
    struct stat st {};
    const QByteArray path = QFile::encodeName(d.filePath(name));
    if (::lstat(path.constData(), &st) == 0 && !S_ISDIR(st.st_mode)) ::unlink(path.constData());
  }
}

}  // namespace

void removeLeftTemporaries(const QString &target) {
  const QFileInfo info(target);
  const QString prefix = temporaryPrefix(info);
  const QStringView name = QStringView(prefix).mid(1, prefix.size() - 3);
  removeLeft(info.absolutePath(), QFile::encodeName(prefix), [name](QStringView target) { return target == name; });
}

void removeLeftTemporariesIn(const QString &folder, const std::function<bool(QStringView target)> &take) {
  removeLeft(folder, QByteArrayLiteral("."), take);
}

std::optional<QByteArray> readFileWhole(const QString &path, QString *reason, qint64 limit) {
  const auto refused = [reason](const QString &why) -> std::optional<QByteArray> {
    if (reason != nullptr) *reason = why;
    return std::nullopt;
  };
  // Only a regular file is read: opening a FIFO would wait for a writer for
  // good, a device may act on being opened or never end.
  const auto refusal = [limit](const struct stat &st) {
    if (S_ISDIR(st.st_mode)) return systemErrorText(EISDIR);
    if (!S_ISREG(st.st_mode)) return QStringLiteral("nem közönséges fájl, hanem csővezeték, eszköz vagy foglalat");
    return st.st_size > limit ? systemErrorText(EFBIG) : QString();
  };
  const QByteArray name = QFile::encodeName(path);
  struct stat st {};
  if (::stat(name.constData(), &st) != 0) return refused(systemErrorText(errno));
  if (const QString why = refusal(st); !why.isEmpty()) return refused(why);
  // Non-blocking, so that a file swapped for a FIFO meanwhile does not wait
  // either; what was opened is looked at again.
  const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return refused(systemErrorText(errno));
  const auto closeRefused = [&](const QString &why) {
    ::close(fd);
    return refused(why);
  };
  if (::fstat(fd, &st) != 0) return closeRefused(systemErrorText(errno));
  if (const QString why = refusal(st); !why.isEmpty()) return closeRefused(why);
  QByteArray bytes;
  char buffer[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return closeRefused(systemErrorText(errno));
    if (n == 0) break;
    // A file that grows while it is read (or tells no size) stops at the limit too.
    if (bytes.size() + n > limit) return closeRefused(systemErrorText(EFBIG));
    bytes.append(buffer, static_cast<qsizetype>(n));
  }
  ::close(fd);
  return bytes;
}

namespace {

// The temporary alone, without looking for those of dead writers.
int createTemporary(const QString &target, QString *name) {
  QByteArray pattern = QFile::encodeName(temporaryPath(target) + QStringLiteral("XXXXXX"));
  const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd >= 0) *name = QFile::decodeName(pattern);
  return fd;
}

}  // namespace

int createTemporaryBeside(const QString &target, QString *name) {
  removeLeftTemporaries(target);
  return createTemporary(target, name);
}

// A record lock of any kind, or an exclusive whole-file lock.
bool lockedByOther(const QString &path) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct flock probe {};
  probe.l_type = F_WRLCK;
  probe.l_whence = SEEK_SET;
  bool locked = ::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
  if (!locked) {
    if (::flock(fd, LOCK_SH | LOCK_NB) != 0)
      locked = errno == EWOULDBLOCK;
    else
      ::flock(fd, LOCK_UN);
  }
  ::close(fd);
  return locked;
}

QString replaceRefusal(const QString &path) {
  const QFileInfo info(path);
  if (!info.exists() && !info.isSymLink()) return QString();
  if (!info.isFile()) return systemErrorText(EISDIR);
  if (!(info.permissions() & QFileDevice::WriteOwner)) return QStringLiteral("csak olvasható fájl");
  if (lockedByOther(path)) return systemErrorText(EBUSY);
  return QString();
}

QString temporaryPath(const QString &target) {
  const QFileInfo info(target);
  return info.absolutePath() + QLatin1Char('/') + temporaryPrefix(info) + QString::number(::getpid()) +
         QLatin1Char('.');
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

WholeFile::WholeFile(QString path, Sync sync, Replace replace)
    : path_(std::move(path)), sync_(sync), replace_(replace) {}

WholeFile::~WholeFile() { cancel(); }

bool WholeFile::failErrno(int error) {
  if (error == 0) error = EIO;
  if (error_ == 0) error_ = error;
  return fail(systemErrorText(error));
}

bool WholeFile::fail(const QString &reason) {
  if (reason_.isEmpty()) reason_ = reason;
  cancel();
  return false;
}

bool WholeFile::open() {
  cancel();
  reason_.clear();
  error_ = 0;
  // Nothing at path (the usual case of a writer of many new files): one look
  // instead of the several the checks below make.
  struct stat st {};
  if (::lstat(QFile::encodeName(path_).constData(), &st) != 0 && errno == ENOENT) {
    target_ = path_;
  } else {
    // A link is followed: the file it names is replaced, the link stays.
    const QFileInfo info(path_);
    target_ = info.isSymLink() ? info.symLinkTarget() : path_;
    // A folder, a read-only file or one another program holds is not replaced
    // behind its owner's back.
    if (replace_ == Replace::Never && (info.exists() || info.isSymLink())) return failErrno(EEXIST);
    if (const QString refusal = replaceRefusal(target_); !refusal.isEmpty()) return fail(refusal);
  }
  // A caller that syncs a folder's many files has removed its left
  // temporaries once for all of them.
  const int fd = sync_ == Sync::ByCaller ? createTemporary(target_, &temp_) : createTemporaryBeside(target_, &temp_);
  if (fd < 0) return failErrno(errno);
  file_ = std::make_unique<QFile>();
  if (!file_->open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    return failErrno(EIO);
  }
  return true;
}

int WholeFile::handle() const { return file_ && file_->isOpen() ? file_->handle() : -1; }

QIODevice &WholeFile::device() {
  if (!file_) file_ = std::make_unique<QFile>();  // not open: every write fails
  return *file_;
}

bool WholeFile::write(const QByteArray &bytes) {
  if (!file_ || !file_->isOpen()) return failErrno(EBADF);
  errno = 0;
  if (file_->write(bytes) != bytes.size()) return failErrno(errno);
  return true;
}

std::function<void(const QString &target)> beforeWholeFileRename;

bool WholeFile::commit() {
  if (!file_ || !file_->isOpen() || temp_.isEmpty()) return failErrno(EBADF);
  // Buffered bytes meet the disk here: a full disk fails the flush or the sync.
  errno = 0;
  if (file_->error() != QFileDevice::NoError) return failErrno(EIO);
  if (!file_->flush()) return failErrno(errno);
  const mode_t mode = static_cast<mode_t>(mode_ >= 0 ? unsigned(mode_) : targetMode(target_));
  if (::fchmod(file_->handle(), mode) != 0) return failErrno(errno);
  if (sync_ == Sync::Each && ::fsync(file_->handle()) != 0) return failErrno(errno);
  errno = 0;
  file_->close();
  if (file_->error() != QFileDevice::NoError) return failErrno(errno);
  if (beforeWholeFileRename) beforeWholeFileRename(target_);
  if (replace_ == Replace::Never) {
    if (const int error = renameNoReplace(temp_, target_)) return failErrno(error);
  } else if (::rename(QFile::encodeName(temp_).constData(), QFile::encodeName(target_).constData()) != 0) {
    return failErrno(errno);
  }
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
