#include "exchange/lists/Unit32.h"

#include "app/MenuCommands.h"
#include "app/SharedState.h"
#include "exchange/lists/ListGathers.h"
#include "report/expr/FR_Intrp.h"

TForm32 *Form32 = nullptr;

VORIK_MENU_COMMAND(Statisztika1, TForm32, Form32)

TForm32::TForm32(QWidget *owner)
    : TSummaryListForm(
          owner, "Form32", QStringLiteral("Statisztika"), QStringLiteral("Termékenkénti mindösszesen lista "),
          {QStringLiteral("Összesítés: Termékenkénti  havi bontásban vagy mindösszesen"),
           QStringLiteral("Csoporosítás: a felvásárlási dátum hónapja szerint ."),
           QStringLiteral("Nettó átlagár számítása : felvásárlási nettó ár osztva a mennyiséggel"),
           QStringLiteral("A kigyüjtés nem vizsgálja, hogy azonos mennyiségegység szerepel-e  azonos terméken belül"),
           QStringLiteral("Megnevezésbeni eltérés (Búza, búza) külön tételsorba kerül.")}) {}

void TForm32::Gather(bool boxTicked) {
  const lists::StatisticsTotals t = lists::GatherStatistics(AtvevoKod, boxTicked);
  report::frVariables->SetVariable(QStringLiteral("v_far"), lists::NumberText(t.felvar));
  report::frVariables->SetVariable(QStringLiteral("v_var"), lists::NumberText(t.kifiz));
}

QString TForm32::LayoutFile(bool boxTicked) const {
  return boxTicked ? QStringLiteral("QzLista13.frf") : QStringLiteral("QzLista12.frf");
}
