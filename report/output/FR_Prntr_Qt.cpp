// The system printer backend over Qt's print support: the CUPS printers and
// the printer "PDF", which writes each job to a PDF file the user names.
#include "report/output/FR_Prntr.h"

#include "platform/error_text.h"
#include "platform/file_dialog.h"
#include "platform/whole_file.h"
#include "report/output/FR_Prntr_Cups.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

#include <cerrno>
#include <set>

namespace report {

namespace {

// The system's printers, without a queue named as the printer "PDF".
QStringList cupsPrinters() {
  QStringList names = QPrinterInfo::availablePrinterNames();
  names.removeAll(frPdfPrinterName());
  return names;
}

}  // namespace

QString frDefaultAskPdfFileName(const QString &proposed) {
  // Without windows there is nobody to ask: the proposal is taken.
  if (!qobject_cast<QApplication *>(QCoreApplication::instance())) return proposed;
  // Without a printer of the system the default printer is "PDF": the
  // question says why a file is asked for.
  const QString title = cupsPrinters().isEmpty() ? frNoPrinterPdfTitle() : QStringLiteral("Save the printout as");
  // A name typed without ".pdf" gets it before an older file of that name is asked about.
  std::unique_ptr<QFileDialog> dlg(platform::makeFileDialog(QApplication::activeWindow(), "PdfFileDialog",
                                                            platform::FileDialogKind::Save, title,
                                                            QStringLiteral("PDF files|*.pdf"), QStringLiteral("pdf")));
  return platform::execFileDialog(dlg.get(), QString(), proposed);
}
TfrPdfFileNameProc frAskPdfFileName = frDefaultAskPdfFileName;

QString frPdfFileProposal(const QString &jobTitle) {
  // A title is no path, and the file may go to a stick formatted for
  // Windows: the characters a Windows file name cannot hold are left out,
  // as are blanks and dots at its end.
  QString base;
  for (const QChar c : jobTitle)
    if (c.unicode() >= 0x20 && !QStringLiteral("\\/:*?\"<>|").contains(c)) base += c;
  while (base.endsWith(QLatin1Char(' ')) || base.endsWith(QLatin1Char('.'))) base.chop(1);
  if (base.isEmpty()) base = QStringLiteral("Untitled");
  return QDir::current().absoluteFilePath(base + QStringLiteral(".pdf"));
}

QString frPdfFileName(const QString &chosen) {
  if (chosen.isEmpty() || chosen.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) return chosen;
  return chosen + QStringLiteral(".pdf");
}

namespace {

constexpr int frPdfResolution = 600;  // the "PDF" printer's pixels per inch

// The printer "PDF": the papers of the engine's table that have a page size,
// no unprintable edge. A job is written to a temporary file beside the chosen
// one and renamed over it at the end, so a failed or cancelled job leaves
// nothing behind and an older file of that name untouched.
class PdfPrinter {
 public:
  std::vector<TfrPrinterPaper> papers() const {
    std::vector<TfrPrinterPaper> out;
    for (const TfrPaperInfo &p : frPaperInfo)
      if (p.code != frCustomPaper && QPageSize::id(p.code) != QPageSize::Custom)
        out.push_back({p.code, QString::fromLatin1(p.name)});
    return out;
  }

  int paperCode() const { return code_; }

  TfrDeviceCaps deviceCaps() const {
    const QRect full = layout().fullRectPixels(frPdfResolution);
    TfrDeviceCaps c;
    c.dpiX = c.dpiY = frPdfResolution;
    c.physWidth = c.printWidth = full.width();
    c.physHeight = c.printHeight = full.height();
    return c;
  }

  void applyPaper(int code, int width, int height, int orientation) {
    if (code == frCustomPaper) {
      if (width > 0 && height > 0) {
        size_ = QPageSize(QSizeF(width / 10.0, height / 10.0), QPageSize::Millimeter, QString(),
                          QPageSize::ExactMatch);
        code_ = code;
      }
    } else if (code > 0 && QPageSize::id(code) != QPageSize::Custom) {
      size_ = QPageSize(QPageSize::id(code));
      code_ = code;
    }
    orientation_ = orientation == 1 ? QPageLayout::Landscape : QPageLayout::Portrait;
    // Within a job the new paper takes effect with the next sheet.
    if (writer_) writer_->setPageLayout(layout());
  }

