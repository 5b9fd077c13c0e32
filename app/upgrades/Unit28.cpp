#include "app/upgrades/Unit28.h"

#include "app/MenuCommands.h"
#include "platform/dialogs.h"

TForm28 *Form28 = nullptr;

VORIK_MENU_COMMAND(Magnnytag1, TForm28, Form28)

TForm28::TForm28(QWidget *parent)
    : UpgradeDialog(parent, "Form28", QStringLiteral("Program módosítás (2010.10.hótól)"),
                    {QStringLiteral("Magánnyugdij pénztárnak tagja?  "),
                     QStringLiteral("Östermelö adatok kibővítése ezzel a kérdéssel."),
                     QStringLiteral("Ha tagja csak akkor kell \"Igen\" -re állítani a z östermelöi "
                                    "adatoknál."),
                     QStringLiteral("Ha nincs megjelölve akkor  a program \"Nem\" -nek tekinti.")}) {}

void TForm28::run() {
  if (Upgrade::producerColumnExists(QStringLiteral("O_MNYPTAG"))) {
    platform::confirmYes(QStringLiteral("Már létezik!"));
    accept();
    return;
  }
  if (!Upgrade::databaseIsOurs()) return;
  if (Upgrade::ddlStep(QStringLiteral("ALTER TABLE ostermelo ADD o_mnyptag VARCHAR(1) "),
                       QStringLiteral("Hiba281: ALTER TABLE az östermelöben. "),
                       QStringLiteral("Hiba282: TRANSACTION közben az östermelöben!")) !=
      Upgrade::Result::Done)
    return;  // the dialog stays open
  platform::showMessage(QStringLiteral("Módositás végrehajtva."));
  accept();
}
