#pragma once
// The transaction of a connection. Starting is implicit: the first open or
// execute of a dataset starts it when inactive. Commit and rollback close
// every dataset of the transaction; commit retaining keeps them open.
#include "db/fb_owned.h"

#include <QObject>
#include <QStringList>

#include <vector>

namespace Firebird {
class ITransaction;
}

namespace db {

class Connection;
class DataSet;

class Transaction : public QObject {
  Q_OBJECT
 public:
  explicit Transaction(QObject *parent = nullptr);
  ~Transaction() override;

  void setConnection(Connection *c);
  Connection *connection() const { return connection_; }
  // Transaction parameters, one per line: read_committed, rec_version,
  // nowait (the default set), or concurrency, consistency, wait, read, write,
  // no_rec_version.
  QStringList &params() { return params_; }
  void setParams(const QStringList &params) { params_ = params; }

  bool active() const { return static_cast<bool>(handle_); }
  void start();
  void commit();
  void commitRetaining();
  void rollback();
  void rollbackRetaining();

  // The engine's transaction, started when inactive.
  Firebird::ITransaction *handle();

 private:
  friend class DataSet;
  friend class Query;
  void attach(DataSet *d);
  void detach(DataSet *d);
  void closeDataSets();
  // Before a statement of this transaction writes to table (empty: to any
  // table), the half-read datasets but one that read that table fetch their
  // rest: what a dataset shows stays what was there when it was opened.
  bool hasHalfReadDataSets(const DataSet *except) const;
  void fetchDataSets(const DataSet *except, const QString &table);

  Connection *connection_ = nullptr;
  QStringList params_;
  fb::Owned<Firebird::ITransaction> handle_;
  std::vector<DataSet *> dataSets_;
};

}  // namespace db
