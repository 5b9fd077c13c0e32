// The audit data supply over a year of 20,000 documents with 60,000 lines:
// the collection into NAVFEJ (selection and inserts, one commit) and the
// export of the staged year as the invoice XML file.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include "app/SharedState.h"
#include "app/Unit2.h"
#include "bench/support/bench_main.h"
#include "bench/support/bench_world.h"
#include "exchange/audit/AuditStaging.h"
#include "exchange/audit/AuditXml.h"

namespace {

constexpr int kDocuments = 20000;

struct World : bench::Database {
  World() : bench::Database(QStringLiteral("qz2025.fdb")) {
    addReceiver();
    TipusErvenytelenito = QStringLiteral("4");
    XmlOnszamla = QStringLiteral("true");
    XmlSzlaForma = QStringLiteral("Papir alapon számítógéppel kiállított");
    addDigits();
    // 500 producers; the documents spread over them and over the year.
    run(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV, O_IRSZAM, O_HELYSEGNEV, O_UTCA, O_JELLEG, "
                       "O_HAZSZAM, O_ADOSZAM, O_BANKSZLA) SELECT LPAD(i, 5, '0'), 'Termelő ' || (i - 1), "
                       "'6100', 'Kiskunfélegyháza', 'Petőfi', 'utca', '12', '87654321103', "
                       "'10402142-00012345' FROM (") +
        bench::DigitNumbers(1, 500) + QStringLiteral(")"));
    const QString numbers = bench::DigitNumbers(25000001, kDocuments);
    run(QStringLiteral("INSERT INTO QZFEJ (F_BSZAM, F_AKOD, F_OSTERMKOD, F_KELT, F_FELVKELT, F_FIZKELT, "
                       "F_UTAL, F_SZJA, F_JARULSZAZ, F_LEVONAS, F_TIPUS, F_MUVKTG, F_SUMVAR, F_PRN) "
                       "SELECT CAST(i AS VARCHAR(8)), 'B0001', LPAD(1 + MOD(i, 500), 5, '0'), "
                       "DATEADD(MOD(i, 365) DAY TO DATE '2025-01-01'), DATEADD(MOD(i, 365) DAY TO DATE "
                       "'2025-01-01'), DATEADD(MOD(i, 365) DAY TO DATE '2025-01-01'), 'x', 15, 2, 10, '1', "
                       "8000, 9452, 'I' FROM (") +
        numbers + QStringLiteral(")"));
    const char *products[][3] = {{"Alma", "12", "100"}, {"Körte", "7", "200"}, {"Szilva", "12", "50"}};
    for (const auto &p : products)
      run(QStringLiteral("INSERT INTO QZSOR (S_BSZAM, S_MEGNEVEZES, S_VTSZ, S_BRUTTO, S_MEGY, S_EAR, "
                         "S_KOMPMERTEKE, S_AKOD, S_LEVONSZAZ) SELECT CAST(i AS VARCHAR(8)), '%1', '0808', "
                         "%3, 'kg', 25.5, %2, 'B0001', 2 FROM (")
              .arg(QString::fromUtf8(p[0]), QLatin1String(p[1]), QLatin1String(p[2])) +
          numbers + QStringLiteral(")"));
  }
};

World &world() { return bench::Shared<World>(); }

AuditSelection year() {
  AuditSelection s;
  s.from = QDate(2025, 1, 1);
  s.to = QDate(2025, 12, 31);
  return s;
}

void BM_CollectYear(benchmark::State &state) {
  world();
  for (auto _ : state) {
    const bool ok = CollectAudit(year());
    benchmark::DoNotOptimize(ok);
  }
  state.counters["documents"] = Data->ZQ21->recordCount();
}
BENCHMARK(BM_CollectYear)->Unit(benchmark::kMillisecond);

// Arg 0: the file in a folder on disk (written, synced, renamed); arg 1: in
// memory (/dev/shm), the export's own work without the disk's share.
void BM_ExportYear(benchmark::State &state) {
  world();
  CollectAudit(year());
  QTemporaryDir memory(QStringLiteral("/dev/shm/audit_bench-XXXXXX"));
  AuditExport e;
  e.from = QDate(2025, 1, 1);
  e.to = QDate(2025, 12, 31);
  e.path = state.range(0) == 0 || !memory.isValid() ? world().dir.filePath(QStringLiteral("szamlak.xml"))
                                                    : memory.filePath(QStringLiteral("szamlak.xml"));
  e.today = QDate(2026, 1, 15);
  for (auto _ : state) {
    const bool ok = ExportAuditXml(e);
    benchmark::DoNotOptimize(ok);
  }
  state.counters["MB"] = double(QFileInfo(e.path).size()) / (1 << 20);
}
BENCHMARK(BM_ExportYear)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv) { return bench::RunBenchmarks<QApplication>(argc, argv); }
