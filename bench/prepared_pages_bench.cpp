// Prepared pages: memory per page of 60 text objects, drawing pages to PDF at
// 300 dpi, the same pages printed to the printer "PDF" through the report's
// print path, and text layout.
#include "prepared_pages.h"
#include "report/core/FR_Class_Report.h"
#include "report/output/FR_Canvas.h"
#include "report/output/FR_Class_EMFPages.h"
#include "report/output/FR_Prntr.h"
#include "report/output/FR_TextLayout.h"

#include <QBuffer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>

#include <benchmark/benchmark.h>
#include <malloc.h>

#include "bench/support/bench_main.h"

using namespace report;

namespace {

size_t heapInUse() { return mallinfo2().uordblks; }

void BM_PageMemory(benchmark::State &state) {
  const int count = static_cast<int>(state.range(0));
  double total = 0;
  for (auto _ : state) {
    const size_t before = heapInUse();
    auto pages = std::make_unique<TfrEMFPages>();
    for (int i = 0; i < count; ++i) addListPage(*pages, i);
    total = static_cast<double>(heapInUse() - before);
    benchmark::DoNotOptimize(pages->Count());
  }
  state.counters["bytes_per_page"] = total / count;
  state.counters["total_MB"] = total / (1024.0 * 1024.0);
}
BENCHMARK(BM_PageMemory)->Arg(1)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_DrawPdf300dpi(benchmark::State &state) {
  TfrEMFPages pages;
  for (int i = 0; i < 100; ++i) addListPage(pages, i);
  qint64 bytes = 0;
  for (auto _ : state) {
    QBuffer buf;
    buf.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buf);
    pdf.setResolution(300);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter(&pdf);
    TfrPainterCanvas canvas(&painter, TfrCanvasKind::Printer);
    for (int i = 0; i < pages.Count(); ++i) {
      if (i > 0) pdf.newPage();
      TfrPageRec *rec = pages[i];
      rec->Visible = true;
      const double k = 300.0 / 96;
      pages.Draw(i, canvas, QRect(0, 0, frRound(rec->PrnInfo.pageWidth * k), frRound(rec->PrnInfo.pageHeight * k)));
      rec->Visible = false;
      pages.Draw(i, canvas, QRect());  // frees the rebuilt page, as the printer does
    }
    painter.end();
    bytes = buf.size();
  }
  state.counters["pages_per_s"] = benchmark::Counter(100.0 * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["pdf_KB"] = bytes / 1024.0;
}
BENCHMARK(BM_DrawPdf300dpi)->Unit(benchmark::kMillisecond);

// 100 pages printed to the printer "PDF" as the preview's print does: page
// geometry, the PDF file written beside its target and renamed at the end.
void BM_PrintToPdfPrinter(benchmark::State &state) {
  auto backend = frCreateSystemPrinterBackend();
  TfrPrinter prn;
  prn.SetPrinter(backend.get());
  prn.SetPrinterIndex(int(prn.Printers.indexOf(frPdfPrinterName())));
  frPrinter = &prn;
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("print.pdf"));
  const TfrPdfFileNameProc ask = frAskPdfFileName;
  frAskPdfFileName = [&](const QString &) { return file; };
  {
    TfrReport rep;
    for (int i = 0; i < 100; ++i) addListPage(*rep.EMFPages, i);
    for (auto _ : state)
      if (!rep.PrintPreparedReport(QString(), 1)) state.SkipWithError("the print failed");
  }
  state.counters["pages_per_s"] = benchmark::Counter(100.0 * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["pdf_KB"] = QFileInfo(file).size() / 1024.0;
  frAskPdfFileName = ask;
  frPrinter = nullptr;
}
BENCHMARK(BM_PrintToPdfPrinter)->Unit(benchmark::kMillisecond);

void BM_LayoutParagraphs(benchmark::State &state) {
  TfrTextLayoutParams p;
  p.font.height = 13;
  p.width = 300;
  p.height = 500;
  const QStringList text = {
      QStringLiteral("A felvásárlási jegyek összesítője a kiválasztott időszak minden tételét tartalmazza, "
                     "termelőnként és terményenként csoportosítva."),
      QString(),
      QStringLiteral("Az árak forintban értendők, az általános forgalmi adót nem tartalmazzák; a levonások "
                     "a jegy alján szerepelnek.")};
  for (auto _ : state) benchmark::DoNotOptimize(frLayoutText(text, p).textHeight);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LayoutParagraphs);

}  // namespace

int main(int argc, char **argv) { return bench::RunBenchmarks<QGuiApplication>(argc, argv); }
