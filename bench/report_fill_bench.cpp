// Building a 10,000-record list (page header, six fields a line, page footer
// "Page N of TOTALPAGES"; about 200 pages): from an in-memory source in one
// and two passes, and from a Firebird query through a database data source,
// beside the bare walk of the same query through db/. Pages per second and
// the peak memory of the process. A cross-tab beside the same grid laid out
// without cross bands.
#include "db/connection.h"
#include "db/dataset.h"
#include "db/schema.h"
#include "db/transaction.h"
#include "support/db_fixture.h"
#include "report/core/FR_Class_Band.h"
#include "report/core/FR_Class_Build.h"
#include "report/data/FR_DBSet.h"
#include "report/data/FR_DSet.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <memory>

#include "bench/support/bench_main.h"

using namespace report;

namespace {

constexpr int kRecords = 10000;

double peakMB() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_maxrss) / 1024.0;
}

// The list layout: fields named by the caller (plain names or Dataset."Field").
void listLayout(TfrReport &r, const QString &source, const QStringList &fields) {
  TfrReport src;
  TfrPage *p = src.Pages.Add();
  p->UseMargins = false;
  auto band = [&](int type, int y, int dy, const QString &ds, quint16 flags) {
    auto v = std::make_unique<TfrBandView>();
    v->SetBandType(type);
    v->y = y;
    v->dx = 700;
    v->dy = dy;
    v->FormatStr = ds;
    v->Flags = flags;
    p->Add(std::move(v));
  };
  auto memo = [&](int x, int y, int dx, const QString &text) {
    auto v = std::make_unique<TfrMemoView>();
    v->x = x;
    v->y = y;
    v->dx = dx;
    v->dy = 18;
    v->Memo = QStringList{text};
    v->Flags = 0;
    p->Add(std::move(v));
  };
  band(btPageHeader, 0, 30, {}, flBandOnFirstPage);
  memo(0, 0, 400, QStringLiteral("Lista"));
  band(btMasterData, 40, 20, source, 0);
  for (int i = 0; i < fields.size(); ++i) memo(i * 110, 40, 105, QLatin1Char('[') + fields[i] + QLatin1Char(']'));
  band(btPageFooter, 1000, 30, {}, flBandOnFirstPage | flBandOnLastPage);
  memo(0, 1000, 300, QStringLiteral("Page [PAGE#] of [TOTALPAGES]"));
  r.LoadFromBytes(src.SaveToBytes());
}

struct Memory {
  QObject owner;
  TfrUserDataset *ds;
  TfrReport rep;
  std::vector<QString> names;
  Memory() {
    owner.setObjectName(QStringLiteral("Data"));
    ds = new TfrUserDataset(&owner);
    ds->setObjectName(QStringLiteral("Lines"));
    ds->RangeEnd = reCount;
    ds->RangeEndCount = kRecords;
    for (int i = 0; i < kRecords; ++i) names.push_back(QStringLiteral("Termék %1").arg(i));
    rep.ShowProgress = false;
    rep.OnGetValue = [this](const QString &n, Variant &v) {
      const int i = std::min(ds->RecNo, kRecords - 1);
      if (n == QLatin1String("Name")) v = Variant(names[size_t(i)]);
      else if (n == QLatin1String("Code")) v = Variant(i);
      else if (n == QLatin1String("Qty")) v = Variant((i % 97) * 1.5);
      else if (n == QLatin1String("Price")) v = Variant(static_cast<long double>(212.5));
      else if (n == QLatin1String("Unit")) v = Variant(QStringLiteral("kg"));
      else if (n == QLatin1String("Serial")) v = Variant(QStringLiteral("2500%1").arg(i));
      else return false;
      return true;
    };
    listLayout(rep, QStringLiteral("Lines"),
               {QStringLiteral("Serial"), QStringLiteral("Code"), QStringLiteral("Name"), QStringLiteral("Qty"),
                QStringLiteral("Unit"), QStringLiteral("Price")});
  }
};

// The report built once an iteration; its page count and pages built a second.
void buildEachIteration(benchmark::State &state, TfrReport &rep) {
  std::int64_t pages = 0;
  for (auto _ : state) {
    rep.PrepareReport();
    pages += rep.EMFPages->Count();
  }
  state.counters["pages"] = rep.EMFPages->Count();
  state.counters["pages/s"] = benchmark::Counter(static_cast<double>(pages), benchmark::Counter::kIsRate);
}

void buildMemory(benchmark::State &state, bool twoPass) {
  Memory m;
  frSetReportOwner(&m.owner);
  m.rep.DoublePass = twoPass;
  buildEachIteration(state, m.rep);
  state.counters["peak_MB"] = peakMB();
  frSetReportOwner(nullptr);
}

void BM_ListOnePassMemory(benchmark::State &state) { buildMemory(state, false); }
void BM_ListTwoPassMemory(benchmark::State &state) { buildMemory(state, true); }

// One database per process, filled once; it lives until exit: the engine
// outlives the benchmarks.
vorik::test::TestDatabase &database() {
  static auto *d = [] {
    auto *t = new vorik::test::TestDatabase;
    vorik::test::insertTicketLines(t->transaction(), 4);
    return t;
  }();
  return *d;
}

const char *const kSelect = "SELECT * FROM QZSOR";
const QStringList kColumns{QStringLiteral("S_BSZAM"),   QStringLiteral("S_TERMEKKOD"),
                           QStringLiteral("S_MEGNEVEZES"), QStringLiteral("S_BRUTTO"),
                           QStringLiteral("S_NETTO"),   QStringLiteral("S_VETELAR")};

