#include "db/transaction.h"

#include "db/connection.h"
#include "db/dataset.h"
#include "db/error.h"
#include "db/fb_internal.h"

#include <algorithm>

namespace db {

using namespace Firebird;

Transaction::Transaction(QObject *parent)
    : QObject(parent),
      params_{QStringLiteral("read_committed"), QStringLiteral("rec_version"), QStringLiteral("nowait")} {}

Transaction::~Transaction() {
  if (active()) {
    closeDataSets();
    fb::Status st;
    handle_->rollback(&st);
    handle_.ended(st);
  }
  for (DataSet *d : dataSets_) d->transaction_ = nullptr;
}

void Transaction::setConnection(Connection *c) {
  if (c == connection_) return;
  if (active()) throw Error(QStringLiteral("%1: cannot change the connection of an active transaction").arg(objectName()));
  if (connection_) disconnect(connection_, nullptr, this, nullptr);
  connection_ = c;
  if (c) {
    connect(c, &Connection::aboutToDisconnect, this, [this] {
      if (active()) rollback();
    });
    connect(c, &QObject::destroyed, this, [this] { connection_ = nullptr; });
  }
}

void Transaction::start() {
  if (active()) throw Error(QStringLiteral("%1: Transaction is already active").arg(objectName()));
  if (!connection_ || !connection_->connected())
    throw Error(QStringLiteral("%1: database not connected").arg(objectName()));
  fb::Status st;
  const fb::Owned<IXpbBuilder> tpb(fb::util()->getXpbBuilder(&st, IXpbBuilder::TPB, nullptr, 0));
  st.check();
  for (const QString &raw : params_) {
    const QString p = raw.trimmed().toLower();
    if (p.isEmpty()) continue;
    unsigned char tag;
    if (p == QLatin1String("read_committed")) tag = isc_tpb_read_committed;
    else if (p == QLatin1String("rec_version")) tag = isc_tpb_rec_version;
    else if (p == QLatin1String("no_rec_version")) tag = isc_tpb_no_rec_version;
    else if (p == QLatin1String("nowait")) tag = isc_tpb_nowait;
    else if (p == QLatin1String("wait")) tag = isc_tpb_wait;
    else if (p == QLatin1String("concurrency")) tag = isc_tpb_concurrency;
    else if (p == QLatin1String("consistency")) tag = isc_tpb_consistency;
    else if (p == QLatin1String("read")) tag = isc_tpb_read;
    else if (p == QLatin1String("write")) tag = isc_tpb_write;
    else throw Error(QStringLiteral("%1: unknown transaction parameter '%2'").arg(objectName(), raw));
    tpb->insertTag(&st, tag);
    st.check();
  }
  const unsigned char *buf = tpb->getBuffer(&st);
  unsigned len = tpb->getBufferLength(&st);
  st.check();
  handle_.reset(connection_->attachment()->startTransaction(&st, len, buf));
  st.check();
}

ITransaction *Transaction::handle() {
  if (!active()) start();
  return handle_.get();
}

void Transaction::closeDataSets() {
  // A dataset's close may not unregister it; copy first.
  std::vector<DataSet *> sets = dataSets_;
  for (DataSet *d : sets) d->closedByTransaction();
}

bool Transaction::hasHalfReadDataSets(const DataSet *except) const {
  for (const DataSet *d : dataSets_)
    if (d != except && !d->fetchedAll()) return true;
  return false;
}

void Transaction::fetchDataSets(const DataSet *except, const QString &table) {
  std::vector<DataSet *> sets = dataSets_;
  for (DataSet *d : sets)
    if (d != except) d->fetchBeforeWrite(table);
}

void Transaction::commit() {
  if (!active()) throw Error(QStringLiteral("%1: Transaction is not active").arg(objectName()));
  closeDataSets();
  fb::Status st;
  handle_->commit(&st);
  st.check();  // a failed commit leaves the transaction active for a rollback
  handle_.ended(st);
}

void Transaction::commitRetaining() {
  if (!active()) throw Error(QStringLiteral("%1: Transaction is not active").arg(objectName()));
  fb::Status st;
  handle_->commitRetaining(&st);
  st.check();
}

void Transaction::rollback() {
  if (!active()) throw Error(QStringLiteral("%1: Transaction is not active").arg(objectName()));
  closeDataSets();
  fb::Status st;
  handle_->rollback(&st);
  // The handle is gone either way (a lost attachment); report the engine's text.
  handle_.ended(st);
  st.check();
}

void Transaction::rollbackRetaining() {
  if (!active()) throw Error(QStringLiteral("%1: Transaction is not active").arg(objectName()));
  fb::Status st;
  handle_->rollbackRetaining(&st);
  st.check();
}

void Transaction::attach(DataSet *d) {
  if (std::find(dataSets_.begin(), dataSets_.end(), d) == dataSets_.end()) dataSets_.push_back(d);
}

void Transaction::detach(DataSet *d) { dataSets_.erase(std::remove(dataSets_.begin(), dataSets_.end(), d), dataSets_.end()); }

}  // namespace db
