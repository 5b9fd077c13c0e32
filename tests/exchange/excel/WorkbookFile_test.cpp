// Saving a workbook file: complete or not at all, the old file kept on every
// failure, and the refusals to replace a file.
#include "exchange/excel/WorkbookFile.h"
#include "support/child_process.h"
#include "support/full_disk.h"
#include "support/temp_dir.h"
#include "workbook_reader.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace vorik::test;

namespace {

void WriteFile(const QString &path, const QByteArray &bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

QByteArray ReadFile(const QString &path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Files of the folder other than the given ones (a temporary left behind).
QStringList Others(const QString &dir, const QStringList &known) {
  QStringList names = QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot);
  for (const QString &k : known) names.removeAll(k);
  return names;
}

QByteArray Pattern(int size) {
  QByteArray b(size, '\0');
  for (int i = 0; i < size; ++i) b[i] = static_cast<char>(i * 7 + i / 251);
  return b;
}

}  // namespace

TEST(WorkbookFile, CommitPutsTheWholeStreamInPlace) {
  TempDir dir;
  const QString path = dir.file(QStringLiteral("QZFEJ.xls"));
  WriteFile(path, "old contents");
  ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
  const QByteArray stream = Pattern(300000);  // past the small-stream threshold
  {
    excel::WorkbookFile file(path);
    file.write(stream.constData(), 1000);
    file.write(stream.constData() + 1000, static_cast<std::size_t>(stream.size() - 1000));
    file.commit();
  }
  EXPECT_EQ(ReadBookStream(path), stream);
  EXPECT_EQ(Others(dir.path(), {QStringLiteral("QZFEJ.xls")}), QStringList());
  struct stat st {};
  ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u) << "the replaced file's permissions are kept";

  // A new file gets the permissions of any new file.
  const QString fresh = dir.file(QStringLiteral("new.xls"));
  {
    excel::WorkbookFile file(fresh);
    file.write("x", 1);
    file.commit();
  }
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ASSERT_EQ(::stat(QFile::encodeName(fresh).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0666u & ~mask);
  EXPECT_EQ(ReadBookStream(fresh), QByteArray("x"));
}

TEST(WorkbookFile, AnUnfinishedSaveLeavesNothing) {
  TempDir dir;
  const QString path = dir.file(QStringLiteral("QZFEJ.xls"));
  WriteFile(path, "old contents");
  {
    excel::WorkbookFile file(path);
    const QByteArray stream = Pattern(100000);
    file.write(stream.constData(), static_cast<std::size_t>(stream.size()));
    EXPECT_EQ(Others(dir.path(), {QStringLiteral("QZFEJ.xls")}).size(), 1);  // the temporary beside it
  }  // a failure on the way: no commit
  EXPECT_EQ(ReadFile(path), QByteArray("old contents"));
  EXPECT_EQ(Others(dir.path(), {QStringLiteral("QZFEJ.xls")}), QStringList());
}

TEST(WorkbookFile, TheNextSaveRemovesTheTemporaryOfAKilledExport) {
  TempDir dir;
  const QString path = dir.file(QStringLiteral("QZFEJ.xls"));
  {
    Child killed({QStringLiteral("excel-killed"), path});
    ASSERT_EQ(killed.waitFor("ready"), QByteArray("ready"));
    killed.kill();
  }
  ASSERT_EQ(Others(dir.path(), {}).size(), 1);  // the hidden temporary, 1 MB
  excel::WorkbookFile file(path);
  file.write("x", 1);
  file.commit();
  EXPECT_EQ(Others(dir.path(), {QStringLiteral("QZFEJ.xls")}), QStringList());
}

TEST(WorkbookFile, AFullDiskKeepsTheOldFile) {
  FullDisk disk;
  const QString path = disk.file(QStringLiteral("QZFEJ.xls"));
  WriteFile(path, "old contents");
  disk.fill(200000);
  QString reason;
  try {
    excel::WorkbookFile file(path);
    const QByteArray chunk = Pattern(65536);
    for (int i = 0; i < 10; ++i) file.write(chunk.constData(), static_cast<std::size_t>(chunk.size()));
    file.commit();
  } catch (const excel::SaveError &e) {
    reason = e.reason();
  }
  disk.release();
  EXPECT_EQ(reason, QStringLiteral("QZFEJ.xls: ") + disk.reason() +
                        QLatin1Char('.'));
  EXPECT_EQ(ReadFile(path), QByteArray("old contents"));
  EXPECT_EQ(Others(disk.path(), {QStringLiteral("QZFEJ.xls")}), QStringList());
}

TEST(WorkbookFile, TargetsThatCannotBeWritten) {
  TempDir dir;
  // A folder that does not exist.
  try {
    excel::WorkbookFile file(dir.file(QStringLiteral("nincs/QZFEJ.xls")));
    ADD_FAILURE() << "no error";
  } catch (const excel::SaveError &e) {
    EXPECT_EQ(e.reason(), QStringLiteral("QZFEJ.xls: a fájl vagy a mappa nem létezik."));
  }
  // A folder under the target's name: the complete file cannot take its place.
  const QString path = dir.file(QStringLiteral("QZFEJ.xls"));
  ASSERT_TRUE(QDir().mkdir(path));
  WriteFile(path + QStringLiteral("/inside"), "kept");
  try {
    excel::WorkbookFile file(path);
    file.write("abc", 3);
    file.commit();
    ADD_FAILURE() << "no error";
  } catch (const excel::SaveError &e) {
    EXPECT_TRUE(e.reason().startsWith(QStringLiteral("QZFEJ.xls: "))) << e.reason().toStdString();
  }
  EXPECT_EQ(ReadFile(path + QStringLiteral("/inside")), QByteArray("kept"));
  EXPECT_EQ(Others(dir.path(), {QStringLiteral("QZFEJ.xls")}), QStringList());
  EXPECT_EQ(excel::ReplaceRefusal(path), QStringLiteral("QZFEJ.xls: ilyen nevű mappa van."));
}

TEST(WorkbookFile, RefusesToReplaceReadOnlyAndLockedFiles) {
  TempDir dir;
  const QString path = dir.file(QStringLiteral("OSTERMELO.xls"));
  EXPECT_EQ(excel::ReplaceRefusal(path), QString()) << "no file yet";
  WriteFile(path, "old");
  EXPECT_EQ(excel::ReplaceRefusal(path), QString());

  ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
  EXPECT_EQ(excel::ReplaceRefusal(path), QStringLiteral("OSTERMELO.xls: csak olvasható fájl."));
  ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0644), 0);

  for (const char *kind : {"record", "whole"}) {  // another program's lock (child_modes "lock")
    Child holder({QStringLiteral("lock"), QString::fromLatin1(kind), path});
    ASSERT_EQ(holder.waitFor("ready"), QByteArray("ready")) << kind;
    EXPECT_EQ(excel::ReplaceRefusal(path), QStringLiteral("OSTERMELO.xls: egy másik program használja.")) << kind;
  }
  EXPECT_EQ(excel::ReplaceRefusal(path), QString()) << "the locks are gone with their holder";
}