  TfrJobStart beginJob(const QString &title, QPainter &painter) {
    const QString proposal = frPdfFileProposal(title);
    const QString name = frPdfFileName(frAskPdfFileName ? frAskPdfFileName(proposal) : proposal);
    if (name.isEmpty()) return TfrJobStart::Cancelled;
    file_ = std::make_unique<platform::WholeFile>(name);
    if (const platform::Done opened = file_->open(); !opened) {
      file_.reset();
      throw EPrinterError(cannotWrite(name, opened.reason()));
    }
    writer_ = std::make_unique<QPdfWriter>(&file_->device());
    writer_->setResolution(frPdfResolution);
    writer_->setPageLayout(layout());
    writer_->setTitle(title);
    writer_->setCreator(QStringLiteral("Vorik"));
    if (!painter.begin(writer_.get())) {
      abortJob(painter);
      throw EPrinterError(cannotWrite(name, QString()));
    }
    return TfrJobStart::Started;
  }

  // A sheet the file refuses (a full disk: a long job writes its pages as it
  // goes) is the file's failure, not the printer's: said with the file's name
  // and the system's reason.
  bool newPage() {
    if (!writer_) return false;
    errno = 0;
    if (writer_->newPage()) return true;
    const int error = errno;
    throw EPrinterError(cannotWrite(file_->path(), error != 0 ? platform::systemErrorText(error) : QString()));
  }

  void endJob(QPainter &painter) {
    if (!file_) return;
    if (painter.isActive()) painter.end();
    writer_.reset();
    const platform::Done written = file_->commit();
    const QString name = file_->path();
    file_.reset();
    if (!written) throw EPrinterError(cannotWrite(name, written.reason()));
  }

  void abortJob(QPainter &painter) {
    if (painter.isActive()) painter.end();
    writer_.reset();
    if (file_) file_->cancel();
    file_.reset();  // the temporary file goes with it
  }

 private:
  QPageLayout layout() const { return QPageLayout(size_, orientation_, QMarginsF(0, 0, 0, 0)); }
  // What happened to the file, why (the system's reason in the program's
  // words) and what to do.
  static QString cannotWrite(const QString &name, const QString &reason) {
    QString text = QStringLiteral("A(z) \"%1\" fájl nem írható").arg(QDir::toNativeSeparators(name));
    if (!reason.isEmpty()) text += QStringLiteral(": ") + reason;
    if (!text.endsWith(QLatin1Char('.'))) text += QLatin1Char('.');
    return text + QStringLiteral(" Kérem válasszon másik mappát vagy fájlnevet, vagy szabadítson fel helyet a "
                                 "lemezen, és nyomtasson újra.");
  }

  QPageSize size_{QPageSize::A4};
  int code_ = 9;
  QPageLayout::Orientation orientation_ = QPageLayout::Portrait;
  std::unique_ptr<platform::WholeFile> file_;
  std::unique_ptr<QPdfWriter> writer_;
};

class SystemPrinterBackend final : public TfrPrinterBackend {
 public:
  // The CUPS printers, then "PDF" (a CUPS queue of that name gives way to it).
  QStringList printerNames() override {
    QStringList names = cupsPrinters();
    names.append(frPdfPrinterName());
    return names;
  }

  // The printer last selected, else the CUPS default, else "PDF".
  int currentPrinter() override {
    const QStringList names = printerNames();
    if (!name_.isEmpty() && names.contains(name_)) return names.indexOf(name_);
    const int def = names.indexOf(QPrinterInfo::defaultPrinterName());
    return def >= 0 ? def : 0;  // else the first CUPS printer, or "PDF" when there is none
  }

  bool selectPrinter(const QString &name) override {
    if (name == frPdfPrinterName()) {
      usePdf_ = true;
      name_ = name;
      return true;
    }
    if (QPrinterInfo::printerInfo(name).isNull()) return false;
    printer().setPrinterName(name);
    if (!printer().isValid()) return false;
    usePdf_ = false;
    name_ = name;
    return true;
  }

