#include "exchange/returns/ImportMerge.h"

#include "exchange/returns/ReturnFiles.h"
#include "platform/conv.h"
#include "platform/cp1250.h"
#include "platform/win_path.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace returns {

namespace {

const QByteArray kAnimal = "12456=", kPlant = "23790=", kPaid = "24804=";

// A folder text with its closing backslash.
QString Folder(const QString &winFolder) {
  return winFolder.endsWith(QLatin1Char('\\')) ? winFolder : winFolder + QLatin1Char('\\');
}

QByteArray ReadFile(const QString &winPath) {
  QFile f(platform::mapWindowsPath(winPath));
  if (!f.open(QIODevice::ReadOnly))
    throw MergeError(QStringLiteral("Hiba! A(z) %1 fájl nem olvasható: %2").arg(winPath, f.errorString()));
  return f.readAll();
}

// The value of a field line: the text after the sixth character, trimmed; an
// empty value and a line of six characters are 0.
qint64 Value(const QByteArray &line, const QString &winPath) {
  const QString text = platform::fromCp1250(line.mid(6)).trimmed();
  if (text.isEmpty()) return 0;
  bool ok = false;
  qint64 v = 0;
  try {
    v = platform::StrToInt64(text);
    ok = true;
  } catch (const platform::ConvertError &) {
  }
  if (!ok)
    throw MergeError(QStringLiteral("Hiba! A(z) %1 fájlban nem egész szám áll: %2")
                         .arg(winPath, platform::fromCp1250(line)));
  return v;
}

qint64 Add(qint64 a, qint64 b, const QString &winPath) {
  qint64 r;
  if (__builtin_add_overflow(a, b, &r))
    throw MergeError(QStringLiteral("Hiba! A(z) %1 fájl összegei túl nagyok.").arg(winPath));
  return r;
}

// The last value of each field, and whether the file has such a line.
struct Fields {
  qint64 animal = 0, plant = 0, paid = 0;
  bool hasPlant = false, hasPaid = false;
};

Fields Read(const QByteArray &bytes, const QString &winPath) {
  Fields f;
  for (const QByteArray &l : SplitLines(bytes)) {
    if (l.startsWith(kAnimal)) {
      f.animal = Value(l, winPath);
    } else if (l.startsWith(kPlant)) {
      f.plant = Value(l, winPath);
      f.hasPlant = true;
    } else if (l.startsWith(kPaid)) {
      f.paid = Value(l, winPath);
      f.hasPaid = true;
    }
  }
  return f;
}

QString WithExtension(const QString &name, const QString &ext) {
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  return (dot < 0 ? name : name.left(dot)) + ext;
}

// Renames without replacing an existing file (as Windows renames); 0 or the
// error code.
int RenameNoReplace(const QString &fromWin, const QString &toWin) {
  const QByteArray from = QFile::encodeName(platform::mapWindowsPath(fromWin));
  const QByteArray to = QFile::encodeName(platform::mapWindowsPath(toWin));
  if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  // A file system without the flag: a second name, then the first one goes.
  if (::link(from.constData(), to.constData()) != 0) return errno;
  if (::unlink(from.constData()) != 0) return errno;
  return 0;
}

bool Exists(const QString &winPath) {
  const QFileInfo info(platform::mapWindowsPath(winPath));
  return info.exists() || info.isSymLink();
}

}  // namespace

QList<QByteArray> SplitLines(const QByteArray &bytes) {
  QList<QByteArray> lines;
  qsizetype start = 0;
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c != '\r' && c != '\n') continue;
    lines << bytes.mid(start, i - start);
    if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < bytes.size()) lines << bytes.mid(start);
  return lines;
}

RowSums SumFolder(const QString &winFolder, const QStringList &files) {
  RowSums s;
  for (const QString &name : files) {
    const QString path = Folder(winFolder) + name;
    for (const QByteArray &l : SplitLines(ReadFile(path))) {
      if (l.startsWith(kAnimal)) s.animal = Add(s.animal, Value(l, path), path);
      if (l.startsWith(kPlant)) s.plant = Add(s.plant, Value(l, path), path);
    }
  }
  return s;
}

QString PairKey(const QString &name) { return name.size() < 15 ? name : name.right(15); }

QStringList PairedNames(const QStringList &a, const QStringList &b) {
  QSet<QString> keys;
  for (const QString &n : a) keys.insert(PairKey(n));
  QStringList out;
  for (const QString &n : b)
    if (keys.contains(PairKey(n))) out << n;
  return out;
}

