// Field reads through a database data source and the report's name
// resolution, as text objects of a data band read them during a build.
#include "report/data/FR_DBSet.h"
#include "report/core/FR_Class_ValueList.h"
#include "report/expr/FR_Pars.h"
#include "report/expr/FR_Values.h"
#include "support/db_fixture.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include "bench/support/bench_main.h"

using namespace report;

namespace {

struct Fixture {
  vorik::test::TestDatabase database;
  QObject owner;
  db::Query *q = nullptr;
  TfrDBDataSet *src = nullptr;
  TfrValues values;
  TfrParser parser;
  TfrNameResolver resolver;

  Fixture() {
    owner.setObjectName("Data");
    q = database.query().release();
    q->setParent(&owner);
    q->setObjectName("Query1");
    q->sql().setText(
        "WITH RECURSIVE R(N) AS (SELECT 1 FROM RDB$DATABASE UNION ALL SELECT N + 1 FROM R WHERE N < 1000) "
        "SELECT N, 'Termelő ' || N AS NAME, N * 1.5 AS AMOUNT FROM R");
    src = new TfrDBDataSet(&owner);
    src->setObjectName("frDBDataSet1");
    src->SetDataSet(q);
    frSetReportOwner(&owner);
    resolver.Values = &values;
    resolver.Attach(parser);
    resolver.BeginBuild();
    resolver.ActiveDataSet = q;
    src->Init();
    src->First();
  }
  ~Fixture() { frSetReportOwner(nullptr); }
};

Fixture &fixture() {
  static Fixture f;
  return f;
}

// One field read per iteration; the source moves on every three reads.
void BM_FieldReads(benchmark::State &state) {
  Fixture &f = fixture();
  const QString names[3] = {QStringLiteral("Query1.N"), QStringLiteral("NAME"),
                            QStringLiteral("Query1.AMOUNT")};
  Variant v;
  long long reads = 0;
  for (auto _ : state) {
    f.resolver.ResolveValue(names[reads % 3], v);
    benchmark::DoNotOptimize(v);
    if (++reads % 3 == 0) {
      f.src->Next();
      if (f.src->Eof()) f.src->First();
    }
  }
  state.SetItemsProcessed(reads);
}
BENCHMARK(BM_FieldReads)->Iterations(1000000);

// The same reads with the component and field searched every time, for comparison.
void BM_FieldReadsUncached(benchmark::State &state) {
  Fixture &f = fixture();
  const QString names[3] = {QStringLiteral("Query1.N"), QStringLiteral("NAME"),
                            QStringLiteral("Query1.AMOUNT")};
  long long reads = 0;
  for (auto _ : state) {
    db::DataSet *ds = f.q;
    db::Field *field = nullptr;
    frGetDataSetAndField(names[reads % 3], ds, field);
    Variant v = frFieldValue(*field);
    benchmark::DoNotOptimize(v);
    if (++reads % 3 == 0) {
      f.src->Next();
      if (f.src->Eof()) f.src->First();
    }
  }
  state.SetItemsProcessed(reads);
}
BENCHMARK(BM_FieldReadsUncached)->Iterations(100000);

}  // namespace

int main(int argc, char **argv) { return bench::RunBenchmarks<QCoreApplication>(argc, argv); }
