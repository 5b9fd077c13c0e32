// The 08M return on a month of 3,000 producers and 30,000 tickets: the
// gather (receiver total, per-producer sums, producers read, 3,000 import
// files and the list file written and forced to the disk), and the merge of
// 3,000 pairs of import files (every pair read and checked, 3,000 merged
// files written, 9,000 renames), with the row-455 sums of both folders the
// dialog shows before and after.
#include "app/Unit2.h"
#include "exchange/returns/Gather08M.h"
#include "exchange/returns/ImportMerge.h"
#include "exchange/returns/ReturnControls.h"
#include "support/db_fixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

#include <benchmark/benchmark.h>

#include "bench/support/bench_main.h"

namespace {

// The folder that stands for the drives: the ordinary temporary folder (a
// disk), or with memory set one in /dev/shm, which leaves the file system's
// own cost of creating thousands of files out of the figure.
std::unique_ptr<QTemporaryDir> Drive(bool memory) {
  return memory ? std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/vorik-bench-XXXXXX"))
                : std::make_unique<QTemporaryDir>();
}

const returns::Period kMarch{QStringLiteral("2025.03.01"), QStringLiteral("2025.03.31")};

// One database per process, one data module connected to it.
void Fixture() {
  static bool ready = [] {
    auto *t = new vorik::test::TestDatabase;
    t->exec(QStringLiteral("INSERT INTO ATVEVO (V_AKOD, V_NEVE, V_ADOSZAM, V_ADOAZON) "
                           "VALUES ('R1', 'Kőszegi Áru Bt.', '12345676123', '8111111118')"));
    // Ten thousands of rows: one statement prepared once, then executed with
    // new values in one transaction.
    auto producers = t->query();
    producers->sql().add(QStringLiteral(
        "INSERT INTO OSTERMELO (O_KOD, O_NEV, O_ADOAZON, O_NEME, O_IGSZAM1, O_CSGAZD1, O_SZULNEV, O_ANYJA, "
        "O_SZULHELY, O_SZIDO, O_ADOSZAM) VALUES (:p0, :p1, :p2, '1', 'AB123456', 'OCSG-12345678', "
        "'Őstermelő Ödön', 'Szűcs Erzsébet', 'Hódmezővásárhely', '1960-05-17', '12345676123')"));
    for (int i = 1; i <= 3000; ++i) {
      producers->paramByName(QStringLiteral("p0")).setString(QString::number(i));
      producers->paramByName(QStringLiteral("p1")).setString(QStringLiteral("Őstermelő Ödön %1").arg(i));
      producers->paramByName(QStringLiteral("p2")).setString(QString::number(8000000000LL + i));
      producers->execute();
    }
    auto tickets = t->query();
    tickets->sql().add(QStringLiteral(
        "INSERT INTO QZFEJ (F_BSZAM, F_OSTERMKOD, F_AKOD, F_FIZKELT, F_MUVKTG, F_SUMVAR, F_TIPUS) "
        "VALUES (:p0, :p1, 'R1', :p2, :p3, 1500.25, '1')"));
    for (int i = 0; i < 30000; ++i) {
      tickets->paramByName(QStringLiteral("p0")).setString(QString::number(25000000 + i));
      tickets->paramByName(QStringLiteral("p1")).setString(QString::number(i % 3000 + 1));
      tickets->paramByName(QStringLiteral("p2")).setDate(QDate(2025, 3, 1 + i % 31));
      tickets->paramByName(QStringLiteral("p3")).setFloat(1234.5 + i % 97);
      tickets->execute();
    }
    t->transaction().commit();
    new TData(nullptr);
    Data->ZCon1->setDatabaseName(t->path());
    Data->ZCon1->open();
    return true;
  }();
  (void)ready;
}

// Into an empty month folder (repeated 0), or again over the month's files
// of an earlier gather (repeated 1), as a gather repeated in the month does.
void BM_Gather3000Producers(benchmark::State &state) {
  Fixture();
  const auto drive = Drive(state.range(0) != 0);
  qputenv("VORIK_DRIVE_C", QFile::encodeName(drive->path()));
  const QString month = drive->path() + QStringLiteral("/QZ2025/03");
  QDir(drive->path()).mkpath(QStringLiteral("QZ2025/03"));
  if (state.range(1)) returns::Gather(kMarch, QStringLiteral("R1"), false);
  qsizetype files = 0;
  for (auto _ : state) {
    if (!state.range(1)) {
      state.PauseTiming();
      QDir(month).removeRecursively();
      QDir(drive->path()).mkpath(QStringLiteral("QZ2025/03"));
      state.ResumeTiming();
    }
    files = returns::Gather(kMarch, QStringLiteral("R1"), false).files.size();
  }
  state.counters["files"] = static_cast<double>(files);
  state.counters["files/s"] = benchmark::Counter(static_cast<double>(files) * state.iterations(),
                                                 benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Gather3000Producers)
    ->ArgNames({"memory", "repeated"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

QByteArray ImportFile(int i, int paid) {
  QByteArray out = "$ny_azon=2508M\r\n$sorok_sz\xE1ma=26\r\n$d_lapok_sz\xE1ma=0\r\n";
  for (int l = 0; l < 21; ++l) out += "1" + QByteArray::number(3841 + l) + "=" + QByteArray::number(i) + "\r\n";
  return out + "24804=" + QByteArray::number(paid) + "\r\n24805=1\r\n13847=12345676123\r\n";
}

void BM_Merge3000Pairs(benchmark::State &state) {
  const auto c = Drive(state.range(0) != 0), e = Drive(state.range(0) != 0);
  qputenv("VORIK_DRIVE_C", QFile::encodeName(c->path()));
  qputenv("VORIK_DRIVE_E", QFile::encodeName(e->path()));
  const QString a = QStringLiteral("C:\\QZ2025\\03\\"), b = QStringLiteral("E:\\QZ2025\\03\\");
  for (auto _ : state) {
    state.PauseTiming();
    for (const QString &root : {c->path(), e->path()}) {
      QDir(root + QStringLiteral("/QZ2025/03")).removeRecursively();
      QDir(root).mkpath(QStringLiteral("QZ2025/03"));
    }
    for (int i = 0; i < 3000; ++i) {
      const QString name = QStringLiteral("/QZ2025/03/2508M202503_%1.imp").arg(8000000000LL + i);
      QFile fa(c->path() + name), fb(e->path() + name);
      if (!fa.open(QIODevice::WriteOnly) || !fb.open(QIODevice::WriteOnly)) state.SkipWithError("set-up failed");
      fa.write(ImportFile(i, 68825));
      fb.write(ImportFile(i, 5000));
    }
    state.ResumeTiming();
    const QStringList filesA = returns::FilesOf(a, QStringLiteral("*.imp"));
    const QStringList filesB = returns::FilesOf(b, QStringLiteral("*.imp"));
    benchmark::DoNotOptimize(returns::SumFolder(a, filesA));
    benchmark::DoNotOptimize(returns::SumFolder(b, filesB));
    const QStringList paired = returns::PairedNames(filesA, filesB);
    if (!returns::Merge(a, b, paired).isEmpty()) state.SkipWithError("a rename failed");
    benchmark::DoNotOptimize(returns::SumFolder(a, returns::FilesOf(a, QStringLiteral("*.imp"))));
    benchmark::DoNotOptimize(returns::SumFolder(b, returns::FilesOf(b, QStringLiteral("*.imp"))));
  }
  state.counters["pairs"] = 3000;
}
BENCHMARK(BM_Merge3000Pairs)->ArgName("memory")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char **argv) { return bench::RunBenchmarks<QCoreApplication>(argc, argv); }
