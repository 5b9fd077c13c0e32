#pragma once
// Printer wrapper: the printer list with the virtual "Default printer" entry,
// the paper table of the selected printer, page geometry in the engine's
// screen-pixel units and print jobs, over an exchangeable printer backend.

#include "report/core/FR_Utils.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QPainter;
class QPrinter;

namespace report {

// Raised when the selected printer cannot be used (gone, or reporting no
// resolution); the message is the one the report shows to the user.
class EPrinterError : public Exception {
 public:
  using Exception::Exception;
};

// One paper a printer offers: its paper code and its name.
struct TfrPrinterPaper {
  int code = 0;
  QString name;
};

// What the device reports about the selected printer, in device units.
struct TfrDeviceCaps {
  int dpiX = 0, dpiY = 0;                  // pixels per inch
  int physWidth = 0, physHeight = 0;       // whole sheet
  int physOffsetX = 0, physOffsetY = 0;    // first printable pixel
  int printWidth = 0, printHeight = 0;     // printable area
};

// How the start of a print job ended; a job that cannot start raises EPrinterError.
enum class TfrJobStart { Started, Cancelled };

// The system's printers as the wrapper sees them. Implemented over Qt's
// print support for real printers and by a fake in tests.
class TfrPrinterBackend {
 public:
  virtual ~TfrPrinterBackend() = default;
  // Names of the installed printers, and the index of the current (default) one.
  virtual QStringList printerNames() = 0;
  virtual int currentPrinter() = 0;
  // Makes a printer of the list current; false when it no longer exists.
  virtual bool selectPrinter(const QString &name) = 0;
  // The current printer's papers, its paper code and its device geometry.
  virtual std::vector<TfrPrinterPaper> papers() = 0;
  virtual int paperCode() = 0;
  virtual TfrDeviceCaps deviceCaps() = 0;
  // Writes a paper into the current printer: code 256 with width and height
  // in 0.1 mm is a custom size; orientation 0 portrait, 1 landscape.
  virtual void applyPaper(int code, int width, int height, int orientation) = 0;
  // A print job on the current printer. Cancelled when the user declines
  // (nothing is printed); raises EPrinterError when the job cannot start.
  virtual TfrJobStart beginJob(const QString &title) = 0;
  virtual QPainter *canvas() = 0;
  virtual bool newPage() = 0;
  // Hands the job over; raises EPrinterError when the output cannot be
  // completed (nothing of it is then left behind).
  virtual void endJob() = 0;
  // Drops the job: nothing of it is printed or written.
  virtual void abortJob() = 0;
  // True when the current printer takes a new paper between two sheets of a
  // job (applyPaper before newPage), so a paper change needs no new job.
  virtual bool changesPaperInJob() { return false; }
  // The system's printer object a job on the current printer goes through,
  // so that what its own set-up dialog sets (duplex, trays, driver options)
  // goes with the job; nullptr for the printer "PDF" and in tests.
  virtual QPrinter *systemPrinter() { return nullptr; }
};

// The engine's printer backend over the system's print service: the CUPS
// printers and the printer "PDF", which writes each job to a PDF file.
std::unique_ptr<TfrPrinterBackend> frCreateSystemPrinterBackend();

// The "PDF" printer asks where to write a job: given the proposed file name,
// the chosen one, or an empty text when the user cancels. The default asks
// with a save-file dialog in a widget application and takes the proposal
// elsewhere; tests replace it.
using TfrPdfFileNameProc = std::function<QString(const QString &proposed)>;
extern TfrPdfFileNameProc frAskPdfFileName;
// The default of frAskPdfFileName. Without a printer of the system its
// caption is frNoPrinterPdfTitle().
QString frDefaultAskPdfFileName(const QString &proposed);
// "Nincs nyomtató beállítva: a nyomat PDF fájlba kerül".
QString frNoPrinterPdfTitle();
// The proposed file: the job title with ".pdf" in the working folder, less
// the characters a Windows file name cannot hold (\ / : * ? " < > |).
QString frPdfFileProposal(const QString &jobTitle);
// The file a job is written to: the chosen name, with ".pdf" added when it
// does not end so.
QString frPdfFileName(const QString &chosen);

// Twelve integers of one page geometry, in this order.
struct TfrPageGeometry {
  int32_t physWidth = 0, physHeight = 0;       // device units
  int32_t pageWidth = 0, pageHeight = 0;       // screen pixels
  int32_t physOffsetX = 0, physOffsetY = 0;    // device units
  int32_t offsetX = 0, offsetY = 0;            // screen pixels
  int32_t printWidth = 0, printHeight = 0;     // device units
  int32_t printPixWidth = 0, printPixHeight = 0;  // screen pixels
};

// One row of the built-in paper table: code, name, size in 0.1 mm.
struct TfrPaperInfo {
  int code;
  const char *name;
  int width, height;
};

inline constexpr int frPaperCount = 67;      // rows of the built-in table
inline constexpr int frCustomPaper = 256;    // paper code of a custom size
inline constexpr int frMaxPapers = 256;      // capacity of the paper lists
extern const std::array<TfrPaperInfo, frPaperCount> frPaperInfo;

inline constexpr double frPixelsX = 93.0 / 1.022;  // screen pixels per inch, horizontal
inline constexpr double frPixelsY = 93.0 / 1.015;  // vertical

// The wrapper's printer selection and paper, as a job that does not complete
// puts them back.
struct TfrPrinterState {
  int printerIndex = 0;
  QStringList paperNames;
  std::array<uint16_t, frMaxPapers> paperCodes{};
  int paperCount = 0, orientation = 0, paperSize = 9, paperWidth = 2100, paperHeight = 2970;
};

class TfrPrinter {
 public:
  TfrPrinter();
  ~TfrPrinter();
  TfrPrinter(const TfrPrinter &) = delete;
  TfrPrinter &operator=(const TfrPrinter &) = delete;

