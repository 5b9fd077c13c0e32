#include "app/upgrades/Unit43.h"

#include <QDate>

#include "app/MenuCommands.h"
#include "app/Unit2.h"
#include "db/dataset.h"
#include "platform/dialogs.h"

TForm43 *Form43 = nullptr;

VORIK_MENU_COMMAND(Nbihazonfelvtele1, TForm43, Form43)

TForm43::TForm43(QWidget *parent)
    : UpgradeDialog(parent, "Form43", QStringLiteral("Nébih azonosító felvétele"),
                    {QStringLiteral("Ezen mező létezik-e az östermelönél ?  "),
                     QStringLiteral("Ha létezik nem kerül végrehajtásra."),
                     QStringLiteral("Érvényesség kezdete: 2021.01.01 beírásra kerül")}) {}

void TForm43::run() {
  struct Column {
    const char *name, *statement, *first, *second;
  };
  const Column columns[] = {
      {"O_IGSZAM1", "ALTER TABLE OSTERMELO ADD O_IGSZAM1 SZOVEG20  ",
       "Hiba431: ALTER TABLE OSTERMELO ADD O_IGSZAM1 az östermelöben! ",
       "Hiba432: ALTER TABLE OSTERMELO ADD O_IGSZAM1 az östermelöben!"},
      {"O_ERVKELT1", "ALTER TABLE OSTERMELO ADD O_ERVKELT1 D_ERVKELT  ",
       "Hiba433: ALTER TABLE OSTERMELO ADD O_ERVKELT1 az östermelöben! ",
       "Hiba434: ALTER TABLE OSTERMELO ADD O_ERVKELT1 az östermelöben!"},
      {"O_CSGAZD1", "ALTER  TABLE OSTERMELO ADD O_CSGAZD1 SZOVEG20   ",
       "Hiba435: ALTER TABLE OSTERMELO ADD O_CSGAZD1 az östermelöben! ",
       "Hiba436: ALTER TABLE OSTERMELO ADD O_CSGAZD1 az östermelöben!"}};
  // Each column on its own: an existing one is reported and the others are
  // still added, so a run that stopped half way can be completed.
  bool missing = false;
  for (const Column &c : columns) missing |= !Upgrade::producerColumnExists(QLatin1String(c.name));
  if (missing && !Upgrade::databaseIsOurs()) return;
  bool allDone = true, anyRun = false;
  for (const Column &c : columns) {
    const QString name = QLatin1String(c.name);
    if (Upgrade::producerColumnExists(name)) {
      platform::confirmYes(QStringLiteral("Már létezik az östermelöben ") + name +
                           QStringLiteral("!"));
      continue;
    }
    anyRun = true;
    const Upgrade::Result r = Upgrade::ddlStep(QLatin1String(c.statement),
                                               QString::fromUtf8(c.first),
                                               QString::fromUtf8(c.second));
    if (r == Upgrade::Result::Stopped) return;
    if (r == Upgrade::Result::Failed) allDone = false;
  }
  // The validity start of every producer without one, whenever the column
  // is there: also when an earlier run added it and failed before the dates.
  if (Upgrade::producerColumnExists(QStringLiteral("O_ERVKELT1"))) {
    std::uint64_t filled = 0;
    const bool written = Data->Write(
        QStringLiteral("Hiba437: 2021.01.01 érték beírásakor ERVKELT1 az östermelöben!"), [&](WriteSteps &) {
          db::Query &q = *Data->ZQ32;
          q.setSql({QStringLiteral("UPDATE ostermelo         "), QStringLiteral("   SET O_ERVKELT1 = :p1  "),
                    QStringLiteral("   WHERE O_ERVKELT1 is null  ")});
          q.paramByName(QStringLiteral("p1")).setDate(QDate(2021, 1, 1));
          q.execute();
          filled = q.rowsAffected();
        });
    if (!written) return;
    anyRun |= filled > 0;
  }
  if (anyRun && allDone) platform::showMessage(QStringLiteral("Módositás végrehajtva."));
}
