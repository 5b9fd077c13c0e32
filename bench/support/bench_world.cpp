#include "bench/support/bench_world.h"

#include <QStringList>

#include "app/SharedState.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/schema.h"
#include "db/transaction.h"

namespace bench {

Database::Database(const QString &fileName) {
  const QString path = dir.filePath(fileName);
  db::createDatabase(path, db::schemaScript());
  data.ZCon1->setDatabaseName(path);
  data.ZCon1->open();
}

void Database::run(const QString &sql) {
  db::Query q;
  q.setTransaction(data.IBTrans1);
  q.sql().add(sql);
  q.execute();
  data.IBTrans1->commit();
}

void Database::addReceiver() {
  AtvevoKod = QStringLiteral("B0001");
  TipusNormal = QStringLiteral("1");
  run(QStringLiteral("INSERT INTO ATVEVO (V_AKOD, V_NEVE, V_IRSZAM, V_HELYSEG, V_UTCA, V_HAZSZAM, "
                     "V_ADOSZAM, V_BANKSZLA, V_KISADO) VALUES ('B0001', 'Átvevő Kft.', '6000', "
                     "'Kecskemét', 'Fő', '1.', '12345678203', '11773016-12345678', 'true')"));
}

void Database::addDigits() {
  run(QStringLiteral("CREATE TABLE DIGITS (N INTEGER)"));
  for (int i = 0; i < 10; ++i) run(QStringLiteral("INSERT INTO DIGITS VALUES (%1)").arg(i));
}

QString DigitNumbers(qint64 first, int count) {
  QStringList terms, tables;
  for (int place = 1, column = 0; column == 0 || place < count; place *= 10, ++column) {
    const QChar name(QLatin1Char('a' + column));
    terms << (place == 1 ? QStringLiteral("%1.n").arg(name) : QStringLiteral("%1 * %2.n").arg(place).arg(name));
    tables << QStringLiteral("DIGITS %1").arg(name);
  }
  const QString k = terms.join(QStringLiteral(" + "));
  return QStringLiteral("SELECT %1 + %2 AS i FROM %3 WHERE %2 < %4")
      .arg(first)
      .arg(k, tables.join(QStringLiteral(", ")))
      .arg(count);
}

}  // namespace bench
