// Opening and walking a 100,000-row ticket-line query: through db/ (buffered
// rows, fields by name) side by side with a bare fetch loop over the engine's
// object API on the same statement. Both read the same three columns per row
// (a text, an exact NUMERIC and a double).
#include "db/connection.h"
#include "db/dataset.h"
#include "db/fb_internal.h"
#include "db/schema.h"
#include "db/transaction.h"
#include "platform/cp1250.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

const char *const kSelect = "SELECT * FROM QZSOR";

// One database per process, filled once.
struct Fixture {
  QTemporaryDir dir;
  db::Connection connection;
  db::Transaction transaction;

  Fixture() {
    const QString path = dir.filePath(QStringLiteral("bench.fdb"));
    db::createDatabase(path, db::schemaScript());
    connection.setDatabaseName(path);
    connection.setParams(db::defaultConnectionParams());
    transaction.setConnection(&connection);
    connection.open();
    db::Query fill;
    fill.setTransaction(&transaction);
    // 10^5 numbers from five crossed digit tables.
    QString digits = QStringLiteral("(SELECT 0 AS n FROM rdb$database");
    for (int d = 1; d <= 9; ++d) digits += QStringLiteral(" UNION ALL SELECT %1 FROM rdb$database").arg(d);
    digits += QLatin1Char(')');
    fill.sql().add(QStringLiteral("INSERT INTO qzsor ( s_bszam, s_termekkod, s_megnevezes, s_vtsz, s_levonszaz,"));
    fill.sql().add(QStringLiteral("  s_brutto, s_megy, s_ear, s_kompmerteke, s_akod, s_bizonylat )"));
    fill.sql().add(QStringLiteral("SELECT LPAD(25000000 + x / 4, 8, '0'), '00012', 'Őszibarack I. osztály', '0809',"));
    fill.sql().add(QStringLiteral("  5, 100 + MOD(x, 997), 'kg', 212.5, 12, '00001', ''"));
    fill.sql().add(QStringLiteral("FROM (SELECT a.n + 10 * b.n + 100 * c.n + 1000 * d.n + 10000 * e.n AS x"));
    fill.sql().add(QStringLiteral("  FROM %1 a, %1 b, %1 c, %1 d, %1 e)").arg(digits));
    fill.execute();
    transaction.commit();
  }
};

Fixture &fixture() {
  static auto *f = new Fixture;  // lives until exit: the engine outlives the benchmarks
  return *f;
}

void BM_WalkThroughDb(benchmark::State &state) {
  Fixture &f = fixture();
  db::Query q;
  q.setObjectName(QStringLiteral("ZQ20"));
  q.setTransaction(&f.transaction);
  q.sql().add(QString::fromLatin1(kSelect));
  std::int64_t rows = 0;
  double sink = 0;
  for (auto _ : state) {
    q.open();
    db::Field &serial = q.fieldByName(QStringLiteral("S_BSZAM"));
    db::Field &net = q.fieldByName(QStringLiteral("S_NETTO"));
    db::Field &price = q.fieldByName(QStringLiteral("S_VETELAR"));
    for (q.first(); !q.eof(); q.next()) {
      sink += static_cast<double>(serial.asString().size()) + static_cast<double>(net.asDecimal().units()) +
              price.asFloat();
      ++rows;
    }
    q.close();
  }
  benchmark::DoNotOptimize(sink);
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}

void BM_WalkBareObjectApi(benchmark::State &state) {
  using namespace Firebird;
  Fixture &f = fixture();
  db::fb::Status st;
  IAttachment *att = f.connection.attachment();
  ITransaction *tra = f.transaction.handle();
  IStatement *stmt = att->prepare(&st, tra, 0, kSelect, 3, IStatement::PREPARE_PREFETCH_METADATA);
  st.check();
  IMessageMetadata *meta = stmt->getOutputMetadata(&st);
  st.check();
  auto find = [&](const char *name) {
    for (unsigned i = 0; i < meta->getCount(&st); ++i)
      if (std::strcmp(meta->getField(&st, i), name) == 0) return i;
    return 0u;
  };
  const unsigned serial = find("S_BSZAM"), net = find("S_NETTO"), price = find("S_VETELAR");
  const unsigned serialOff = meta->getOffset(&st, serial), netOff = meta->getOffset(&st, net),
                 priceOff = meta->getOffset(&st, price);
  const unsigned serialNull = meta->getNullOffset(&st, serial), netNull = meta->getNullOffset(&st, net),
                 priceNull = meta->getNullOffset(&st, price);
  std::vector<unsigned char> buffer(meta->getMessageLength(&st));
  unsigned char *b = buffer.data();
  std::int64_t rows = 0;
  double sink = 0;
  for (auto _ : state) {
    IResultSet *rs = stmt->openCursor(&st, tra, nullptr, nullptr, meta, 0);
    st.check();
    while (rs->fetchNext(&st, b) == IStatus::RESULT_OK) {
      if (!*reinterpret_cast<short *>(b + serialNull)) {
        const auto len = *reinterpret_cast<unsigned short *>(b + serialOff);
        sink += static_cast<double>(
            platform::fromCp1250(std::string_view(reinterpret_cast<char *>(b + serialOff + 2), len)).size());
      }
      if (!*reinterpret_cast<short *>(b + netNull)) sink += static_cast<double>(*reinterpret_cast<std::int64_t *>(b + netOff));
      if (!*reinterpret_cast<short *>(b + priceNull)) sink += *reinterpret_cast<double *>(b + priceOff);
      ++rows;
    }
    st.check();
    rs->close(&st);
    st.check();
  }
  benchmark::DoNotOptimize(sink);
  meta->release();
  stmt->free(&st);
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(BM_WalkBareObjectApi)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkThroughDb)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
