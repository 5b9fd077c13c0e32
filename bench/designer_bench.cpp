// The designer's surface on a page of 1,000 text objects: a full repaint, a
// selection of 100 objects dragged by one grid step (with its undo step), and
// 100 undo steps of such moves, and a click that selects one object, which
// refreshes the toolbars, the inspector and the status bar.
#include "designer/FR_Desgn.h"
#include "designer/FR_DesignerPage.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <memory>

#include "bench/support/bench_main.h"

using namespace designer;
using namespace report;

namespace {

struct Fixture {
  Fixture() {
    report.Pages.Add()->UseMargins = false;
    frCurrentReport = &report;
    form = std::make_unique<TfrDesignerForm>();
    form->setWindowState(Qt::WindowNoState);
    form->resize(1200, 1000);
    form->show();
    QCoreApplication::processEvents();
    // 20 columns of 50 rows over the page; the first 100 form the selection.
    for (int i = 0; i < 1000; ++i) {
      auto m = std::make_unique<TfrMemoView>();
      m->x = 4 + (i % 20) * 36;
      m->y = 4 + (i / 20) * 20;
      m->dx = 34;
      m->dy = 18;
      m->Name = QStringLiteral("Memo%1").arg(i + 1);
      m->Memo = QStringList{QStringLiteral("Text %1").arg(i)};
      m->FrameTyp = 15;
      form->Page->Add(std::move(m));
    }
    form->SetCurPage(0);
    form->SetGridSize(8);
  }
  ~Fixture() {
    form->hide();
    form.reset();
    frCurrentReport = nullptr;
  }
  void SelectFirst100() {
    form->ClearSelection();
    for (int i = 0; i < 100; ++i) form->Select(form->Page->Object(i));
    form->PageView->ComputeMultiFrame();
  }
  void Mouse(QEvent::Type type, QPoint p) {
    QWidget *w = form->PageView;
    QMouseEvent e(type, QPointF(p), w->mapToGlobal(QPointF(p)), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
  }
  // Drags the selection by one grid step, from inside its first object;
  // right and left by turns, so that it stays on the page.
  void DragOneStep() {
    const TfrView *v = form->Page->Object(0);
    const QPoint a(v->x + 10, v->y + 8);
    const QPoint b = a + QPoint(right ? 8 : -8, 0);
    right = !right;
    Mouse(QEvent::MouseButtonPress, a);
    Mouse(QEvent::MouseMove, b);
    Mouse(QEvent::MouseButtonRelease, b);
  }
  bool right = true;
  TfrReport report;
  std::unique_ptr<TfrDesignerForm> form;
};

void BM_FullRepaint1000(benchmark::State &state) {
  Fixture f;
  QImage target(f.form->PageView->size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    f.form->PageView->render(&target);
    benchmark::DoNotOptimize(target.constBits());
  }
}
BENCHMARK(BM_FullRepaint1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly();

void BM_Move100ByOneGridStep(benchmark::State &state) {
  Fixture f;
  f.SelectFirst100();
  for (auto _ : state) {
    f.DragOneStep();
    if (state.range(0)) QCoreApplication::processEvents();  // the repaint the move asked for
  }
  state.counters["undo_steps"] = f.form->UndoCount();
}
BENCHMARK(BM_Move100ByOneGridStep)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly();

void BM_Undo100Steps(benchmark::State &state) {
  Fixture f;
  for (auto _ : state) {
    state.PauseTiming();
    f.form->ClearUndoBuffer();
    f.form->ClearRedoBuffer();
    for (int i = 0; i < 100; ++i) {
      f.SelectFirst100();
      f.DragOneStep();
    }
    state.ResumeTiming();
    for (int i = 0; i < 100; ++i) f.form->Undo();
    QCoreApplication::processEvents();
  }
}
BENCHMARK(BM_Undo100Steps)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5)->Repetitions(5)->ReportAggregatesOnly();

void BM_SelectOneOf1000(benchmark::State &state) {
  Fixture f;
  int i = 0;
  for (auto _ : state) {
    // A click on object i (alternating between two, so that each click changes the selection).
    const TfrView *v = f.form->Page->Object(500 + (i++ % 2));
    const QPoint p(v->x + 10, v->y + 8);
    f.Mouse(QEvent::MouseButtonPress, p);
    f.Mouse(QEvent::MouseButtonRelease, p);
    if (state.range(0)) QCoreApplication::processEvents();
  }
  state.counters["selected"] = f.form->SelNum;
}
BENCHMARK(BM_SelectOneOf1000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly();

}  // namespace

int main(int argc, char **argv) { return bench::RunBenchmarks<QApplication>(argc, argv); }