  // Binds the wrapper to a backend (not owned) and reads its printers.
  void SetPrinter(TfrPrinterBackend *backend);
  TfrPrinterBackend *Printer() const { return backend_; }

  // Selects an entry of the printer list; raises EPrinterError when the
  // printer is not usable (the selection is then unchanged).
  void SetPrinterIndex(int index);
  int PrinterIndex() const { return printerIndex_; }
  int DefaultPrinterIndex() const { return defaultIndex_; }
  bool IsDefaultPrinter() const { return printerIndex_ == defaultIndex_; }

  void GetSettings();
  void ApplyPaperSettings();
  void SetPrinterInfo(int paperCode, int width, int height, int orientation);
  bool IsEqual(int paperCode, int width, int height, int orientation) const;
  int PaperCodeIndex(int paperCode) const;
  void FillPageGeometry(TfrPageGeometry &g);

  // Print jobs, titled "Quorvane: " and the report's title ("Untitled" when empty).
  static QString JobTitle(const QString &title);
  // Makes the selected printer current in the backend; "Default printer"
  // selects the system's current printer first. Raises EPrinterError naming
  // a printer that is gone since it was chosen.
  void SelectForJob();
  // Starts a job on the selected printer with the wrapper's paper: its
  // canvas, or nullptr when the user cancelled. Raises EPrinterError when the
  // printer is gone or the job cannot start.
  QPainter *BeginDoc(const QString &title);
  void NewPage();
  // Ends the job; raises EPrinterError when its output cannot be completed.
  void EndDoc();
  void Abort();
  // True when a paper change can go into the running job (see the backend).
  bool CanChangePaperInJob() const;
  QString LastJobTitle() const { return jobTitle_; }
  // The state before a job, and putting it back after a cancelled or failed
  // one: the same printer (selected again in the backend, with its paper, when
  // it is still there) and the same paper settings.
  TfrPrinterState SaveState() const;
  void RestoreState(const TfrPrinterState &s);

  QStringList Printers;       // last entry "Default printer"
  QStringList PaperNames;     // parallel to PaperCodes
  std::array<uint16_t, frMaxPapers> PaperCodes{};
  int PaperCount = 0;
  int Orientation = 0;        // 0 portrait, 1 landscape
  int PaperSize = 9;          // paper code; -1 marks the paper as unknown
  int PaperWidth = 2100;      // 0.1 mm
  int PaperHeight = 2970;

 private:
  void requireValidPrinter();
  void selectBackendPrinter(int index);
  void fillBuiltInPapers();

  TfrPrinterBackend *backend_ = nullptr;
  int printerIndex_ = 0;
  int defaultIndex_ = 0;
  QString jobTitle_;
  QString jobPrinter_;  // the printer of the last job
};

// The engine's one printer wrapper, created at engine start-up.
extern TfrPrinter *frPrinter;
// Engine start-up and shut-down: creates frPrinter bound to the system's
// printers, or to the given backend (not owned); frees it again.
void frCreatePrinter(TfrPrinterBackend *backend = nullptr);
void frFreePrinter();

// Texts of the wrapper.
QString frDefaultPrinterName();   // "Default printer"
QString frPdfPrinterName();       // "PDF"
QString frInvalidPrinterText();   // "Printer selected is not valid"
// The message when the printer chosen for a job is no longer there.
QString frPrinterGoneText(const QString &printer);

}  // namespace report
