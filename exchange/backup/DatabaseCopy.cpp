#include "exchange/backup/DatabaseCopy.h"

#include "db/connection.h"
#include "db/dataset.h"
#include "db/schema.h"
#include "db/transaction.h"
#include "exchange/logging.h"
#include "platform/error_text.h"
#include "platform/process_lock.h"
#include "platform/whole_file.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace backup {

namespace {

// The header page of the on-disk structure: page type 1 at offset 0, the
// page size at 16, the structure version at 18 and the flags at 42 (little
// endian). Two bits of the flags hold the backup state: 0 normal, 0x400
// locked (changes go to the side file), 0x800 merging.
constexpr std::size_t kHeaderBytes = 44;
constexpr unsigned char kHeaderPageType = 1;
constexpr std::size_t kFlagsOffset = 42;
constexpr std::uint16_t kBackupMask = 0x0C00;

QString SystemReason(int error) {
  switch (platform::systemErrorKind(error)) {
    case platform::SystemErrorKind::Exists:
      return QStringLiteral("A \"Hová\" -ban megadott fálj már létezik.");
    case platform::SystemErrorKind::Missing:
      return QStringLiteral("A \"Hová\" -ban megadott könyvtár nem létezik.");
    case platform::SystemErrorKind::NoAccess:
    case platform::SystemErrorKind::ReadOnlyDisk:
      return QStringLiteral("A \"Hová\" -ban megadott könyvtárba nem lehet írni.");
    default:
      return QStringLiteral("A mentés nem sikerült: %1.").arg(platform::systemErrorText(error));
  }
}

// The open descriptor of a file; closes it when it goes.
struct Fd {
  int fd = -1;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

// Copies everything from in to out: in-kernel where the file systems allow
// it, through a buffer otherwise. Returns 0 or the errno of the failure.
int CopyBytes(int in, int out) {
  bool kernel = true;
  for (;;) {
    if (kernel) {
      ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
      if (n > 0) continue;
      if (n == 0) return 0;
      if (errno == EINTR) continue;
      if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return errno;
      kernel = false;
    }
    static thread_local char buffer[1 << 20];
    ssize_t n = ::read(in, buffer, sizeof buffer);
    if (n == 0) return 0;
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    for (ssize_t done = 0; done < n;) {
      ssize_t w = ::write(out, buffer + done, static_cast<size_t>(n - done));
      if (w < 0) {
        if (errno == EINTR) continue;
        return errno;
      }
      done += w;
    }
  }
}

// Clears the backup state in the header of the copy at fd.
void ClearBackupState(int fd) {
  unsigned char header[kHeaderBytes];
  if (::pread(fd, header, sizeof header, 0) != static_cast<ssize_t>(sizeof header) ||
      header[0] != kHeaderPageType)
    throw CopyError(QStringLiteral("A \"Honnan\" -ban megadott fálj nem adatbázis."));
  std::uint16_t flags = static_cast<std::uint16_t>(header[kFlagsOffset] | header[kFlagsOffset + 1] << 8);
  if ((flags & kBackupMask) == 0) return;
  flags = static_cast<std::uint16_t>(flags & ~kBackupMask);
  unsigned char bytes[2] = {static_cast<unsigned char>(flags & 0xFF), static_cast<unsigned char>(flags >> 8)};
  if (::pwrite(fd, bytes, sizeof bytes, kFlagsOffset) != static_cast<ssize_t>(sizeof bytes))
    throw CopyError(SystemReason(errno));
}

// Room the engine needs beside the database while its backup lock lasts, in
// database pages: it writes three pages into the side file as the lock
// begins (and leaves the lock half-begun, with no way to end it, when it
// cannot), then a page for each page changed during the copy, and the end
// of the lock may grow the main file by the pages added meanwhile.
constexpr qint64 kLockRoomPages = 16;

// Refuses the copy before the lock when the disk of the database at path
// lacks room for the side file.
void RequireRoomForLock(const QString &path) {
  unsigned char header[kHeaderBytes];
  Fd db;
  db.fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
  if (db.fd < 0 || ::pread(db.fd, header, sizeof header, 0) != static_cast<ssize_t>(sizeof header))
    throw CopyError(QStringLiteral("A \"Honnan\" -ban megadott fálj nem olvasható."));
  const qint64 pageSize = std::max(header[16] | header[17] << 8, 4096);
  struct statvfs fs {};
  if (::fstatvfs(db.fd, &fs) != 0) return;  // no figures: the engine's own error decides
  const qint64 room = static_cast<qint64>(fs.f_bavail) * static_cast<qint64>(fs.f_frsize);
  const qint64 needed = kLockRoomPages * pageSize;
  if (room >= needed) return;
  qCWarning(lcExchange).noquote() << "backup refused:" << room << "bytes free beside" << path << "of" << needed;
  throw CopyError(QStringLiteral("Nincs elég szabad hely azon a lemezen, ahol az adatbázis van: a mentés "
                                 "idejére legalább %1 KB kell mellette, és csak %2 KB van. Kérem szabadítson "
                                 "fel helyet azon a lemezen, és próbálja újra.")
                      .arg(needed / 1024)
                      .arg(room / 1024));
}

// Held by whoever copies a database file (this process or another instance)
// for as long as the engine's backup lock is theirs. A backup lock found while
// this is free was left by a copier that died.
const QString kCopier = QString::fromLatin1(db::kBackupCopier);

// The backup lock on one database through an attachment of its own, taken
// afresh; ended by end(), or when this goes. A lock that no live copier holds
// was left by a killed run or half begun: it is ended first (the engine
// merges its side file), so the copy holds the database as it is now. The
// lock is begun only with room for its side file beside the database, and
// every end is checked: a lock that cannot be ended is reported with what
// the user must do, never passed over.
class BackupLock {
 public:
  explicit BackupLock(const QString &path) : path_(path) {
    auto copier = platform::ProcessLock::take(path, kCopier,
                                              QStringLiteral("Az adatbázis mentése éppen folyik, kérem próbálja újra."));
    if (!copier) throw CopyError(copier.reason());
    copier_ = *std::move(copier);
    Attach(path);
    locked_ = true;
    end();
    RequireRoomForLock(path);
    try {
      Execute(QStringLiteral("ALTER DATABASE BEGIN BACKUP"));
      locked_ = true;
    } catch (const std::exception &) {
      // Failed half-way, it may have left the lock on: ended here, or the
      // user told.
      platform::logCaught(lcExchange(), QStringLiteral("BEGIN BACKUP"));
      locked_ = true;
      end();
      throw CopyError(QStringLiteral("Az adatbázis mentése nem kezdhető el (az adatbázis motorja nem tudott "
                                     "írni mellette). Kérem ellenőrizze, van-e szabad hely azon a lemezen, "
                                     "ahol az adatbázis van, és próbálja újra."));
    }
  }
  ~BackupLock() {
    if (locked_) {
      try {
        end();
      } catch (const std::exception &) {
        platform::logCaught(lcExchange(), QStringLiteral("END BACKUP"));
      }
    }
    try {
      connection_.close();
    } catch (const std::exception &) {
      platform::logCaught(lcExchange(), QStringLiteral("closing the copied database"));
    }
  }