QByteArray MergedFile(const QString &nameA, const QByteArray &a, const QString &nameB, const QByteArray &b) {
  const Fields fa = Read(a, nameA), fb = Read(b, nameB);
  const qint64 row455 = Add(Add(fa.plant, fb.plant, nameA), Add(fa.animal, fb.animal, nameA), nameA);
  const qint64 paid = Add(fa.paid, fb.paid, nameA);
  if (!fa.hasPlant && row455 != 0)
    throw MergeError(QStringLiteral("Hiba! A(z) %1 fájlban nincs \"23790=\" sor az összevont 455. sor számára.").arg(nameA));
  if (!fa.hasPaid && paid != 0)
    throw MergeError(QStringLiteral("Hiba! A(z) %1 fájlban nincs \"24804=\" sor az összevont kifizetés számára.").arg(nameA));
  QByteArray out;
  out.reserve(a.size() + 32);
  for (const QByteArray &l : SplitLines(a)) {
    if (l.startsWith(kAnimal))
      out += kAnimal + "0";
    else if (l.startsWith(kPlant))
      out += kPlant + QByteArray::number(row455);
    else if (l.startsWith(kPaid))
      out += kPaid + QByteArray::number(paid);
    else
      out += l;
    out += "\r\n";
  }
  return out;
}

bool SameFolder(const QString &winFolderA, const QString &winFolderB) {
  const QFileInfo a(platform::mapWindowsPath(Folder(winFolderA))), b(platform::mapWindowsPath(Folder(winFolderB)));
  if (a.exists() && b.exists()) return a.canonicalFilePath() == b.canonicalFilePath();
  return QDir::cleanPath(a.absoluteFilePath()) == QDir::cleanPath(b.absoluteFilePath());
}

QStringList Merge(const QString &folderA, const QString &folderB, const QStringList &paired) {
  const QString a = Folder(folderA), b = Folder(folderB);
  for (const QString &f : {a, b})
    if (!QFileInfo(platform::mapWindowsPath(f)).isDir())
      throw MergeError(QStringLiteral("Hiba! A(z) %1 mappa nem létezik.").arg(f));
  if (SameFolder(a, b)) throw MergeError(QStringLiteral("Nem lehet azonos a könyvtár "));

  // Everything read and checked first.
  struct Pair {
    QString name;
    QByteArray merged;
  };
  std::vector<Pair> pairs;
  for (const QString &name : paired) {
    const QString pathA = a + name, pathB = b + name;
    if (!Exists(pathA)) throw MergeError(QStringLiteral("Hiba! A(z) %1 fájl nem található.").arg(pathA));
    for (const QString &old : {WithExtension(pathA, QStringLiteral(".old")), WithExtension(pathB, QStringLiteral(".old"))})
      if (Exists(old))
        throw MergeError(QStringLiteral("Hiba! A(z) %1 fájl már létezik: előbb ismételje meg a bevallás exportját.").arg(old));
    pairs.push_back({name, MergedFile(pathA, ReadFile(pathA), pathB, ReadFile(pathB))});
  }

  QStringList written;
  for (const Pair &p : pairs) {
    const QString path = a + p.name;
    const QString scratch = path.left(path.size() - 1) + QLatin1Char('_');
    try {
      WriteWindowsFile(scratch, p.merged);
    } catch (const ReturnFileError &e) {
      // Nothing renamed yet: the scratch files of this run go again.
      for (const QString &w : written) ::unlink(QFile::encodeName(platform::mapWindowsPath(w)).constData());
      throw MergeError(e.message());
    }
    written << scratch;
  }

  QStringList failures;
  auto rename = [&failures](const QString &from, const QString &to, const char *ext, const char *step) {
    if (const int code = RenameNoReplace(from, to))
      failures << QStringLiteral(" \"%1\" %2 átnevezési hiba kódja = %3")
                      .arg(QLatin1String(ext), QLatin1String(step))
                      .arg(code);
  };
  for (const Pair &p : pairs) rename(a + p.name, WithExtension(a + p.name, QStringLiteral(".old")), "old", "Rename1");
  for (const Pair &p : pairs) rename(b + p.name, WithExtension(b + p.name, QStringLiteral(".old")), "old", "Rename2");
  for (std::size_t i = 0; i < pairs.size(); ++i) rename(written[i], a + pairs[i].name, "imp", "Rename11");
  return failures;
}

}  // namespace returns
