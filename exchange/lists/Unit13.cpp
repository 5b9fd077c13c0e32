#include "exchange/lists/Unit13.h"

#include "app/MenuCommands.h"
#include "app/common/FieldKeys.h"
#include "exchange/lists/ListPrint.h"

TForm13 *Form13 = nullptr;

VORIK_MENU_COMMAND(Termkenkntilista1, TForm13, Form13)

TForm13::TForm13(QWidget *owner) : TRangeListForm(owner, "Form13", QStringLiteral("Termékenkénti lista")) {
  FieldKeys::installEnterNavigation(this);
}

QString TForm13::Gather(const lists::Range &range) { return lists::GatherProducts(range); }

void TForm13::Print() {
  SetListVariables(QStringLiteral("Termékenként"));
  PrintList(QStringLiteral("QzLista5.frf"));
}
