#include "app/small/Unit16.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/MenuCommands.h"
#include "app/common/Widgets.h"
#include "vorik_version.h"

TForm16 *Form16 = nullptr;

VORIK_MENU_COMMAND(Nvjegy1, TForm16, Form16)

TForm16::TForm16(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Form16"));
  setWindowTitle(QStringLiteral("Névjegy"));
  setModal(true);
  const QString version = QStringLiteral("Verzió: %1.0%2 2006-2025")
                              .arg(vorik::version::kMajor)
                              .arg(vorik::version::kMinor);
  const std::pair<const char *, QString> lines[] = {
      {"Label1", QStringLiteral("Felvásárlási jegy nyilvántartó")},
      {"Version", version},
      {"Label2", QStringLiteral("Vorik felvásárlási nyilvántartó program")},
      {"Label3", QStringLiteral("Forgalmazó: Vorik ügyfélszolgálat")},
      {"Label4", QStringLiteral("Cím: 6720 Szeged, Kárász utca 5.")},
      {"Label5", QStringLiteral("Telefon: +36 62 555 0100 (munkanapokon 8-16 óráig)")},
      {"Label6", QStringLiteral("E-mail: ugyfelszolgalat@vorik.hu")}};
  auto *top = new QVBoxLayout(this);
  for (const auto &[name, text] : lines) top->addWidget(Widgets::makeLabel(this, name, text));
  Button1 = Widgets::makeButton(this, "Button1", QStringLiteral("OK"));
  auto *row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(Button1);
  top->addLayout(row);
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
}
