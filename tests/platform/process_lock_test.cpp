// Holds of one process at a time: a second hold waits for the first to go,
// the lock file goes with its holder, and a lock file that cannot be made is
// told apart from a hold another has.
#include "platform/process_lock.h"

#include "platform/error_text.h"
#include "support/temp_dir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>

#include "qt_print.h"

using platform::ProcessLock;

namespace {

QStringList lockFiles(const QString &dir) {
  return QDir(dir).entryList({QStringLiteral("*.lock")}, QDir::Files | QDir::Hidden);
}

TEST(ProcessLock, OneHoldAtATimeAndItsFileGoesWithIt) {
  vorik::test::TempDir dir;
  const QString purpose = QStringLiteral("locktest%1").arg(QCoreApplication::applicationPid());
  {
    auto taken = ProcessLock::take(dir.path(), purpose);
    ASSERT_TRUE(taken);
    std::unique_ptr<ProcessLock> first = *std::move(taken);
    const auto second = ProcessLock::take(dir.path(), purpose, QStringLiteral("busy"));
    EXPECT_FALSE(second);
    EXPECT_EQ(second.error(), 0);
    EXPECT_EQ(second.reason(), QStringLiteral("busy"));
    first.reset();
    EXPECT_EQ(lockFiles(dir.path()), QStringList());
    const auto third = ProcessLock::take(dir.path(), purpose, QStringLiteral("busy"));
    EXPECT_TRUE(third);
    EXPECT_EQ(third.reason(), QString());
  }
  EXPECT_EQ(lockFiles(dir.path()), QStringList());
}

TEST(ProcessLock, ALockFileThatCannotBeMadeIsNoHoldOfAnother) {
  vorik::test::TempDir dir;
  // A folder that is a file: no lock file can be made in it.
  QFile notAFolder(dir.file(QStringLiteral("file")));
  ASSERT_TRUE(notAFolder.open(QIODevice::WriteOnly));
  const auto lock = ProcessLock::take(notAFolder.fileName() + QLatin1Char('/'), QStringLiteral("locktest"),
                                      QStringLiteral("busy"));
  EXPECT_FALSE(lock);
  EXPECT_EQ(lock.error(), ENOTDIR);
  EXPECT_TRUE(lock.reason().contains(platform::systemErrorText(ENOTDIR) + QLatin1Char('.')))
      << lock.reason().toStdString();
}

}  // namespace
