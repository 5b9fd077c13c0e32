// Files written whole or not at all: a full file system, permissions, a folder
// in the way, and the temporaries a killed writer left behind.
#include "platform/whole_file.h"

#include "platform/ini_file.h"
#include "support/full_disk.h"
#include "support/temp_dir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "qt_print.h"

using namespace platform;
using vorik::test::FullDisk;
using vorik::test::TempDir;

namespace {

QByteArray readBytes(const QString &path) { return vorik::test::readFile(path, "<unreadable>"); }

// The folder's entries but the filling of a full disk.
QStringList entries(const QString &dir) {
  QStringList names = QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot);
  names.removeAll(QStringLiteral(".filler"));
  return names;
}

unsigned modeOf(const QString &path) {
  struct stat st {};
  return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// The id of a process that has ended.
qint64 deadPid() {
  QProcess p;
  p.start(QStringLiteral("/bin/true"), {});
  p.waitForStarted();
  const qint64 pid = p.processId();
  p.waitForFinished();
  return pid;
}

}  // namespace

TEST(WholeFile, AFullDiskKeepsTheOldFileAndSaysWhy) {
  FullDisk disk;
  const QString path = disk.file(QStringLiteral("out.bin"));
  vorik::test::writeFile(path, "old");
  disk.fill();
  // Small enough to stay in the write buffer until the end.
  const Done done = writeFileWhole(path, QByteArray(8000, 'x'));
  EXPECT_FALSE(done) << "a full disk reported as success";
  EXPECT_EQ(done.reason(), disk.reason());
  disk.release();
  EXPECT_EQ(readBytes(path), QByteArray("old"));
  EXPECT_EQ(entries(disk.path()), QStringList{"out.bin"});
}

TEST(WholeFile, AFullDiskKeepsTheOldProfileFile) {
  FullDisk disk;
  const QString path = disk.file(QStringLiteral("x.ini"));
  vorik::test::writeFile(path, "[S]\r\nK=old\r\n");
  disk.fill();
  IniFile ini(path);
  EXPECT_THROW(ini.WriteString("S", "K", "new value"), IniFileError);
  disk.release();
  EXPECT_EQ(readBytes(path), QByteArray("[S]\r\nK=old\r\n"));
  EXPECT_EQ(entries(disk.path()), QStringList{"x.ini"});
}

TEST(WholeFile, PermissionsOfTheReplacedFileOrOfTheUmask) {
  TempDir dir;
  const QString kept = dir.file("kept.txt");
  vorik::test::writeFile(kept, "old");
  ASSERT_EQ(::chmod(QFile::encodeName(kept).constData(), 0640), 0);
  ASSERT_TRUE(writeFileWhole(kept, "new"));
  EXPECT_EQ(readBytes(kept), QByteArray("new"));
  EXPECT_EQ(modeOf(kept), 0640u);

  const mode_t mask = ::umask(022);
  ASSERT_TRUE(writeFileWhole(dir.file("fresh.txt"), "new"));
  ::umask(mask);
  EXPECT_EQ(modeOf(dir.file("fresh.txt")), 0644u);
}

TEST(WholeFile, AFolderInTheWayIsNeitherReplacedNorFilled) {
  TempDir dir;
  QDir(dir.path()).mkdir("x.xml");
  const Done done = writeFileWhole(dir.file("x.xml"), "new");
  EXPECT_FALSE(done) << "no error";
  EXPECT_EQ(done.reason(), QStringLiteral("ilyen nevű mappa van"));
  EXPECT_TRUE(QFileInfo(dir.file("x.xml")).isDir());
  EXPECT_EQ(entries(dir.path()), QStringList{"x.xml"});
}

TEST(WholeFile, ALinkIsFollowed) {
  TempDir dir;
  vorik::test::writeFile(dir.file("real.ini"), "old");
  ASSERT_TRUE(QFile::link(dir.file("real.ini"), dir.file("link.ini")));
  ASSERT_TRUE(writeFileWhole(dir.file("link.ini"), "new"));
  EXPECT_TRUE(QFileInfo(dir.file("link.ini")).isSymLink());
  EXPECT_EQ(readBytes(dir.file("real.ini")), QByteArray("new"));
}

