#include "exchange/returns/ReturnFiles.h"

#include "app/receivers/Checks.h"
#include "platform/conv.h"
#include "platform/cp1250.h"
#include "platform/error_text.h"
#include "platform/process_lock.h"
#include "platform/whole_file.h"
#include "platform/win_path.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace returns {

namespace {

QString Reason(int error) { return platform::systemErrorText(error); }

[[noreturn]] void Fail(const QString &winPath, const QString &reason) {
  throw ReturnError(QStringLiteral("Hiba! A(z) %1 fájl nem írható: %2.").arg(winPath, reason));
}

bool WriteAll(int fd, const QByteArray &bytes) {
  const char *p = bytes.constData();
  qsizetype left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= n;
  }
  return true;
}

// A character a Windows file name cannot hold.
bool BadInFileName(QChar c) {
  return c.unicode() < 32 || QStringLiteral("\\/:*?\"<>|").contains(c);
}

}  // namespace

bool OneMonth(const Period &p) { return p.start.left(7) == p.end.left(7); }

QString MonthFolder(const QString &periodStart) {
  return QStringLiteral("C:\\QZ2025\\") + periodStart.mid(5, 2) + QLatin1Char('\\');
}

QString Yyyymmdd(const QString &date) { return date.mid(0, 4) + date.mid(5, 2) + date.mid(8, 2); }

QString ImportFilePath(const QString &folder, const Period &p, const QString &adoazon) {
  return folder + QStringLiteral("2508M") + p.start.mid(0, 4) + p.start.mid(5, 2) + QLatin1Char('_') + adoazon +
         QStringLiteral(".imp");
}

QString ListFilePath(const QString &folder, const Period &p) {
  return folder + QStringLiteral("2508M_") + Yyyymmdd(p.start) + QLatin1Char('_') + p.end.mid(5, 2) +
         p.end.mid(8, 2) + QStringLiteral(".txt");
}

QString AmountText(long double amount) { return platform::FloatToStrF(amount, platform::FloatFormat::Fixed, 11, 0); }

QStringList ImportFileLines(const Receiver &receiver, const Producer &producer, const Period &p,
                            const QString &amountText) {
  QStringList l;
  l.reserve(28);
  l << QStringLiteral("$ny_azon=2508M") << QStringLiteral("$sorok_száma=26") << QStringLiteral("$d_lapok_száma=0")
    << QStringLiteral("$info=") + producer.kod + QLatin1Char('_') + producer.nev + QLatin1Char('_') + producer.adoazon
    << QStringLiteral("13841=") + receiver.adoszam << QStringLiteral("13842=") + receiver.adoazon
    << QStringLiteral("13843=") + receiver.neve << QStringLiteral("17428=") << QStringLiteral("17429=")
    << QStringLiteral("17430=") << QStringLiteral("13844=") + producer.adoazon
    << QStringLiteral("13845=") + producer.neme << QStringLiteral("13846=HU")
    << QStringLiteral("13848=") + producer.igszam1;
  if (checks::trimText(producer.csgazd1).size() == 13)
    l << QStringLiteral("13849=") + producer.csgazd1.mid(0, 4) + producer.csgazd1.mid(5, 8);
  const checks::NameParts nev = checks::splitName(checks::trimText(producer.nev));
  l << QStringLiteral("14807=") + nev.elotag << QStringLiteral("14808=") + nev.utotag;
  const checks::NameParts szulnev = checks::splitName(producer.szulnev);
  l << QStringLiteral("17052=") + szulnev.elotag << QStringLiteral("17053=") + szulnev.utotag;
  const checks::NameParts anyja = checks::splitName(producer.anyja);
  l << QStringLiteral("17054=") + anyja.elotag << QStringLiteral("17055=") + anyja.utotag;
  l << QStringLiteral("13854=") + producer.szulhely << QStringLiteral("13855=") + Yyyymmdd(producer.szido)
    << QStringLiteral("16697=") + Yyyymmdd(p.start) << QStringLiteral("16698=") + Yyyymmdd(p.end)
    << QStringLiteral("24804=") + amountText << QStringLiteral("24805=1")
    << QStringLiteral("13847=") + producer.adoszam;
  return l;
}

