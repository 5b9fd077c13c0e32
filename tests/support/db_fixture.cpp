#include "support/db_fixture.h"

#include <QDir>

namespace vorik::test {

QString createTestDatabase(const QString &dir, db::SchemaVariant variant, const QString &name) {
  const QString path = QDir(dir).filePath(name);
  db::createDatabase(path, db::schemaScript(variant));
  return path;
}

TestDatabase::TestDatabase(db::SchemaVariant variant)
    : path_(createTestDatabase(dir_.path(), variant)),
      connection_(std::make_unique<db::Connection>()),
      transaction_(std::make_unique<db::Transaction>()) {
  connection_->setObjectName(QStringLiteral("ZCon1"));
  connection_->setDatabaseName(path_);
  connection_->setParams(db::defaultConnectionParams());
  transaction_->setObjectName(QStringLiteral("IBTrans1"));
  transaction_->setConnection(connection_.get());
  connection_->setDefaultTransaction(transaction_.get());
  connection_->open();
}

TestDatabase::~TestDatabase() {
  transaction_.reset();
  connection_.reset();
}

std::unique_ptr<db::Query> TestDatabase::query(const QString &name) {
  auto q = std::make_unique<db::Query>();
  q->setObjectName(name);
  q->setTransaction(transaction_.get());
  return q;
}

void TestDatabase::exec(const QString &sql) {
  auto q = query();
  q->sql().add(sql);
  q->execute();
  transaction_->commit();
}

std::unique_ptr<TestDatabase> DatabaseTest::database_;

void DatabaseTest::SetUpTestSuite() { database_ = std::make_unique<TestDatabase>(); }

void DatabaseTest::TearDownTestSuite() { database_.reset(); }

void DatabaseTest::TearDown() {
  if (database_ && database_->transaction().active()) database_->transaction().rollback();
}

}  // namespace vorik::test
