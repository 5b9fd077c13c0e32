#include "app/small/Unit44.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/MenuCommands.h"
#include "app/common/Widgets.h"
#include "platform/dialogs.h"

TForm44 *Form44 = nullptr;

VORIK_MENU_COMMAND(Windowsdtumformtunnakmdostsa1, TForm44, Form44)

TForm44::TForm44(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Form44"));
  setWindowTitle(QStringLiteral("Windows dátum formátunának módosítása"));
  setModal(true);
  const char *lines[] = {
      "Program számára hibás dátum forma (elválasztó pont után szóköz van) : pl.:  2025.  01.  01",
      "Javítás lépései: ",
      "1.  \"Módosítás\" gombra  ezen a képernyőn.",
      "2. A megjelenő alakban alul  a \"További beállítások\" gombra",
      "3. A megjelenő újabb ablakban felül a \"Dátum\" fülre váltás",
      ("4. Középen a \"Rövid dátum\" sorba (éééé. HH. nn) kattintva vegye ki a szóközt a  \".\" "
       "pont után."),
      "5. \"Alkalmaz\" gombra letárolja az módosított dátum formátumot.",
      "Kattintson  a  \"Módosítás\" gombra  javítás elvégzéséhez:"};
  auto *top = new QVBoxLayout(this);
  int i = 1;
  for (const char *line : lines)
    top->addWidget(Widgets::makeLabel(this, QStringLiteral("Label%1").arg(i++).toLatin1().constData(),
                                      QString::fromUtf8(line)));
  Button6 = Widgets::makeButton(this, "Button6", QStringLiteral("Módosítás"));
  top->addWidget(Button6, 0, Qt::AlignLeft);
  connect(Button6, &QPushButton::clicked, this, &TForm44::Button6Click);
}

QString TForm44::notAvailableMessage() {
  return QStringLiteral(
      "A Windows területi beállításai (CONTROL.EXE intl.cpl) ezen a rendszeren nem érhetők el. "
      "A program a saját, rögzített magyar dátumformátumát (éééé.hh.nn) használja, a gép "
      "beállításaitól függetlenül, ezért itt nincs mit javítani.");
}

void TForm44::Button6Click() { platform::information(notAvailableMessage()); }
