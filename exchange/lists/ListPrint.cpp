#include "exchange/lists/ListPrint.h"

#include "app/SharedState.h"
#include "app/Unit2.h"
#include "platform/dialogs.h"
#include "report/core/FR_Class_Build.h"
#include "report/output/FR_Prntr.h"

void PrintList(const QString &fileName) {
  db::Query &q = *Data->ZQ60;
  q.close();
  q.sql().clear();
  q.sql().add(QStringLiteral("SELECT * FROM ATVEVO WHERE v_akod = :p0"));
  q.paramByName(QStringLiteral("p0")).setString(AtvevoKod);
  q.open();
  report::TfrCompositeReport &composite = *Data->frCompositeReport1;
  report::TfrReport &r = *Data->frNyomtat;
  composite.Reports.clear();
  composite.Reports.push_back(&r);
  composite.DoublePass = true;
  struct ClearList {
    report::TfrCompositeReport &c;
    ~ClearList() { c.Reports.clear(); }
  } clear{composite};
  if (report::frPrinter) report::frPrinter->Orientation = 0;
  r.LoadFromFile(fileName);
  r.ModalPreview = true;
  r.ShowReport();
}
