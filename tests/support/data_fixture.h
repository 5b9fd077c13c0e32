#pragma once
// The register's data module in tests: opened over a test database, the
// process-wide state put back as at start, and DataModuleTest, a fresh
// database per test. Header only: for test programs that link the app module.
#include "app/SharedState.h"
#include "app/Unit2.h"
#include "app/tickets/TicketState.h"
#include "platform/launcher.h"
#include "report/core/FR_Class_Build.h"
#include "support/db_fixture.h"
#include "support/gui_driver.h"
#include "support/temp_dir.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

namespace vorik::test {

// The register's and the engine's process-wide state as at start
// (resetSharedState, resetTicketState, report::frResetGlobals).
inline void resetAppState() {
  resetSharedState();
  resetTicketState();
  report::frResetGlobals();
}

// A new data module (Data points to it) opened over the database at path;
// an empty path keeps the module's own name, found in the working folder.
inline std::unique_ptr<TData> openDataModule(const QString &path = QString()) {
  auto data = std::make_unique<TData>(nullptr);
  if (!path.isEmpty()) data->ZCon1->setDatabaseName(path);
  data->ZCon1->open();
  return data;
}

// Rolls back what the module's transaction holds and frees the module.
inline void closeDataModule(std::unique_ptr<TData> &data) {
  if (data && data->IBTrans1->active()) data->IBTrans1->rollback();
  data.reset();
}

// Runs one statement on its own query on the data module's transaction and commits.
inline void execCommitted(const QString &sql) {
  db::Query q;
  q.setTransaction(Data->IBTrans1);
  q.sql().add(sql);
  q.execute();
  Data->IBTrans1->commit();
}

// The process's launcher in tests: records what it was asked to open and
// which link schemes, answering works and handled.
class FakeLauncher : public platform::Launcher {
 public:
  bool open(const QString &path) override {
    opened << path;
    return works;
  }
  bool hasHandler(const QString &scheme) override {
    asked << scheme;
    return handled;
  }
  QStringList opened, asked;
  bool works = true, handled = true;
};

// A fresh database per test (of the schema() variant) with the data module
// open over it, after the process-wide state was put back as at start.
class DataModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetAppState();
    dir_ = std::make_unique<TempDir>();
    data_ = openDataModule(createTestDatabase(dir_->path(), schema()));
  }
  void TearDown() override {
    closeDataModule(data_);
    dir_.reset();
  }
  virtual db::SchemaVariant schema() const { return db::SchemaVariant::Current; }

  // Runs one statement on its own query and commits.
  void exec(const QString &sql) { execCommitted(sql); }
  // The first column of the first row of a select, as text ("" for none).
  QString scalar(const QString &sql) {
    db::Query q;
    q.setTransaction(Data->IBTrans1);
    q.sql().add(sql);
    q.open();
    return q.isEmpty() ? QString() : q.field(0).asString();
  }

  // A second program instance: its own attachment and transaction, holding
  // what lockSql changed uncommitted until release().
  struct OtherUser {
    db::Connection connection;
    db::Transaction transaction;
    db::Query query;
    OtherUser(const QString &lockSql) {
      connection.setDatabaseName(Data->ZCon1->databaseName());
      connection.setParams(db::defaultConnectionParams());
      transaction.setConnection(&connection);
      connection.open();
      query.setTransaction(&transaction);
      query.sql().add(lockSql);
      query.execute();
    }
    void release() { transaction.rollback(); }
  };

  // The object name of the widget that has the focus in w ("" for none).
  static QString focusName(QWidget *w) { return w->focusWidget() ? w->focusWidget()->objectName() : QString(); }

  // A key press and release on a line edit, as typing it would send them.
  static void typeKey(QLineEdit *edit, const QString &ch) {
    const int key = ch.isEmpty() ? 0 : ch.at(0).toUpper().unicode();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, ch);
    QApplication::sendEvent(edit, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, ch);
    QApplication::sendEvent(edit, &release);
  }

  std::unique_ptr<TempDir> dir_;
  std::unique_ptr<TData> data_;
};

}  // namespace vorik::test
