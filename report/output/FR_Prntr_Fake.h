#pragma once
// A printer backend for tests: the printers, resolutions, margins and paper
// lists are what the test sets; jobs are recorded page by page.

#include "report/output/FR_Prntr.h"

#include <QPainter>
#include <QPicture>

#include <deque>

namespace report {

class TfrFakePrinterBackend final : public TfrPrinterBackend {
 public:
  struct Paper {
    int code;
    QString name;
    int width, height;  // 0.1 mm, portrait
  };
  struct Printer {
    QString name;
    int dpiX = 600, dpiY = 600;
    int marginX = 0, marginY = 0;   // unprintable edge, device units
    std::vector<Paper> papers;
  };
  struct Job {
    QString title;
    QString printer;
    int pages = 0;
    bool aborted = false;
    bool ended = false;
    int paperCode = 0, orientation = 0;
    std::deque<QPicture> pictures;   // one per page
  };

  std::vector<Printer> printers;
  int current = 0;                   // index of the system's current printer
  std::vector<Job> jobs;

  // A printer with A4, A3 and Letter at the given resolution.
  static Printer standardPrinter(const QString &name, int dpiX = 600, int dpiY = 600);
  void removePrinter(const QString &name);

  // State of the selected printer, as a test may inspect it.
  QString selected() const { return selected_; }
  int selectedPaper() const { return paper_; }
  int selectedOrientation() const { return orientation_; }

  QStringList printerNames() override;
  int currentPrinter() override;
  bool selectPrinter(const QString &name) override;
  std::vector<TfrPrinterPaper> papers() override;
  int paperCode() override { return paper_; }
  TfrDeviceCaps deviceCaps() override;
  void applyPaper(int code, int width, int height, int orientation) override;
  TfrJobStart beginJob(const QString &title) override;
  QPainter *canvas() override { return &painter_; }
  bool newPage() override;
  void endJob() override;
  void abortJob() override;

 private:
  const Printer *find(const QString &name) const;
  int paperWidth_ = 2100, paperHeight_ = 2970;  // portrait size of the selected paper
  int paper_ = 9, orientation_ = 0;
  QString selected_;
  QPainter painter_;
};

}  // namespace report
