// The CSV producer import of 10,000 producers (the file read and decoded,
// every line split and inserted, one commit), and the backup of a large
// database (500 MB by default; VORIK_BACKUP_MB sets it) under the engine's
// backup lock beside a plain copy of the same file on the same disk, with
// the file in the page cache and read from the disk.
#include "app/Unit2.h"
#include "bench/support/bench_main.h"
#include "bench/support/bench_world.h"
#include "db/dataset.h"
#include "db/schema.h"
#include "exchange/backup/DatabaseCopy.h"
#include "exchange/imports/ImportWriter.h"
#include "exchange/imports/TextImport.h"
#include "exchange/imports/Unit34.h"
#include "platform/cp1250.h"
#include "support/db_fixture.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kProducers = 10000;

struct ImportFixture : bench::Database {
  QString csv;

  ImportFixture() {
    // A spreadsheet's file: 18 fields a producer, accented names, Windows-1250.
    QString text;
    for (int i = 1; i <= kProducers; ++i)
      text += QStringLiteral("%1;Kővári Ödön %1;6720;Hódmezővásárhely;Árpád tér %1;8123456789;AB123456;R1234567;;"
                             "Szeged;1960.05.17;Űrös Mária;CS12;1;Kővári Ödön;123-456-789;12345678106;"
                             "11773016-11111111\r\n")
                  .arg(i);
    csv = dir.filePath(QStringLiteral("termelok.csv"));
    QFile f(csv);
    f.open(QIODevice::WriteOnly);
    f.write(platform::toCp1250(text));
  }
};

void BM_CsvImport10000(benchmark::State &state) {
  ImportFixture &fx = bench::Shared<ImportFixture>();
  for (auto _ : state) {
    state.PauseTiming();
    fx.run(QStringLiteral("DELETE FROM ostermelo"));
    // The deleted rows' versions are collected by the next read of the table;
    // that read is this set-up's, not the import's reading of the taken codes.
    db::Query collect;
    collect.setTransaction(fx.data.IBTrans1);
    collect.sql().add(QStringLiteral("SELECT COUNT(*) FROM ostermelo"));
    collect.open();
    collect.close();
    fx.data.IBTrans1->commit();
    state.ResumeTiming();
    const QStringList lines = imports::ReadLines(fx.csv);
    db::Query *q = fx.data.ZQ30;
    q->close();
    q->sql().setText(CsvInsertSql());
    int inserted = 0;
    // As the dialog runs it: taken codes read once and checked per line.
    imports::InsertOptions options;
    options.takenCodesSql = QStringLiteral("SELECT o_kod FROM ostermelo");
    fx.data.Write(QStringLiteral("Hiba301: Újban, INSERT az östermelöben "), [&](WriteSteps &) {
      inserted = imports::InsertLines(
                     q, lines, [](const QString &line, int) { return imports::CsvProducer(line); },
                     QStringLiteral("Hiba301: Újban, INSERT az östermelöben "), options)
                     .inserted;
    });
    if (inserted != kProducers) state.SkipWithError("not every producer went in");
  }
  state.counters["producers/s"] = benchmark::Counter(kProducers, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_CsvImport10000)->Unit(benchmark::kMillisecond)->Iterations(5);

// A database grown to the given size by rows of long notes.
struct BackupFixture {
  QTemporaryDir dir;
  QString path;
  qint64 bytes = 0;

  BackupFixture() {
    const qint64 target = qEnvironmentVariableIntValue("VORIK_BACKUP_MB") > 0
                              ? qEnvironmentVariableIntValue("VORIK_BACKUP_MB")
                              : 500;
    path = dir.filePath(QStringLiteral("qz2025.fdb"));
    db::createDatabase(path, db::schemaScript());
    vorik::test::Attachment a(path);
    while (QFileInfo(path).size() < target * 1024 * 1024) {
      a.exec(QStringLiteral(
          "INSERT INTO OSTERMELO (O_KOD, O_NEV, O_FELJEGYZ) SELECT NULL, 'Kővári Ödön', "
          "LPAD(a.rdb$relation_id * 1000 + b.rdb$relation_id, 990, 'jegyzet ') FROM rdb$relations a, rdb$relations b"));
      a.transaction().commit();
    }
    bytes = QFileInfo(path).size();
  }
};

BackupFixture &backupFixture() {
  static BackupFixture fx;
  return fx;
}

// With cold set, drops the file's pages from the page cache, so that the
// copy reads from the disk.
void Evict(const QString &path, bool cold) {
  if (!cold) return;
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
  if (fd < 0) return;
  ::fdatasync(fd);
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
  ::close(fd);
}

// Times copyOnce() an iteration: before it the source is dropped from the page
// cache when the argument is 1, after it the copy is removed, both untimed.
template <class Copy>
void TimeCopies(benchmark::State &state, const BackupFixture &fx, const QString &copy, Copy copyOnce) {
  for (auto _ : state) {
    state.PauseTiming();
    Evict(fx.path, state.range(0));
    state.ResumeTiming();
    copyOnce();
    state.PauseTiming();
    QFile::remove(copy);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * fx.bytes);
}

void BM_BackupUnderLock(benchmark::State &state) {
  BackupFixture &fx = backupFixture();
  // The program holds the database open meanwhile, with a change not committed.
  vorik::test::Attachment held(fx.path);
  held.exec(QStringLiteral("UPDATE TERMEK SET T_MEGNEVEZES = 'x'"));
  const QString copy = fx.dir.filePath(QStringLiteral("masolat.FDB"));
  TimeCopies(state, fx, copy, [&] { backup::CopyDatabase(fx.path, copy); });
  state.counters["MB"] = static_cast<double>(fx.bytes) / (1024 * 1024);
}
// Argument 0: the source in the page cache; 1: read from the disk.
BENCHMARK(BM_BackupUnderLock)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3)->ReportAggregatesOnly(true);

// The engine's lock taken and released alone: the fixed part of a backup.
void BM_BackupLockAlone(benchmark::State &state) {
  BackupFixture &fx = backupFixture();
  vorik::test::Attachment held(fx.path);
  for (auto _ : state) {
    held.exec(QStringLiteral("ALTER DATABASE BEGIN BACKUP"));
    held.transaction().commit();
    held.exec(QStringLiteral("ALTER DATABASE END BACKUP"));
    held.transaction().commit();
  }
}
BENCHMARK(BM_BackupLockAlone)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3)->ReportAggregatesOnly(true);

// A plain copy through cp(1) with its default settings, for reference.
void BM_CpCommand(benchmark::State &state) {
  BackupFixture &fx = backupFixture();
  const QString copy = fx.dir.filePath(QStringLiteral("masolat.cp"));
  const QByteArray command = "cp '" + QFile::encodeName(fx.path) + "' '" + QFile::encodeName(copy) + "' && sync -f '" +
                             QFile::encodeName(copy) + "'";
  TimeCopies(state, fx, copy, [&] {
    if (std::system(command.constData()) != 0) state.SkipWithError("cp failed");
  });
}
BENCHMARK(BM_CpCommand)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char **argv) { return bench::RunBenchmarks<QApplication>(argc, argv); }
