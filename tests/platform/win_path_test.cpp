#include "platform/win_path.h"

#include "support/temp_dir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "qt_print.h"

using namespace platform;

namespace {

// Points drive C: (and D:) at a test folder for the test's duration.
class DriveC {
 public:
  explicit DriveC(const QString &path) { qputenv("VORIK_DRIVE_C", path.toUtf8()); }
  ~DriveC() {
    qunsetenv("VORIK_DRIVE_C");
    qunsetenv("VORIK_DRIVE_D");
  }
};

void touch(const QString &path) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

}  // namespace

TEST(WinPath, DriveCIsTheHomeFolderAndComponentsMatchWithoutCase) {
  vorik::test::TempDir home;
  DriveC c(home.path());
  ASSERT_TRUE(QDir(home.path()).mkpath("qz2025/03"));
  touch(home.file("qz2025/03/X.IMP"));
  EXPECT_EQ(mapWindowsPath("C:\\QZ2025\\03\\x.imp"), home.path() + "/qz2025/03/X.IMP");
  EXPECT_EQ(mapWindowsPath("c:\\qz2025\\03\\"), home.path() + "/qz2025/03/");
  EXPECT_EQ(mapWindowsPath("C:/QZ2025/03/x.imp"), home.path() + "/qz2025/03/X.IMP");
  // Missing components, and all after them, are kept as written.
  EXPECT_EQ(mapWindowsPath("C:\\QZ2025\\04\\New\\y.imp"), home.path() + "/qz2025/04/New/y.imp");
  EXPECT_EQ(mapWindowsPath("C:\\QZ2025\\\\03\\\\x.imp"), home.path() + "/qz2025/03/X.IMP");
  EXPECT_EQ(mapWindowsPath("C:"), home.path());
  EXPECT_EQ(mapWindowsPath("C:\\"), home.path() + "/");
  EXPECT_EQ(mapWindowsPath("C:qz2025"), home.path() + "/qz2025");
  EXPECT_EQ(mapWindowsPath("C:\\QZ2025\\..\\QZ2025"), home.path() + "/qz2025/../qz2025");
  // With the folder in another case the same path finds it.
  ASSERT_TRUE(QDir(home.path()).rename("qz2025", "Qz2025"));
  EXPECT_EQ(mapWindowsPath("C:\\QZ2025\\03\\x.imp"), home.path() + "/Qz2025/03/X.IMP");
  // An exact match wins over another entry differing in case.
  ASSERT_TRUE(QDir(home.path()).mkpath("QZ2025"));
  EXPECT_EQ(mapWindowsPath("C:\\QZ2025\\03\\x.imp"), home.path() + "/QZ2025/03/x.imp");
}

TEST(WinPath, WithoutTheVariableDriveCIsHome) {
  qunsetenv("VORIK_DRIVE_C");
  EXPECT_EQ(mapWindowsPath("C:\\Zz-no-such-folder\\a.txt"), QDir::homePath() + "/Zz-no-such-folder/a.txt");
}

TEST(WinPath, OtherDrivesAndPathsWithoutDrive) {
  vorik::test::TempDir d;
  DriveC c(d.path());
  qputenv("VORIK_DRIVE_D", (d.path() + "/").toUtf8());
  EXPECT_EQ(mapWindowsPath("d:\\Mentes\\a.zip"), d.path() + "/Mentes/a.zip");
  EXPECT_EQ(mapWindowsPath("E:\\Mentes\\a.zip"), "/mnt/e/Mentes/a.zip");
  EXPECT_EQ(mapWindowsPath("qz2025.fdb"), "qz2025.fdb");
  EXPECT_EQ(mapWindowsPath("sub\\QzLista1.frf"), "sub/QzLista1.frf");
  EXPECT_EQ(mapWindowsPath("\\QZ2025\\x"), "/QZ2025/x");
  EXPECT_EQ(mapWindowsPath("\\\\server\\share\\x"), "//server/share/x");
  EXPECT_EQ(mapWindowsPath(""), "");
  EXPECT_EQ(mapWindowsPath("1:\\x"), "1:/x");  // not a drive letter
  EXPECT_EQ(mapWindowsPath(":"), ":");
}

// Files named by bare name in the working folder (the program's layouts),
// found as the original's case-insensitive file system found them.
TEST(WinPath, MatchCaseFindsEntriesWithoutRegardToCase) {
  vorik::test::TempDir d;
  ASSERT_TRUE(QDir(d.path()).mkpath("Lists"));
  touch(d.file("QzLista7L.frf"));
  touch(d.file("QzLista7.frf"));
  touch(d.file("Lists/QzLista2.frf"));
  const QString previous = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(d.path()));
  EXPECT_EQ(matchCase("QzLista7l.frf"), "QzLista7L.frf");
  EXPECT_EQ(matchCase("QZLISTA7L.FRF"), "QzLista7L.frf");
  EXPECT_EQ(matchCase("QzLista7.frf"), "QzLista7.frf");
  EXPECT_EQ(matchCase("lists/qzlista2.frf"), "Lists/QzLista2.frf");
  EXPECT_EQ(matchCase(d.path() + "/LISTS/qzlista2.FRF"), d.path() + "/Lists/QzLista2.frf");
  // Names that match nothing keep their spelling, so a message can name them.
  EXPECT_EQ(matchCase("QzLista7 .frf"), "QzLista7 .frf");
  EXPECT_EQ(matchCase("QzLista79.frf"), "QzLista79.frf");
  EXPECT_EQ(matchCase("nosuch/QzLista7l.frf"), "nosuch/QzLista7l.frf");
  EXPECT_EQ(matchCase(""), "");
  QDir::setCurrent(previous);
}