// A spare written over holds the new bytes alone, under the name the link
// names; no spare, no temporary is left.
TEST(WholeFile, ASpareIsWrittenOverWholeAndALinkFollowed) {
  TempDir dir;
  vorik::test::writeFile(dir.file("real.imp"), "old");
  ASSERT_TRUE(QFile::link(dir.file("real.imp"), dir.file("a.imp")));
  vorik::test::writeFile(dir.file(".a.imp.~1.spare0"), "a longer earlier content");
  WholeFile f(dir.file("a.imp"), WholeFile::Sync::ByCaller);
  f.reuse(dir.file(".a.imp.~1.spare0"));
  ASSERT_TRUE(f.open());
  ASSERT_TRUE(f.write("new"));
  ASSERT_TRUE(f.commit());
  EXPECT_TRUE(QFileInfo(dir.file("a.imp")).isSymLink());
  EXPECT_EQ(readBytes(dir.file("real.imp")), QByteArray("new"));
  EXPECT_EQ(entries(dir.path()), (QStringList{"a.imp", "real.imp"}));
}

TEST(WholeFile, AReadOnlyFileIsKept) {
  if (::geteuid() == 0) GTEST_SKIP() << "the superuser may write a read-only file";
  TempDir dir;
  vorik::test::writeFile(dir.file("ro.ini"), "old");
  ASSERT_EQ(::chmod(QFile::encodeName(dir.file("ro.ini")).constData(), 0444), 0);
  EXPECT_FALSE(writeFileWhole(dir.file("ro.ini"), "new"));
  EXPECT_EQ(readBytes(dir.file("ro.ini")), QByteArray("old"));
}

TEST(WholeFile, TemporariesOfDeadWritersGoLiveOnesStay) {
  TempDir dir;
  const QString dead = QStringLiteral(".a.xml.~%1.Ab12Cd").arg(deadPid());
  const QString live = QStringLiteral(".a.xml.~%1.Xy34Zw").arg(::getpid());
  for (const QString &name : {dead, live, QStringLiteral(".a.xml.bak"), QStringLiteral(".b.xml.~1.Ab12Cd")})
    vorik::test::writeFile(dir.file(name), "left");
  ASSERT_TRUE(writeFileWhole(dir.file("a.xml"), "new"));
  QStringList expected{QStringLiteral(".a.xml.bak"), QStringLiteral(".b.xml.~1.Ab12Cd"), live,
                       QStringLiteral("a.xml")};
  expected.sort();
  QStringList found = entries(dir.path());
  found.sort();
  EXPECT_EQ(found, expected);
}

// A name up to the file system's limit is written, though its temporary's
// name is cut; a dead writer's temporary of it goes as any other's.
TEST(WholeFile, TheLongestNamesAreWrittenAndTheirTemporariesGo) {
  TempDir dir;
  for (const int length : {244, 255}) {
    const QString name = QString(length - 4, u'n') + QStringLiteral(".FDB");
    const Result<Temporary> made = createTemporaryBeside(dir.file(name));
    ASSERT_TRUE(made) << length;
    ::close(made->fd);
    const QString temp = made->name;
    const QString dead = QFileInfo(temp).fileName().replace(QString::number(::getpid()), QString::number(deadPid()));
    ASSERT_TRUE(QFile::rename(temp, dir.file(dead)));
    ASSERT_TRUE(writeFileWhole(dir.file(name), "new"));
    EXPECT_EQ(entries(dir.path()), QStringList{name}) << length;
    QFile::remove(dir.file(name));
  }
}

TEST(WholeFile, ACancelledWriteLeavesNothing) {
  TempDir dir;
  vorik::test::writeFile(dir.file("a.txt"), "old");
  {
    WholeFile f(dir.file("a.txt"));
    ASSERT_TRUE(f.open());
    EXPECT_TRUE(f.write("new"));
    EXPECT_EQ(entries(dir.path()).size(), 2);  // the temporary beside the file
  }
  EXPECT_EQ(readBytes(dir.file("a.txt")), QByteArray("old"));
  EXPECT_EQ(entries(dir.path()), QStringList{"a.txt"});
}
