#pragma once
// A working folder as the program has it: the current directory holds a new
// "qz2025.fdb" that the data module has open, drive C: is a folder of the
// test, and the launcher is a fake that records what it was asked to open.
#include "app/Unit2.h"
#include "platform/launcher.h"
#include "support/data_fixture.h"
#include "support/db_fixture.h"
#include "support/gui_driver.h"
#include "support/temp_dir.h"

#include <QDir>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace vorik::test {

class WorkingFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetAppState();
    oldCurrent_ = QDir::currentPath();
    QDir::setCurrent(work_.path());
    QDir(drive_.path()).mkpath(QStringLiteral("qz2025/ment"));
    qputenv("VORIK_DRIVE_C", drive_.path().toUtf8());
    platform::setLauncher(&launcher_);
    database_ = createTestDatabase(work_.path());
    data_ = openDataModule(database_);
  }
  void TearDown() override {
    closeDataModule(data_);
    platform::setLauncher(nullptr);
    qunsetenv("VORIK_DRIVE_C");
    QDir::setCurrent(oldCurrent_);
  }

  // The data module on a new database in folder (a small file system of a
  // test's), in place of the suite's.
  void openDatabaseIn(const QString &folder) {
    closeDataModule(data_);
    data_ = openDataModule(createTestDatabase(folder));
  }

  // Executes statements in a transaction of their own and commits.
  void exec(const QStringList &statements) {
    db::Transaction tr;
    tr.setConnection(Data->ZCon1);
    for (const QString &sql : statements) {
      db::Query q;
      q.setTransaction(&tr);
      q.sql().add(sql);
      q.execute();
    }
    tr.commit();
  }
  // The first column of the first row of a statement, as text.
  QString value(const QString &sql) {
    db::Query q;
    q.setTransaction(Data->IBTrans1);
    q.sql().add(sql);
    q.open();
    return q.isEmpty() ? QString() : q.field(0).asString();
  }

  // Runs action and answers every message box it opens with OK; the boxes seen.
  std::vector<MessageSeen> Run(const std::function<void()> &action) { return answerBoxes(action); }

  TempDir work_, drive_;
  QString database_, oldCurrent_;
  FakeLauncher launcher_;
  std::unique_ptr<TData> data_;
};

}  // namespace vorik::test
