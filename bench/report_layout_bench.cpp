// Loading and saving a layout of 5,000 objects.
#include "report/core/FR_Class_Report.h"

#include <benchmark/benchmark.h>

using namespace report;

static QByteArray bigLayout() {
  TfrReport r;
  for (int pg = 0; pg < 5; ++pg) {
    TfrPage *p = r.Pages.Add();
    for (int i = 0; i < 1000; ++i) {
      std::unique_ptr<TfrView> v = CreateReportObject(i % 50 == 0 ? gtBand : (i % 25 == 1 ? gtLine : gtMemo));
      v->Name = QStringLiteral("Obj%1_%2").arg(pg).arg(i);
      v->x = i % 700, v->y = i, v->dx = 100, v->dy = 18;
      v->Memo = {QStringLiteral("Összesen: [SUM([QZFEJ.\"F_MUVKTG\"])] Ft"), QStringLiteral("[F_BSZAM]")};
      if (auto *m = dynamic_cast<TfrMemoView *>(v.get())) m->HighlightStr = QStringLiteral("[F_PRN] = 'I'");
      p->Add(std::move(v));
    }
  }
  return r.SaveToBytes();
}

static void BM_LoadLayout5000(benchmark::State &state) {
  const QByteArray bytes = bigLayout();
  for (auto _ : state) {
    TfrReport r;
    r.LoadFromBytes(bytes);
    benchmark::DoNotOptimize(r.Pages.Count());
  }
  state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_LoadLayout5000)->Unit(benchmark::kMillisecond);

static void BM_SaveLayout5000(benchmark::State &state) {
  TfrReport r;
  r.LoadFromBytes(bigLayout());
  for (auto _ : state) benchmark::DoNotOptimize(r.SaveToBytes());
}
BENCHMARK(BM_SaveLayout5000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