void BM_ListFirebird(benchmark::State &state) {
  vorik::test::TestDatabase &d = database();
  QObject owner;
  owner.setObjectName(QStringLiteral("Data"));
  auto *q = new db::Query(&owner);
  q->setObjectName(QStringLiteral("ZQ20"));
  q->setTransaction(&d.transaction());
  q->sql().add(QString::fromLatin1(kSelect));
  auto *src = new TfrDBDataSet(&owner);
  src->setObjectName(QStringLiteral("frDBDataSet1"));
  src->SetDataSet(q);
  src->CloseDataSource = true;  // each build opens (runs) the query again
  frSetReportOwner(&owner);
  TfrReport rep;
  rep.ShowProgress = false;
  listLayout(rep, QStringLiteral("frDBDataSet1"), kColumns);
  buildEachIteration(state, rep);
  state.counters["peak_MB"] = peakMB();
  frSetReportOwner(nullptr);
}

// The same query opened and walked through db/, reading the same six fields.
void BM_WalkFirebird(benchmark::State &state) {
  vorik::test::TestDatabase &d = database();
  db::Query q;
  q.setTransaction(&d.transaction());
  q.sql().add(QString::fromLatin1(kSelect));
  std::int64_t rows = 0;
  qsizetype sink = 0;
  for (auto _ : state) {
    q.open();
    std::vector<db::Field *> f;
    for (const QString &c : kColumns) f.push_back(&q.fieldByName(c));
    for (q.first(); !q.eof(); q.next()) {
      for (db::Field *x : f) sink += x->asString().size();
      ++rows;
    }
    q.close();
  }
  benchmark::DoNotOptimize(sink);
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}

// A cross-tab of 2,000 rows by 8 columns from in-memory sources: a header
// row of column names, a row band with a name, a cell per column and a row
// total, and a footer row of column sums. Beside it the same 10 texts a row
// laid out as plain objects, without cross bands.
void crossBuild(benchmark::State &state, bool cross) {
  constexpr int kRows = 2000, kCols = 8;
  QObject owner;
  owner.setObjectName(QStringLiteral("Data"));
  auto *rows = new TfrUserDataset(&owner);
  rows->setObjectName(QStringLiteral("Rows"));
  rows->RangeEnd = reCount;
  rows->RangeEndCount = kRows;
  auto *cols = new TfrUserDataset(&owner);
  cols->setObjectName(QStringLiteral("Cols"));
  cols->RangeEnd = reCount;
  cols->RangeEndCount = kCols;
  frSetReportOwner(&owner);
  TfrReport rep;
  rep.ShowProgress = false;
  rep.OnGetValue = [&](const QString &n, Variant &v) {
    if (n == QLatin1String("Row")) v = Variant(QStringLiteral("Sor %1").arg(rows->RecNo + 1));
    else if (n == QLatin1String("Col")) v = Variant(QStringLiteral("Osz %1").arg(cols->RecNo + 1));
    else if (n == QLatin1String("Cell")) v = Variant((rows->RecNo + 1) * (cols->RecNo + 1));
    else if (n == QLatin1String("Total")) v = Variant((rows->RecNo + 1) * kCols * (kCols + 1) / 2);
    else return false;
    return true;
  };
  TfrReport src;
  TfrPage *p = src.Pages.Add();
  p->UseMargins = false;
  auto band = [&](int type, int x, int dx, int y, int dy, const QString &ds) {
    auto v = std::make_unique<TfrBandView>();
    v->SetBandType(type);
    v->x = x, v->dx = dx, v->y = y, v->dy = dy;
    v->FormatStr = ds;
    v->Flags = 0;
    p->Add(std::move(v));
  };
  auto memo = [&](int x, int y, int dx, const QString &text) {
    auto v = std::make_unique<TfrMemoView>();
    v->x = x, v->y = y, v->dx = dx, v->dy = 18;
    v->Memo = QStringList{text};
    v->Flags = 0;
    p->Add(std::move(v));
  };
  band(btMasterHeader, 0, 700, 0, 20, {});
  band(btMasterData, 0, 700, 40, 20, QStringLiteral("Rows"));
  band(btMasterFooter, 0, 700, 80, 20, {});
  const QStringList texts[3] = {{QStringLiteral("Név"), QStringLiteral("[Col]"), QStringLiteral("Össz")},
                                {QStringLiteral("[Row]"), QStringLiteral("[Cell]"), QStringLiteral("[Total]")},
                                {QStringLiteral("Össz"), QStringLiteral("[SUM([Cell])]"), QStringLiteral("[SUM([Total])]")}};
  if (cross) {
    band(btCrossHeader, 0, 100, 0, 100, {});
    band(btCrossData, 100, 60, 0, 100, QStringLiteral("Cols"));
    band(btCrossFooter, 200, 80, 0, 100, {});
    for (int r = 0; r < 3; ++r) {
      memo(0, r * 40, 100, texts[r][0]);
      memo(100, r * 40, 60, texts[r][1]);
      memo(200, r * 40, 80, texts[r][2]);
    }
  } else {
    for (int r = 0; r < 3; ++r) {
      memo(0, r * 40, 100, texts[r][0]);
      for (int c = 0; c < kCols; ++c) memo(100 + c * 60, r * 40, 60, texts[r][1]);
      memo(100 + kCols * 60, r * 40, 80, texts[r][2]);
    }
  }
  rep.LoadFromBytes(src.SaveToBytes());
  buildEachIteration(state, rep);
  frSetReportOwner(nullptr);
}

void BM_CrossTabMemory(benchmark::State &state) { crossBuild(state, true); }
void BM_PlainGridMemory(benchmark::State &state) { crossBuild(state, false); }

BENCHMARK(BM_ListOnePassMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CrossTabMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainGridMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListTwoPassMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListFirebird)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkFirebird)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv) { return bench::RunBenchmarks<QCoreApplication>(argc, argv); }
