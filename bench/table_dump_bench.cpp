// The table text dump of 300,000 ticket lines (QZSOR, nine columns a line)
// into a file, reading forward only; beside it the same rows walked with the
// dataset's usual buffering, to show the memory the forward-only walk saves.
// Memory is the heap in use (malloc's count, the embedded engine's included),
// sampled every millisecond while a run goes: its peak above the level
// before the run.
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

#include <malloc.h>

#include <atomic>
#include <thread>

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
    // One walk first, so that the engine's page cache is filled before any
    // run is measured.
    tabledump::dumpTable(*data.ZQ60, tabledump::tables()[5], QStringLiteral("c:\\QzSor.txt"));
  }
};

Fixture &fixture() {
  static Fixture f;
  return f;
}

double heapMb() {
  const struct mallinfo2 m = mallinfo2();
  return static_cast<double>(m.uordblks + m.hblkhd) / 1048576.0;
}

// The peak heap in use while it lives, above the level at its start.
class HeapPeak {
 public:
  HeapPeak() : base_(heapMb()), peak_(base_), sampler_([this] {
    while (!stop_) {
      const double now = heapMb();
      if (now > peak_) peak_ = now;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }) {}
  double stop() {
    stop_ = true;
    sampler_.join();
    return peak_ - base_;
  }

 private:
  double base_;
  std::atomic<double> peak_;
  std::atomic<bool> stop_{false};
  std::thread sampler_;
};

void BM_Dump300kLines(benchmark::State &state) {
  Fixture &f = fixture();
  HeapPeak heap;
  tabledump::DumpResult r;
  for (auto _ : state) r = tabledump::dumpTable(*f.data.ZQ60, tabledump::tables()[5], QStringLiteral("c:\\QzSor.txt"));
  state.counters["lines"] = static_cast<double>(r.lines);
  state.counters["file_MB"] = QFileInfo(f.dir.filePath(QStringLiteral("QzSor.txt"))).size() / 1048576.0;
  state.counters["heap_peak_MB"] = heap.stop();
  state.counters["lines_per_s"] = benchmark::Counter(static_cast<double>(r.lines), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_Dump300kLines)->Unit(benchmark::kMillisecond)->Iterations(5);

// For comparison: the same statement walked with every row kept.
void BM_BufferedWalk300kLines(benchmark::State &state) {
  Fixture &f = fixture();
  HeapPeak heap;
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
  state.counters["heap_peak_MB"] = heap.stop();
  f.data.ZQ60->close();
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
