#include "app/Unit2.h"

#include "db/connection.h"
#include "db/dataset.h"
#include "db/transaction.h"
#include "platform/dialogs.h"

#include <exception>

TData *Data = nullptr;

namespace {

template <class T>
T *named(QObject *owner, const char *name) {
  auto *o = new T(owner);
  o->setObjectName(QString::fromLatin1(name));
  return o;
}

}  // namespace

TData::TData(QObject *owner) : QObject(owner) {
  setObjectName(QStringLiteral("Data"));

  ZCon1 = named<db::Connection>(this, "ZCon1");
  ZCon1->setDatabaseName(QStringLiteral("qz2025.fdb"));
  ZCon1->setParams({QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=tulipfang"),
                    QStringLiteral("lc_ctype=WIN1250")});
  IBTrans1 = named<db::Transaction>(this, "IBTrans1");
  IBTrans1->setConnection(ZCon1);
  IBTrans1->setParams({QStringLiteral("read_committed"), QStringLiteral("rec_version"),
                       QStringLiteral("nowait")});
  ZCon1->setDefaultTransaction(IBTrans1);

  auto table = [this](TTable *&t, const char *name, const char *tableName, bool readOnly) {
    t = named<TTable>(this, name);
    t->setTransaction(IBTrans1);
    t->setTableName(QString::fromLatin1(tableName));
    t->setReadOnly(readOnly);
  };
  table(IBTable1, "IBTable1", "QZFEJ", true);
  table(IBTable2, "IBTable2", "QZSOR", true);
  table(IBTable3, "IBTable3", "OSTERMELO", true);
  table(IBTable4, "IBTable4", "TERMEK", true);
  table(IBTable5, "IBTable5", "SORSZAM", true);
  table(IBTable6, "IBTable6", "ATVEVO", false);
  table(IBTable9, "IBTable9", "NAV", false);

  auto query = [this](TQuery *&q, const char *name, const char *sql) {
    q = named<TQuery>(this, name);
    q->setTransaction(IBTrans1);
    if (sql) q->sql().add(QString::fromLatin1(sql));
  };
  query(ZQ10, "ZQ10", "select * from QZFEJ ");
  query(ZQ20, "ZQ20", nullptr);
  query(ZQ30, "ZQ30", "select * from OSTERMELO");
  query(ZQ40, "ZQ40", nullptr);
  query(ZQ50, "ZQ50", nullptr);
  query(ZQ60, "ZQ60", nullptr);
  query(ZQ70, "ZQ70", nullptr);
  query(ZQ80, "ZQ80", nullptr);
  query(ZQ11, "ZQ11", nullptr);
  query(ZQ21, "ZQ21", nullptr);
  query(ZQ41, "ZQ41", nullptr);
  query(ZQ12, "ZQ12", nullptr);
  query(ZQ22, "ZQ22", nullptr);
  query(ZQ31, "ZQ31", nullptr);
  query(ZQ32, "ZQ32", nullptr);  // no data source
  query(ZQ33, "ZQ33", nullptr);
  query(ZQ61, "ZQ61", nullptr);
  query(ZQ90, "ZQ90", nullptr);
  query(ZQ91, "ZQ91", nullptr);

  createReportComponents();
  Data = this;
}

TData::~TData() {
  if (Data == this) Data = nullptr;
  destroyReportComponents();
  // Datasets let go of their statements before the connection detaches.
  try {
    ZCon1->close();
  } catch (const std::exception &) {
  }
}

bool TData::DatabaseWritable() {
  db::Query q;
  q.setTransaction(IBTrans1);
  q.sql().add(QStringLiteral("SELECT MON$READ_ONLY AS RO FROM MON$DATABASE"));
  q.open();
  return !q.isEmpty() && q.fieldByName(QStringLiteral("RO")).asInteger() == 0;
}

bool TData::Write(const QString &message, const std::function<void()> &statements,
                  CommitMode mode) {
  try {
    if (!IBTrans1->active()) IBTrans1->start();
    statements();
    if (mode == CommitMode::Commit) IBTrans1->commit();
    else IBTrans1->commitRetaining();
    return true;
  } catch (const std::exception &) {
    platform::showMessage(message);
    try {
      if (IBTrans1->active()) IBTrans1->rollback();
    } catch (const std::exception &) {
      // The rollback of a broken attachment fails too; nothing is left to undo.
    }
    return false;
  }
}
