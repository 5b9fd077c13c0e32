// vorik-createdb: creates a register database file from the schema.
//   vorik-createdb [--old] [--sample] <path>
// --old     the older schema, before the upgrade dialogs' columns and widths
// --sample  adds one sample receiver with its numbering row
// An existing file is never overwritten.
#include "db/connection.h"
#include "db/dataset.h"
#include "db/error.h"
#include "db/schema.h"
#include "db/transaction.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

namespace {

void addSampleReceiver(const QString &path) {
  db::Connection c;
  c.setDatabaseName(path);
  c.setParams(db::defaultConnectionParams());
  db::Transaction t;
  t.setConnection(&c);
  c.open();
  db::Query q;
  q.setTransaction(&t);
  q.sql().add(QStringLiteral("INSERT INTO atvevo ( v_akod, v_neve, v_irszam, v_helyseg, v_utca, v_jelleg,"));
  q.sql().add(QStringLiteral("  v_hazszam, v_kisado, v_ev, v_verzio, v_nyilatk )"));
  q.sql().add(QStringLiteral("  VALUES ( :p1, :p2, :p3, :p4, :p5, :p6, :p7, :p8, :p9, :p10, :p11 )"));
  const QString values[] = {QStringLiteral("00001"), QStringLiteral("Minta Átvevő"), QStringLiteral("1011"),
                            QStringLiteral("Budapest"), QStringLiteral("Fő"), QStringLiteral("utca"),
                            QStringLiteral("1."), QStringLiteral("false"), QStringLiteral("false"),
                            QStringLiteral("A"), QStringLiteral(" ")};
  for (int i = 0; i < 11; ++i) q.paramByName(QStringLiteral("p%1").arg(i + 1)).setString(values[i]);
  q.execute();
  q.sql().clear();
  q.sql().add(QStringLiteral("INSERT INTO sorszam ( a_akod, a_qzbszam ) VALUES ( :p1, :p2 )"));
  q.paramByName(QStringLiteral("p1")).setString(QStringLiteral("00001"));
  q.paramByName(QStringLiteral("p2")).setString(QStringLiteral("25000000"));
  q.execute();
  t.commit();
  c.close();
}

}  // namespace

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  bool old = false, sample = false;
  QString path;
  const QStringList args = app.arguments().mid(1);
  for (const QString &a : args) {
    if (a == QLatin1String("--old")) old = true;
    else if (a == QLatin1String("--sample")) sample = true;
    else if (path.isEmpty() && !a.startsWith(QLatin1String("--"))) path = a;
    else {
      std::fprintf(stderr, "usage: vorik-createdb [--old] [--sample] <path>\n");
      return 1;
    }
  }
  if (path.isEmpty()) {
    std::fprintf(stderr, "usage: vorik-createdb [--old] [--sample] <path>\n");
    return 1;
  }
  try {
    db::createDatabase(path, db::schemaScript(old ? db::SchemaVariant::Old : db::SchemaVariant::Current));
  } catch (const db::Error &e) {
    std::fprintf(stderr, "vorik-createdb: %s\n", e.what());
    return 2;
  }
  if (sample) {
    try {
      addSampleReceiver(path);
    } catch (const db::Error &e) {
      // The file would lack its receiver: take it away again.
      QFile::remove(path);
      std::fprintf(stderr, "vorik-createdb: %s\n", e.what());
      return 2;
    }
  }
  std::printf("created %s\n", qPrintable(path));
  return 0;
}
