#include "report/ui/FR_Desgn_Intf.h"

#include "platform/dialogs.h"
#include "report/core/FR_Class_Report.h"
#include "report/ui/FR_Const.h"

#include <QApplication>

#include <memory>

namespace report {

TfrReportDesigner *frReportDesigner = nullptr;

namespace {

TfrDesignerFactory &factory() {
  static TfrDesignerFactory f;
  return f;
}

std::vector<TfrToolInfo> &tools() {
  static std::vector<TfrToolInfo> t;
  return t;
}

}  // namespace

bool frRegisterDesignerClass(TfrDesignerFactory f) {
  factory() = std::move(f);
  return true;
}

bool frDesignerClassRegistered() { return static_cast<bool>(factory()); }

void frCreateDesigner() {
  if (frReportDesigner || !factory()) return;
  frReportDesigner = factory()();
}

void frFreeDesigner() {
  delete frReportDesigner;
  frReportDesigner = nullptr;
}

const std::vector<TfrToolInfo> &frTools() { return tools(); }

bool RegisterDesignerTool(const QString &caption, const QImage &glyph, const std::function<void()> &onClick) {
  if (static_cast<int>(tools().size()) >= frMaxTools) return false;
  tools().push_back({caption, glyph, onClick});
  if (frReportDesigner) frReportDesigner->RegisterTool(caption, glyph, onClick);
  return true;
}

void frClearTools() { tools().clear(); }

void TfrReport::EditPreparedReport(int pageIndex) {
  if (!frReportDesigner || !factory()) return;
  if (!EMFPages->GetPageRec(pageIndex)) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  bool cursorSet = true;

  // The design pages are kept aside whole rather than saved and reloaded, so
  // that nothing can fail while they come back.
  struct Restore {
    TfrReport *report;
    int index;
    TfrReportDesigner *saved;
    QString savedName;
    TfrPages design;
    std::unique_ptr<TfrReportDesigner> temp;
    bool &cursorSet;
    ~Restore() {
      if (cursorSet) QApplication::restoreOverrideCursor();
      // The edited page belongs to the prepared page.
      if (TfrPageRec *rec = report->EMFPages->GetPageRec(index); rec && !rec->Page && report->Pages.Count() > 0)
        rec->Page = report->Pages.Take(0);
      report->Pages.Swap(design);
      frReportDesigner = saved;
      temp.reset();
      saved->setObjectName(savedName);
      saved->Page = report->Pages.Count() > 0 ? report->Pages[0] : nullptr;
      saved->RedrawPage();
    }
  } restore{this, pageIndex, frReportDesigner, frReportDesigner->objectName(), TfrPages(this), nullptr, cursorSet};

  restore.saved->setObjectName(restore.savedName + QStringLiteral("__"));
  restore.saved->Page = nullptr;
  Pages.Swap(restore.design);
  EMFPages->ExpandPageObjects(pageIndex);
  TfrPageRec *rec = EMFPages->GetPageRec(pageIndex);
  Pages.Add(std::move(rec->Page));
  frCurrentReport = this;
  restore.temp.reset(factory()());
  frReportDesigner = restore.temp.get();
  QApplication::restoreOverrideCursor();
  cursorSet = false;

  restore.temp->Page = Pages[0];
  restore.temp->exec();
  if (restore.temp->Modified &&
      platform::messageBox(platform::MessageKind::Confirmation, frLoadStr(55306) + QLatin1Char('?'),
                           QMessageBox::Yes | QMessageBox::No, frLoadStr(53025)) == QMessageBox::Yes) {
    rec->Page = Pages.Take(0);
    if (!rec->Page) rec->Page = std::make_unique<TfrPage>(rec->pgSize, rec->pgWidth, rec->pgHeight, rec->pgOr);
    EMFPages->StorePageObjects(pageIndex);
  }
  // Otherwise the page's stream is untouched; its objects are rebuilt from it.
  Pages.Clear();
  rec->Page.reset();
}

}  // namespace report
