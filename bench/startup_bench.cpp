// Process start to main window shown (splash interval 0) against a database
// of 10,000 or 100,000 tickets with three lines each, the share of that time
// spent in the database attach, and the main window's resident memory then
// (and its peak so far). Each run is a fresh process: this program started
// again with --child, which reports when its main window is shown.
#include "app/About.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/schema.h"
#include "db/transaction.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <utility>
#include <vector>

namespace {

std::int64_t monotonicNs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// The working folder with its database of tickets (at most 100,000) and
// three times as many lines, filled once per process.
struct Workdir {
  QTemporaryDir dir;
  explicit Workdir(int tickets) {
    const QString path = dir.filePath(QStringLiteral("qz2025.fdb"));
    db::createDatabase(path, db::schemaScript());
    db::Connection con;
    db::Transaction trans;
    con.setDatabaseName(path);
    con.setParams(db::defaultConnectionParams());
    trans.setConnection(&con);
    con.setDefaultTransaction(&trans);
    con.open();
    db::Query q;
    q.setTransaction(&trans);
    // The first numbers from five crossed digit tables.
    QString digits = QStringLiteral("(SELECT 0 AS n FROM rdb$database");
    for (int d = 1; d <= 9; ++d)
      digits += QStringLiteral(" UNION ALL SELECT %1 FROM rdb$database").arg(d);
    digits += QLatin1Char(')');
    const QString numbers = QStringLiteral(
                                "(SELECT FIRST %2 a.n + 10 * b.n + 100 * c.n + 1000 * d.n + 10000 * e.n AS x "
                                "FROM %1 a, %1 b, %1 c, %1 d, %1 e)")
                                .arg(digits)
                                .arg(tickets);
    q.sql().add(QStringLiteral("INSERT INTO atvevo (v_akod, v_neve) VALUES ('00001', 'Teszt Kft.')"));
    q.execute();
    q.sql().clear();
    q.sql().add(QStringLiteral("INSERT INTO qzfej (f_bszam, f_ostermkod, f_kelt, f_felvkelt, f_fizkelt,"));
    q.sql().add(QStringLiteral("  f_utal, f_prn, f_szja, f_jarulszaz, f_levonas, f_akod, f_muvktg, f_tipus, f_sumvar)"));
    q.sql().add(QStringLiteral("SELECT LPAD(25000001 + x, 8, '0'), LPAD(MOD(x, 500) + 1, 5, '0'),"));
    q.sql().add(QStringLiteral("  DATE '2025-01-01' + MOD(x, 365), DATE '2025-01-01' + MOD(x, 365),"));
    q.sql().add(QStringLiteral("  DATE '2025-01-09' + MOD(x, 365), 'x', 'I', 15, 0.5, 0, '00001', 10000, '1', 12000"));
    q.sql().add(QStringLiteral("FROM ") + numbers + QStringLiteral(" t"));
    q.execute();
    q.sql().clear();
    q.sql().add(QStringLiteral("INSERT INTO qzsor ( s_bszam, s_termekkod, s_megnevezes, s_vtsz, s_levonszaz,"));
    q.sql().add(QStringLiteral("  s_brutto, s_megy, s_ear, s_kompmerteke, s_akod, s_bizonylat )"));
    q.sql().add(QStringLiteral("SELECT LPAD(25000001 + x, 8, '0'), '00012', 'Őszibarack I. osztály', '0809',"));
    q.sql().add(QStringLiteral("  5, 100 + MOD(x, 997), 'kg', 212.5, 12, '00001', ''"));
    q.sql().add(QStringLiteral("FROM ") + numbers + QStringLiteral(" t, ") +
                QStringLiteral("(SELECT 1 AS k FROM rdb$database UNION ALL SELECT 2 FROM rdb$database "
                               "UNION ALL SELECT 3 FROM rdb$database) r"));
    q.execute();
    trans.commit();
    for (const auto &[table, rows] : {std::pair{"qzfej", tickets}, std::pair{"qzsor", 3 * tickets}}) {
      q.close();
      q.sql().clear();
      q.sql().add(QStringLiteral("SELECT COUNT(*) AS n FROM ") + QLatin1String(table));
      q.open();
      if (q.fieldByName(QStringLiteral("N")).asInteger() != rows) std::abort();
    }
    trans.commit();
    con.close();
  }
};

// A "Vm...:" line of this process's status in KiB (0 when not there).
long long statusKiB(const char *name) {
  QFile f(QStringLiteral("/proc/self/status"));
  if (!f.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray &line : f.readAll().split('\n'))
    if (line.startsWith(name))
      return line.mid(static_cast<qsizetype>(std::strlen(name))).trimmed().split(' ').value(0).toLongLong();
  return 0;
}

// Child: the start-up as the program runs it, reporting "<shown> <attach>
// <splash, data module, attach and table opens>" in nanoseconds, the first
// from the parent's clock reading before the start, then the resident
// memory and its peak in KiB.
int runChild(int argc, char **argv) {
  const std::int64_t t0 = std::strtoll(argv[3], nullptr, 10);
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Vorik"));
  QDir::setCurrent(QString::fromLocal8Bit(argv[2]));
  TAboutBox::SetInterval(0);
  const std::int64_t created = monotonicNs();
  TForm1 form;
  const std::int64_t formCreate = monotonicNs() - created;
  if (form.StartupFailed()) return 2;
  form.show();
  QCoreApplication::processEvents();
  const std::int64_t shown = monotonicNs() - t0;
  std::printf("%lld %lld %lld %lld %lld\n", static_cast<long long>(shown),
              static_cast<long long>(form.AttachTime().count()), static_cast<long long>(formCreate),
              statusKiB("VmRSS:"), statusKiB("VmHWM:"));
  std::fflush(stdout);
  form.close();
  return 0;
}

double median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void BM_StartupToMainWindow(benchmark::State &state) {
  // Kept to the end: the children run against them.
  static std::map<int, Workdir *> works;
  const int tickets = static_cast<int>(state.range(0));
  Workdir *&work = works[tickets];
  if (!work) work = new Workdir(tickets);
  std::vector<double> shownMs, attachMs, createMs, rssMiB, hwmMiB;
  for (auto _ : state) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!env.contains(QStringLiteral("FIREBIRD")))
      env.insert(QStringLiteral("FIREBIRD"), QStringLiteral(VORIK_FBROOT));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
    const std::int64_t t0 = monotonicNs();
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--child"), work->dir.path(), QString::number(t0)});
    if (!child.waitForFinished(60000) || child.exitCode() != 0) {
      state.SkipWithError("the start-up failed");
      break;
    }
    const QList<QByteArray> parts = child.readAllStandardOutput().trimmed().split(' ');
    if (parts.size() != 5) {
      state.SkipWithError("no timing from the child");
      break;
    }
    const double shown = parts[0].toDouble() / 1e6;
    shownMs.push_back(shown);
    attachMs.push_back(parts[1].toDouble() / 1e6);
    createMs.push_back(parts[2].toDouble() / 1e6);
    rssMiB.push_back(parts[3].toDouble() / 1024);
    hwmMiB.push_back(parts[4].toDouble() / 1024);
    state.SetIterationTime(shown / 1000);
  }
  const double med = median(shownMs);
  state.counters["median_ms"] = med;
  state.counters["attach_median_ms"] = median(attachMs);
  state.counters["formcreate_median_ms"] = median(createMs);
  state.counters["attach_share_%"] = med > 0 ? 100 * median(attachMs) / med : 0;
  state.counters["rss_MiB"] = median(rssMiB);
  state.counters["hwm_MiB"] = median(hwmMiB);
}

}  // namespace

BENCHMARK(BM_StartupToMainWindow)
    ->Arg(10000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

int main(int argc, char **argv) {
  if (argc == 4 && std::strcmp(argv[1], "--child") == 0) return runChild(argc, argv);
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
