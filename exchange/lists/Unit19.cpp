#include "exchange/lists/Unit19.h"

#include "app/MenuCommands.h"
#include "app/Unit2.h"
#include "exchange/lists/ListPrint.h"
#include "platform/conv.h"
#include "report/expr/FR_Intrp.h"

TForm19 *Form19 = nullptr;

VORIK_MENU_COMMAND(Termelnkntilista1, TForm19, Form19)

TForm19::TForm19(QWidget *owner) : TRangeListForm(owner, "Form19", QStringLiteral("Östermelönkénti lista")) {}

QString TForm19::Gather(const lists::Range &range) { return lists::GatherProducers(range); }

void TForm19::Print() {
  const TData::TListaSzuro &s = Data->ListaSzuro;
  report::TfrVariables &v = *report::frVariables;
  v.SetVariable(QStringLiteral("v_osszesen"), Osszesen);
  v.SetVariable(QStringLiteral("v_tol"), platform::DateToStr(s.Tol));
  v.SetVariable(QStringLiteral("v_ig"), platform::DateToStr(s.Ig));
  v.SetVariable(QStringLiteral("v_sorrend"), QStringLiteral(" Östermelönként "));
  // The first group's producer and total before the report starts, once the
  // layout has loaded: its lines are read with the columns the layout names.
  PrintList(QStringLiteral("QzLista8.frf"), lists::SeedProducerGroup);
}
