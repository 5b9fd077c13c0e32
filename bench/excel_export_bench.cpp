// The Excel export: 10,000 ticket lines gathered by the dialog's statement
// and exported to a workbook file, and the BIFF writing alone (into a sink
// that keeps nothing, and into the compound file on disk), with the peak
// growth of the heap while writing for 1,000 to 16,000 rows.
#include "db/dataset.h"
#include "db/transaction.h"
#include "exchange/excel/Biff5.h"
#include "exchange/excel/SheetExport.h"
#include "exchange/excel/Unit20.h"
#include "exchange/excel/WorkbookFile.h"
#include "support/db_fixture.h"
#include "support/temp_dir.h"

#include <QDate>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>

namespace {

// One database per process: 10,000 lines (four a ticket) of receiver R1 with
// their headers over 100 producers; it lives until exit.
vorik::test::TestDatabase &fixture() {
  static auto *d = [] {
    auto *t = new vorik::test::TestDatabase;
    vorik::test::insertTicketLines(t->transaction(), 4);
    t->exec(QStringLiteral(
        "INSERT INTO OSTERMELO (O_KOD, O_NEV, O_IRSZAM, O_HELYSEGNEV, O_UTCA, O_ADOAZON, O_ADOSZAM, O_TAJ, "
        "O_BANKSZLA) SELECT DISTINCT MOD(CAST(s_bszam AS INTEGER), 100), 'Őstermelő ' || "
        "MOD(CAST(s_bszam AS INTEGER), 100), '6720', 'Hódmezővásárhely', 'Kossuth Lajos utca', '8123456789', "
        "'12345678106', '123456789', '11773016-11111111' FROM qzsor"));
    t->exec(QStringLiteral(
        "INSERT INTO QZFEJ (F_BSZAM, F_OSTERMKOD, F_AKOD, F_KELT, F_FELVKELT, F_FIZKELT, F_SZJA, F_MUVKTG, "
        "F_TIPUS) SELECT DISTINCT s_bszam, MOD(CAST(s_bszam AS INTEGER), 100), 'R1', '2025-03-01', "
        "'2025-03-01', '2025-03-09', 15, 12345.5, '1' FROM qzsor"));
    return t;
  }();
  return *d;
}

void OpenTicketLines(db::Query &q) {
  q.close();
  q.sql().clear();
  for (const QString &l : TicketLineSql(true)) q.sql().add(l);
  q.paramByName(QStringLiteral("p1")).setDateTime(QDateTime(QDate(2025, 1, 1), QTime(0, 0)));
  q.paramByName(QStringLiteral("p2")).setDateTime(QDateTime(QDate(2025, 12, 31), QTime(0, 0)));
  q.paramByName(QStringLiteral("p3")).setString(QStringLiteral("R1"));
  q.open();
}

// Bytes in use on the heap (every allocator call of the process).
double HeapInUse() { return static_cast<double>(mallinfo2().uordblks); }

// The gather: the statement opened and read whole (the dialog's "Kigyüjtés"
// with the row count the export takes first).
void BM_GatherTicketLines(benchmark::State &state) {
  db::Query q;
  q.setTransaction(&fixture().transaction());
  int rows = 0;
  for (auto _ : state) {
    OpenTicketLines(q);
    rows = q.recordCount();
  }
  state.counters["rows"] = rows;
}

// The export of the gathered lines: the sheet written and saved (compound
// file, flushed to disk, renamed into place).
void BM_ExportTicketLines(benchmark::State &state) {
  db::Query q;
  q.setTransaction(&fixture().transaction());
  OpenTicketLines(q);
  const int rows = q.recordCount();
  vorik::test::TempDir dir;
  const QString path = dir.file(QStringLiteral("QZFEJ.xls"));
  const excel::SheetSpec spec = TicketLineSheet();
  double peak = 0;
  for (auto _ : state) {
    const double before = HeapInUse();
    double top = before;
    excel::ExportDataSet(q, spec, path, [&](int done) {
      if (done % 256 == 0) top = std::max(top, HeapInUse());
    });
    peak = std::max(peak, top - before);
  }
  state.counters["rows"] = rows;
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(rows) * static_cast<double>(state.iterations()),
                                                benchmark::Counter::kIsRate);
  state.counters["heap growth KiB"] = peak / 1024;
}

