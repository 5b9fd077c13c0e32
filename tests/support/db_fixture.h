#pragma once
// Real embedded databases for tests: a fresh database file from the schema in
// a temporary folder, with a connection and the one transaction set up as
// the program sets them up.
#include "db/connection.h"
#include "db/dataset.h"
#include "db/schema.h"
#include "db/transaction.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <memory>

namespace vorik::test {

// Creates "<dir>/<name>" from the schema; returns its path.
QString createTestDatabase(const QString &dir, db::SchemaVariant variant = db::SchemaVariant::Current,
                           const QString &name = QStringLiteral("qz2025.fdb"));

// One database file with an open connection and its transaction
// (read_committed, rec_version, nowait).
class TestDatabase {
 public:
  explicit TestDatabase(db::SchemaVariant variant = db::SchemaVariant::Current);
  ~TestDatabase();

  QString path() const { return path_; }
  db::Connection &connection() { return *connection_; }
  db::Transaction &transaction() { return *transaction_; }
  // A query on the transaction, owned by the caller.
  std::unique_ptr<db::Query> query(const QString &name = QString());
  // Executes one statement and commits.
  void exec(const QString &sql);

 private:
  TempDir dir_;
  QString path_;
  std::unique_ptr<db::Connection> connection_;
  std::unique_ptr<db::Transaction> transaction_;
};

// An attachment to an existing database file with a transaction of its own
// (read_committed, rec_version, nowait), as another program holds it.
class Attachment {
 public:
  explicit Attachment(const QString &path);
  // Rolls back what is left uncommitted and detaches.
  ~Attachment();
  db::Connection &connection() { return connection_; }
  db::Transaction &transaction() { return transaction_; }
  // Executes one statement in the transaction, without committing.
  void exec(const QString &sql);
  // The first column of the first row of a statement (null when none).
  QVariant value(const QString &sql);
  qint64 count(const QString &table) { return value(QStringLiteral("SELECT COUNT(*) FROM ") + table).toLongLong(); }

 private:
  db::Connection connection_;
  db::Transaction transaction_;
};

// Inserts 10^digits ticket lines of one product (quantities vary, four
// lines a serial from "25000000" on) and commits: the data of the
// benchmarks that walk QZSOR.
void insertTicketLines(db::Transaction &transaction, int digits);

// Runs body on a query (holding sql) of a transaction of its own on
// connection, apart from the program's one, and commits it; body's result.
template <class F>
auto apart(db::Connection &connection, const QString &sql, F body) {
  db::Transaction tr;
  tr.setConnection(&connection);
  tr.setParams({QStringLiteral("read_committed"), QStringLiteral("rec_version"), QStringLiteral("nowait")});
  db::Query q;
  q.setTransaction(&tr);
  q.sql().add(sql);
  const auto result = body(q);
  q.close();
  tr.commit();
  return result;
}
// One statement executed and committed apart from the program's transaction.
void execApart(db::Connection &connection, const QString &sql);
// The first column of the first row as committed; empty when there is none.
QString firstValueApart(db::Connection &connection, const QString &sql);

// GoogleTest base: one fresh database file per suite (made in
// SetUpTestSuite, removed in TearDownTestSuite), for tests that open it
// their own way, as the data module does.
class SuiteDatabaseTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dbDir_ = new TempDir;
    dbPath_ = createTestDatabase(dbDir_->path());
  }
  static void TearDownTestSuite() {
    delete dbDir_;
    dbDir_ = nullptr;
  }
  static QString dbPath() { return dbPath_; }

 private:
  static inline TempDir *dbDir_ = nullptr;
  static inline QString dbPath_;
};

// GoogleTest base: one fresh database per suite (created in
// SetUpTestSuite), connected for each test; each test ends with a rollback of
// whatever it left uncommitted. Tests that must not see each other's rows
// use distinct keys.
class DatabaseTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  void TearDown() override;

  static TestDatabase &database() { return *database_; }
  static db::Connection &connection() { return database_->connection(); }
  static db::Transaction &transaction() { return database_->transaction(); }
  static std::unique_ptr<db::Query> query(const QString &name = QString()) { return database_->query(name); }

 private:
  static std::unique_ptr<TestDatabase> database_;
};

}  // namespace vorik::test
