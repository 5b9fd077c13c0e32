// The lists on 100,000 tickets with 300,000 lines of one receiver, spread
// over ten years (2016-2025), 1,000 producers and 30 products: each gather
// of the list dialogs (the product list's reads the year's lines too), and
// the product list of a year built in two passes through the event-driven
// sources after its gather (master/detail, several hundred pages).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

#include <memory>

#include "app/SharedState.h"
#include "app/Unit2.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/schema.h"
#include "db/transaction.h"
#include "exchange/lists/ListGathers.h"
#include "bench/support/page_builder.h"
#include "report/core/FR_Class_Band.h"
#include "report/core/FR_Class_Build.h"
#include "report/expr/FR_Intrp.h"

namespace {

const lists::Range kYear{true, QDate(2025, 1, 1), QDate(2025, 12, 31), QStringLiteral("B0001")};

struct World {
  QTemporaryDir dir;
  std::unique_ptr<TData> data;

  World() {
    const QString path = dir.filePath(QStringLiteral("qz2025.fdb"));
    db::createDatabase(path, db::schemaScript());
    data = std::make_unique<TData>(nullptr);
    Data->ZCon1->setDatabaseName(path);
    Data->ZCon1->open();
    AtvevoKod = kYear.receiver;
    run(QStringLiteral("INSERT INTO ATVEVO (V_AKOD, V_NEVE) VALUES ('B0001', 'Átvevő')"));
    run(QStringLiteral("CREATE TABLE DIGITS (N INTEGER)"));
    for (int i = 0; i < 10; ++i) run(QStringLiteral("INSERT INTO DIGITS VALUES (%1)").arg(i));
    const QString numbers = QStringLiteral(
        "SELECT a.n + 10 * b.n + 100 * c.n + 1000 * d.n + 10000 * e.n AS n "
        "FROM DIGITS a, DIGITS b, DIGITS c, DIGITS d, DIGITS e");
    run(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV) SELECT 1 + a.n + 10 * b.n + 100 * c.n, "
                       "'Termelő ' || (a.n + 10 * b.n + 100 * c.n) FROM DIGITS a, DIGITS b, DIGITS c"));
    // A ticket a day and a few more: purchase over ten years, payment up to
    // nine days later, every third by transfer.
    run(QStringLiteral("INSERT INTO QZFEJ (F_BSZAM, F_AKOD, F_OSTERMKOD, F_FELVKELT, F_FIZKELT, F_UTAL, "
                       "F_TIPUS, F_MUVKTG) SELECT 30000000 + n, 'B0001', 1 + MOD(n, 1000), "
                       "DATEADD(MOD(n, 3650) DAY TO DATE '2016-01-01'), "
                       "DATEADD(MOD(n, 3650) + MOD(n, 10) DAY TO DATE '2016-01-01'), "
                       "IIF(MOD(n, 3) = 0, 'x', ' '), '1', 1000 FROM (") +
        numbers + QStringLiteral(")"));
    run(QStringLiteral("INSERT INTO QZSOR (S_BSZAM, S_MEGNEVEZES, S_BRUTTO, S_MEGY, S_EAR, S_KOMPMERTEKE, "
                       "S_AKOD, S_LEVONSZAZ) SELECT 30000000 + t.n, 'Termék ' || MOD(t.n + l.n * 7, 30), "
                       "1 + MOD(t.n, 50), 'kg', 10 + l.n, 7, 'B0001', 0 FROM (") +
        numbers + QStringLiteral(") t, DIGITS l WHERE l.n < 3"));
    // The receiver's row of the page header.
    Data->ZQ60->sql().add(QStringLiteral("SELECT * FROM ATVEVO"));
    Data->ZQ60->open();
    for (const char *v : {"v_datum", "v_tol", "v_ig"}) report::frVariables->SetVariable(QLatin1String(v), QString());
  }

  void run(const QString &sql) {
    db::Query q;
    q.setTransaction(Data->IBTrans1);
    q.sql().add(sql);
    q.execute();
    Data->IBTrans1->commit();
  }
};

World &world() {
  static World w;
  return w;
}

void BM_GatherProducts(benchmark::State &state) {
  world();
  for (auto _ : state) benchmark::DoNotOptimize(lists::GatherProducts(kYear));
  state.counters["groups"] = Data->ZQ20->recordCount();
}
BENCHMARK(BM_GatherProducts)->Unit(benchmark::kMillisecond);

