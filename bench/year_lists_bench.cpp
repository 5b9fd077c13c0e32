// The lists at the size of a receiver's year: 3,000 producers, 30,000 tickets
// paid in 2025 with 45,000 lines over 30 products, and the same year at ten
// times the size (30,000 producers, 300,000 tickets, 450,000 lines), run
// when VORIK_YEAR_10X is set; its database is built only when a case at
// that size runs. The producer list
// ("QzLista8.frf") and the product list ("QzLista5.frf"), the program's own
// layouts, each gathered and built in two passes as the print runs them,
// beside the engine's own rate on the same rows: the same lines as a flat
// list from a database data source (page header, a line band, page numbers),
// two passes (pages/s each); the producer list's statements alone. Then the
// statistics by month and overall, the cash-day lists and the product gather
// on the same database. Each case states the rows it read (groups and lines),
// so that a change of what is read shows beside its time. With
// VORIK_SAVE_PAGES naming a folder, each list's prepared pages of its last
// build are saved there (to compare two builds).
#include "app/PrintLayout.h"
#include "app/SharedState.h"
#include "app/Unit2.h"
#include "bench/support/bench_world.h"
#include "bench/support/page_builder.h"
#include "db/dataset.h"
#include "exchange/lists/ListGathers.h"
#include "report/core/FR_Class_Band.h"
#include "report/data/FR_DSet.h"
#include "report/core/FR_Class_Build.h"
#include "report/expr/FR_Intrp.h"
#include "tools/layouts/ProgramLayouts.h"

#include <QApplication>
#include <QDateTime>

#include <benchmark/benchmark.h>

#include "bench/support/bench_main.h"

