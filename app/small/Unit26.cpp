#include "app/small/Unit26.h"

#include <QHBoxLayout>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>

#include "app/MenuCommands.h"
#include "app/common/Widgets.h"
#include "platform/dialogs.h"

TForm26 *Form26 = nullptr;

VORIK_MENU_COMMAND(Tvsegitsg1, TForm26, Form26)

TForm26::TForm26(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Form26"));
  setWindowTitle(QStringLiteral("Távsegítség"));
  setModal(true);
  Button1 = Widgets::makeButton(this, "Button1", QStringLiteral("Távsegítség indítása"));
  Button2 = Widgets::makeButton(this, "Button2", QStringLiteral("Mégsem"));
  auto *row = new QHBoxLayout(this);
  row->addWidget(Button1);
  row->addWidget(Button2);
  connect(Button1, &QPushButton::clicked, this, &TForm26::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

QString TForm26::programName() { return QStringLiteral("anydesk"); }

QString TForm26::notAvailableMessage() {
  return QStringLiteral(
      "A távsegítség programja (AnyDesk) ezen a gépen nincs telepítve, ezért innen nem "
      "indítható. Telepítse, vagy kérje a támogatást telefonon!");
}

void TForm26::Button1Click() {
  const QString program = QStandardPaths::findExecutable(programName());
  if (program.isEmpty() || !QProcess::startDetached(program, {}))
    platform::information(notAvailableMessage());
}
