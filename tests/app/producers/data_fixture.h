#pragma once
// The data module over a fresh database per suite; each test starts with
// empty producer, product and ticket tables.
#include "app/SharedState.h"
#include "app/Unit2.h"
#include "support/db_fixture.h"
#include "support/gui_driver.h"
#include "support/temp_dir.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

namespace vorik::test {

// Runs one statement on its own query on the data module's transaction and commits.
inline void execCommitted(const QString &sql) {
  db::Query q;
  q.setTransaction(Data->IBTrans1);
  q.sql().add(sql);
  q.execute();
  Data->IBTrans1->commit();
}

class DataModuleTest : public ::testing::Test {
 protected:
  static db::SchemaVariant variant() { return db::SchemaVariant::Current; }

  void SetUp() override {
    dir_ = std::make_unique<TempDir>();
    data_ = std::make_unique<TData>(nullptr);
    Data->ZCon1->setDatabaseName(createTestDatabase(dir_->path(), schema()));
    Data->ZCon1->open();
    AktOstermeloKod.clear();
    AktTermek.clear();
  }
  void TearDown() override {
    data_.reset();
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
