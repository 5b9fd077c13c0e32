#include "app/PrintLayout.h"

#include "app/SharedState.h"
#include "app/Unit2.h"
#include "app/logging.h"
#include "platform/dialogs.h"
#include "platform/error_text.h"
#include "platform/win_path.h"
#include "report/core/FR_Class_Build.h"
#include "report/core/FR_Class_Report.h"
#include "report/core/FR_Utils.h"
#include "report/expr/FR_Intrp.h"
#include "report/output/FR_Prntr.h"

#include <exception>
#include <new>

using report::TfrReport;

namespace {

// A message shown, or handed to the caller who asked for it.
void failWith(const QString &text, QString *error) {
  if (error) *error = text;
  else platform::error(text);
}

void failWith(const QString &text, QStringList *errors) {
  if (errors) errors->append(text);
  else platform::error(text);
}

}  // namespace

bool OpenReceiverRow(QString *error) {
  db::Query &q = *Data->ZQ60;
  TData::openCurrentReceiver(q);
  if (!q.isEmpty()) {
    // The street with its kind, number, building, stair, floor and door, as
    // the ticket prints it: list headings print the address whole.
    report::frVariables->SetVariable(QStringLiteral("v_atvevoutca"), TData::streetOf(q, QStringLiteral("V_")));
    return true;
  }
  failWith(QStringLiteral("Az átvevő (%1) nem található az adatbázisban, nem lehet nyomtatni.").arg(AtvevoKod),
           error);
  return false;
}

QString LayoutErrorText(const QString &fileName, const QString &reason) {
  QString text = QStringLiteral("A nyomtatási minta nem tölthető be: %1").arg(fileName);
  if (!reason.isEmpty()) text += QStringLiteral("\n") + reason;
  return text;
}

bool ShowLayout(TfrReport &report, const QString &fileName, const QString &title, PrintOrientation orientation,
                const std::function<void()> &afterLoad, QStringList *errors) {
  report::TfrCompositeReport &composite = *Data->frCompositeReport1;
  composite.Reports.clear();
  composite.Reports.push_back(&report);
  composite.DoublePass = true;
  if (report::frPrinter) report::frPrinter->Orientation = static_cast<int>(orientation);
  struct ClearList {
    report::TfrCompositeReport &c;
    ~ClearList() { c.Reports.clear(); }
  } clear{composite};
  // The engine's own boxes while it loads wait with the caller's messages.
  struct EngineBoxes {
    std::function<void(const QString &)> shown = report::frErrorBox;
    ~EngineBoxes() { report::frErrorBox = shown; }
  } engineBoxes;
  if (errors) report::frErrorBox = [errors](const QString &text) { errors->append(text); };
  try {
    // The name as the original's file system found it: without regard to case.
    if (!report.LoadFromFile(platform::matchCase(fileName))) {
      failWith(LayoutErrorText(fileName, QString()), errors);
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
    failWith(LayoutErrorText(fileName, reason), errors);
    return false;
  }
  report::frErrorBox = engineBoxes.shown;
  if (afterLoad) afterLoad();
  report.Title = title;
  report.ModalPreview = true;
  report.ShowReport();
  return true;
}
