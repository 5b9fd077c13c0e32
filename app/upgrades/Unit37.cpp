#include "app/upgrades/Unit37.h"

#include "app/MenuCommands.h"
#include "platform/dialogs.h"

TForm37 *Form37 = nullptr;

VORIK_MENU_COMMAND(FELIRazonfelvtele1, TForm37, Form37)

TForm37::TForm37(QWidget *parent)
    : UpgradeDialog(parent, "Form37", QStringLiteral("FELIR azonosító felvétele az östermelöhöz"),
                    {QStringLiteral("Ezen mező létezik-e az östermelönél ?  "),
                     QStringLiteral("Ha létezik nem kerül végrehajtásra.")}) {}

void TForm37::run() {
  if (Upgrade::producerColumnExists(QStringLiteral("O_FELIR"))) {
    platform::confirmYes(QStringLiteral("Már létezik az östermelöben!"));
    return;
  }
  if (!Upgrade::databaseIsOurs()) return;
  if (Upgrade::ddlStep(
          QStringLiteral("ALTER TABLE OSTERMELO ADD O_FELIR D_BLAP COLLATE PXW_HUNDC "),
          QStringLiteral("Hiba371: ALTER TABLE OSTERMELO ADD O_FELIR az östermelöben! "),
          QStringLiteral("Hiba372: ALTER TABLE OSTERMELO ADD O_FELIR az östermelöben!")) ==
      Upgrade::Result::Done)
    platform::showMessage(QStringLiteral("Módositás végrehajtva."));
}