  // Ends the lock and checks that it ended; CopyError saying the state the
  // database is left in and what to do when it did not.
  void end() {
    if (!locked_) return;
    locked_ = false;
    try {
      if (transaction_.active()) transaction_.rollback();
      db::endBackupLock(transaction_);
    } catch (const std::exception &) {
      platform::logCaught(lcExchange(), QStringLiteral("END BACKUP"));
      throw CopyError(db::backupLockLeftText(path_));
    }
  }

  // Ends a lock left by a killed copier, when no live copier holds one.
  static void EndLeftOver(const QString &path) {
    BackupLock lock;
    lock.path_ = path;
    lock.Attach(path);
    try {
      db::endLeftOverBackupLock(lock.connection_);
    } catch (const std::exception &) {
      platform::logCaught(lcExchange(), QStringLiteral("ending a left-over backup lock"));
      throw CopyError(db::backupLockLeftText(path));
    }
  }

 private:
  BackupLock() = default;
  void Attach(const QString &path) {
    connection_.setDatabaseName(path);
    connection_.setParams(db::defaultConnectionParams());
    transaction_.setConnection(&connection_);
    transaction_.setParams({QStringLiteral("read_committed"), QStringLiteral("rec_version"), QStringLiteral("nowait")});
    try {
      connection_.open();
    } catch (const std::exception &) {
      platform::logCaught(lcExchange(), path);
      // Locked by a backup whose side file cannot be written: the engine
      // cannot open it until there is room.
      if (db::fileBackupLocked(path)) throw CopyError(db::backupLockLeftText(path));
      throw CopyError(QStringLiteral("A \"Honnan\" -ban megadott fálj nem nyitható meg adatbázisként."));
    }
  }
  void Execute(const QString &sql) {
    db::Query q;
    q.setTransaction(&transaction_);
    q.sql().add(sql);
    q.execute();
    transaction_.commit();
  }

  QString path_;
  std::unique_ptr<platform::ProcessLock> copier_;
  db::Connection connection_;
  db::Transaction transaction_;
  bool locked_ = false;
};

}  // namespace

namespace {

void CopyLocked(const QString &source, const QString &target) {
  if (!QFileInfo(QFileInfo(target).absolutePath()).isDir()) throw CopyError(SystemReason(ENOENT));
  // Each backup has a name of its own minute: what a killed copy into this
  // folder left would never be met by the writer of its own name.
  platform::removeLeftTemporariesIn(QFileInfo(target).absolutePath(), [](QStringView name) {
    return name.endsWith(QLatin1String(".fdb"), Qt::CaseInsensitive);
  });
  Fd in;
  in.fd = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC);
  struct stat st {};
  if (in.fd < 0 || ::fstat(in.fd, &st) != 0)
    throw CopyError(QStringLiteral("A \"Honnan\" -ban megadott fálj nem olvasható."));
  // Never over an existing file; the copy gets the database file's permissions.
  platform::WholeFile out(target, platform::WholeFile::Sync::Each, platform::WholeFile::Replace::Never);
  out.setMode(st.st_mode & 07777);
  if (const platform::Done opened = out.open(); !opened)
    throw CopyError(opened.error() ? SystemReason(opened.error()) : opened.reason());
  if (int error = CopyBytes(in.fd, out.handle())) throw CopyError(SystemReason(error));
  ClearBackupState(out.handle());
  if (const platform::Done committed = out.commit(); !committed)
    throw CopyError(committed.error() ? SystemReason(committed.error()) : committed.reason());
}

}  // namespace

void CopyDatabase(const QString &source, const QString &target) {
  BackupLock lock(source);
  try {
    CopyLocked(source, target);
  } catch (const CopyError &e) {
    // The copy's failure, and the lock's too when it cannot be ended.
    try {
      lock.end();
    } catch (const CopyError &left) {
      throw CopyError(e.reason() + QStringLiteral("\r") + left.reason());
    }
    throw;
  }
  // Ended before the copy counts as made: a lock left on is no success.
  try {
    lock.end();
  } catch (const CopyError &left) {
    throw CopyError(left.reason(), true);
  }
}

void EndLeftOverBackupLock(const QString &source) { BackupLock::EndLeftOver(source); }

}  // namespace backup
