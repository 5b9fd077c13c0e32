#include "app/PrintLayout.h"

#include "app/SharedState.h"
#include "app/Unit2.h"
#include "app/logging.h"
#include "platform/dialogs.h"
#include "platform/error_text.h"
#include "platform/win_path.h"
#include "report/core/FR_Class_Build.h"
#include "report/core/FR_Utils.h"
#include "report/expr/FR_Intrp.h"
#include "report/output/FR_Prntr.h"

#include <exception>
#include <new>

using report::TfrReport;

bool OpenReceiverRow() {
  db::Query &q = *Data->ZQ60;
  TData::openCurrentReceiver(q);
  if (!q.isEmpty()) {
    // The street with its kind, number, building, stair, floor and door, as
    // the ticket prints it: list headings print the address whole.
    report::frVariables->SetVariable(QStringLiteral("v_atvevoutca"), TData::streetOf(q, QStringLiteral("V_")));
    return true;
  }
  platform::error(QStringLiteral("Az átvevő (%1) nem található az adatbázisban, nem lehet nyomtatni.")
                      .arg(AtvevoKod));
  return false;
}

QString LayoutErrorText(const QString &fileName, const QString &reason) {
  QString text = QStringLiteral("A nyomtatási minta nem tölthető be: %1").arg(fileName);
  if (!reason.isEmpty()) text += QStringLiteral("\n") + reason;
  return text;
}

bool ShowLayout(TfrReport &report, const QString &fileName, const QString &title, PrintOrientation orientation,
                const std::function<void()> &afterLoad) {
  report::TfrCompositeReport &composite = *Data->frCompositeReport1;
  composite.Reports.clear();
  composite.Reports.push_back(&report);
  composite.DoublePass = true;
  if (report::frPrinter) report::frPrinter->Orientation = static_cast<int>(orientation);
  struct ClearList {
    report::TfrCompositeReport &c;
    ~ClearList() { c.Reports.clear(); }
  } clear{composite};
  try {
    // The name as the original's file system found it: without regard to case.
    if (!report.LoadFromFile(platform::matchCase(fileName))) {
      platform::error(LayoutErrorText(fileName, QString()));
      return false;
    }
  } catch (const std::exception &e) {
    // The engine's own text goes to the log; the box says what happened and
    // what to do.
    platform::logCaught(lcApp(), fileName);
    QString reason = QStringLiteral("A fájl nem olvasható. Kérem ellenőrizze, hogy a nyomtatási minta a program "
                                    "mappájában van és olvasható, majd próbálja újra.");
    if (dynamic_cast<const report::EReadError *>(&e) || dynamic_cast<const report::EInvalidLayout *>(&e))
      reason = QStringLiteral("A fájl sérült vagy nem nyomtatási minta. Kérem másolja vissza a program eredeti "
                              "nyomtatási mintáját (például egy mentésből), és próbálja újra.");
    else if (dynamic_cast<const std::bad_alloc *>(&e))
      reason = platform::exceptionText(e);
    platform::error(LayoutErrorText(fileName, reason));
    return false;
  }
  if (afterLoad) afterLoad();
  report.Title = title;
  report.ModalPreview = true;
  report.ShowReport();
  return true;
}