QString ProducerRefusal(const Producer &producer) {
  const QString who = QStringLiteral("Javitandó! Östermelö %1 (%2): ").arg(producer.kod, producer.nev);
  const std::pair<const char *, const QString *> values[] = {
      {"kód", &producer.kod},           {"név", &producer.nev},          {"adóazonosító", &producer.adoazon},
      {"neme", &producer.neme},         {"igazolvány", &producer.igszam1}, {"OCSG szám", &producer.csgazd1},
      {"születési név", &producer.szulnev}, {"anyja neve", &producer.anyja}, {"születési hely", &producer.szulhely},
      {"adószám", &producer.adoszam}};
  for (const auto &[name, value] : values)
    if (value->contains(QChar(13)) || value->contains(QChar(10)))
      return who + QStringLiteral("a(z) %1 sortörést tartalmaz.").arg(QString::fromUtf8(name));
  for (QChar c : producer.adoazon)
    if (BadInFileName(c))
      return who + QStringLiteral("az adóazonosító (%1) fájlnévben nem használható karaktert tartalmaz.")
                       .arg(producer.adoazon);
  // Any other control character would reach the file as a raw byte.
  for (const auto &[name, value] : values)
    for (QChar c : *value)
      if (c.unicode() < 32 || c.unicode() == 0x7F || (c.unicode() >= 0x80 && c.unicode() < 0xA0))
        return who + QStringLiteral("a(z) %1 vezérlőkaraktert (#%2) tartalmaz.")
                         .arg(QString::fromUtf8(name))
                         .arg(static_cast<int>(c.unicode()));
  // The file's name and the return's "13844=" carry it: without it every
  // such producer would share one file of nobody.
  if (checks::trimText(producer.adoazon).isEmpty()) return who + QStringLiteral("nincs adóazonosító jele.");
  return QString();
}

QByteArray WindowsText(const QStringList &lines) {
  QByteArray out;
  for (const QString &l : lines) {
    out += platform::toCp1250(l);
    out += "\r\n";
  }
  return out;
}

std::unique_ptr<platform::ProcessLock> HoldMonthFolder(const QString &winFolder) {
  // The hold lies in the folder itself. Without the folder there is none to
  // have, nor anything to guard: every write into it fails, naming its file.
  const QString disk = platform::mapWindowsPath(winFolder);
  if (!QFileInfo(disk).isDir()) return nullptr;
  auto hold = std::make_unique<platform::ProcessLock>(disk, QStringLiteral("gyujtes"));
  if (!hold->held())
    throw ReturnError(hold->refusal(
        QStringLiteral("A(z) %1 mappába most a program egy másik példánya ír (kigyűjtés vagy összevonás). Kérem "
                       "próbálja újra, ha ott végzett.")
            .arg(winFolder)));
  return hold;
}

WinFolder::WinFolder(const QString &winFolder)
    : win_(winFolder.isEmpty() || winFolder.endsWith(QLatin1Char('\\')) ? winFolder : winFolder + QLatin1Char('\\')),
      disk_(win_.isEmpty() ? QString() : platform::mapWindowsPath(win_)),
      newMode_(platform::targetMode(QString())) {
  // No folder: the working folder.
  if (!disk_.isEmpty() && !disk_.endsWith(QLatin1Char('/'))) disk_ += QLatin1Char('/');
  // What killed writers left goes once here, not again for each file written.
  platform::removeLeftTemporariesIn(disk_, [](QStringView) { return true; });
  for (const QString &n : QDir(disk_).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
    names_.insert(n.toCaseFolded(), n);
}

QString WinFolder::diskPath(const QString &name) const {
  return disk_ + names_.value(name.toCaseFolded(), name);
}

bool WinFolder::exists(const QString &name) const { return names_.contains(name.toCaseFolded()); }

bool WinFolder::isDir() const { return QFileInfo(disk_).isDir(); }

void WinFolder::write(const QString &name, const QByteArray &bytes) {
  const QString winPath = win_ + name;
  const QString path = diskPath(name);
  // Mostly the name is free (its earlier file is a spare by now): one lstat
  // then stands for the refusal's checks and the target's mode.
  struct stat st {};
  const bool taken = ::lstat(QFile::encodeName(path).constData(), &st) == 0 || errno != ENOENT;
  if (taken) {
    const QString refusal = platform::replaceRefusal(path);
    if (!refusal.isEmpty()) Fail(winPath, refusal);
  }
  const unsigned mode = taken ? platform::targetMode(path) : newMode_;
  int spareError = 0;
  if (!writeOverSpare(path, mode, bytes, spareError)) {
    // The folder is synced by sync(), once for all its files.
    platform::WholeFile file(path, platform::WholeFile::Sync::ByCaller);
    file.setMode(mode);
    if (!file.open() || !file.write(bytes) || !file.commit()) Fail(winPath, file.reason());
  } else if (spareError != 0) {
    Fail(winPath, Reason(spareError));
  }
  names_.insert(name.toCaseFolded(), QFileInfo(path).fileName());
  if (afterStep) afterStep();
}

int WinFolder::rename(const QString &from, const QString &to) {
  const QByteArray source = QFile::encodeName(diskPath(from));
  const QByteArray target = QFile::encodeName(diskPath(to));
  if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) != 0) {
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // A file system without the flag: a second name, then the first one goes.
    if (::link(source.constData(), target.constData()) != 0) return errno;
    if (::unlink(source.constData()) != 0) return errno;
  }
  names_.remove(from.toCaseFolded());
  names_.insert(to.toCaseFolded(), QFileInfo(QFile::decodeName(target)).fileName());
  if (afterStep) afterStep();
  return 0;
}

int WinFolder::replace(const QString &from, const QString &to) {
  const QByteArray target = QFile::encodeName(diskPath(to));
  if (::rename(QFile::encodeName(diskPath(from)).constData(), target.constData()) != 0) return errno;
  names_.remove(from.toCaseFolded());
  names_.insert(to.toCaseFolded(), QFileInfo(QFile::decodeName(target)).fileName());
  if (afterStep) afterStep();
  return 0;
}

