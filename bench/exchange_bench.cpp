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
#include "bench/support/bench_main.h"
#include "bench/support/bench_world.h"
#include "db/dataset.h"
#include "exchange/checks/Unit14.h"
#include "exchange/dumps/TableDump.h"

#include <QApplication>
#include <QDateEdit>
#include <QFileInfo>
#include <QPlainTextEdit>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <atomic>
#include <thread>

namespace {

constexpr int kProducers = 20000;
constexpr int kTickets = 100000;
constexpr int kLines = 300000;

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

// 20,000 producers, 100,000 tickets of one line each.
struct ChecksFixture : bench::Database {
  ChecksFixture() {
    addDigits();
    // Every 50th producer has a TAJ that fails its check digit.
    run("INSERT INTO ostermelo (o_kod, o_nev, o_irszam, o_helysegnev, o_utca, o_adoazon, o_adoszam, o_taj, "
        "o_igszam, o_szulhely, o_szido, o_anyja, o_neme, o_szulnev) "
        "SELECT i + 1, 'Termelő ' || i, '6000', 'Kecskemét', 'Fő utca', '8123456786', '12345676123', "
        "IIF(MOD(i, 50) = 0, '111111111', '111111110'), 'AB123456', 'Szeged', DATE '1970-01-01', 'Minta Mária', "
        "'1', 'Termelő ' || i FROM (" +
        bench::DigitNumbers(0, kProducers) + ")");
    // Every 10th ticket is not printed yet; every 50th line has 10 % compensation.
    run("INSERT INTO qzfej (f_bszam, f_ostermkod, f_akod, f_fizkelt, f_szja, f_prn) "
        "SELECT LPAD(25000000 + i, 8, '0'), MOD(i, " + QString::number(kProducers) + ") + 1, '1', "
        "DATEADD(MOD(i, 365) DAY TO DATE '2025-01-01'), 15, IIF(MOD(i, 10) = 0, '', 'I') FROM (" +
        bench::DigitNumbers(0, kTickets) + ")");
    run("INSERT INTO qzsor (s_bszam, s_termekkod, s_megnevezes, s_brutto, s_levonszaz, s_ear, s_kompmerteke) "
        "SELECT LPAD(25000000 + i, 8, '0'), '00012', 'Őszibarack I. osztály', 100 + MOD(i, 97), 5, 212.5, "
        "IIF(MOD(i, 50) = 0, 10, 12) FROM (" +
        bench::DigitNumbers(0, kTickets) + ")");
    AtvevoKod = QStringLiteral("1");
  }
};

// 300,000 ticket lines, four a serial.
struct DumpFixture : bench::Database {
  DumpFixture() {
    addDigits();
    run("INSERT INTO qzsor (s_bszam, s_termekkod, s_megnevezes, s_vtsz, s_brutto, s_megy, s_ear, s_kompmerteke) "
        "SELECT LPAD(25000000 + i / 4, 8, '0'), '00012', 'Őszibarack I. osztály', '0809', 100.25 + MOD(i, 997), "
        "'kg', 212.5, 12 FROM (" +
        bench::DigitNumbers(0, kLines) + ")");
    qputenv("VORIK_DRIVE_C", dir.path().toUtf8());
    // One walk first, so that the engine's page cache is filled before any
    // run is measured.
    tabledump::dumpTable(*data.ZQ60, tabledump::tables()[5], QStringLiteral("c:\\QzSor.txt"));
  }
};

void BM_TicketChecks(benchmark::State &state) {
  bench::Shared<ChecksFixture>();
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
  bench::Shared<ChecksFixture>();
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
  DumpFixture &f = bench::Shared<DumpFixture>();
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
  DumpFixture &f = bench::Shared<DumpFixture>();
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

int main(int argc, char **argv) { return bench::RunBenchmarks<QApplication>(argc, argv); }
