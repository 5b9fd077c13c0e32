#include "app/small/Unit21.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>

#include "app/MenuCommands.h"
#include "app/common/Widgets.h"
#include "platform/dialogs.h"
#include "platform/launcher.h"

TForm21 *Form21 = nullptr;

VORIK_MENU_COMMAND(Sug1, TForm21, Form21)

TForm21::TForm21(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Form21"));
  setWindowTitle(QStringLiteral("Sugó"));
  setModal(true);
  Button1 = Widgets::makeButton(this, "Button1", QStringLiteral("Leírás (pdf)"));
  Button2 = Widgets::makeButton(this, "Button2", QStringLiteral("Mégsem"));
  auto *row = new QHBoxLayout(this);
  row->addWidget(Button1);
  row->addWidget(Button2);
  connect(Button1, &QPushButton::clicked, this, &TForm21::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm21::Button1Click() {
  const QString manual = QDir::current().absoluteFilePath(QStringLiteral("sugo.pdf"));
  if (!QFileInfo::exists(manual))
    platform::showMessage(QStringLiteral("A leírás nem található: %1").arg(manual));
  else if (!platform::launcher().open(manual))
    platform::showMessage(QStringLiteral("A leírást (%1) nem sikerült megnyitni.").arg(manual));
}
