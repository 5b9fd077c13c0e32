#include "report/output/FR_Prntr_Fake.h"

#include <cmath>

namespace report {

TfrFakePrinterBackend::Printer TfrFakePrinterBackend::standardPrinter(const QString &name,
                                                                      int dpiX, int dpiY) {
  Printer p;
  p.name = name;
  p.dpiX = dpiX;
  p.dpiY = dpiY;
  p.marginX = dpiX / 6;
  p.marginY = dpiY / 6;
  p.papers = {{9, QStringLiteral("A4"), 2100, 2970},
              {8, QStringLiteral("A3"), 2970, 4200},
              {1, QStringLiteral("Letter"), 2159, 2794}};
  return p;
}

void TfrFakePrinterBackend::removePrinter(const QString &name) {
  std::erase_if(printers, [&](const Printer &p) { return p.name == name; });
}

const TfrFakePrinterBackend::Printer *TfrFakePrinterBackend::find(const QString &name) const {
  for (const Printer &p : printers)
    if (p.name == name) return &p;
  return nullptr;
}

QStringList TfrFakePrinterBackend::printerNames() {
  QStringList names;
  for (const Printer &p : printers) names.append(p.name);
  return names;
}

int TfrFakePrinterBackend::currentPrinter() {
  if (printers.empty()) return -1;
  return current >= 0 && current < int(printers.size()) ? current : 0;
}

bool TfrFakePrinterBackend::selectPrinter(const QString &name) {
  const Printer *p = find(name);
  if (!p) return false;
  if (selected_ != name) {
    selected_ = name;
    orientation_ = 0;
    if (!p->papers.empty()) {
      paper_ = p->papers.front().code;
      paperWidth_ = p->papers.front().width;
      paperHeight_ = p->papers.front().height;
    }
  }
  return true;
}

std::vector<TfrPrinterPaper> TfrFakePrinterBackend::papers() {
  std::vector<TfrPrinterPaper> out;
  if (const Printer *p = find(selected_))
    for (const Paper &paper : p->papers) out.push_back({paper.code, paper.name});
  return out;
}

TfrDeviceCaps TfrFakePrinterBackend::deviceCaps() {
  TfrDeviceCaps c;
  const Printer *p = find(selected_);
  if (!p) return c;
  c.dpiX = p->dpiX;
  c.dpiY = p->dpiY;
  int w = paperWidth_, h = paperHeight_;
  if (orientation_ == 1) std::swap(w, h);
  c.physWidth = int(std::lround(w * p->dpiX / 254.0));
  c.physHeight = int(std::lround(h * p->dpiY / 254.0));
  c.physOffsetX = p->marginX;
  c.physOffsetY = p->marginY;
  c.printWidth = c.physWidth - 2 * p->marginX;
  c.printHeight = c.physHeight - 2 * p->marginY;
  return c;
}

void TfrFakePrinterBackend::applyPaper(int code, int width, int height, int orientation) {
  const Printer *p = find(selected_);
  if (!p) return;
  orientation_ = orientation == 1 ? 1 : 0;
  if (code == frCustomPaper) {
    if (width > 0 && height > 0) {
      paper_ = code;
      // A custom size is given as it lies; keep it upright.
      paperWidth_ = orientation_ == 1 ? height : width;
      paperHeight_ = orientation_ == 1 ? width : height;
    }
    return;
  }
  for (const Paper &paper : p->papers) {
    if (paper.code != code) continue;
    paper_ = code;
    paperWidth_ = paper.width;
    paperHeight_ = paper.height;
  }
}

TfrJobStart TfrFakePrinterBackend::beginJob(const QString &title) {
  if (!find(selected_)) throw EPrinterError(frPrinterGoneText(selected_));
  Job job;
  job.title = title;
  job.printer = selected_;
  job.pages = 1;
  job.paperCode = paper_;
  job.orientation = orientation_;
  jobs.push_back(std::move(job));
  jobs.back().pictures.emplace_back();
  if (!painter_.begin(&jobs.back().pictures.back())) throw EPrinterError(frInvalidPrinterText());
  return TfrJobStart::Started;
}

bool TfrFakePrinterBackend::newPage() {
  // A printer removed during the job refuses the next sheet.
  if (jobs.empty() || !painter_.isActive() || !find(jobs.back().printer)) return false;
  painter_.end();
  Job &job = jobs.back();
  job.pictures.emplace_back();
  ++job.pages;
  return painter_.begin(&job.pictures.back());
}

void TfrFakePrinterBackend::endJob() {
  if (painter_.isActive()) painter_.end();
  if (!jobs.empty()) jobs.back().ended = true;
}

void TfrFakePrinterBackend::abortJob() {
  if (painter_.isActive()) painter_.end();
  if (!jobs.empty()) jobs.back().aborted = true;
}

}  // namespace report