// Rows of ticket-line values as the export gives them to the writer.
std::vector<excel::CellValue> SampleRow(int i) {
  const QDateTime day(QDate(2025, 3, 1).addDays(i % 300), QTime(0, 0));
  return {day,
          day,
          day,
          QString::number(i % 100),
          QStringLiteral("Őstermelő %1").arg(i % 100),
          QString::number(25000000 + i / 4),
          QStringLiteral("Őszibarack I. osztály"),
          95.0 + i % 997,
          QStringLiteral("kg"),
          212.5,
          12.0,
          15.0,
          QStringLiteral("8123456789"),
          QStringLiteral("12345678106"),
          QStringLiteral("123456789"),
          excel::CellValue{},
          excel::CellValue{},
          excel::CellValue{},
          QStringLiteral("Hódmezővásárhely"),
          QStringLiteral("Kossuth Lajos utca"),
          QStringLiteral("11773016-11111111"),
          12345.5,
          excel::CellValue{},
          excel::CellValue{}};
}

excel::SheetLayout TicketLayout(int rows) {
  const excel::SheetSpec spec = TicketLineSheet();
  excel::SheetLayout layout;
  layout.rowCount = rows + 1;
  layout.columnCount = 24;
  layout.bold.push_back({0, 0, spec.boldColumns - 1});
  for (int c = 0; c < 24; ++c) {
    layout.widths.push_back({c, spec.columns[static_cast<std::size_t>(c)].width});
    layout.alignments.push_back({c, 0, rows, spec.columns[static_cast<std::size_t>(c)].align});
  }
  return layout;
}

// The BIFF records alone: 10,000 rows into a sink that keeps nothing.
void BM_BiffWriting(benchmark::State &state) {
  const int rows = static_cast<int>(state.range(0));
  std::vector<std::vector<excel::CellValue>> sample;
  for (int i = 0; i < 64; ++i) sample.push_back(SampleRow(i));
  std::size_t bytes = 0;
  for (auto _ : state) {
    bytes = 0;
    excel::Biff5Writer w([&](const char *, std::size_t n) { bytes += n; }, TicketLayout(rows));
    for (int r = 1; r <= rows; ++r) w.writeRow(r, sample[static_cast<std::size_t>(r % 64)]);
    w.finish();
  }
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(rows) * static_cast<double>(state.iterations()),
                                                benchmark::Counter::kIsRate);
  state.counters["stream KiB"] = static_cast<double>(bytes) / 1024;
}

// The same into the workbook file on disk, with the peak heap growth while
// writing: it stays flat as the rows grow.
void BM_BiffWorkbookFile(benchmark::State &state) {
  const int rows = static_cast<int>(state.range(0));
  std::vector<std::vector<excel::CellValue>> sample;
  for (int i = 0; i < 64; ++i) sample.push_back(SampleRow(i));
  vorik::test::TempDir dir;
  const QString path = dir.file(QStringLiteral("QZFEJ.xls"));
  double peak = 0;
  for (auto _ : state) {
    const double before = HeapInUse();
    double top = before;
    excel::WorkbookFile file(path);
    excel::Biff5Writer w(
        [&](const char *d, std::size_t n) {
          file.write(d, n);
          top = std::max(top, HeapInUse());
        },
        TicketLayout(rows));
    for (int r = 1; r <= rows; ++r) w.writeRow(r, sample[static_cast<std::size_t>(r % 64)]);
    w.finish();
    file.commit();
    peak = std::max(peak, top - before);
  }
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(rows) * static_cast<double>(state.iterations()),
                                                benchmark::Counter::kIsRate);
  state.counters["heap growth KiB"] = peak / 1024;
}

}  // namespace

BENCHMARK(BM_GatherTicketLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportTicketLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BiffWriting)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BiffWorkbookFile)->Arg(1000)->Arg(10000)->Arg(16000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
