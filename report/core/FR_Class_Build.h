#pragma once
// What the report component needs around a build: the composite report, the
// preview it hands prepared pages to, the progress window, and page lists.
#include "report/core/FR_Class_Report.h"

#include <QList>
#include <QPair>
#include <QString>

#include <memory>
#include <vector>

namespace report {

// A report that builds a list of other reports, one after another, into its
// own prepared pages. It does not own them.
class TfrCompositeReport : public TfrReport {
 public:
  void BuildPages() override;
  std::vector<TfrReport *> Reports;
};

// An embedded preview component: the report's prepared pages are connected to it.
class TfrPreview {
 public:
  virtual ~TfrPreview() = default;
  virtual void Connect(TfrReport *report) = 0;
};

// The preview window: it takes the prepared pages over (and frees them when
// it closes). Set by the application; tests set a double.
using TfrShowPreviewProc = std::function<void(TfrReport &report, std::unique_ptr<TfrEMFPages> pages,
                                              const QString &caption, bool modal)>;
extern TfrShowPreviewProc frShowPreview;  // the preview window (report/ui/FR_View)

// The progress window of a build or print. While it shows, its Cancel button
// sets the report's Terminated; the label is changed at every progress report.
class TfrProgressForm {
 public:
  virtual ~TfrProgressForm() = default;
  virtual void Start(const QString &caption, const QString &label) = 0;
  virtual void SetLabel(const QString &label) = 0;
  virtual void Finish() = 0;
};
extern TfrProgressForm *frProgressForm;  // the progress window (report/ui/FR_Progr); nullptr: none

// Puts the engine's process-wide state back as a new process has it, so that
// tests run in any order: no current report, an empty build state (frBuild:
// page numbers, pass flags, current page, band and object, error), the
// default error box, preview, progress window, INPUT box, PDF file question
// and printer set-up dialog, the engine's own report variables (emptied) and
// interpreter, the current layout version, design mode off, band titles on,
// no designer, the preview's first zoom (100 percent). Left alone: the printer
// (frPrinter) and the report owner, which their creators own and free, and
// what is registered once per process (function libraries, add-ins, the
// designer factory).
void frResetGlobals();

// A page list such as "1,3-5" as ranges (blanks ignored). An empty text gives
// no ranges (all pages). False, with the message, for text that is not a page list.
bool frParsePageNumbers(const QString &text, QList<QPair<int, int>> &ranges, QString &error);

}  // namespace report
