#include "app/Unit2.h"

#include "app/logging.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/transaction.h"
#include "platform/dialogs.h"
#include "platform/error_text.h"

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

  auto table = [this](db::Table *&t, db::DataSource *&ds, const char *name, const char *source,
                      const char *tableName, bool readOnly) {
    t = named<db::Table>(this, name);
    t->setTransaction(IBTrans1);
    t->setTableName(QString::fromLatin1(tableName));
    t->setReadOnly(readOnly);
    ds = named<db::DataSource>(this, source);
    ds->setDataSet(t);
  };
  table(IBTable1, DS1, "IBTable1", "DS1", "QZFEJ", true);
  table(IBTable2, DS2, "IBTable2", "DS2", "QZSOR", true);
  table(IBTable3, DS3, "IBTable3", "DS3", "OSTERMELO", true);
  table(IBTable4, DS4, "IBTable4", "DS4", "TERMEK", true);
  table(IBTable5, DS5, "IBTable5", "DS5", "SORSZAM", true);
  table(IBTable6, DS6, "IBTable6", "DS6", "ATVEVO", false);
  table(IBTable9, DS9, "IBTable9", "DS9", "NAV", false);

  auto query = [this]<class Q>(Q *&q, const char *name, const char *sql) {
    q = named<Q>(this, name);
    q->setTransaction(IBTrans1);
    if (sql) q->sql().add(QString::fromLatin1(sql));
  };
  auto source = [this](db::DataSource *&ds, const char *name, db::Query *q) {
    ds = named<db::DataSource>(this, name);
    ds->setDataSet(q);
  };
  query(ZQ10, "ZQ10", "select * from QZFEJ ");
  source(DSQ10, "DSQ10", ZQ10);
  query(ZQ20, "ZQ20", nullptr);
  source(DSQ20, "DSQ20", ZQ20);
  query(ZQ30, "ZQ30", "select * from OSTERMELO");
  source(DSQ30, "DSQ30", ZQ30);
  query(ZQ40, "ZQ40", nullptr);
  source(DSQ40, "DSQ40", ZQ40);
  query(ZQ50, "ZQ50", nullptr);
  source(DSQ50, "DSQ50", ZQ50);
  query(ZQ60, "ZQ60", nullptr);
  source(DSQ60, "DSQ60", ZQ60);
  query(ZQ70, "ZQ70", nullptr);
  source(DSQ70, "DSQ70", ZQ70);
  query(ZQ80, "ZQ80", nullptr);
  source(DSQ80, "DSQ80", ZQ80);
  query(ZQ11, "ZQ11", nullptr);
  source(DS11, "DS11", ZQ11);
  query(ZQ21, "ZQ21", nullptr);
  source(DS21, "DS21", ZQ21);
  query(ZQ41, "ZQ41", nullptr);
  source(DS41, "DS41", ZQ41);
  query(ZQ12, "ZQ12", nullptr);
  source(DS12, "DS12", ZQ12);
  query(ZQ22, "ZQ22", nullptr);
  source(DS22, "DS22", ZQ22);
  query(ZQ31, "ZQ31", nullptr);
  source(DS31, "DS31", ZQ31);
  query(ZQ32, "ZQ32", nullptr);  // no data source
  query(ZQ33, "ZQ33", nullptr);
  source(DS33, "DS33", ZQ33);
  query(ZQ61, "ZQ61", nullptr);
  source(DSQ61, "DSQ61", ZQ61);
  query(ZQ90, "ZQ90", nullptr);
  source(DS90, "DS90", ZQ90);
  query(ZQ91, "ZQ91", nullptr);
  source(DS91, "DS91", ZQ91);

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
    // Passed over: the data module goes either way.
    platform::logCaught(lcApp(), QStringLiteral("closing the database"));
  }
}

bool TData::DatabaseWritable() {
  db::Query q;
  q.setTransaction(IBTrans1);
  q.sql().add(QStringLiteral("SELECT MON$READ_ONLY AS RO FROM MON$DATABASE"));
  q.open();
  return !q.isEmpty() && q.fieldByName(QStringLiteral("RO")).asInteger() == 0;
}

bool TData::Write(const QString &firstStep, const std::function<void(WriteSteps &)> &statements,
                  CommitMode mode) {
  WriteSteps steps(firstStep);
  try {
    if (!IBTrans1->active()) IBTrans1->start();
    statements(steps);
    if (mode == CommitMode::Commit) IBTrans1->commit();
    else IBTrans1->commitRetaining();
    return true;
  } catch (const std::exception &) {
    // Undone first: the box may wait for a person, the rows must not (still
    // inside this handler, the failure logged is this write's).
    try {
      if (IBTrans1->active()) IBTrans1->rollback();
    } catch (const std::exception &) {
      // The rollback of a broken attachment fails too; nothing is left to undo.
      platform::logCaught(lcApp(), QStringLiteral("rollback"));
    }
    platform::showFailure(lcApp(), steps.message());
    return false;
  }
}

bool TData::Write(db::Transaction &transaction, const QString &firstStep,
                  const std::function<void(WriteSteps &)> &statements, bool commit) {
  auto run = [&](const char *sql) {
    db::Query q;
    q.setTransaction(&transaction);
    q.sql().add(QString::fromLatin1(sql));
    q.execute();
  };
  WriteSteps steps(firstStep);
  bool savepoint = false;
  try {
    if (!transaction.active()) transaction.start();
    run("SAVEPOINT VORIK_WRITE");
    savepoint = true;
    statements(steps);
    if (commit) transaction.commit();
    else run("RELEASE SAVEPOINT VORIK_WRITE");
    return true;
  } catch (const std::exception &) {
    // Undone first: the box may wait for a person, the rows must not (still
    // inside this handler, the failure logged is this write's).
    auto rollbackAll = [&] {
      try {
        if (transaction.active()) transaction.rollback();
      } catch (const std::exception &) {
        platform::logCaught(lcApp(), QStringLiteral("rollback"));
      }
    };
    if (steps.abandoned()) {
      rollbackAll();
    } else {
      try {
        if (savepoint && transaction.active()) run("ROLLBACK TO SAVEPOINT VORIK_WRITE");
      } catch (const std::exception &) {
        platform::logCaught(lcApp(), QStringLiteral("rollback to savepoint"));
        rollbackAll();
      }
    }
    platform::showFailure(lcApp(), steps.message());
    return false;
  }
}
