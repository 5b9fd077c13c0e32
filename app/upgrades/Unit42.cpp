#include "app/upgrades/Unit42.h"

#include "app/MenuCommands.h"
#include "platform/dialogs.h"

TForm42 *Form42 = nullptr;

VORIK_MENU_COMMAND(Kamaraiszmhossza1, TForm42, Form42)

TForm42::TForm42(QWidget *parent)
    : UpgradeDialog(parent, "Form42", QStringLiteral("Kamarai azonosító hossz változás"), {}) {}

void TForm42::run() {
  // No existence test: widening a domain that is already 20 wide changes nothing.
  if (!Upgrade::databaseIsOurs()) return;
  if (Upgrade::ddlStep(QStringLiteral("ALTER DOMAIN D_KAMARA TYPE VARCHAR(20) CHARACTER SET WIN1250 "),
                       QStringLiteral("Hiba421: Hossz: D_KAMARA az östermelöben! "),
                       QStringLiteral("Hiba422: Hossz: D_KAMARA az östermelöben!")) ==
      Upgrade::Result::Done)
    platform::showMessage(QStringLiteral("Módositás végrehajtva."));
}