  std::vector<TfrPrinterPaper> papers() override {
    if (usePdf_) return pdfPrinter_.papers();
    std::vector<TfrPrinterPaper> out;
    std::set<int> seen;
    // Only papers with a standard paper code can be named by code.
    for (const QPageSize &size : QPrinterInfo::printerInfo(name_).supportedPageSizes()) {
      const int code = size.windowsId();
      if (code <= 0 || !seen.insert(code).second) continue;
      out.push_back({code, size.name()});
    }
    return out;
  }

  int paperCode() override {
    if (usePdf_) return pdfPrinter_.paperCode();
    const int code = printer().pageLayout().pageSize().windowsId();
    return code > 0 ? code : frCustomPaper;
  }

  TfrDeviceCaps deviceCaps() override {
    if (usePdf_) return pdfPrinter_.deviceCaps();
    TfrDeviceCaps c;
    QPrinter &p = printer();
    c.dpiX = p.logicalDpiX();
    c.dpiY = p.logicalDpiY();
    const QRectF paper = p.paperRect(QPrinter::DevicePixel);
    const QRectF page = p.pageRect(QPrinter::DevicePixel);
    c.physWidth = qRound(paper.width());
    c.physHeight = qRound(paper.height());
    c.physOffsetX = qRound(page.left() - paper.left());
    c.physOffsetY = qRound(page.top() - paper.top());
    c.printWidth = qRound(page.width());
    c.printHeight = qRound(page.height());
    return c;
  }

  void applyPaper(int code, int width, int height, int orientation) override {
    if (usePdf_) {
      pdfPrinter_.applyPaper(code, width, height, orientation);
      return;
    }
    QPageSize size;
    if (code == frCustomPaper) {
      if (width > 0 && height > 0)
        size = QPageSize(QSizeF(width / 10.0, height / 10.0), QPageSize::Millimeter);
    } else if (code > 0) {
      const QPageSize::PageSizeId id = QPageSize::id(code);
      if (id != QPageSize::Custom) size = QPageSize(id);
    }
    if (size.isValid()) printer().setPageSize(size);
    printer().setPageOrientation(orientation == 1 ? QPageLayout::Landscape
                                                  : QPageLayout::Portrait);
    printer().setCopyCount(1);
  }

  TfrJobStart beginJob(const QString &title) override {
    if (usePdf_) return pdfPrinter_.beginJob(title, painter_);
    // A queue that would not print the job is refused before anything is drawn.
    if (const QString problem = frCupsQueueProblem(name_); !problem.isEmpty()) throw EPrinterError(problem);
    printer().setDocName(title);
    if (!painter_.begin(&printer())) throw EPrinterError(frPrinterGoneText(name_));
    return TfrJobStart::Started;
  }
  QPainter *canvas() override { return &painter_; }
  bool newPage() override { return usePdf_ ? pdfPrinter_.newPage() : printer().newPage(); }
  void endJob() override {
    if (usePdf_) {
      pdfPrinter_.endJob(painter_);
      return;
    }
    if (!painter_.isActive()) return;
    // The job is spooled when the painter ends; a queue gone meanwhile fails here.
    painter_.end();
    if (printer().printerState() == QPrinter::Error) throw EPrinterError(frPrinterGoneText(name_));
    if (const QString problem = frCupsJobProblem(name_); !problem.isEmpty()) throw EPrinterError(problem);
  }
  void abortJob() override {
    if (usePdf_) {
      pdfPrinter_.abortJob(painter_);
      return;
    }
    printer().abort();
    if (painter_.isActive()) painter_.end();
  }
  bool changesPaperInJob() override { return usePdf_; }
  QPrinter *systemPrinter() override { return usePdf_ ? nullptr : &printer(); }

 private:
  // Created on first use: only a selected real printer needs it.
  QPrinter &printer() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
  }

  std::unique_ptr<QPrinter> printer_;
  PdfPrinter pdfPrinter_;
  bool usePdf_ = false;
  QPainter painter_;
  QString name_;
};

}  // namespace

std::unique_ptr<TfrPrinterBackend> frCreateSystemPrinterBackend() {
  return std::make_unique<SystemPrinterBackend>();
}

}  // namespace report
