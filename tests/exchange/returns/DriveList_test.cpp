// The merge dialog's drive list and the drive letters behind it: USB sticks
// mounted under /media/<user>/ come after the fixed drives, in mount order,
// and their letters map to the sticks' folders.
#include "exchange/returns/ReturnControls.h"
#include "platform/win_path.h"
#include "support/qt_print.h"
#include "support/temp_dir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using vorik::test::TempDir;

namespace {

class DriveList : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char *mnt : {"/mnt/e", "/mnt/f", "/mnt/g"})
      if (QFileInfo(QString::fromLatin1(mnt)).isDir()) GTEST_SKIP() << mnt << " is a fixed drive here";
    qputenv("VORIK_DRIVE_C", QFile::encodeName(c_.path()));
    qputenv("VORIK_DRIVE_D", QFile::encodeName(d_.path()));
    media_ = root_.file(QStringLiteral("media/anna"));
    for (const char *stick : {"KINGSTON", "MY STICK", "KINGSTON/inner"})
      QDir(media_).mkpath(QString::fromLatin1(stick));
    table_ = root_.file(QStringLiteral("mounts"));
    platform::setRemovableMediaSource(table_, media_);
  }
  void TearDown() override {
    platform::setRemovableMediaSource(QString(), QString());
    qunsetenv("VORIK_DRIVE_C");
    qunsetenv("VORIK_DRIVE_D");
  }
  void mount(const QStringList &points) {
    QByteArray text = "/dev/sda1 / ext4 rw,relatime 0 0\n"
                      "tmpfs /media/other/DISK tmpfs rw 0 0\n";
    for (const QString &p : points) {
      QByteArray escaped = QFile::encodeName(p);
      escaped.replace(" ", "\\040");
      text += "/dev/sdx1 " + escaped + " vfat rw,nosuid 0 0\n";
    }
    QFile f(table_);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
  }
  static QStringList items(const returns::DriveComboBox &box) {
    QStringList list;
    for (int i = 0; i < box.count(); ++i) list << box.itemText(i);
    return list;
  }
  // The letters of the list from c: to g: (a machine may have others).
  static QStringList firstLetters(const returns::DriveComboBox &box) {
    QStringList list;
    for (const QString &item : items(box))
      if (item >= QLatin1String("c:") && item <= QLatin1String("g:")) list << item;
    return list;
  }

  TempDir root_, c_, d_;
  QString media_, table_;
};

}  // namespace

TEST_F(DriveList, SticksTakeTheNextFreeLettersInMountOrder) {
  // Mounted second is listed second, whatever its name; a folder inside a
  // stick and another user's medium are no drives.
  mount({media_ + QStringLiteral("/MY STICK"), media_ + QStringLiteral("/KINGSTON"),
         media_ + QStringLiteral("/KINGSTON/inner")});
  returns::DriveComboBox box;
  EXPECT_EQ(firstLetters(box), (QStringList{QStringLiteral("c:"), QStringLiteral("d:"), QStringLiteral("e:"),
                                            QStringLiteral("f:")}));
  EXPECT_EQ(platform::mapWindowsPath(QStringLiteral("E:\\qz2025\\")), media_ + QStringLiteral("/MY STICK/qz2025/"));
  EXPECT_EQ(platform::mapWindowsPath(QStringLiteral("f:\\x.imp")), media_ + QStringLiteral("/KINGSTON/x.imp"));
  EXPECT_EQ(platform::mapWindowsPath(QStringLiteral("D:\\x.imp")), d_.path() + QStringLiteral("/x.imp"));

  // A drive letter set for the program keeps its letter; the sticks move on.
  qputenv("VORIK_DRIVE_E", QFile::encodeName(d_.path()));
  returns::DriveComboBox again;
  EXPECT_EQ(firstLetters(again), (QStringList{QStringLiteral("c:"), QStringLiteral("d:"), QStringLiteral("e:"),
                                              QStringLiteral("f:"), QStringLiteral("g:")}));
  EXPECT_EQ(platform::mapWindowsPath(QStringLiteral("G:\\")), media_ + QStringLiteral("/KINGSTON/"));
  qunsetenv("VORIK_DRIVE_E");

  // Taken out: the letters are gone from the list.
  mount({});
  returns::DriveComboBox none;
  EXPECT_EQ(firstLetters(none), (QStringList{QStringLiteral("c:"), QStringLiteral("d:")}));
}
