// The report component's building, preview and printing: passes, the page
// loop over design pages and records, composite reports, progress, the error
// box, page lists and print jobs.
#include "report/core/FR_Class_Build.h"

#include "platform/error_text.h"
#include "report/logging.h"
#include "report/output/FR_Canvas.h"
#include "report/core/FR_Class_Band.h"
#include "report/data/FR_DSet.h"
#include "report/expr/FR_Intrp.h"
#include "report/expr/FR_Pars.h"
#include "report/output/FR_Prntr.h"
#include "report/expr/FR_Class_Funcs.h"
#include "report/ui/FR_Const.h"
#include "report/ui/FR_Desgn_Intf.h"
#include "report/ui/FR_PrDlg.h"
#include "report/ui/FR_Progr.h"
#include "report/ui/FR_View.h"

#include <QCoreApplication>
#include <QPainter>

namespace report {

TfrShowPreviewProc frShowPreview = frShowPreviewWindow;
TfrProgressForm *frProgressForm = frDefaultProgressWindow();

void frResetGlobals() {
  frCurrentReport = nullptr;
  frBuild = TfrBuildState{};
  frErrorBox = frDefaultErrorBox;
  frShowPreview = frShowPreviewWindow;
  frProgressForm = frDefaultProgressWindow();
  frInputBox = frDefaultInputBox;
  frAskPdfFileName = frDefaultAskPdfFileName;
  frPrinterSetupDialog = frDefaultPrinterSetupDialog;
  frResetScriptGlobals();
  frVersion = frCurrentVersion;
  frDesignMode = false;
  frShowBandTitles = true;
  frReportDesigner = nullptr;
  frLastScale = 1.0;
  frLastZoomMode = 0;
}

namespace {

QString progressCaption(const QString &title) {
  const QString c = frLoadStr(53020);
  return title.isEmpty() ? c : c + QStringLiteral(" - ") + title;
}

// The first line of the progress window while a build or print runs.
QString progressLine;

bool useProgressWindow(const TfrReport &r) { return !r.OnProgress && r.ShowProgress && frProgressForm; }

void setupScriptContext() {
  TfrScriptContext &c = frInterpretator->Context;
  c.FindObject = [](const QString &name) -> TfrView * {
    return frBuild.CurPage ? frBuild.CurPage->FindRTObject(name) : nullptr;
  };
  c.FreeSpace = [] { return frBuild.CurPage ? frBuild.CurPage->FreeSpace() : 0; };
  c.NewPage = [] {
    if (frBuild.CurBand) frBuild.CurBand->NewPageRequest = true;
  };
  c.NewColumn = [] {
    if (frBuild.CurBand) frBuild.CurBand->NewColumnRequest = true;
  };
  c.GetBandProperty = [](TfrView *view, int prop, Variant &value) {
    TfrBand *b = frBuild.CurPage ? frBuild.CurPage->BandOf(view) : nullptr;
    if (!b) return false;
    switch (prop) {
      case 1: value = Variant(view->x); break;
      case 2: value = Variant(b->y); break;
      case 3: value = Variant(view->dx); break;
      case 4: value = Variant(b->dy); break;
      case 6: value = Variant(b->Visible); break;
      default: return false;
    }
    return true;
  };
  c.SetBandProperty = [](TfrView *view, int prop, const Variant &value) {
    TfrBand *b = frBuild.CurPage ? frBuild.CurPage->BandOf(view) : nullptr;
    if (!b) return false;
    switch (prop) {
      case 1: view->x = value.toInt(); break;
      case 2: b->y = value.toInt(); break;
      case 3: view->dx = value.toInt(); break;
      case 4: b->dy = std::max(0, value.toInt()); break;
      case 6: b->Visible = value.toBool(); break;
      default: return false;
    }
    return true;
  };
}

QDateTime buildStarted;

}  // namespace

bool frParsePageNumbers(const QString &text, QList<QPair<int, int>> &ranges, QString &error) {
  ranges.clear();
  QString t = text;
  t.remove(QLatin1Char(' '));
  if (t.isEmpty()) return true;
  auto number = [&](const QString &part, int &n) {
    bool ok = false;
    const qlonglong v = part.toLongLong(&ok);
    if (!ok || part.isEmpty() || part.startsWith(QLatin1Char('+')) || part.startsWith(QLatin1Char('-'))) {
      error = QStringLiteral("'%1' is not a valid integer value").arg(part);
      return false;
    }
    n = static_cast<int>(std::min<qlonglong>(v, std::numeric_limits<int>::max()));
    return true;
  };
  for (const QString &part : t.split(QLatin1Char(','))) {
    if (part.isEmpty()) continue;
    const qsizetype dash = part.indexOf(QLatin1Char('-'));
    int a = 0, b = 0;
    if (dash < 0) {
      if (!number(part, a)) return false;
      b = a;
    } else {
      if (!number(part.left(dash), a) || !number(part.mid(dash + 1), b)) return false;
    }
    // A range written backwards means the same pages (rather than none, which
    // would leave the list empty and so print every page).
    ranges.append({std::min(a, b), std::max(a, b)});
  }
  return true;
}

void TfrReport::NotifyProgress(int n) {
  if (OnProgress) {
    OnProgress(n);
    return;
  }
  if (!ShowProgress || !frProgressForm) return;
  QString label = progressLine + QStringLiteral("  ") + QString::number(n);
  if (frBuild.FinalPass && frBuild.TotalPages > 0 && DoublePass)
    label += QLatin1Char(' ') + frLoadStr(53024) + QLatin1Char(' ') + QString::number(frBuild.TotalPages);
  frProgressForm->SetLabel(label);
  QCoreApplication::processEvents();
}

void TfrReport::BeginEvaluation() {
  frCurrentReport = this;
  Resolver.Values = &Values;
  Resolver.OnGetValue = OnGetValue;
  Resolver.OnUserFunction = OnUserFunction;
  Resolver.Attach(*frParser);
  frInstallAggregates();
  setupScriptContext();
}

bool TfrReport::PrepareReport() {
  buildStarted = QDateTime::currentDateTime();
  frBuild.OuterReport = this;
  BeginEvaluation();
  if (OnBeginDoc) OnBeginDoc();
  const bool result = RunPasses();
  frBuild.FinalPass = false;
  if (OnEndDoc) OnEndDoc();
  return result;
}

bool TfrReport::RunPasses() {
  Terminated = false;
  frBuild.Append = frBuild.Composite = false;
  frBuild.FirstPass = false;
  frBuild.FinalPass = true;
  frBuild.FirstBuild = true;
  frBuild.PageNo = 0;
  frBuild.TotalPages = 0;
  frBuild.ErrorFlag = false;
  frBuild.ErrorText.clear();
  EMFPages->Clear();
  const bool window = useProgressWindow(*this);
  if (DoublePass) {
    frBuild.FirstPass = true;
    frBuild.FinalPass = false;
    progressLine = frLoadStr(53021);
    if (window) frProgressForm->Start(progressCaption(Title), progressLine + QStringLiteral("  1"));
    BuildPages();
    // A cancelled first pass only shortens the count; the final pass runs in full.
    frBuild.TotalPages = EMFPages->Count();
    frBuild.FirstPass = false;
    frBuild.FinalPass = true;
    frBuild.FirstBuild = false;
    if (!frBuild.ErrorFlag) {
      Terminated = false;
      frBuild.Append = frBuild.Composite = false;
      frBuild.PageNo = 0;
      EMFPages->Clear();
      progressLine = frLoadStr(53022);
      if (window) frProgressForm->SetLabel(progressLine);
      BuildPages();
    }
  } else {
    progressLine = frLoadStr(53022);
    if (window) frProgressForm->Start(progressCaption(Title), progressLine);
    BuildPages();
  }
  const bool result = !Terminated && !frBuild.ErrorFlag;
  if (window) frProgressForm->Finish();
  Terminated = false;
  return result;
}

void TfrReport::BuildPages() {
  frBuild.HookList.clear();
  CanRebuild = true;
  BeginEvaluation();
  if (!frBuild.InComposite) frBuild.OuterReport = this;
  const bool multiple = Dataset && ReportType == rtMultiple;
  std::vector<std::unique_ptr<TfrPageRun>> runs;
  const int n = Pages.Count();
  for (int i = 0; i < n; ++i) {
    runs.push_back(std::make_unique<TfrPageRun>(this, Pages[i], i));
    runs.back()->Runs = &runs;
  }
  const bool savedBuilding = frBuild.Building;
  frBuild.Building = true;
  try {
    if (multiple) {
      Dataset->Init();
      Dataset->First();
    }
    for (auto &r : runs) r->CloneObjects(runs);
    for (auto &r : runs) {
      r->InitReport();
      if (Terminated) break;
    }
    Resolver.BeginBuild(buildStarted.isValid() ? buildStarted : QDateTime::currentDateTime());
    if (!Terminated) {
      do {
        NotifyProgress(frBuild.PageNo + 1);
        for (int i = 0; i < n; ++i) {
          if (runs[i]->Skip) continue;
          frBuild.CurPage = runs[i].get();
          if (OnManualBuild) OnManualBuild(Pages[i]);
          else runs[i]->FormPage();
          frBuild.Append = false;
          const bool last = i == n - 1;
          if ((last && frBuild.Composite && (!multiple || Dataset->Eof())) ||
              (!last && Pages[i + 1]->PrintToPrevPage)) {
            frBuild.Append = true;
            frBuild.PageNo = std::max(0, frBuild.OuterReport->EMFPages->Count() - 1);
          } else {
            frBuild.PageNo = frBuild.OuterReport->EMFPages->Count();
            NotifyProgress(frBuild.PageNo);
          }
          if (Terminated) break;
        }
        NotifyProgress(frBuild.PageNo);
        if (multiple) Dataset->Next();
      } while (!Terminated && multiple && !Dataset->Eof());
    }
  } catch (const std::exception &e) {
    // Errors outside an object (a data source that cannot be walked) end the build the same way.
    if (!frBuild.ErrorFlag) {
      frBuild.ErrorFlag = true;
      frBuild.ErrorText = frBuildErrorText({platform::exceptionText(e)}, Name, btMasterData);
    }
    Terminated = true;
  }
  for (auto &r : runs) {
    try {
      r->ExitSources();
    } catch (const std::exception &) {
      platform::logCaught(lcReport(), QStringLiteral("leaving the data sources"));
    }
    r->DoneReport();
  }
  frBuild.HookList.clear();  // the run-time objects are gone
  if (multiple) {
    try {
      Dataset->Exit();
    } catch (const std::exception &) {
      platform::logCaught(lcReport(), QStringLiteral("leaving the report data set"));
    }
  }
  Resolver.EndBuild();
  frBuild.CurPage = nullptr;
  frBuild.CurBand = nullptr;
  frBuild.CurView = nullptr;
  if (frInterpretator) frInterpretator->Context.CurView = nullptr;
  frBuild.Building = savedBuilding;
}

void TfrCompositeReport::BuildPages() {
  CanRebuild = true;
  frBuild.PageNo = 0;
  frBuild.OuterReport = this;
  const bool savedComposite = frBuild.InComposite;
  frBuild.InComposite = true;
  for (size_t i = 0; i < Reports.size(); ++i) {
    TfrReport *r = Reports[i];
    frBuild.Composite = false;
    if (i + 1 < Reports.size() && Reports[i + 1]->Pages.Count() > 0 && Reports[i + 1]->Pages[0]->PrintToPrevPage)
      frBuild.Composite = true;
    if (frBuild.FirstBuild && r->OnBeginDoc) r->OnBeginDoc();
    r->Terminated = false;
    r->BuildPages();
    if (r->Terminated) Terminated = true;
    if (frBuild.FinalPass && r->OnEndDoc) r->OnEndDoc();
    frBuild.Append = frBuild.Composite;
    frBuild.Composite = false;
    if (Terminated) break;
  }
  frBuild.InComposite = savedComposite;
  BeginEvaluation();
}

void TfrReport::ShowReport() {
  PrepareReport();
  if (frBuild.ErrorFlag) {
    if (frErrorBox) frErrorBox(frBuild.ErrorText);
    EMFPages->Clear();
    return;
  }
  ShowPreparedReport();
}

void TfrReport::ShowPreparedReport() {
  frCurrentReport = this;
  frBuild.OuterReport = this;
  if (EMFPages->Count() == 0) return;
  const QString caption = Title.isEmpty() ? frLoadStr(53010) : frLoadStr(53010) + QStringLiteral(" - ") + Title;
  if (Preview) {
    Preview->Connect(this);
    return;
  }
  if (!frShowPreview) return;
  std::unique_ptr<TfrEMFPages> pages = std::move(EMFPages);
  EMFPages = std::make_unique<TfrEMFPages>(this);
  pages->Parent = this;
  frShowPreview(*this, std::move(pages), caption, ModalPreview);
}

bool TfrReport::PrintPreparedReport(const QString &pageNumbers, int copies) {
  frCurrentReport = this;
  frBuild.OuterReport = this;
  Terminated = false;
  PageNumbers = pageNumbers;
  Copies = copies;
  const bool window = useProgressWindow(*this);
  progressLine = frLoadStr(53023);
  if (window) frProgressForm->Start(progressCaption(Title), progressLine);
  const bool ok = PrintPages(pageNumbers, copies);
  if (window) frProgressForm->Finish();
  Terminated = false;
  return ok;
}

bool TfrReport::PrintPages(const QString &pageNumbers, int copies) {
  QList<QPair<int, int>> ranges;
  QString error;
  if (!frParsePageNumbers(pageNumbers, ranges, error)) {
    if (frErrorBox) frErrorBox(error);
    return false;
  }
  if (EMFPages->Count() == 0) return false;
  if (!frPrinter) {
    if (frErrorBox) frErrorBox(frInvalidPrinterText());
    return false;
  }
  if (copies < 1) copies = 1;
  auto wanted = [&](int p) {
    if (ranges.isEmpty()) return true;
    for (const auto &r : ranges)
      if (p >= r.first && p <= r.second) return true;
    return false;
  };
  std::vector<int> indexes;  // of the pages to print
  for (int i = 0; i < EMFPages->Count(); ++i)
    if (wanted(i + 1)) indexes.push_back(i);
  if (indexes.empty()) {
    // "0" or "999" on a short report: no job at all rather than an empty one.
    if (frErrorBox)
      frErrorBox(QStringLiteral("The page list \"%1\" names no page of the report (pages 1 to %2).")
                     .arg(pageNumbers)
                     .arg(EMFPages->Count()));
    return false;
  }
  bool jobOpen = false;
  // A job that does not complete leaves the printer and the pages' geometry
  // as they were, so that the preview shows the pages as before.
  struct Undo {
    TfrPrinterState printer;
    std::vector<std::pair<TfrPageRec *, TfrPageGeometry>> pages;
    bool done = false;
    ~Undo() {
      if (done) return;
      for (auto &[rec, g] : pages) rec->PrnInfo = g;
      if (frPrinter) frPrinter->RestoreState(printer);
    }
  } undo{frPrinter->SaveState(), {}};
  for (const int i : indexes) {
    TfrPageRec *rec = EMFPages->GetPageRec(i);
    undo.pages.emplace_back(rec, rec->PrnInfo);
  }
  try {
    frPrinter->SelectForJob();
    // The job starts with the paper of the first page it prints.
    TfrPageRec *first = EMFPages->GetPageRec(indexes.front());
    frPrinter->SetPrinterInfo(first->pgSize, first->pgWidth, first->pgHeight, first->pgOr);
    QPainter *painter = frPrinter->BeginDoc(Title);
    if (!painter) return false;  // the user declined (the PDF printer's file question)
    jobOpen = true;
    bool firstSheet = true;
    for (const int i : indexes) {
      const int p = i + 1;
      for (int c = 0; c < copies; ++c) {
        TfrPageRec *rec = EMFPages->GetPageRec(i);
        if (!frPrinter->IsEqual(rec->pgSize, rec->pgWidth, rec->pgHeight, rec->pgOr)) {
          if (frPrinter->CanChangePaperInJob()) {
            // The new paper goes with the next sheet of the same job.
            frPrinter->SetPrinterInfo(rec->pgSize, rec->pgWidth, rec->pgHeight, rec->pgOr);
            frPrinter->NewPage();
          } else {
            // Another paper: the job ends and a new one starts under the same title.
            jobOpen = false;
            frPrinter->EndDoc();
            frPrinter->SetPrinterInfo(rec->pgSize, rec->pgWidth, rec->pgHeight, rec->pgOr);
            painter = frPrinter->BeginDoc(Title);
            if (!painter) return false;
            jobOpen = true;
          }
        } else if (!firstSheet) {
          frPrinter->NewPage();
        }
        firstSheet = false;
        frPrinter->FillPageGeometry(rec->PrnInfo);
        const TfrPageGeometry &g = rec->PrnInfo;
        const QRect rect = rec->UseMargins ? QRect(-g.physOffsetX, -g.physOffsetY, g.physWidth, g.physHeight)
                                           : QRect(0, 0, g.printWidth, g.printHeight);
        TfrPainterCanvas canvas(painter, TfrCanvasKind::Printer);
        rec->Visible = true;
        EMFPages->Draw(i, canvas, rect);
        rec->Visible = false;
        EMFPages->Draw(i, canvas, rect);  // frees the rebuilt page
        NotifyProgress(p);
        if (Terminated) {
          frPrinter->Abort();
          return false;
        }
      }
    }
    jobOpen = false;
    frPrinter->EndDoc();
    undo.done = true;
  } catch (const EPrinterError &e) {
    // Nothing of a failed job is printed or left behind.
    if (jobOpen) frPrinter->Abort();
    if (frErrorBox) frErrorBox(e.message());
    return false;
  }
  return true;
}

bool TfrReport::ChangePrinter(int oldIndex, int newIndex) {
  if (!frPrinter) return false;
  auto applyPapers = [this] {
    frPrinter->PaperSize = -1;
    for (int i = 0; i < Pages.Count(); ++i) Pages[i]->ChangePaper();
  };
  try {
    frPrinter->SetPrinterIndex(newIndex);
    applyPapers();
    return true;
  } catch (const EPrinterError &) {
    platform::logCaught(lcReport(), QStringLiteral("choosing the printer"));
    if (frErrorBox) frErrorBox(frInvalidPrinterText());
    try {
      frPrinter->SetPrinterIndex(oldIndex);
      applyPapers();
    } catch (const EPrinterError &) {
      platform::logCaught(lcReport(), QStringLiteral("going back to the printer before"));
    }
    return false;
  }
}

void TfrReport::LoadPreparedReport(const QString &fileName) {
  EMFPages->LoadFromFile(fileName);
  SetPrinterTo(EMFPages->PrinterName);
  CanRebuild = false;
}

void TfrReport::SavePreparedReport(const QString &fileName) { EMFPages->SaveToFile(fileName); }

}  // namespace report
