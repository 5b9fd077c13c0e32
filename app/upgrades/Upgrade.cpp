#include "app/upgrades/Upgrade.h"

#include <QLabel>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <exception>

#include "app/Unit2.h"
#include "app/common/Widgets.h"
#include "app/common/Guarded.h"
#include "app/logging.h"
#include "db/dataset.h"
#include "db/transaction.h"
#include "platform/dialogs.h"

namespace Upgrade {

namespace {

db::Query &query(const QString &sql) {
  db::Query &q = *Data->ZQ32;
  q.setSql(sql);
  return q;
}

}  // namespace

bool producerColumnExists(const QString &column) {
  // The fields of the producer table without reading its rows.
  db::Query &q = query(QStringLiteral("SELECT FIRST 0 * FROM ostermelo "));
  q.open();
  const bool exists = q.findField(column) != nullptr;
  q.close();
  return exists;
}

int otherAttachments() {
  // A transaction of its own: the monitoring tables are a snapshot that
  // stays as it was for the rest of the transaction that first read them.
  db::Transaction tr;
  tr.setConnection(Data->ZCon1);
  db::Query q;
  q.setTransaction(&tr);
  q.sql().add(QStringLiteral("SELECT COUNT(*) FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID <> "
                             "CURRENT_CONNECTION AND MON$SYSTEM_FLAG = 0"));
  q.open();
  const int n = q.isEmpty() ? 0 : static_cast<int>(q.field(0).asInteger());
  q.close();
  tr.commit();
  return n;
}

QString inUseMessage() {
  return QStringLiteral(
      "Az adatbázist most egy másik program is használja. Az adatbázis szerkezete csak akkor "
      "módosítható, ha egyedül ez a program használja: zárja be a többit, majd próbálja újra! "
      "Semmi sem változott.");
}

bool databaseIsOurs() {
  if (otherAttachments() == 0) return true;
  platform::warning(inUseMessage());
  return false;
}

Result ddlStep(const QString &statement, const QString &firstMessage, const QString &secondMessage) {
  try {
    return Data->Write(firstMessage, [&](WriteSteps &) { query(statement).execute(); }) ? Result::Done
                                                                          : Result::Failed;
  } catch (const std::exception &) {
    platform::showFailure(lcApp(), secondMessage);
    return Result::Stopped;
  }
}

UpgradeDialog::UpgradeDialog(QWidget *parent, const char *name, const QString &caption,
                             const QStringList &lines)
    : QDialog(parent) {
  setObjectName(QLatin1String(name));
  setWindowTitle(caption);
  setModal(true);
  auto *top = new QVBoxLayout(this);
  int i = 1;
  for (const QString &line : lines)
    top->addWidget(Widgets::makeLabel(this, QStringLiteral("Label%1").arg(i++).toLatin1().constData(), line));
  Button1 = Widgets::makeButton(this, "Button1", QStringLiteral("Módosítás végrehajtása"));
  Button2 = Widgets::makeButton(this, "Button2", QStringLiteral("Mégsem"));
  auto *buttons = new QHBoxLayout;
  buttons->addWidget(Button1);
  buttons->addStretch();
  buttons->addWidget(Button2);
  top->addLayout(buttons);
  connect(Button1, &QPushButton::clicked, this, [this] { RunGuarded([this] { run(); }); });
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

}  // namespace Upgrade
