// The second processes of the multi-process tests.
#include "child_modes.h"

#include "db/connection.h"
#include "db/dataset.h"
#include "db/transaction.h"
#include "exchange/excel/WorkbookFile.h"
#include "platform/whole_file.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <cstdio>

#include <unistd.h>

namespace vorik::test {

namespace {

[[noreturn]] void readyThenWait() {
  std::puts("ready");
  std::fflush(stdout);
  for (;;) QThread::sleep(1);
}

int backupKilled(const QStringList &args) {
  if (args.size() < 2) return 1;
  db::Connection c;
  c.setDatabaseName(args[0]);
  c.setParams(db::defaultConnectionParams());
  db::Transaction t;
  t.setConnection(&c);
  c.open();
  db::Query q;
  q.setTransaction(&t);
  q.sql().add(QStringLiteral("ALTER DATABASE BEGIN BACKUP"));
  q.execute();
  t.commit();
  QString temp;
  const int fd = platform::createTemporaryBeside(args[1], &temp);
  if (fd < 0) return 2;
  QFile in(args[0]);
  if (!in.open(QIODevice::ReadOnly)) return 3;
  const QByteArray part = in.read(64 * 1024);
  if (::write(fd, part.constData(), static_cast<size_t>(part.size())) != part.size()) return 4;
  readyThenWait();
}

int excelKilled(const QStringList &args) {
  if (args.isEmpty()) return 1;
  excel::WorkbookFile file(args[0]);
  const QByteArray chunk(1 << 20, 'x');
  file.write(chunk.constData(), static_cast<std::size_t>(chunk.size()));
  readyThenWait();
}

}  // namespace

int runExchangeChild(const QString &mode, const QStringList &args) {
  try {
    if (mode == QLatin1String("backup-killed")) return backupKilled(args);
    if (mode == QLatin1String("excel-killed")) return excelKilled(args);
  } catch (const std::exception &e) {
    std::printf("error %s\n", e.what());
    return 5;
  }
  return 1;
}

Child::Child(const QStringList &args) : p_(std::make_unique<QProcess>()) {
  p_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  p_->start(QCoreApplication::applicationFilePath(), QStringList{QStringLiteral("--child")} + args);
}

Child::~Child() { kill(); }

QByteArray Child::waitFor(const QByteArray &prefix, int ms) {
  QElapsedTimer timer;
  timer.start();
  for (;;) {
    for (qsizetype nl; (nl = buffer_.indexOf('\n')) >= 0;) {
      const QByteArray line = buffer_.left(nl);
      buffer_.remove(0, nl + 1);
      if (line.startsWith(prefix)) return line;
    }
    const qint64 left = ms - timer.elapsed();
    if (left <= 0 || p_->state() == QProcess::NotRunning) return QByteArray();
    if (p_->waitForReadyRead(static_cast<int>(qMin<qint64>(left, 1000)))) buffer_ += p_->readAllStandardOutput();
  }
}

void Child::send(const QByteArray &line) {
  p_->write(line + '\n');
  p_->waitForBytesWritten();
}

void Child::kill() {
  if (p_->state() == QProcess::NotRunning) return;
  p_->kill();
  p_->waitForFinished(30000);
}

}  // namespace vorik::test