void BM_GatherProducers(benchmark::State &state) {
  world();
  for (auto _ : state) benchmark::DoNotOptimize(lists::GatherProducers(kYear));
  state.counters["groups"] = Data->ZQ20->recordCount();
}
BENCHMARK(BM_GatherProducers)->Unit(benchmark::kMillisecond);

void BM_GatherProducerMonths(benchmark::State &state) {
  world();
  for (auto _ : state) benchmark::DoNotOptimize(lists::GatherProducerMonths(QStringLiteral("17"), kYear.receiver, state.range(0)));
  state.counters["rows"] = Data->ZQ11->recordCount();
}
BENCHMARK(BM_GatherProducerMonths)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_GatherCash(benchmark::State &state) {
  world();
  for (auto _ : state) lists::GatherCash(kYear.receiver, state.range(0));
  state.counters["rows"] = Data->ZQ11->recordCount();
}
BENCHMARK(BM_GatherCash)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_GatherStatistics(benchmark::State &state) {
  world();
  for (auto _ : state) benchmark::DoNotOptimize(lists::GatherStatistics(kYear.receiver, state.range(0)));
  state.counters["rows"] = Data->ZQ11->recordCount();
}
BENCHMARK(BM_GatherStatistics)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A list layout of the program's kind: page header, product group header,
// a detail line of six fields, the group's sums, the grand total, page
// numbers.
void LoadProductListLayout(report::TfrReport &r) {
  using namespace report;
  TfrReport src;
  src.DoublePass = true;
  TfrPage *p = src.Pages.Add();
  bench::PageBuilder b(p);
  auto band = [&](int type, int y, int dy, const QString &ds) { b.band(type, y, dy, ds); };
  auto memo = [&](int x, int y, int dx, const QString &text) { b.memo(x, y, dx, text); };
  band(btPageHeader, 0, 40, {});
  memo(0, 0, 400, QStringLiteral("[ZQ60.\"V_NEVE\"] [v_datum]dátum: [v_tol] - [v_ig]"));
  band(btMasterData, 50, 20, QStringLiteral("frUserDataset1"));
  memo(0, 50, 400, QStringLiteral("[ZQ20.\"S_MEGNEVEZES\"]"));
  band(btDetailData, 80, 16, QStringLiteral("frUserDataset2"));
  memo(0, 80, 80, QStringLiteral("[ZQ21.\"S_BSZAM\"]"));
  memo(80, 80, 80, QStringLiteral("[ZQ21.\"F_FIZKELT\"]"));
  memo(160, 80, 200, QStringLiteral("[ZQ21.\"O_NEV\"]"));
  memo(360, 80, 100, QStringLiteral("[ZQ21.\"S_NETTO\"]"));
  memo(460, 80, 100, QStringLiteral("[ZQ21.\"S_EAR\"]"));
  memo(560, 80, 100, QStringLiteral("[ZQ21.\"S_VETELAR\"]"));
  band(btDetailFooter, 100, 20, {});
  memo(0, 100, 600, QStringLiteral("Összesen: [ZQ20.\"MENNYISEG\"] [ZQ20.\"KIFIZETETT\"]"));
  band(btReportSummary, 130, 20, {});
  memo(0, 130, 400, QStringLiteral("Mindösszesen: [v_osszesen]"));
  band(btPageFooter, 1000, 20, {});
  memo(0, 1000, 200, QStringLiteral("[PAGE#]/[TOTALPAGES]"));
  r.LoadFromBytes(src.SaveToBytes());
}

void BM_ProductListOfAYear(benchmark::State &state) {
  world();
  report::TfrReport &r = *Data->frNyomtat;
  LoadProductListLayout(r);
  int pages = 0;
  // As the print runs it: on the groups and lines of the gather.
  report::frVariables->SetVariable(QStringLiteral("v_osszesen"), lists::GatherProducts(kYear));
  for (auto _ : state) {
    if (!r.PrepareReport()) state.SkipWithError(report::frBuild.ErrorText.toStdString().c_str());
    pages = r.EMFPages->Count();
  }
  state.counters["pages"] = pages;
  state.counters["pages/s"] = benchmark::Counter(pages, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ProductListOfAYear)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
