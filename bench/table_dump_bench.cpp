// The table text dump of 300,000 ticket lines (QZSOR, nine columns a line)
// into a file, reading forward only; beside it the same rows walked with the
// dataset's usual buffering, to show the memory the forward-only walk saves.
// Peak memory growth is read from the process's maximum resident size, so
// the dump runs first.
#include "app/Unit2.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/schema.h"
#include "db/transaction.h"
#include "exchange/dumps/TableDump.h"

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

constexpr int kLines = 300000;

struct Fixture {
  QTemporaryDir dir;
  TData data{nullptr};

  Fixture() {
    const QString path = dir.filePath(QStringLiteral("bench.fdb"));
    db::createDatabase(path, db::schemaScript());
    data.ZCon1->setDatabaseName(path);
    data.ZCon1->open();
    QString d = QStringLiteral("(SELECT 0 AS n FROM rdb$database");
    for (int i = 1; i <= 9; ++i) d += QStringLiteral(" UNION ALL SELECT %1 FROM rdb$database").arg(i);
    d += QLatin1Char(')');
    db::Query fill;
    fill.setTransaction(data.IBTrans1);
    fill.sql().add(QStringLiteral(
        "INSERT INTO qzsor (s_bszam, s_termekkod, s_megnevezes, s_vtsz, s_brutto, s_megy, s_ear, s_kompmerteke) "
        "SELECT LPAD(25000000 + x / 4, 8, '0'), '00012', 'Őszibarack I. osztály', '0809', 100.25 + MOD(x, 997), "
        "'kg', 212.5, 12 FROM (SELECT a.n + 10 * b.n + 100 * c.n + 1000 * e.n + 10000 * f.n + 100000 * g.n AS x "
        "FROM ") +
        d + " a, " + d + " b, " + d + " c, " + d + " e, " + d + " f, " + d +
        QStringLiteral(" g) WHERE x < %1").arg(kLines));
    fill.execute();
    data.IBTrans1->commit();
    qputenv("VORIK_DRIVE_C", dir.path().toUtf8());
  }
};

Fixture &fixture() {
  static Fixture f;
  return f;
}

double peakMb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss / 1024.0;
}

void BM_Dump300kLines(benchmark::State &state) {
  Fixture &f = fixture();
  const double before = peakMb();
  tabledump::DumpResult r;
  for (auto _ : state) r = tabledump::dumpTable(*f.data.ZQ60, tabledump::tables()[5], QStringLiteral("c:\\QzSor.txt"));
  state.counters["lines"] = static_cast<double>(r.lines);
  state.counters["file_MB"] = QFileInfo(f.dir.filePath(QStringLiteral("QzSor.txt"))).size() / 1048576.0;
  state.counters["peak_growth_MB"] = peakMb() - before;
  state.counters["lines_per_s"] = benchmark::Counter(static_cast<double>(r.lines), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_Dump300kLines)->Unit(benchmark::kMillisecond)->Iterations(5);

// For comparison: the same statement walked with every row kept.
void BM_BufferedWalk300kLines(benchmark::State &state) {
  Fixture &f = fixture();
  const double before = peakMb();
  for (auto _ : state) {
    db::Query &q = *f.data.ZQ60;
    q.close();
    q.sql().clear();
    for (const QString &l : tabledump::tables()[5].sql) q.sql().add(l);
    q.open();
    qint64 n = 0;
    for (; !q.eof(); q.next()) ++n;
    benchmark::DoNotOptimize(n);
  }
  f.data.ZQ60->close();
  state.counters["peak_growth_MB"] = peakMb() - before;
}
BENCHMARK(BM_BufferedWalk300kLines)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (qEnvironmentVariableIsEmpty("FIREBIRD")) qputenv("FIREBIRD", VORIK_FBROOT);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
