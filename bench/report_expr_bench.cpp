// Evaluation of a typical report expression with names from a callback,
// against Qt's JavaScript engine evaluating the equivalent text. Both parse
// the text on every evaluation, as the report does for each bracket.
#include "report/expr/FR_Pars.h"

#include <QCoreApplication>
#include <QHash>
#include <QJSEngine>

#include <benchmark/benchmark.h>

#include "bench/support/bench_main.h"

using namespace report;

// Evaluates an expression with the given names until the state stops;
// the result is checked once against the expected one.
static void evaluate(benchmark::State &state, const QHash<QString, Variant> &names, const QString &expr,
                     const Variant &expected) {
  TfrParser p;
  p.OnGetValue = [&](const QString &name, Variant &v) { v = names.value(name); };
  for (auto _ : state) {
    Variant v = p.Calc(expr);
    benchmark::DoNotOptimize(v);
  }
  if (!VarEquals(p.Calc(expr), expected)) state.SkipWithError("wrong result");
  state.SetItemsProcessed(state.iterations());
}

static void BM_ReportExpression(benchmark::State &state) {
  evaluate(state,
           {{QStringLiteral("Qty"), Variant(12.5)}, {QStringLiteral("Price"), Variant(310)},
            {QStringLiteral("Flag"), Variant(1)}},
           QStringLiteral("[Qty] * [Price] + IF([Flag] = 1, 5, 0)"), Variant(3880));
}
BENCHMARK(BM_ReportExpression);

// A text comparison per evaluation, as a highlight or group condition on a
// name makes it: texts compare under the Hungarian collation.
static void BM_ReportTextComparison(benchmark::State &state) {
  evaluate(state, {{QStringLiteral("Name"), Variant(QStringLiteral("Kovács János"))}},
           QStringLiteral("[Name] < 'Kovácsné Nagy Éva'"), Variant(1));
}
BENCHMARK(BM_ReportTextComparison);

static void BM_JavaScriptExpression(benchmark::State &state) {
  QJSEngine js;
  js.globalObject().setProperty(QStringLiteral("Qty"), 12.5);
  js.globalObject().setProperty(QStringLiteral("Price"), 310);
  js.globalObject().setProperty(QStringLiteral("Flag"), 1);
  const QString expr = QStringLiteral("Qty * Price + (Flag == 1 ? 5 : 0)");
  for (auto _ : state) {
    QJSValue v = js.evaluate(expr);
    benchmark::DoNotOptimize(v);
  }
  if (js.evaluate(expr).toNumber() != 3880) state.SkipWithError("wrong result");
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_JavaScriptExpression);

int main(int argc, char **argv) { return bench::RunBenchmarks<QCoreApplication>(argc, argv); }
