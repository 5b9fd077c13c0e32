#include "exchange/lists/Unit19.h"

#include "app/MenuCommands.h"
#include "exchange/lists/ListPrint.h"

TForm19 *Form19 = nullptr;

VORIK_MENU_COMMAND(Termelnkntilista1, TForm19, Form19)

TForm19::TForm19(QWidget *owner) : TRangeListForm(owner, "Form19", QStringLiteral("Östermelönkénti lista")) {}

QString TForm19::Gather(const lists::Range &range) { return lists::GatherProducers(range); }

void TForm19::Print() {
  SetListVariables(QStringLiteral(" Östermelönként "));
  // The first group's producer and total before the report starts, once the
  // layout has loaded: its lines are read with the columns the layout names.
  PrintList(QStringLiteral("QzLista8.frf"), lists::SeedProducerGroup);
}
