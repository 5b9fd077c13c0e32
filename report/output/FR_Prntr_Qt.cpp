// The system printer backend over Qt's print support (CUPS on Linux).
#include "report/output/FR_Prntr.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <set>

namespace report {
namespace {

class SystemPrinterBackend final : public TfrPrinterBackend {
 public:
  QStringList printerNames() override { return QPrinterInfo::availablePrinterNames(); }

  int currentPrinter() override {
    const QStringList names = printerNames();
    if (names.isEmpty()) return -1;
    if (!name_.isEmpty() && names.contains(name_)) return names.indexOf(name_);
    const int def = names.indexOf(QPrinterInfo::defaultPrinterName());
    return def >= 0 ? def : 0;
  }

  bool selectPrinter(const QString &name) override {
    if (QPrinterInfo::printerInfo(name).isNull()) return false;
    printer().setPrinterName(name);
    if (!printer().isValid()) return false;
    name_ = name;
    return true;
  }

  std::vector<TfrPrinterPaper> papers() override {
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
    const int code = printer().pageLayout().pageSize().windowsId();
    return code > 0 ? code : frCustomPaper;
  }

  TfrDeviceCaps deviceCaps() override {
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

  bool beginJob(const QString &title) override {
    printer().setDocName(title);
    return painter_.begin(&printer());
  }
  QPainter *canvas() override { return &painter_; }
  bool newPage() override { return printer().newPage(); }
  void endJob() override {
    if (painter_.isActive()) painter_.end();
  }
  void abortJob() override {
    printer().abort();
    if (painter_.isActive()) painter_.end();
  }

 private:
  // Created on first use: only a selected real printer needs it.
  QPrinter &printer() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
  }

  std::unique_ptr<QPrinter> printer_;
  QPainter painter_;
  QString name_;
};

}  // namespace

std::unique_ptr<TfrPrinterBackend> frCreateSystemPrinterBackend() {
  return std::make_unique<SystemPrinterBackend>();
}

}  // namespace report