int WinFolder::link(const QString &from, const QString &to, const QByteArray &bytes) {
  if (exists(to)) return EEXIST;
  const QByteArray target = QFile::encodeName(diskPath(to));
  if (::link(QFile::encodeName(diskPath(from)).constData(), target.constData()) != 0) {
    if (errno != EPERM && errno != EOPNOTSUPP && errno != EXDEV) return errno;
    try {
      write(to, bytes);
    } catch (const ReturnError &) {
      return EIO;
    }
    return 0;
  }
  names_.insert(to.toCaseFolded(), QFileInfo(QFile::decodeName(target)).fileName());
  if (afterStep) afterStep();
  return 0;
}

int WinFolder::remove(const QString &name) {
  if (::unlink(QFile::encodeName(diskPath(name)).constData()) != 0) return errno;
  names_.remove(name.toCaseFolded());
  if (afterStep) afterStep();
  return 0;
}

void WinFolder::clear(const QString &suffix) {
  const QFileInfoList entries =
      QDir(disk_).entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  for (const QFileInfo &e : entries) {
    if (!e.fileName().endsWith(suffix, Qt::CaseInsensitive) || platform::isHoldFileName(e.fileName())) continue;
    // A read-only or locked file is one Windows would not delete.
    if (!e.isSymLink() && !platform::replaceRefusal(e.filePath()).isEmpty()) continue;
    if ((e.isSymLink() || e.isFile()) && ::unlink(QFile::encodeName(e.filePath()).constData()) == 0) {
      names_.remove(e.fileName().toCaseFolded());
      if (afterStep) afterStep();
    }
  }
}

namespace {

// The hidden name of a spare: a temporary's of its old name, so that a
// spare a killed gather left is a plain temporary of a dead writer.
const QString kSpareTail = QStringLiteral("spare0");

}  // namespace

void WinFolder::clearForReuse() {
  // Names only: one lstat a file answers what the reuse asks.
  for (const QString &n : QDir(disk_).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
    if (platform::isHoldFileName(n)) continue;  // the gather's own hold on the folder
    const QString path = disk_ + n;
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) continue;
    // A link goes, never what it names.
    if (S_ISLNK(st.st_mode)) {
      remove(n);
      continue;
    }
    // A read-only or locked file is one Windows would not delete (as
    // platform::replaceRefusal refuses it).
    if (!S_ISREG(st.st_mode) || !(st.st_mode & S_IWUSR) || platform::lockedByOther(path)) continue;
    // Only a file of one name can be written over; one of more goes now.
    if (st.st_nlink != 1) {
      remove(n);
      continue;
    }
    // A spare leaves its name at once, before anything is written: whenever
    // the gather stops, no file of the month holds the earlier figures under
    // a name the return is read from.
    if (n.startsWith(QLatin1Char('.')) && n.endsWith(kSpareTail)) {
      spares_ << path;  // one that a killed gather left hidden
      names_.remove(n.toCaseFolded());
      continue;
    }
    const QString hidden = platform::temporaryPath(path) + kSpareTail;
    if (platform::renameNoReplace(path, hidden) != 0) {
      remove(n);
      continue;
    }
    spares_ << hidden;
    names_.remove(n.toCaseFolded());
    if (afterStep) afterStep();
  }
}

void WinFolder::dropSpares() {
  while (!spares_.isEmpty()) {
    if (::unlink(QFile::encodeName(spares_.takeLast()).constData()) == 0 && afterStep) afterStep();
  }
}

bool WinFolder::writeOverSpare(const QString &path, unsigned mode, const QByteArray &bytes, int &error) {
  error = 0;
  if (spares_.isEmpty()) return false;
  const QString spare = spares_.takeLast();
  const QByteArray scratch = QFile::encodeName(spare);
  const int fd = ::open(scratch.constData(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
  struct stat st {};
  if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1) {
    if (fd >= 0) ::close(fd);
    ::unlink(scratch.constData());
    return false;
  }
  // The mode and the length are set only where they differ from the spare's.
  bool ok = ((st.st_mode & 07777) == mode || ::fchmod(fd, static_cast<mode_t>(mode)) == 0) && WriteAll(fd, bytes) &&
            (st.st_size <= bytes.size() || ::ftruncate(fd, bytes.size()) == 0);
  if (!ok) error = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && ::rename(scratch.constData(), QFile::encodeName(path).constData()) != 0) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    ::unlink(scratch.constData());
    if (error == 0) error = EIO;
  }
  return true;
}

void WinFolder::sync() {
  const int fd = ::open(QFile::encodeName(disk_).constData(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) Fail(win_, Reason(errno));
  // One flush of the folder's file system for every file written into it;
  // it also answers a write the disk refused after the file was closed.
  int error = ::syncfs(fd) == 0 && ::fsync(fd) == 0 ? 0 : errno;
  ::close(fd);
  if (error != 0) Fail(win_, Reason(error));
}

}  // namespace returns
