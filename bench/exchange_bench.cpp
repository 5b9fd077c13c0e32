// Benchmarks of the data checks and the table text dumps.
// - The data checks on 20,000 producers and 100,000 tickets of one line each
//   (one receiver, one year): the ticket tab's gather and check, and the
//   producer tab's gather and check, each as the dialog's buttons run them
//   (the findings written into the memo included). About one line in ten
//   gives a finding.
// - The text dump of 300,000 ticket lines (QZSOR, nine columns a line) into
//   a file, reading forward only; beside it the same rows walked with the
//   dataset's usual buffering, to show the memory the forward-only walk saves.
// Memory is the heap in use (malloc's count, the embedded engine's included),
// sampled every 10 ms while a benchmark runs: its peak above the level
// before the run.
#include "app/SharedState.h"
#include "app/Unit2.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/schema.h"
#include "db/transaction.h"
#include "exchange/checks/Unit14.h"
#include "exchange/dumps/TableDump.h"

#include <QApplication>
#include <QDateEdit>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <atomic>
#include <thread>

namespace {

constexpr int kProducers = 20000;
constexpr int kTickets = 100000;
constexpr int kLines = 300000;

// "SELECT x" for x = 0 .. 10^digits - 1, from crossed digit tables.
QString numbers(int digits) {
  QString d = QStringLiteral("(SELECT 0 AS n FROM rdb$database");
  for (int i = 1; i <= 9; ++i) d += QStringLiteral(" UNION ALL SELECT %1 FROM rdb$database").arg(i);
  d += QLatin1Char(')');
  QStringList terms, tables;
  for (int i = 0, f = 1; i < digits; ++i, f *= 10) {
    terms << QStringLiteral("%1 * t%2.n").arg(f).arg(i);
    tables << d + QStringLiteral(" t%1").arg(i);
  }
  return QStringLiteral("(SELECT ") + terms.join(" + ") + QStringLiteral(" AS x FROM ") + tables.join(", ") +
         QStringLiteral(") ");
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
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
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

// A fresh database with its own data module.
struct Database {
  QTemporaryDir dir;
  TData data{nullptr};

  Database() {
    const QString path = dir.filePath(QStringLiteral("bench.fdb"));
    db::createDatabase(path, db::schemaScript());
    data.ZCon1->setDatabaseName(path);
    data.ZCon1->open();
  }
  void run(const QString &sql) {
    db::Query q;
    q.setTransaction(data.IBTrans1);
    q.sql().add(sql);
    q.execute();
    data.IBTrans1->commit();
  }
};

// 20,000 producers, 100,000 tickets of one line each.
struct ChecksFixture : Database {
  ChecksFixture() {
    // Every 50th producer has a TAJ that fails its check digit.
    run("INSERT INTO ostermelo (o_kod, o_nev, o_irszam, o_helysegnev, o_utca, o_adoazon, o_adoszam, o_taj, "
        "o_igszam, o_szulhely, o_szido, o_anyja, o_neme, o_szulnev) "
        "SELECT x + 1, 'Termelő ' || x, '6000', 'Kecskemét', 'Fő utca', '8123456786', '12345676123', "
        "IIF(MOD(x, 50) = 0, '111111111', '111111110'), 'AB123456', 'Szeged', DATE '1970-01-01', 'Minta Mária', "
        "'1', 'Termelő ' || x FROM " +
        numbers(5) + QStringLiteral("WHERE x < %1").arg(kProducers));
    // Every 10th ticket is not printed yet; every 50th line has 10 % compensation.
    run("INSERT INTO qzfej (f_bszam, f_ostermkod, f_akod, f_fizkelt, f_szja, f_prn) "
        "SELECT LPAD(25000000 + x, 8, '0'), MOD(x, " + QString::number(kProducers) + ") + 1, '1', "
        "DATEADD(MOD(x, 365) DAY TO DATE '2025-01-01'), 15, IIF(MOD(x, 10) = 0, '', 'I') FROM " +
        numbers(5) + QStringLiteral("WHERE x < %1").arg(kTickets));
    run("INSERT INTO qzsor (s_bszam, s_termekkod, s_megnevezes, s_brutto, s_levonszaz, s_ear, s_kompmerteke) "
        "SELECT LPAD(25000000 + x, 8, '0'), '00012', 'Őszibarack I. osztály', 100 + MOD(x, 97), 5, 212.5, "
        "IIF(MOD(x, 50) = 0, 10, 12) FROM " +
        numbers(5) + QStringLiteral("WHERE x < %1").arg(kTickets));
    AtvevoKod = QStringLiteral("1");
  }
};

// 300,000 ticket lines, four a serial.
struct DumpFixture : Database {
  DumpFixture() {
    run("INSERT INTO qzsor (s_bszam, s_termekkod, s_megnevezes, s_vtsz, s_brutto, s_megy, s_ear, s_kompmerteke) "
        "SELECT LPAD(25000000 + x / 4, 8, '0'), '00012', 'Őszibarack I. osztály', '0809', 100.25 + MOD(x, 997), "
        "'kg', 212.5, 12 FROM " +
        numbers(6) + QStringLiteral("WHERE x < %1").arg(kLines));
    qputenv("VORIK_DRIVE_C", dir.path().toUtf8());
    // One walk first, so that the engine's page cache is filled before any
    // run is measured.
    tabledump::dumpTable(*data.ZQ60, tabledump::tables()[5], QStringLiteral("c:\\QzSor.txt"));
  }
};

// The fixture a benchmark uses; its data module becomes the global Data.
template <class F>
F &fixture() {
  static F f;
  Data = &f.data;
  return f;
}

void BM_TicketChecks(benchmark::State &state) {
  fixture<ChecksFixture>();
  TForm14 form;
  form.DateTimePicker1->setDate(QDate(2025, 1, 1));
  form.DateTimePicker2->setDate(QDate(2025, 12, 31));
  HeapPeak heap;
  int lines = 0;
  for (auto _ : state) {
    form.Button1Click();  // "Kigyüjtés"
    form.Button2Click();  // "Ellenörzés"
    lines = form.Memo1->blockCount();
  }
  state.counters["heap_peak_MB"] = heap.stop();
  state.counters["memo_lines"] = lines;
  state.counters["rows"] = form.Jegyek->recordCount();
}
BENCHMARK(BM_TicketChecks)->Unit(benchmark::kMillisecond);


void BM_ProducerChecks(benchmark::State &state) {
  fixture<ChecksFixture>();
  TForm14 form;
  int lines = 0;
  for (auto _ : state) {
    form.Button12Click();
    form.Button13Click();
    lines = form.Memo2->blockCount();
  }
  state.counters["rows"] = form.Termelok->recordCount();
  state.counters["memo_lines"] = lines;
}
BENCHMARK(BM_ProducerChecks)->Unit(benchmark::kMillisecond);

void BM_Dump300kLines(benchmark::State &state) {
  DumpFixture &f = fixture<DumpFixture>();
  HeapPeak heap;
  tabledump::DumpResult r;
  for (auto _ : state) r = tabledump::dumpTable(*f.data.ZQ60, tabledump::tables()[5], QStringLiteral("c:\\QzSor.txt"));
  state.counters["lines"] = static_cast<double>(r.lines);
  state.counters["file_MB"] = QFileInfo(f.dir.filePath(QStringLiteral("QzSor.txt"))).size() / 1048576.0;
  state.counters["heap_peak_MB"] = heap.stop();
  state.counters["lines_per_s"] = benchmark::Counter(static_cast<double>(r.lines), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_Dump300kLines)->Unit(benchmark::kMillisecond);

// For comparison: the same statement walked with every row kept.
void BM_BufferedWalk300kLines(benchmark::State &state) {
  DumpFixture &f = fixture<DumpFixture>();
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
BENCHMARK(BM_BufferedWalk300kLines)->Unit(benchmark::kMillisecond);

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
