#include "exchange/returns/ListPrint.h"

#include "app/Unit2.h"
#include "platform/win_path.h"
#include "report/core/FR_Class_Build.h"
#include "report/expr/FR_Intrp.h"
#include "report/output/FR_Prntr.h"

namespace returns {

void OpenReceiverRow(const QString &receiverCode) {
  db::Query *q = Data->ZQ60;
  q->close();
  q->sql().clear();
  q->sql().add(QStringLiteral("SELECT *             "));
  q->sql().add(QStringLiteral("  FROM atvevo     "));
  q->sql().add(QStringLiteral("  WHERE v_akod = :p0  "));
  q->paramByName(QStringLiteral("p0")).setString(receiverCode);
  q->open();
}

void ShowList(const QString &layoutFile, int orientation, const ReportVariables &variables) {
  report::TfrCompositeReport *composite = Data->frCompositeReport1;
  struct Empty {
    report::TfrCompositeReport *c;
    ~Empty() { c->Reports.clear(); }
  } empty{composite};
  composite->Reports.clear();
  composite->Reports.push_back(Data->frNyomtat);
  composite->DoublePass = true;
  if (report::frPrinter) report::frPrinter->Orientation = orientation;
  for (const auto &[name, value] : variables) report::frVariables->SetVariable(name, value);
  Data->frNyomtat->LoadFromFile(platform::mapWindowsPath(layoutFile));
  Data->frNyomtat->ModalPreview = true;
  Data->frNyomtat->ShowReport();
}

}  // namespace returns
