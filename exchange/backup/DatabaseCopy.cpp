#include "exchange/backup/DatabaseCopy.h"

#include "db/connection.h"
#include "db/dataset.h"
#include "db/transaction.h"
#include "exchange/logging.h"
#include "platform/error_text.h"

#include <QFile>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
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
  switch (error) {
    case EEXIST:
      return QStringLiteral("A \"Hová\" -ban megadott fálj már létezik.");
    case ENOENT:
    case ENOTDIR:
      return QStringLiteral("A \"Hová\" -ban megadott könyvtár nem létezik.");
    case EACCES:
    case EPERM:
    case EROFS:
      return QStringLiteral("A \"Hová\" -ban megadott könyvtárba nem lehet írni.");
    case ENOSPC:
    case EDQUOT:
      return QStringLiteral("Nincs elég hely a lemezen.");
    default:
      return QString::fromLocal8Bit(std::strerror(error));
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

// The backup lock on one database through an attachment of its own: taken
// when the database is in its normal state and released when this goes. A
// database that another tool has already locked stays as that tool left it.
class BackupLock {
 public:
  explicit BackupLock(const QString &path) {
    connection_.setDatabaseName(path);
    connection_.setParams(db::defaultConnectionParams());
    transaction_.setConnection(&connection_);
    transaction_.setParams({QStringLiteral("read_committed"), QStringLiteral("rec_version"), QStringLiteral("nowait")});
    try {
      connection_.open();
    } catch (const std::exception &e) {
      throw CopyError(QStringLiteral("A \"Honnan\" -ban megadott fálj nem nyitható meg adatbázisként: ") +
                      platform::exceptionText(e));
    }
    int state = State();
    if (state == 2) throw CopyError(QStringLiteral("Az adatbázis mentése éppen folyik, kérem próbálja újra."));
    if (state == 0) {
      Execute(QStringLiteral("ALTER DATABASE BEGIN BACKUP"));
      locked_ = true;
    }
  }
  ~BackupLock() {
    if (locked_) {
      try {
        Execute(QStringLiteral("ALTER DATABASE END BACKUP"));
      } catch (const std::exception &) {
        // The copy is complete either way; the database keeps writing to its
        // side file until a later release (another backup leaves a lock it
        // did not take alone, so a second copier is never disturbed).
        platform::logCaught(lcExchange(), QStringLiteral("END BACKUP"));
      }
    }
    try {
      connection_.close();
    } catch (const std::exception &) {
      platform::logCaught(lcExchange(), QStringLiteral("closing the copied database"));
    }
  }

 private:
  int State() {
    db::Query q;
    q.setTransaction(&transaction_);
    q.sql().add(QStringLiteral("SELECT MON$BACKUP_STATE FROM MON$DATABASE"));
    q.open();
    int state = static_cast<int>(q.field(0).asInteger());
    q.close();
    transaction_.commit();
    return state;
  }
  void Execute(const QString &sql) {
    db::Query q;
    q.setTransaction(&transaction_);
    q.sql().add(sql);
    q.execute();
    transaction_.commit();
  }

  db::Connection connection_;
  db::Transaction transaction_;
  bool locked_ = false;
};

}  // namespace

void CopyFileExclusive(const QString &source, const QString &target) {
  Fd in;
  in.fd = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC);
  if (in.fd < 0) throw CopyError(QStringLiteral("A \"Honnan\" -ban megadott fálj nem olvasható."));
  Fd out;
  const QByteArray targetName = QFile::encodeName(target);
  out.fd = ::open(targetName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (out.fd < 0) throw CopyError(SystemReason(errno));
  int error = CopyBytes(in.fd, out.fd);
  if (error == 0 && ::fsync(out.fd) != 0) error = errno;
  if (error != 0) {
    ::close(out.fd);
    out.fd = -1;
    ::unlink(targetName.constData());
    throw CopyError(SystemReason(error));
  }
}

void CopyDatabase(const QString &source, const QString &target) {
  BackupLock lock(source);
  CopyFileExclusive(source, target);
  const QByteArray targetName = QFile::encodeName(target);
  try {
    Fd out;
    out.fd = ::open(targetName.constData(), O_RDWR | O_CLOEXEC);
    if (out.fd < 0) throw CopyError(SystemReason(errno));
    ClearBackupState(out.fd);
    if (::fsync(out.fd) != 0) throw CopyError(SystemReason(errno));
  } catch (...) {
    ::unlink(targetName.constData());
    throw;
  }
}

}  // namespace backup