namespace {

const lists::Range kYear{true, QDate(2025, 1, 1), QDate(2025, 12, 31), QStringLiteral("B0001")};

// The year at scale times 3,000 producers (1 or 10).
struct Year : bench::Database {
  explicit Year(int scale) {
    const int producers = 3000 * scale, tickets = 30000 * scale;
    addReceiver();
    addDigits();
    run(QStringLiteral(
            "INSERT INTO OSTERMELO (O_KOD, O_NEV, O_ADOAZON) SELECT i, 'Termelő ' || i, 8000000000 + i "
            "FROM (") +
        bench::DigitNumbers(1, producers) + QStringLiteral(")"));
    // Ten tickets a producer, paid over the year; every third by transfer.
    run(QStringLiteral(
            "INSERT INTO QZFEJ (F_BSZAM, F_AKOD, F_OSTERMKOD, F_FELVKELT, F_FIZKELT, F_UTAL, F_TIPUS, "
            "F_MUVKTG, F_SUMVAR) SELECT 25000000 + i, 'B0001', 1 + MOD(i * 7, %1), "
            "DATEADD(MOD(i, 355) DAY TO DATE '2025-01-01'), DATEADD(MOD(i, 355) + MOD(i, 10) DAY TO DATE "
            "'2025-01-01'), IIF(MOD(i, 3) = 0, 'x', ' '), '1', 1000 + MOD(i, 97), 1200 FROM (")
            .arg(producers) +
        bench::DigitNumbers(0, tickets) + QStringLiteral(")"));
    // One line a ticket, a second on every other one.
    run(QStringLiteral(
            "INSERT INTO QZSOR (S_BSZAM, S_MEGNEVEZES, S_BRUTTO, S_MEGY, S_EAR, S_KOMPMERTEKE, S_AKOD, "
            "S_LEVONSZAZ) SELECT 25000000 + t.i, 'Termék ' || MOD(t.i + l.n * 7, 30), 1 + MOD(t.i, 50), "
            "'kg', 10 + l.n, 7, 'B0001', 0 FROM (") +
        bench::DigitNumbers(0, tickets) +
        QStringLiteral(") t, DIGITS l WHERE l.n = 0 OR (l.n = 1 AND MOD(t.i, 2) = 0)"));
    // The receiver's row and street for the layouts' headings, as every print opens them.
    AtvevoKod = QStringLiteral("B0001");
    OpenReceiverRow();
    report::frVariables->SetVariable(QStringLiteral("v_datum"), QStringLiteral("Fizetési "));
    report::frVariables->SetVariable(QStringLiteral("v_tol"), QStringLiteral("2025.01.01"));
    report::frVariables->SetVariable(QStringLiteral("v_ig"), QStringLiteral("2025.12.31"));
  }
};

template <int Scale>
struct YearAt : Year {
  YearAt() : Year(Scale) {}
};

// The year of the case's scale (its first argument), built at its first use.
// The layouts' names resolve among its data module's components.
Year &year(const benchmark::State &state) {
  Year &y = state.range(0) == 10 ? static_cast<Year &>(bench::Shared<YearAt<10>>()) : bench::Shared<YearAt<1>>();
  report::frSetReportOwner(&y.data);
  return y;
}

// The sizes each case runs at: the ten-fold year only when VORIK_YEAR_10X is
// set (its database alone takes minutes to build, too long for the brief run
// of every benchmark the tests make).
std::vector<int64_t> Scales() {
  if (qEnvironmentVariableIsSet("VORIK_YEAR_10X")) return {1, 10};
  return {1};
}

void Sizes(benchmark::internal::Benchmark *b) {
  b->ArgName("scale")->ArgsProduct({Scales()})->Unit(benchmark::kMillisecond)->UseRealTime();
}

// "" at the first size (the names the saved pages always had), "-10x" at the other.
QString sizeSuffix(const benchmark::State &state) {
  return state.range(0) == 1 ? QString() : QStringLiteral("-%1x").arg(state.range(0));
}

// Builds the list; groups and lines are the statements that hold the rows
// it read (the lines of each group, or the flat list's rows).
void Build(benchmark::State &state, report::TfrReport &r, const QString &name,
           const std::function<void()> &gather, db::Query *groups, db::Query *lines) {
  int pages = 0;
  double built = 0;
  for (auto _ : state) {
    gather();
    if (!r.PrepareReport()) state.SkipWithError(report::frBuild.ErrorText.toStdString().c_str());
    pages = r.EMFPages->Count();
    built += pages;
  }
  state.counters["pages"] = pages;
  if (groups) state.counters["groups"] = groups->recordCount();
  state.counters["lines"] = lines->active() ? lines->recordCount() : 0;
  state.counters["pages/s"] = benchmark::Counter(built, benchmark::Counter::kIsRate);
  const QString folder = qEnvironmentVariable("VORIK_SAVE_PAGES");
  if (!folder.isEmpty())
    r.EMFPages->SaveToFile(folder + QLatin1Char('/') + name + sizeSuffix(state) + QStringLiteral(".frp"));
}

// Gather, first group seeded as the print does it, two passes.
void BM_ProducerListOfAYear(benchmark::State &state) {
  year(state);
  report::TfrReport &r = *Data->frNyomtat;
  report::layouts::BuildProducerGroupList(r);
  r.ShowProgress = false;
  Build(
      state, r, QStringLiteral("producers"),
      [] {
        report::frVariables->SetVariable(QStringLiteral("v_osszesen"), lists::GatherProducers(kYear));
        lists::SeedProducerGroup();
      },
      Data->ZQ20, Data->ZQ21);
}
BENCHMARK(BM_ProducerListOfAYear)->Apply(Sizes);

void BM_ProductListOfAYear(benchmark::State &state) {
  year(state);
  report::TfrReport &r = *Data->frNyomtat;
  report::layouts::BuildProductGroupList(r);
  r.ShowProgress = false;
  Build(
      state, r, QStringLiteral("products"),
      [] { report::frVariables->SetVariable(QStringLiteral("v_osszesen"), lists::GatherProducts(kYear)); },
      Data->ZQ20, Data->ZQ21);
}
BENCHMARK(BM_ProductListOfAYear)->Apply(Sizes);

// The engine's own rate: the producer list's lines, read by one statement
// through the data module's database source over ZQ20, as a flat list.
void BM_EngineFlatListOfTheSameLines(benchmark::State &state) {
  year(state);
  using namespace report;
  TfrReport src;
  src.DoublePass = true;
  TfrPage *p = src.Pages.Add();
  bench::PageBuilder b(p);
  auto band = [&](int type, int y, int dy, const QString &ds) { b.band(type, y, dy, ds); };
  auto memo = [&](int x, int y, int dx, const QString &text) { b.memo(x, y, dx, text); };
  band(btPageHeader, 0, 110, {});
  memo(0, 0, 400, QStringLiteral("[ZQ60.\"V_NEVE\"] Időszak: [v_tol] - [v_ig]"));
  band(btMasterData, 120, 16, QStringLiteral("frDBDataSet1"));
  const char *fields[] = {"O_KOD", "S_BSZAM", "F_FIZKELT", "S_MEGNEVEZES", "S_NETTO", "S_EAR", "S_VETELAR"};
  int x = 0;
  for (const char *f : fields) {
    memo(x, 120, 95, QStringLiteral("[ZQ20.\"%1\"]").arg(QLatin1String(f)));
    x += 95;
  }
  band(btPageFooter, 1000, 20, {});
  memo(0, 1000, 200, QStringLiteral("[PAGE#]/[TOTALPAGES]"));
  TfrReport &r = *Data->frNyomtat;
  r.LoadFromBytes(src.SaveToBytes());
  r.ShowProgress = false;
  Build(
      state, r, QStringLiteral("flat"),
      [] {
        db::Query *q = Data->ZQ20;
        q->close();
        q->sql().clear();
        q->sql().add(QStringLiteral(
            "SELECT * FROM qzsor JOIN qzfej ON s_bszam = f_bszam JOIN ostermelo ON f_ostermkod = "
            "o_kod WHERE (f_fizkelt >= :p1) AND (f_fizkelt <= :p2) AND (f_akod = :p3) ORDER BY "
            "o_kod, s_megnevezes, s_bszam"));
        q->paramByName(QStringLiteral("p1")).setDateTime(QDateTime(kYear.from, QTime(0, 0)));
        q->paramByName(QStringLiteral("p2")).setDateTime(QDateTime(kYear.to, QTime(0, 0)));
        q->paramByName(QStringLiteral("p3")).setString(kYear.receiver);
        q->open();
      },
      nullptr, Data->ZQ20);
}
BENCHMARK(BM_EngineFlatListOfTheSameLines)->Apply(Sizes);

// The producer list's statements alone (after the scale): 0 its gather (the range's total and
// every producer's total), 1 the lines its print reads (once per print).
void BM_ProducerListStatements(benchmark::State &state) {
  year(state);
  report::TfrReport &r = *Data->frNyomtat;
  report::layouts::BuildProducerGroupList(r);
  report::frCurrentReport = &r;  // the lines read only the columns its layout names
  lists::GatherProducers(kYear);
  for (auto _ : state) {
    if (state.range(1) == 0) {
      benchmark::DoNotOptimize(lists::GatherProducers(kYear));
    } else {
      Data->ZQ21->close();
      lists::SeedProducerGroup();
    }
  }
  state.counters["rows"] = state.range(1) == 0 ? Data->ZQ20->recordCount() : Data->ZQ21->recordCount();
  // The engine's plans, so that a change of how the rows are found shows.
  state.SetLabel((state.range(1) == 0 ? Data->ZQ80->plan() + QStringLiteral(" / ") + Data->ZQ20->plan()
                                      : Data->ZQ21->plan())
                     .simplified()
                     .toStdString());
}
BENCHMARK(BM_ProducerListStatements)
    ->ArgNames({"scale", "lines"})
    ->ArgsProduct({Scales(), {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_GatherProductsOfAYear(benchmark::State &state) {
  year(state);
  for (auto _ : state) benchmark::DoNotOptimize(lists::GatherProducts(kYear));
  state.counters["groups"] = Data->ZQ20->recordCount();
}
BENCHMARK(BM_GatherProductsOfAYear)->Apply(Sizes);

// Statistics (after the scale): 0 by month, 1 overall.
void BM_Statistics(benchmark::State &state) {
  year(state);
  for (auto _ : state) benchmark::DoNotOptimize(lists::GatherStatistics(kYear.receiver, state.range(1)));
  state.counters["rows"] = Data->ZQ11->recordCount();
}
BENCHMARK(BM_Statistics)
    ->ArgNames({"scale", "overall"})
    ->ArgsProduct({Scales(), {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Cash days (after the scale): 0 in total, 1 per product.
void BM_CashDays(benchmark::State &state) {
  year(state);
  for (auto _ : state) lists::GatherCash(kYear.receiver, state.range(1));
  state.counters["rows"] = Data->ZQ11->recordCount();
}
BENCHMARK(BM_CashDays)
    ->ArgNames({"scale", "perProduct"})
    ->ArgsProduct({Scales(), {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char **argv) { return bench::RunBenchmarks<QApplication>(argc, argv); }
