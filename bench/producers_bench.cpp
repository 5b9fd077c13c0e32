// The producer list on 1,000 and on 20,000 producers (the argument), so that the
// two sizes compare in one run: opening the dialog (list statement,
// column check, positioning) and one search keystroke (a key release that
// positions the list on the typed beginning of a name), and a whole name typed
// a letter at a time; the shown dialog's grid at each step a user takes
// (open, a near and a far keystroke, Ctrl+Home, Ctrl+End), with the rows the
// grid holds after it.
#include "app/SharedState.h"
#include "app/Unit2.h"
#include "app/producers/Unit4.h"
#include "bench/support/bench_main.h"
#include "bench/support/bench_world.h"
#include "bench/support/grid_steps.h"
#include "db/dataset.h"

#include <QApplication>
#include <QLineEdit>

#include <memory>

#include <benchmark/benchmark.h>

namespace {

// One database per size and process, filled once: the producers, whose names
// begin with one of twenty family names.
template <int kProducers>
struct Fixture : bench::Database {
  Fixture() {
    const char *const names[] = {"Kiss",  "Kovács", "Nagy",   "Tóth",  "Szabó", "Horváth", "Varga",
                                 "Molnár", "Németh", "Farkas", "Balogh", "Papp",  "Takács",  "Juhász",
                                 "Lakatos", "Mészáros", "Oláh", "Simon", "Rácz",  "Fekete"};
    QString family = QStringLiteral("(SELECT 0 AS k, CAST('%1' AS VARCHAR(20)) AS nev FROM rdb$database").arg(names[0]);
    for (int i = 1; i < 20; ++i)
      family += QStringLiteral(" UNION ALL SELECT %1, '%2' FROM rdb$database").arg(i).arg(QString::fromUtf8(names[i]));
    family += QLatin1Char(')');
    addDigits();
    run(QStringLiteral(
            "INSERT INTO ostermelo (o_kod, o_nev, o_irszam, o_helysegnev, o_utca, o_adoazon, o_adoszam, o_felir, "
            "o_szido, o_neme, o_szja, o_fhat) "
            "SELECT i, f.nev || ' ' || i, '6000', 'Kecskemét', 'Fő utca', '8123456786', "
            "'12345676123', 'AB1234567', DATE '1970-01-01', '1', 15, 8 FROM (") +
        bench::DigitNumbers(0, kProducers) + QStringLiteral(") x JOIN ") + family +
        QStringLiteral(" f ON f.k = MOD(x.i, 20)"));
  }
};

// The database of n producers (1,000 or 20,000), made the current one.
void fixture(int n) {
  if (n == 1000) bench::Shared<Fixture<1000>>();
  else bench::Shared<Fixture<20000>>();
}

void BM_OpenProducerList(benchmark::State &state) {
  fixture(static_cast<int>(state.range(0)));
  // A code both sizes have, whose name (Varga) comes late in the name order
  // at both sizes: the list is read around it, not from its first rows.
  AktOstermeloKod = QStringLiteral("346");
  int rows = 0;
  for (auto _ : state) {
    TForm4 form;
    form.FormShow();
    rows = Data->ZQ30->fetchedCount();
  }
  state.counters["rows_read"] = rows;
}
BENCHMARK(BM_OpenProducerList)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_SearchKeystroke(benchmark::State &state) {
  fixture(static_cast<int>(state.range(0)));
  TForm4 form;
  form.FormShow();
  const QStringList typed = {"K", "Ko", "Kov", "N", "Na", "Nag", "S", "Si", "Sz", "Fe"};
  int i = 0;
  for (auto _ : state) {
    form.Edit1->setText(typed[i++ % typed.size()]);
    form.Edit1KeyUp();
    benchmark::DoNotOptimize(Data->ZQ30->recNo());
  }
}
BENCHMARK(BM_SearchKeystroke)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);

// Keystrokes whose rows lie far apart at both sizes (the first and the last
// family names): each one reads the list again around its row.
void BM_SearchKeystrokeFarApart(benchmark::State &state) {
  fixture(static_cast<int>(state.range(0)));
  TForm4 form;
  form.FormShow();
  const QStringList typed = {"Ba", "Va", "Bal", "Var"};
  int i = 0;
  for (auto _ : state) {
    form.Edit1->setText(typed[i++ % typed.size()]);
    form.Edit1KeyUp();
    benchmark::DoNotOptimize(Data->ZQ30->recNo());
  }
}
BENCHMARK(BM_SearchKeystrokeFarApart)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);

// A name typed a letter at a time, in lower case while the names begin in
// upper case: the time of one keystroke, over the eleven.
void BM_TypeANameInLowerCase(benchmark::State &state) {
  fixture(static_cast<int>(state.range(0)));
  TForm4 form;
  form.FormShow();
  const QString name = QStringLiteral("mészáros 95");
  for (auto _ : state) {
    for (qsizetype n = 1; n <= name.size(); ++n) {
      form.Edit1->setText(name.left(n));
      form.Edit1KeyUp();
    }
    benchmark::DoNotOptimize(Data->ZQ30->recNo());
  }
  state.SetItemsProcessed(state.iterations() * name.size());
}
BENCHMARK(BM_TypeANameInLowerCase)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);

// The shown dialog at each step (bench::RunGridSteps).
void BM_ProducerGridStep(benchmark::State &state) {
  fixture(static_cast<int>(state.range(0)));
  AktOstermeloKod = QStringLiteral("346");
  bench::RunGridSteps(
      state, [] { return std::make_unique<TForm4>(); }, [](TForm4 &form) { form.Edit1KeyUp(); },
      {"Varga 3", "Varga 34", "Varga 346", "Varga 34"}, {"Ba", "Va"});
}
BENCHMARK(BM_ProducerGridStep)->ArgsProduct({{1000, 20000}, {0, 1, 2, 3, 4}})->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv) { return bench::RunBenchmarks<QApplication>(argc, argv); }
