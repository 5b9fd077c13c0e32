// The preview window over 1,000 prepared pages of 60 text objects: the first
// page on screen from the call, a page change and a zoom change at 100 %, and
// a search for a text that no page holds.
#include "prepared_pages.h"
#include "report/core/FR_Class_Build.h"
#include "report/ui/FR_View.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include "bench/support/bench_main.h"

using namespace report;

namespace {

std::unique_ptr<TfrEMFPages> listPages(TfrReport &r, int count) {
  auto pages = std::make_unique<TfrEMFPages>(&r);
  for (int i = 0; i < count; ++i) addListPage(*pages, i);
  return pages;
}

// From the report's ShowPreparedReport to its first page painted in the new window.
void BM_FirstPageOnScreen(benchmark::State &state) {
  TfrReport r;
  r.ModalPreview = false;
  for (auto _ : state) {
    state.PauseTiming();
    r.EMFPages = listPages(r, 1000);
    state.ResumeTiming();
    r.ShowPreparedReport();
    TfrPreviewForm *form = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
      if (auto *f = qobject_cast<TfrPreviewForm *>(w); f && f->isVisible()) form = f;
    if (!form) {
      state.PauseTiming();
      state.SkipWithError("no preview window");
      break;
    }
    // The window is exposed, laid out and painted.
    QCoreApplication::processEvents();
    form->PBox->repaint();
    state.PauseTiming();
    if (!form->Pages()->GetPageRec(0)->Page) {
      state.SkipWithError("the first page was not drawn");
      break;
    }
    form->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_FirstPageOnScreen)->Unit(benchmark::kMillisecond)->UseRealTime();

struct OpenPreview {
  TfrReport r;
  TfrPreviewForm form;
  OpenPreview() {
    form.ShowForReport(r, listPages(r, 1000));
    form.resize(1000, 800);
    form.show();
    QCoreApplication::processEvents();
    form.SetZoom(100);
    form.PBox->repaint();
  }
};

void BM_PageChangeAt100(benchmark::State &state) {
  OpenPreview p;
  int page = 1;
  for (auto _ : state) {
    page = page % 999 + 1;
    p.form.GotoPage(page + 1);
    p.form.PBox->repaint();
  }
}
BENCHMARK(BM_PageChangeAt100)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly();

void BM_ZoomChange(benchmark::State &state) {
  OpenPreview p;
  p.form.GotoPage(500);
  bool wide = false;
  for (auto _ : state) {
    wide = !wide;
    p.form.SetZoom(wide ? 1 : 100);
    p.form.PBox->repaint();
  }
}
BENCHMARK(BM_ZoomChange)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly();

void BM_SearchAbsentText(benchmark::State &state) {
  OpenPreview p;
  for (auto _ : state) benchmark::DoNotOptimize(p.form.FindText(QStringLiteral("Nincs ilyen"), false, 0));
  state.counters["pages_per_s"] = benchmark::Counter(1000.0 * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SearchAbsentText)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char **argv) { return bench::RunBenchmarks<QApplication>(argc, argv); }
