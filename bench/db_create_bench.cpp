// Creating a new database file from the schema script.
#include "db/connection.h"
#include "db/schema.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void BM_CreateDatabase(benchmark::State &state) {
  QTemporaryDir dir;
  const QString script = db::schemaScript();
  int n = 0;
  for (auto _ : state) {
    const QString path = dir.filePath(QStringLiteral("db%1.fdb").arg(n++));
    db::createDatabase(path, script);
    state.PauseTiming();
    QFile::remove(path);
    state.ResumeTiming();
  }
}

}  // namespace

BENCHMARK(BM_CreateDatabase)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
