#include "child_process.h"

#include "db/connection.h"
#include "db/dataset.h"
#include "db/error.h"
#include "db/transaction.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <cstdio>
#include <cstring>

namespace vorik::test {

ChildResult runChildProcess(const QStringList &args, const QProcessEnvironment &env) {
  ChildResult r;
  QProcess p;
  p.setProcessEnvironment(env);
  p.setProcessChannelMode(QProcess::MergedChannels);
  QElapsedTimer timer;
  timer.start();
  p.start(QCoreApplication::applicationFilePath(), QStringList{QStringLiteral("--child")} + args);
  if (!p.waitForFinished(60000)) {
    p.kill();
    p.waitForFinished();
    r.output = QStringLiteral("timeout");
    return r;
  }
  r.elapsedMs = timer.elapsed();
  r.crashed = p.exitStatus() != QProcess::NormalExit;
  r.exitCode = p.exitCode();
  r.output = QString::fromUtf8(p.readAll()).trimmed();
  return r;
}

int runChild(int argc, char **argv) {
  const QString mode = QString::fromLocal8Bit(argv[2]);
  try {
    if (argc < 4) return 1;
    db::Connection c;
    c.setDatabaseName(QString::fromLocal8Bit(argv[3]));
    c.setParams(db::defaultConnectionParams());
    db::Transaction t;
    t.setConnection(&c);
    c.open();
    if (mode == QLatin1String("connect")) {
      std::puts("connected");
      return 0;
    }
    if (mode == QLatin1String("update") && argc >= 5) {
      db::Query q;
      q.setTransaction(&t);
      q.sql().add(QStringLiteral("UPDATE ostermelo SET o_nev = :p1 WHERE ID_ostermelo = :p0"));
      q.paramByName(QStringLiteral("p1")).setString(QStringLiteral("Második"));
      q.paramByName(QStringLiteral("p0")).setString(QString::fromLocal8Bit(argv[4]));
      try {
        q.execute();
        t.commit();
      } catch (const db::Error &e) {
        std::printf("%s\n", e.what());
        return e.isLockConflict() ? 3 : 2;
      }
      std::puts("updated");
      return 0;
    }
    return 1;
  } catch (const db::Error &e) {
    std::printf("%s\n", e.what());
    return 2;
  }
}

}  // namespace vorik::test
