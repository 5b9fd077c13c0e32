#pragma once
// The report component's stored side: design pages, value list and variable
// list, the layout stream, layout files, templates and the form-resource
// property. Building, preview and printing extend it elsewhere.
#include "report/output/FR_Class_EMFPages.h"
#include "report/core/FR_Class_Page.h"
#include "report/core/FR_Class_ValueList.h"
#include "report/expr/FR_Values.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace report {

class TfrBand;
class TfrDataset;
class TfrPreview;

class TfrReport {
 public:
  TfrReport();
  virtual ~TfrReport();
  TfrReport(const TfrReport &) = delete;
  TfrReport &operator=(const TfrReport &) = delete;

  // The report stream: the version byte and the body. A malformed stream
  // raises and leaves the report as it was; a version this engine does not
  // know shows "Unsupported FRF format" and loads nothing (false).
  bool LoadFromStream(TfrStream &stream);
  void SaveToStream(TfrStream &stream);
  QByteArray SaveToBytes();
  bool LoadFromBytes(const QByteArray &bytes);
  // Layout files (.frf). Saving writes a temporary file and renames it. The
  // file name is taken only when the layout was loaded.
  bool LoadFromFile(const QString &fileName);
  void SaveToFile(const QString &fileName);

  // Template files (.frt): description lines, an optional bitmap, the body.
  void LoadTemplate(const QString &fileName, QStringList *description, TfrPicture *picture, bool load);
  void SaveTemplate(const QString &fileName, const QStringList &description, const TfrPicture &picture);
  // The same on a template file's bytes.
  void LoadTemplateFromStream(TfrStream &stream, QStringList *description, TfrPicture *picture, bool load);

  // The form-resource property "ReportForm".
  void ReadBinaryData(TfrStream &stream);
  void WriteBinaryData(TfrStream &stream);

  // Selects a printer by name unless PrintToDefault is set; an unknown name is ignored.
  bool SetPrinterTo(const QString &printerName);

  // Variable list lookups (category lines, variable lines with a leading blank).
  void GetCategoryList(QStringList &list) const;
  void GetVarList(int categoryIndex, QStringList &list) const;
  int FindVariable(const QString &name) const;
  // The first object of any design page with that name (case-insensitive).
  TfrView *FindObject(const QString &name) const;

  // The body of the stream (after the version byte); used by TfrPages.
  void LoadBody(TfrStream &stream);
  void SaveBody(TfrStream &stream);

  TfrPages Pages{this};
  TfrValues Values;
  QStringList Variables;
  bool PrintToDefault = false;
  bool DoublePass = false;
  bool StoreInDFM = false;
  // The printer named by the last layout read; written when no printer
  // wrapper is installed.
  QString PrinterName = QStringLiteral("Default printer");
  QString FileName = QStringLiteral("Untitled");
  QString Title;

  // ---- Building, showing and printing (FR_Class_Build.cpp; page filling in FR_Class_Band.cpp) ----
  enum TfrReportType { rtSimple, rtMultiple };
  enum TfrPreviewButton { pbZoom = 1, pbLoad = 2, pbSave = 4, pbPrint = 8, pbFind = 16, pbHelp = 32, pbExit = 64 };
  enum TfrPreviewZoom { pzDefault, pzPageWidth, pzOnePage, pzTwoPages };

  // Builds the prepared pages in one or two passes; true when the build ran to its end.
  bool PrepareReport();
  // PrepareReport, then the error box ("Error") or the preview.
  void ShowReport();
  void ShowPreparedReport();
  // Prints the prepared pages: an empty text prints all, "1,3-5" pages 1, 3, 4
  // and 5; each page Copies times. A text that is not a page list, or names
  // no page of the report, shows a message and prints nothing (false); so do
  // a printer gone since it was chosen and a job that fails, which is dropped
  // whole. False without a message when the user declines the PDF file question.
  bool PrintPreparedReport(const QString &pageNumbers, int copies);
  // Selects printer NewIndex and lets the pages take their paper again; on
  // failure "Printer selected is not valid" and the old printer (false).
  bool ChangePrinter(int oldIndex, int newIndex);
  // The prepared-report file (.frp); loading clears CanRebuild.
  void LoadPreparedReport(const QString &fileName);
  void SavePreparedReport(const QString &fileName);
  // Opens prepared page pageIndex (0-based) in a new designer window and,
  // when the user keeps the changes, writes them back into the page; the
  // design pages and the designer instance are restored on every path
  // (FR_Desgn_Intf.cpp). Nothing happens without a designer.
  void EditPreparedReport(int pageIndex);
  // One pass over the design pages into the prepared pages.
  virtual void BuildPages();
  // Progress of a build or print: OnProgress, or the progress window's label.
  void NotifyProgress(int n);

  QString Name;  // the component's name (error texts)
  TfrDataset *Dataset = nullptr;  // with rtMultiple: the report is built once per record
  TfrReportType ReportType = rtSimple;
  bool GrayedButtons = false;
  bool ShowProgress = true;
  bool ModalPreview = true;
  bool ModifyPrepared = true;
  int PreviewButtons = pbZoom | pbLoad | pbSave | pbPrint | pbFind | pbHelp | pbExit;
  TfrPreviewZoom InitialZoom = pzDefault;
  TfrPreview *Preview = nullptr;  // an embedded preview: prepared pages are shown there

  std::function<void()> OnBeginDoc, OnEndDoc;
  std::function<void(int pgNo)> OnBeginPage, OnEndPage;
  std::function<void(TfrBand *band)> OnBeginBand, OnEndBand;
  std::function<bool(const QString &parName, Variant &parValue)> OnGetValue;  // true: value given
  std::function<void(QStringList &memo, TfrView *view)> OnEnterRect;
  std::function<void(int n)> OnProgress;
  std::function<void(const QString &name, const Variant &p1, const Variant &p2, const Variant &p3, QString &val)>
      OnUserFunction;
  std::function<void(TfrBand *band)> OnBeginColumn;
  std::function<void(int colNo, int &width)> OnPrintColumn;
  std::function<void(TfrPage *page)> OnManualBuild;

  std::unique_ptr<TfrEMFPages> EMFPages = std::make_unique<TfrEMFPages>(this);
  TfrNameResolver Resolver;  // this report's answers to the evaluator
  bool CanRebuild = false;
  bool Terminated = false;  // set by Cancel
  QString PageNumbers;      // of the print in progress
  int Copies = 1;

 protected:
  bool RunPasses();
  void BeginEvaluation();
  bool PrintPages(const QString &pageNumbers, int copies);
};

// A name for an object read from an old stream: its base name and the smallest
// number from 1 to 10000 that no object of the pages carries; empty when all are taken.
QString CreateUniqueName(const TfrView &view, const TfrPages &pages);

// Shows an error message box ("Error" caption, error icon) in a widget
// application; tests replace it.
extern std::function<void(const QString &text)> frErrorBox;
// The default of frErrorBox: the box in a widget application, nothing elsewhere.
void frDefaultErrorBox(const QString &text);

// The report being loaded, built or shown.
extern TfrReport *frCurrentReport;

}  // namespace report
