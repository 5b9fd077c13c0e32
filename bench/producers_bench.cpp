// The producer list on 1,000 and on 20,000 producers (the argument), so that the
// two sizes compare in one run: opening the dialog (list statement,
// column check, positioning) and one search keystroke (a key release that
// positions the list on the typed beginning of a name).
#include "app/SharedState.h"
#include "app/Unit2.h"
#include "app/producers/Unit4.h"
#include "bench/support/bench_main.h"
#include "bench/support/bench_world.h"
#include "db/dataset.h"

#include <QApplication>
#include <QLineEdit>

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
  AktOstermeloKod = QStringLiteral("12345");
  int rows = 0;
  for (auto _ : state) {
    TForm4 form;
    form.FormShow();
    rows = Data->ZQ30->recordCount();
  }
  state.counters["rows"] = rows;
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

// The list read around a position in the Hungarian name order (no index
// serves that order): opened on a producer's code, and one keystroke's
// positioning on the first name that begins with the typed text.
void setNameKeyset(db::Query &q) {
  q.setKeyset({QStringLiteral("SELECT * FROM ostermelo")}, QString(),
              {{QStringLiteral("o_nev COLLATE PXW_HUN"), QStringLiteral("O_NEV")},
               {QStringLiteral("id_ostermelo"), QStringLiteral("ID_OSTERMELO"), false}});
}

void BM_KeysetOpenOnCode(benchmark::State &state) {
  fixture(static_cast<int>(state.range(0)));
  db::Query q;
  q.setTransaction(Data->IBTrans1);
  for (auto _ : state) {
    setNameKeyset(q);
    q.openOn(QStringLiteral("O_KOD"), QStringLiteral("345"), {true, false});
  }
}
BENCHMARK(BM_KeysetOpenOnCode)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_KeysetKeystroke(benchmark::State &state) {
  fixture(static_cast<int>(state.range(0)));
  db::Query q;
  q.setTransaction(Data->IBTrans1);
  setNameKeyset(q);
  q.openAt();
  const QStringList typed = {"K", "Ko", "Kov", "N", "Na", "Nag", "S", "Si", "Sz", "Fe"};
  int i = 0;
  for (auto _ : state) q.locate(QStringLiteral("O_NEV"), typed[i++ % typed.size()], {true, true});
}
BENCHMARK(BM_KeysetKeystroke)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv) { return bench::RunBenchmarks<QApplication>(argc, argv); }
