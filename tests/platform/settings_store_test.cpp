// The registry substitute: values written and read back by key path, and a
// full file system that leaves the settings as they were.
#include "platform/settings_store.h"

#include "support/full_disk.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include "qt_print.h"

using namespace platform;

namespace {

QByteArray readBytes(const QString &path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// The user's settings kept under folder while this lives.
class SettingsIn {
 public:
  explicit SettingsIn(const QString &folder) { QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder); }
  ~SettingsIn() {
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
  }
  static QString file() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Quorvane"), QStringLiteral("Vorik"))
        .fileName();
  }
};

}  // namespace

TEST(Registry, AFullDiskKeepsTheSettingsAsTheyWere) {
  vorik::test::FullDisk disk;
  SettingsIn settings(disk.path());
  const QString key = QStringLiteral("Form\\frDesigner1");
  writeRegistry(key, QStringLiteral("XPosition"), QStringLiteral("10"));
  writeRegistry(key, QStringLiteral("Width"), QStringLiteral("300"));
  const QByteArray before = readBytes(SettingsIn::file());
  ASSERT_TRUE(before.contains("XPosition=10"));

  disk.fill();
  writeRegistry(key, QStringLiteral("XPosition"), QStringLiteral("20"));
  disk.release();
  EXPECT_EQ(readBytes(SettingsIn::file()), before);
  EXPECT_EQ(readRegistry(key, QStringLiteral("XPosition")).toString(), QStringLiteral("10"));
  EXPECT_EQ(readRegistry(key, QStringLiteral("Width")).toString(), QStringLiteral("300"));

  // With room again the next write goes in, and nothing is left beside it.
  writeRegistry(key, QStringLiteral("XPosition"), QStringLiteral("30"));
  EXPECT_EQ(readRegistry(key, QStringLiteral("XPosition")).toString(), QStringLiteral("30"));
  EXPECT_EQ(readRegistry(key, QStringLiteral("Width")).toString(), QStringLiteral("300"));
  QStringList left = QFileInfo(SettingsIn::file()).dir().entryList(QDir::Files | QDir::Hidden);
  left.removeAll(QStringLiteral(".filler"));
  EXPECT_EQ(left, QStringList{QFileInfo(SettingsIn::file()).fileName()});
}
