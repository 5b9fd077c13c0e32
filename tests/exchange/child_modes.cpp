// Second processes of the multi-process tests (support/child_process.h). Each
// prints "ready" once it is where a test wants it, then waits to be killed,
// unless said otherwise:
//   "backup-killed <database> <target>"  the state a copy killed midway leaves:
//       the engine's backup lock taken, a part of the file in a temporary
//       beside the target;
//   "excel-killed <target>"  a workbook half written to its temporary;
//   "lock record|whole <file>"  another program's lock on the file;
//   "month-hold <drive C> <folder>"  another program's gather holding the
//       month folder (its temporary folder drive C, not the parent's);
//   "audit <database> <receiver> <target>"  a program instance's audit data
//       supply (collect, export, close) driven by commands on standard input.
#include "app/SharedState.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/transaction.h"
#include "exchange/audit/AuditStaging.h"
#include "exchange/audit/AuditXml.h"
#include "exchange/audit/Unit40.h"
#include "exchange/inventory/Unit41.h"
#include "exchange/excel/WorkbookFile.h"
#include "exchange/returns/ReturnFiles.h"
#include "platform/process_lock.h"
#include "platform/whole_file.h"
#include "support/child_process.h"
#include "support/data_fixture.h"
#include "support/gui_driver.h"

#include <QDateEdit>
#include <QFile>
#include <QPushButton>
#include <QThread>

#include <iostream>
#include <memory>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace vorik::test {

namespace {

[[noreturn]] void readyThenWait() {
  tellParent(QStringLiteral("ready"));
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
  const platform::Result<platform::Temporary> temp = platform::createTemporaryBeside(args[1]);
  if (!temp) return 2;
  const int fd = temp->fd;
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

// Another program's lock on the file: "record" a shared record lock,
// "whole" an exclusive whole-file lock.
int holdLock(const QStringList &args) {
  if (args.size() != 2) return 1;
  const int fd = ::open(QFile::encodeName(args[1]).constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 2;
  struct flock record {};
  record.l_type = F_RDLCK;
  record.l_whence = SEEK_SET;
  const bool held = args[0] == QLatin1String("record") ? ::fcntl(fd, F_SETLK, &record) == 0
                                                       : ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  if (!held) return 3;
  readyThenWait();
}

// The boxes an action showed, each answered with OK, as one line.
QString boxes(const std::function<void()> &action) {
  QStringList texts;
  for (const MessageSeen &m : answerBoxes(action))
    texts << QString(m.text).replace(QLatin1Char('\r'), QLatin1Char('|'));
  return texts.join(QStringLiteral(" / "));
}

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
  tellParent(QStringLiteral("ready"));
  for (std::string command; std::getline(std::cin, command);) {
    if (command == "collect") {
      bool ok = false;
      const QString seen = boxes([&] { ok = CollectAudit(selection); });
      tellParent(QStringLiteral("collected %1 %2").arg(ok ? 1 : 0).arg(seen));
    } else if (command == "export") {
      AuditExport e;
      e.from = selection.from;
      e.to = selection.to;
      e.path = args[2];
      e.today = QDate(2025, 4, 5);
      bool ok = false;
      const QString seen = boxes([&] { ok = ExportAuditXml(e); });
      tellParent(QStringLiteral("exported %1 %2").arg(ok ? 1 : 0).arg(seen));
    } else if (command == "close") {
      ReleaseAuditStaging();
      tellParent(QStringLiteral("closed"));
    } else if (command == "open") {
      // The dialog's opening, with the target as its file.
      XmlHova = args[2];
      {
        TForm40 dialog;
        dialog.IniPath = args[2] + QStringLiteral(".ini");
        dialog.FormShow();
      }
      tellParent(QStringLiteral("opened %1").arg(QFile::exists(args[2]) ? 1 : 0));
    } else if (command == "quit") {
      break;
    }
  }
  closeDataModule(data);
  return 0;
}

const ChildMode kBackupKilled("backup-killed", backupKilled);
const ChildMode kExcelKilled("excel-killed", excelKilled);
const ChildMode kAudit("audit", audit);
const ChildMode kLock("lock", holdLock);
const ChildMode kMonthHold("month-hold", [](const QStringList &args) {
  qputenv("VORIK_DRIVE_C", QFile::encodeName(args.value(0)));
  qputenv("TMPDIR", QFile::encodeName(args.value(0)));  // not the parent's
  const auto hold = returns::HoldMonthFolder(args.value(1));
  readyThenWait();
  return 0;
});

}  // namespace

// One program instance's inventory hand-over dialog, driven by commands on
// standard input, each answered by one line:
//   collect -> "collected 1|0 <boxes>"   "Kigyüjtés" over March
//   hand    -> "handed <boxes>"          "Adatátadás" to the target
//   close   -> "closed"                  the dialog closing
namespace {

int inventory(const QStringList &args) {
  if (args.size() < 3) return 1;
  resetAppState();
  auto data = openDataModule(args[0]);
  AtvevoKod = args[1];
  auto dialog = std::make_unique<TForm41>();
  dialog->DateTimePicker1->setDate(QDate(2025, 3, 1));
  dialog->DateTimePicker2->setDate(QDate(2025, 3, 31));
  dialog->Edit1->setText(args[2]);
  tellParent(QStringLiteral("ready"));
  for (std::string command; std::getline(std::cin, command);) {
    if (command == "collect") {
      const QString seen = boxes([&] { dialog->Button4Click(); });
      tellParent(QStringLiteral("collected %1 %2").arg(dialog->Button2->isEnabled() ? 1 : 0).arg(seen));
    } else if (command == "hand") {
      tellParent(QStringLiteral("handed ") + boxes([&] { dialog->Button2Click(); }));
    } else if (command == "close") {
      dialog.reset();
      tellParent(QStringLiteral("closed"));
    } else if (command == "quit") {
      break;
    }
  }
  dialog.reset();
  closeDataModule(data);
  return 0;
}

const ChildMode kInventory("inventory", inventory);

}  // namespace

}  // namespace vorik::test
