#pragma once
// The system's printers for one scope, through the report's own printer
// backend; what the report's print globals were is put back after it.
#include "report/output/FR_Prntr.h"

#include <QString>

#include <memory>

namespace vorik::test {

// The printer "PDF" writes to the file *answer names (empty: the question is
// cancelled); with pdfChosen it is the printer chosen, as the print dialog
// leaves it.
class SystemPrinters {
 public:
  explicit SystemPrinters(const QString *answer, bool pdfChosen = false)
      : backend_(report::frCreateSystemPrinterBackend()) {
    printer_.SetPrinter(backend_.get());
    if (pdfChosen) printer_.SetPrinterIndex(int(printer_.Printers.indexOf(report::frPdfPrinterName())));
    report::frPrinter = &printer_;
    report::frAskPdfFileName = [answer](const QString &) { return *answer; };
  }
  ~SystemPrinters() {
    report::frPrinter = savedPrinter_;
    report::frAskPdfFileName = savedAsk_;
  }
  SystemPrinters(const SystemPrinters &) = delete;
  SystemPrinters &operator=(const SystemPrinters &) = delete;

 private:
  std::unique_ptr<report::TfrPrinterBackend> backend_;
  report::TfrPrinter printer_;
  report::TfrPrinter *savedPrinter_ = report::frPrinter;
  report::TfrPdfFileNameProc savedAsk_ = report::frAskPdfFileName;
};

}  // namespace vorik::test
