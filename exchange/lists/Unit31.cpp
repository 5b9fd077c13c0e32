#include "exchange/lists/Unit31.h"

#include "app/MenuCommands.h"
#include "app/SharedState.h"
#include "exchange/lists/ListGathers.h"
#include "report/expr/FR_Intrp.h"

#include <QCheckBox>
#include <QTableView>

TForm31 *Form31 = nullptr;

VORIK_MENU_COMMAND(Kszpnzeskifizets1, TForm31, Form31)

TForm31::TForm31(QWidget *owner)
    : TSummaryListForm(owner, "Form31", QStringLiteral("Kp. napilista"), QStringLiteral("Részletezö lista termékenként"),
                       {QStringLiteral("Kp. kifizetésnek számít a jegy, ha az átutalás jelölőnégyzete nincs bejelölve."),
                        QStringLiteral("Csoportosítva: a fizetés kelte alapján. "),
                        QStringLiteral("Megnevezésbeni eltérés (Búza, búza) külön tételsorba kerül.")}) {
  CheckBox1->setToolTip(QStringLiteral("Napi kp. bevétel termékenkénti  részletezése"));
  DBGrid1->setToolTip(QStringLiteral("Ezeken a napokon történt kp. kifizetés"));
}

void TForm31::Gather(bool boxTicked) {
  report::frVariables->SetVariable(QStringLiteral("v_osszesen"), lists::GatherCash(AtvevoKod, boxTicked));
}

QString TForm31::LayoutFile(bool boxTicked) const {
  return boxTicked ? QStringLiteral("QzLista11.frf") : QStringLiteral("QzLista10.frf");
}
