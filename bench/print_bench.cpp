// Printing through the program's own layouts: a ticket of 10 lines from the
// "Megtekint" command to its first page drawn (layout load, queries, the
// two-pass build, the first page painted at screen scale), and the producer
// list of 20,000 producers built and its first page drawn.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <memory>

#include "app/SharedState.h"
#include "app/Unit2.h"
#include "app/producers/Unit4.h"
#include "app/tickets/TicketQueries.h"
#include "app/tickets/Unit8.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/schema.h"
#include "db/transaction.h"
#include "report/core/FR_Class_Build.h"
#include "report/output/FR_Canvas.h"
#include "report/output/FR_Class_EMFPages.h"
#include "tools/layouts/ProgramLayouts.h"

namespace {

constexpr int kProducers = 20000;

struct World {
  QTemporaryDir dir;
  std::unique_ptr<TData> data;
  int pagesShown = 0;

  World() {
    QDir::setCurrent(dir.path());
    for (const auto &layout : report::layouts::ProgramLayouts()) {
      report::TfrReport r;
      layout.build(r);
      r.SaveToFile(dir.filePath(layout.fileName));
    }
    const QString path = dir.filePath(QStringLiteral("qz2025.fdb"));
    db::createDatabase(path, db::schemaScript());
    data = std::make_unique<TData>(nullptr);
    Data->ZCon1->setDatabaseName(path);
    Data->ZCon1->open();
    AtvevoKod = QStringLiteral("B0001");
    TipusNormal = QStringLiteral("1");
    JegyVariant = QStringLiteral("A");
    run(QStringLiteral("INSERT INTO ATVEVO (V_AKOD, V_NEVE, V_IRSZAM, V_HELYSEG, V_UTCA) VALUES "
                       "('B0001', 'Átvevő Kft.', '6000', 'Kecskemét', 'Fő')"));
    run(QStringLiteral("CREATE TABLE DIGITS (N INTEGER)"));
    for (int i = 0; i < 10; ++i) run(QStringLiteral("INSERT INTO DIGITS VALUES (%1)").arg(i));
    run(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV, O_IRSZAM, O_HELYSEGNEV, O_UTCA, O_ADOAZON, "
                       "O_SZIDO, O_SZULHELY) SELECT LPAD(1 + a.n + 10 * b.n + 100 * c.n + 1000 * d.n + "
                       "10000 * e.n, 5, '0'), 'Termelő ' || (a.n + 10 * b.n + 100 * c.n + 1000 * d.n + "
                       "10000 * e.n), '6000', 'Kecskemét', 'Fő utca 1.', '8123456784', '1970-01-01', "
                       "'Szeged' FROM DIGITS a, DIGITS b, DIGITS c, DIGITS d, DIGITS e WHERE e.n < 2"));
    run(QStringLiteral("INSERT INTO QZFEJ (F_BSZAM, F_AKOD, F_OSTERMKOD, F_KELT, F_FELVKELT, F_FIZKELT, "
                       "F_UTAL, F_PRN, F_SZJA, F_JARULSZAZ, F_LEVONAS, F_NYILATK, F_TIPUS, F_MUVKTG, "
                       "F_SUMVAR) VALUES ('25000001', 'B0001', '00001', '2025-03-01', '2025-03-01', "
                       "'2025-03-09', 'x', ' ', 15, 2, 0, ' ', '1', 0, 0)"));
    run(QStringLiteral("INSERT INTO QZSOR (S_BSZAM, S_MEGNEVEZES, S_VTSZ, S_BRUTTO, S_MEGY, S_EAR, "
                       "S_KOMPMERTEKE, S_AKOD, S_LEVONSZAZ) SELECT '25000001', 'alma ' || n, '0808', "
                       "10 + n, 'kg', 100, 12, 'B0001', 0 FROM DIGITS"));
    // The preview: the first page painted at screen scale, as the window does.
    report::frShowPreview = [this](report::TfrReport &, std::unique_ptr<report::TfrEMFPages> pages,
                                   const QString &, bool) {
      report::TfrPageRec *rec = pages->GetPageRec(0);
      QImage img(rec->PrnInfo.pageWidth, rec->PrnInfo.pageHeight, QImage::Format_RGB32);
      img.fill(Qt::white);
      QPainter painter(&img);
      report::TfrPainterCanvas canvas(&painter);
      rec->Visible = true;
      pages->Draw(0, canvas, img.rect());
      pagesShown = pages->Count();
    };
  }

  void run(const QString &sql) {
    db::Query q;
    q.setTransaction(Data->IBTrans1);
    q.sql().add(sql);
    q.execute();
    Data->IBTrans1->commit();
  }
};

World &world() {
  static World w;
  return w;
}

void BM_TicketPreview10Lines(benchmark::State &state) {
  World &w = world();
  TForm8 form(nullptr);
  TicketQueries::openTicketList();
  for (auto _ : state) {
    NyomtatMod = QStringLiteral("Megtekint");
    form.PrintTicket();
  }
  state.counters["pages"] = w.pagesShown;
}
BENCHMARK(BM_TicketPreview10Lines)->Unit(benchmark::kMillisecond);

void BM_ProducerListPreview(benchmark::State &state) {
  World &w = world();
  TForm4 form(nullptr);
  for (auto _ : state) form.Button7Click();
  state.counters["producers"] = kProducers;
  state.counters["pages"] = w.pagesShown;
}
BENCHMARK(BM_ProducerListPreview)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  if (qEnvironmentVariableIsEmpty("FIREBIRD")) qputenv("FIREBIRD", VORIK_FBROOT);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
