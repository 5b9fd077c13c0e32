#include "exchange/lists/Unit13.h"

#include "app/MenuCommands.h"
#include "app/Unit2.h"
#include "app/common/FieldKeys.h"
#include "exchange/lists/ListPrint.h"
#include "platform/conv.h"
#include "report/expr/FR_Intrp.h"


TForm13 *Form13 = nullptr;

VORIK_MENU_COMMAND(Termkenkntilista1, TForm13, Form13)

TForm13::TForm13(QWidget *owner) : TRangeListForm(owner, "Form13", QStringLiteral("Termékenkénti lista")) {
  FieldKeys::installEnterNavigation(this);
}

QString TForm13::Gather(const lists::Range &range) { return lists::GatherProducts(range); }

void TForm13::Print() {
  const TData::TListaSzuro &s = Data->ListaSzuro;
  report::TfrVariables &v = *report::frVariables;
  v.SetVariable(QStringLiteral("v_datum"),
                s.FizetesiDatum ? QStringLiteral("Fizetési ") : QStringLiteral("Felvásárlási "));
  v.SetVariable(QStringLiteral("v_osszesen"), Osszesen);
  v.SetVariable(QStringLiteral("v_tol"), platform::DateToStr(s.Tol));
  v.SetVariable(QStringLiteral("v_ig"), platform::DateToStr(s.Ig));
  v.SetVariable(QStringLiteral("v_sorrend"), QStringLiteral("Termékenként"));
  PrintList(QStringLiteral("QzLista5.frf"));
}
