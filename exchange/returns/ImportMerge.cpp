#include "exchange/returns/ImportMerge.h"

#include "exchange/returns/ReturnFiles.h"
#include "platform/conv.h"
#include "platform/cp1250.h"
#include "platform/error_text.h"
#include "platform/process_lock.h"
#include "platform/whole_file.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace returns {

namespace {

const QByteArray kAnimal = "12456=", kPlant = "23790=", kPaid = "24804=";

// A return file has some thirty short lines (a merge's journal a line per
// pair); anything far larger, or no regular file, is refused by name.
constexpr qint64 kReturnFileLimit = 1 << 20;

QByteArray ReadFile(const WinFolder &folder, const QString &name) {
  platform::Result<QByteArray> bytes = platform::readFileWhole(folder.diskPath(name), kReturnFileLimit);
  if (!bytes)
    throw ReturnError(
        QStringLiteral("Hiba! A(z) %1 fájl nem olvasható: %2").arg(folder.winPath(name), bytes.reason()));
  return *std::move(bytes);
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
    throw ReturnError(QStringLiteral("Hiba! A(z) %1 fájlban nem egész szám áll: %2")
                         .arg(winPath, platform::fromCp1250(line)));
  // The return's fields are 32-bit integers.
  if (v != static_cast<qint32>(v))
    throw ReturnError(QStringLiteral("Hiba! A(z) %1 fájlban túl nagy szám áll (32 bitre): %2")
                         .arg(winPath, platform::fromCp1250(line)));
  return v;
}

qint64 Add(qint64 a, qint64 b, const QString &winPath) {
  qint64 r;
  if (__builtin_add_overflow(a, b, &r))
    throw ReturnError(QStringLiteral("Hiba! A(z) %1 fájl összegei túl nagyok.").arg(winPath));
  return r;
}

// A merged value goes back into a file, where it must fit 32 bits again.
qint64 Merged(qint64 v, const QString &winPath) {
  if (v != static_cast<qint32>(v))
    throw ReturnError(QStringLiteral("Hiba! A(z) %1 fájl összevont összege túl nagy (32 bitre): %2")
                         .arg(winPath)
                         .arg(v));
  return v;
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
  const WinFolder folder(winFolder);
  for (const QString &name : files) {
    const QString path = folder.winPath(name);
    for (const QByteArray &l : SplitLines(ReadFile(folder, name))) {
      if (l.startsWith(kAnimal)) s.animal = Add(s.animal, Value(l, path), path);
      if (l.startsWith(kPlant)) s.plant = Add(s.plant, Value(l, path), path);
      if (l.startsWith(kPaid)) s.paid = Add(s.paid, Value(l, path), path);
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
  const qint64 row455 = Merged(fa.plant + fb.plant + fa.animal + fb.animal, nameA);
  const qint64 paid = Merged(fa.paid + fb.paid, nameA);
  if (!fa.hasPlant && row455 != 0)
    throw ReturnError(QStringLiteral("Hiba! A(z) %1 fájlban nincs \"23790=\" sor az összevont 455. sor számára.").arg(nameA));
  if (!fa.hasPaid && paid != 0)
    throw ReturnError(QStringLiteral("Hiba! A(z) %1 fájlban nincs \"24804=\" sor az összevont kifizetés számára.").arg(nameA));
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
  const QFileInfo a(WinFolder(winFolderA).diskFolder()), b(WinFolder(winFolderB).diskFolder());
  if (a.exists() && b.exists()) return a.canonicalFilePath() == b.canonicalFilePath();
  return QDir::cleanPath(a.absoluteFilePath()) == QDir::cleanPath(b.absoluteFilePath());
}

QString MergeJournal() { return QStringLiteral("osszevonas.naplo"); }

const char *const kMergeBusy =
    "Az összevonás most nem indítható: a program egy másik példánya éppen összevonást végez ebben a mappában.";

namespace {

// The hold of a merge (or its repair) on the working folder.
platform::Result<std::unique_ptr<platform::ProcessLock>> MergeHold() {
  return platform::ProcessLock::take(QDir::currentPath(), QStringLiteral("osszevonas"),
                                     QString::fromUtf8(kMergeBusy));
}

}  // namespace

MergeHolds::MergeHolds(const QString &folderA) {
  auto work = MergeHold();
  if (!work) throw ReturnError(work.reason());
  work_ = *std::move(work);
  // A gather writing folder A meanwhile would replace the files being paired.
  folder_ = HoldMonthFolder(folderA);
}

MergeHolds::~MergeHolds() = default;

QStringList Merge(const QString &folderA, const QString &folderB, const QStringList &paired,
                  const std::function<void()> &afterStep, const MergeHolds *holds) {
  WinFolder a(folderA), b(folderB);
  for (const WinFolder *f : {&a, &b})
    if (!f->isDir()) throw ReturnError(QStringLiteral("Hiba! A(z) %1 mappa nem létezik.").arg(f->winPath(QString())));
  if (SameFolder(folderA, folderB)) throw ReturnError(QStringLiteral("Nem lehet azonos a könyvtár "));
  std::optional<MergeHolds> own;
  if (holds == nullptr) own.emplace(folderA);

  // Everything read and checked first.
  struct Pair {
    QString name, old, scratch;
    QByteArray original, merged;
  };
  std::vector<Pair> pairs;
  for (const QString &name : paired) {
    if (!a.exists(name)) throw ReturnError(QStringLiteral("Hiba! A(z) %1 fájl nem található.").arg(a.winPath(name)));
    const QString old = WithExtension(name, QStringLiteral(".old"));
    for (const WinFolder *f : {&a, &b})
      if (f->exists(old))
        throw ReturnError(QStringLiteral("Hiba! A(z) %1 fájl már létezik: előbb ismételje meg a bevallás exportját.")
                             .arg(f->winPath(old)));
    const QByteArray original = ReadFile(a, name);
    pairs.push_back({name, old, name.left(name.size() - 1) + QLatin1Char('_'), original,
                     MergedFile(a.winPath(name), original, b.winPath(name), ReadFile(b, name))});
  }
  if (pairs.empty()) return {};

  // The journal names the folders and the pairs, so that the next opening
  // can finish or undo what a stopped run left.
  WinFolder work{QString()};
  work.afterStep = afterStep;
  QStringList journal{folderA, folderB};
  for (const Pair &p : pairs) journal << p.name;
  work.write(MergeJournal(), WindowsText(journal));

  a.afterStep = b.afterStep = afterStep;
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    try {
      a.write(pairs[i].scratch, pairs[i].merged);
    } catch (const ReturnError &) {
      // Nothing renamed yet: the scratch files of this run go again.
      for (std::size_t j = 0; j < i; ++j) a.remove(pairs[j].scratch);
      work.remove(MergeJournal());
      throw;
    }
  }

  // Per pair, the producer keeps an ".imp" at every moment: A's file gets a
  // second name ".old", the merged file takes A's name in one step, then
  // B's file retires. A step that fails undoes the pair's earlier ones.
  QStringList failures;
  auto failed = [&failures](int code, const char *ext, const char *step) {
    failures << QStringLiteral(" \"%1\" %2 átnevezési hiba kódja = %3")
                    .arg(QLatin1String(ext), QLatin1String(step))
                    .arg(code);
  };
  // An undo step that fails too leaves the journal for the next opening.
  bool undone = true;
  for (const Pair &p : pairs) {
    if (const int code = a.link(p.name, p.old, p.original)) {
      failed(code, "old", "Rename1");
      undone = a.remove(p.scratch) == 0 && undone;
      continue;
    }
    if (const int code = a.replace(p.scratch, p.name)) {
      failed(code, "imp", "Rename11");
      undone = a.remove(p.old) == 0 && undone;
      undone = a.remove(p.scratch) == 0 && undone;
      continue;
    }
    if (const int code = b.rename(p.name, p.old)) {
      failed(code, "old", "Rename2");
      undone = a.replace(p.old, p.name) == 0 && undone;
    }
  }
  a.sync();
  b.sync();
  if (undone) work.remove(MergeJournal());
  return failures;
}

std::optional<MergeRecovery> RecoverMerge() {
  WinFolder work{QString()};
  if (!work.exists(MergeJournal())) return MergeRecovery();
  // The journal of another program's merge under way is not a stopped one.
  const auto hold = MergeHold();
  if (!hold) {
    if (hold.error() == 0) return std::nullopt;
    throw ReturnError(hold.reason());
  }
  const QStringList journal = platform::fromCp1250(ReadFile(work, MergeJournal())).split(QStringLiteral("\r\n"));
  MergeRecovery r;
  if (journal.size() >= 2) {
    // A gather writing folder A meanwhile would replace the files put right;
    // the journal is then left for the next opening.
    const auto folderHold = HoldMonthFolder(journal[0]);
    WinFolder a(journal[0]), b(journal[1]);
    for (const QString &name : journal.mid(2)) {
      if (name.isEmpty()) continue;
      const QString old = WithExtension(name, QStringLiteral(".old"));
      const QString scratch = name.left(name.size() - 1) + QLatin1Char('_');
      // Why the pair is not right (its first failed step); it is then left
      // for the next try.
      QString reason;
      const auto step = [&reason](int error) {
        if (error != 0) reason = platform::systemErrorText(error);
      };
      if (b.exists(old) && !b.exists(name)) {
        // The pair was merged whole.
      } else if (a.exists(old) && a.exists(name)) {
        const platform::Result<QByteArray> kept = platform::readFileWhole(a.diskPath(old), kReturnFileLimit);
        const platform::Result<QByteArray> current =
            kept ? platform::readFileWhole(a.diskPath(name), kReturnFileLimit) : kept;
        if (!current) {
          reason = current.reason();  // why a file of the pair could not be read
        } else if (*kept == *current) {
          step(a.remove(old));  // the merged file never took A's name
        } else if (!b.exists(name)) {
          step(ENOENT);  // merged in A, and B's half is nowhere
        } else {
          step(b.rename(name, old));
          if (reason.isEmpty()) r.finished << name;  // merged in A: B's half retires
        }
      } else if (a.exists(old) && !a.exists(name)) {
        step(a.rename(old, name));
      }
      if (a.exists(scratch) && reason.isEmpty()) step(a.remove(scratch));
      // Only the temporaries of this pair's own files: the folder is the
      // user's, with hidden files of its own.
      platform::removeLeftTemporaries(a.diskPath(scratch));
      platform::removeLeftTemporaries(a.diskPath(old));
      if (!reason.isEmpty()) r.notRight << QStringLiteral("%1 (%2)").arg(name, reason);
    }
    a.sync();
    b.sync();
  }
  // Kept until every pair is put right: the next opening tries again.
  if (r.notRight.isEmpty()) {
    if (const int error = work.remove(MergeJournal()))
      r.notRight << QStringLiteral("%1 (%2)").arg(MergeJournal(), platform::systemErrorText(error));
  }
  return r;
}

}  // namespace returns
