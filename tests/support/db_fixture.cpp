#include "support/db_fixture.h"

#include <cmath>

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

Attachment::Attachment(const QString &path) {
  connection_.setDatabaseName(path);
  connection_.setParams(db::defaultConnectionParams());
  transaction_.setConnection(&connection_);
  transaction_.setParams({QStringLiteral("read_committed"), QStringLiteral("rec_version"), QStringLiteral("nowait")});
  connection_.open();
}

Attachment::~Attachment() {
  try {
    if (transaction_.active()) transaction_.rollback();
    connection_.close();
  } catch (const std::exception &) {
  }
}

void Attachment::exec(const QString &sql) {
  db::Query q;
  q.setTransaction(&transaction_);
  q.sql().add(sql);
  q.execute();
}

QVariant Attachment::value(const QString &sql) {
  db::Query q;
  q.setTransaction(&transaction_);
  q.sql().add(sql);
  q.open();
  return q.isEmpty() ? QVariant() : q.field(0).value();
}

void insertTicketLines(db::Transaction &transaction, int digits) {
  db::Query fill;
  fill.setTransaction(&transaction);
  // 10^digits numbers from crossed digit tables.
  QString table = QStringLiteral("(SELECT 0 AS n FROM rdb$database");
  for (int d = 1; d <= 9; ++d) table += QStringLiteral(" UNION ALL SELECT %1 FROM rdb$database").arg(d);
  table += QLatin1Char(')');
  QStringList terms, tables;
  const char *const names = "abcdefghij";
  for (int i = 0; i < digits; ++i) {
    const QChar n = QLatin1Char(names[i]);
    terms << (i == 0 ? QStringLiteral("%1.n").arg(n) : QStringLiteral("%1 * %2.n").arg(qint64(std::pow(10, i))).arg(n));
    tables << QStringLiteral("%1 %2").arg(table, n);
  }
  fill.sql().add(QStringLiteral("INSERT INTO qzsor ( s_bszam, s_termekkod, s_megnevezes, s_vtsz, s_levonszaz,"));
  fill.sql().add(QStringLiteral("  s_brutto, s_megy, s_ear, s_kompmerteke, s_akod, s_bizonylat )"));
  fill.sql().add(QStringLiteral("SELECT LPAD(25000000 + x / 4, 8, '0'), '00012', 'Őszibarack I. osztály', '0809',"));
  fill.sql().add(QStringLiteral("  5, 100 + MOD(x, 997), 'kg', 212.5, 12, '00001', ''"));
  fill.sql().add(QStringLiteral("FROM (SELECT %1 AS x").arg(terms.join(QStringLiteral(" + "))));
  fill.sql().add(QStringLiteral("  FROM %1)").arg(tables.join(QStringLiteral(", "))));
  fill.execute();
  transaction.commit();
}

void execApart(db::Connection &connection, const QString &sql) {
  apart(connection, sql, [](db::Query &q) {
    q.execute();
    return true;
  });
}

QString firstValueApart(db::Connection &connection, const QString &sql) {
  return apart(connection, sql, [](db::Query &q) {
    q.open();
    return q.isEmpty() ? QString() : q.field(0).asString();
  });
}

std::unique_ptr<TestDatabase> DatabaseTest::database_;

void DatabaseTest::SetUpTestSuite() { database_ = std::make_unique<TestDatabase>(); }

void DatabaseTest::TearDownTestSuite() { database_.reset(); }

void DatabaseTest::TearDown() {
  if (database_ && database_->transaction().active()) database_->transaction().rollback();
}

}  // namespace vorik::test
