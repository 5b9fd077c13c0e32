// Opening and walking a 100,000-row ticket-line query: through db/ (buffered
// rows, fields by name) side by side with a bare fetch loop over the engine's
// object API on the same statement. Both read the same three columns per row
// (a text, an exact NUMERIC and a double).
#include "db/connection.h"
#include "db/dataset.h"
#include "db/fb_internal.h"
#include "db/schema.h"
#include "db/transaction.h"
#include "support/db_fixture.h"
#include "platform/cp1250.h"


#include <benchmark/benchmark.h>

#include <memory>

namespace {

const char *const kSelect = "SELECT * FROM QZSOR";

// One database per process, filled once; it lives until exit: the engine
// outlives the benchmarks.
vorik::test::TestDatabase &fixture() {
  static auto *d = [] {
    auto *t = new vorik::test::TestDatabase;
    vorik::test::insertTicketLines(t->transaction(), 5);
    return t;
  }();
  return *d;
}

void BM_WalkThroughDb(benchmark::State &state) {
  vorik::test::TestDatabase &f = fixture();
  db::Query q;
  q.setObjectName(QStringLiteral("ZQ20"));
  q.setTransaction(&f.transaction());
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
  vorik::test::TestDatabase &f = fixture();
  db::fb::Status st;
  IAttachment *att = f.connection().attachment();
  ITransaction *tra = f.transaction().handle();
  db::fb::Owned<IStatement> stmt(att->prepare(&st, tra, 0, kSelect, 3, IStatement::PREPARE_PREFETCH_METADATA));
  st.check();
  const db::fb::Owned<IMessageMetadata> meta(stmt->getOutputMetadata(&st));
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
    db::fb::Owned<IResultSet> rs(stmt->openCursor(&st, tra, nullptr, nullptr, meta.get(), 0));
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
    rs.ended(st);
    st.check();
  }
  benchmark::DoNotOptimize(sink);
  stmt->free(&st);
  stmt.ended(st);
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(BM_WalkBareObjectApi)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkThroughDb)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
