#pragma once
// The report component's stored side: design pages, value list and variable
// list, the layout stream, layout files, templates and the form-resource
// property. Building, preview and printing extend it elsewhere.
#include "report/FR_Class_Page.h"
#include "report/FR_Class_ValueList.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace report {

class TfrReport {
 public:
  TfrReport();
  virtual ~TfrReport();
  TfrReport(const TfrReport &) = delete;
  TfrReport &operator=(const TfrReport &) = delete;

  // The report stream: the version byte and the body. A malformed stream
  // raises and leaves the report as it was.
  void LoadFromStream(TfrStream &stream);
  void SaveToStream(TfrStream &stream);
  QByteArray SaveToBytes();
  void LoadFromBytes(const QByteArray &bytes);
  // Layout files (.frf). Saving writes a temporary file and renames it.
  void LoadFromFile(const QString &fileName);
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
};

// A name for an object read from an old stream: its base name and the smallest
// number from 1 to 10000 that no object of the pages carries; empty when all are taken.
QString CreateUniqueName(const TfrView &view, const TfrPages &pages);

// Shows an error message box; set by the application (headless default: nothing shown).
extern std::function<void(const QString &text)> frErrorBox;

// The report being loaded, built or shown.
extern TfrReport *frCurrentReport;

}  // namespace report
