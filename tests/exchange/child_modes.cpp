// The second processes of the multi-process tests.
#include "child_modes.h"

#include "app/SharedState.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/transaction.h"
#include "exchange/audit/AuditStaging.h"
#include "exchange/audit/AuditXml.h"
#include "exchange/audit/Unit40.h"
#include "exchange/inventory/Unit41.h"
#include "exchange/excel/WorkbookFile.h"
#include "platform/whole_file.h"
#include "support/data_fixture.h"
#include "support/gui_driver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

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

// The boxes an action showed, each answered with OK, as one line.
QString boxes(const std::function<void()> &action) {
  QStringList texts;
  for (const MessageSeen &m : answerBoxes(action))
    texts << QString(m.text).replace(QLatin1Char('\r'), QLatin1Char('|'));
  return texts.join(QStringLiteral(" / "));
}

void reply(const QString &line) { std::cout << line.toStdString() << std::endl; }

// One program instance's audit data supply, driven by commands on standard
// input, each answered by one line:
//   collect -> "collected 1|0 <boxes>"   the March range of the receiver
//   export  -> "exported 1|0 <boxes>"    to the target
//   close   -> "closed"                  as the dialog closing
//   quit
int audit(const QStringList &args) {
  if (args.size() < 3) return 1;
  resetAppState();
  auto data = openDataModule(args[0]);
  AtvevoKod = args[1];
  XmlOnszamla = QStringLiteral("true");
  XmlSzlaForma = QStringLiteral("Papir alapon számítógéppel kiállított");
  AuditSelection selection;
  selection.from = QDate(2025, 3, 1);
  selection.to = QDate(2025, 3, 31);
  reply(QStringLiteral("ready"));
  for (std::string command; std::getline(std::cin, command);) {
    if (command == "collect") {
      bool ok = false;
      const QString seen = boxes([&] { ok = CollectAudit(selection); });
      reply(QStringLiteral("collected %1 %2").arg(ok ? 1 : 0).arg(seen));
    } else if (command == "export") {
      AuditExport e;
      e.from = selection.from;
      e.to = selection.to;
      e.path = args[2];
      e.today = QDate(2025, 4, 5);
      bool ok = false;
      const QString seen = boxes([&] { ok = ExportAuditXml(e); });
      reply(QStringLiteral("exported %1 %2").arg(ok ? 1 : 0).arg(seen));
    } else if (command == "close") {
      ReleaseAuditStaging();
      reply(QStringLiteral("closed"));
    } else if (command == "open") {
      // The dialog's opening, with the target as its file.
      XmlHova = args[2];
      {
        TForm40 dialog;
        dialog.IniPath = args[2] + QStringLiteral(".ini");
        dialog.FormShow();
      }
      reply(QStringLiteral("opened %1").arg(QFile::exists(args[2]) ? 1 : 0));
    } else if (command == "quit") {
      break;
    }
  }
  closeDataModule(data);
  return 0;
}

}  // namespace

// One program instance's inventory hand-over dialog, driven by commands on
// standard input, each answered by one line:
//   collect -> "collected 1|0 <boxes>"   "Kigyüjtés" over March
//   hand    -> "handed <boxes>"          "Adatátadás" to the target
//   close   -> "closed"                  the dialog closing
int inventory(const QStringList &args) {
  if (args.size() < 3) return 1;
  resetAppState();
  auto data = openDataModule(args[0]);
  AtvevoKod = args[1];
  auto dialog = std::make_unique<TForm41>();
  dialog->DateTimePicker1->setDate(QDate(2025, 3, 1));
  dialog->DateTimePicker2->setDate(QDate(2025, 3, 31));
  dialog->Edit1->setText(args[2]);
  reply(QStringLiteral("ready"));
  for (std::string command; std::getline(std::cin, command);) {
    if (command == "collect") {
      const QString seen = boxes([&] { dialog->Button4Click(); });
      reply(QStringLiteral("collected %1 %2").arg(dialog->Button2->isEnabled() ? 1 : 0).arg(seen));
    } else if (command == "hand") {
      reply(QStringLiteral("handed ") + boxes([&] { dialog->Button2Click(); }));
    } else if (command == "close") {
      dialog.reset();
      reply(QStringLiteral("closed"));
    } else if (command == "quit") {
      break;
    }
  }
  dialog.reset();
  closeDataModule(data);
  return 0;
}

int runExchangeChild(const QString &mode, const QStringList &args) {
  try {
    if (mode == QLatin1String("backup-killed")) return backupKilled(args);
    if (mode == QLatin1String("excel-killed")) return excelKilled(args);
    if (mode == QLatin1String("audit")) return audit(args);
    if (mode == QLatin1String("inventory")) return inventory(args);
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
    if (p_->waitForReadyRead(static_cast<int>(qMin<qint64>(left, 1000))))
      buffer_ += p_->readAllStandardOutput();
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
