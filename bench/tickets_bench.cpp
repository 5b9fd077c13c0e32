// Ticket list and ticket save with 1,000 and with 100,000 tickets of the
// receiver (the first argument), so that the two sizes compare in one run:
// opening the list (query, and the list window), saving a new ticket
// (checks, recomputation, header insert with the counter update, commit), and
// a modification's OK from the list's first row; what the lists read on
// Ctrl+End (the rows they then hold) and the export's gather of one month,
// whose tickets are the same 300 at either size.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDateTime>
#include <QMessageBox>
#include <QTimer>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>

#include <array>
#include <memory>

#include "app/SharedState.h"
#include "app/producers/Unit4.h"
#include "app/Unit2.h"
#include "app/tickets/TicketQueries.h"
#include "app/tickets/TicketState.h"
#include "app/tickets/Unit8.h"
#include "app/tickets/Unit9.h"
#include "app/tickets/Unit39.h"
#include "bench/support/bench_main.h"
#include "bench/support/bench_world.h"
#include "bench/support/grid_steps.h"
#include "db/dataset.h"
#include "db/transaction.h"
#include "exchange/excel/Unit20.h"

namespace {

template <int kTickets>
struct World : bench::Database {
  World() : bench::Database(QStringLiteral("qz2025.fdb")) {
    addReceiver();
    AtvevoNyilatk = QStringLiteral("Nyilatkozat");
    // The tickets, each with one line, numbered 25000001 upwards: a cross
    // join of five digit rows gives the 100,000 numbers. The first 300 were
    // bought and paid in February, the rest in March.
    addDigits();
    const QString numbers = bench::DigitNumbers(25000001, kTickets);
    // 1,000 producers in 100 towns; the tickets are spread over them.
    run(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV, O_SZJA, O_FHAT, O_FELIR, O_IRSZAM, "
                       "O_HELYSEGNEV, O_UTCA, O_ADOSZAM) SELECT LPAD(i, 5, '0'), 'Termelő ' || (i - 1), "
                       "15, 0, 'AB1234567', '6000', 'Város ' || MOD(i, 100), 'Fő utca 1.', LPAD(i, 11, '0') "
                       "FROM (") +
        bench::DigitNumbers(1, 1000) + QStringLiteral(")"));
    run(QStringLiteral("INSERT INTO QZFEJ (F_BSZAM, F_AKOD, F_OSTERMKOD, F_KELT, F_FELVKELT, "
                       "F_FIZKELT, F_UTAL, F_SZJA, F_JARULSZAZ, F_LEVONAS, F_TIPUS, F_MUVKTG, "
                       "F_SUMVAR) SELECT CAST(i AS VARCHAR(8)), 'B0001', LPAD(1 + MOD(i, 1000), 5, "
                       "'0'), '2025-03-01', IIF(i <= 25000300, '2025-02-01', '2025-03-01'), "
                       "IIF(i <= 25000300, '2025-02-01', '2025-03-01'), ' ', 15, 0, 0, '1', 850, 1000 "
                       "FROM (") +
        numbers + QStringLiteral(")"));
    run(QStringLiteral("INSERT INTO QZSOR (S_BSZAM, S_MEGNEVEZES, S_VTSZ, S_BRUTTO, S_MEGY, "
                       "S_EAR, S_KOMPMERTEKE, S_AKOD, S_LEVONSZAZ) SELECT CAST(i AS VARCHAR(8)), "
                       "'alma', '0808', 10, 'kg', 100, 0, 'B0001', 0 FROM (") +
        numbers + QStringLiteral(")"));
    run(QStringLiteral("INSERT INTO SORSZAM (A_AKOD, A_QZBSZAM) VALUES ('B0001', '%1')")
            .arg(25000000 + kTickets));
  }
};

// The database of n tickets (1,000 or 100,000), made the current one.
bench::Database &world(int n) {
  if (n == 1000) return bench::Shared<World<1000>>();
  return bench::Shared<World<100000>>();
}

void sizes(benchmark::internal::Benchmark *b) { b->Arg(1000)->Arg(100000); }

void BM_OpenTicketListQuery(benchmark::State &state) {
  const int tickets = static_cast<int>(state.range(0));
  world(tickets);
  for (auto _ : state) {
    TicketQueries::openTicketList();
    benchmark::DoNotOptimize(Data->ZQ10->recordCount());
  }
  state.counters["rows"] = Data->ZQ10->recordCount();
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(Data->ZQ10->recordCount()),
                                                benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_OpenTicketListQuery)->Apply(sizes)->Unit(benchmark::kMillisecond);

// What a grid needs: the query executed and its first rows fetched.
void BM_OpenTicketListFirstRows(benchmark::State &state) {
  const int tickets = static_cast<int>(state.range(0));
  world(tickets);
  for (auto _ : state) {
    TicketQueries::openTicketList();
    benchmark::DoNotOptimize(Data->ZQ10->fieldByName(QStringLiteral("F_BSZAM")).asString());
  }
}
BENCHMARK(BM_OpenTicketListFirstRows)->Apply(sizes)->Unit(benchmark::kMillisecond);

// The re-read after a save: the list opened and positioned on the newest
// (last) serial.
void BM_OpenTicketListOnLastSerial(benchmark::State &state) {
  const int tickets = static_cast<int>(state.range(0));
  world(tickets);
  const QString last = QString::number(25000000 + tickets);
  for (auto _ : state) {
    TicketQueries::openTicketList(QStringLiteral("f_Bszam"), last);
    benchmark::DoNotOptimize(Data->ZQ10->recNo());
  }
}
BENCHMARK(BM_OpenTicketListOnLastSerial)->Apply(sizes)->Unit(benchmark::kMillisecond);

// The rank of the newest serial counted through the header index: the
// least an exact repositioning without reading the rows before it costs.
void BM_RankOfLastSerial(benchmark::State &state) {
  const int tickets = static_cast<int>(state.range(0));
  world(tickets);
  db::Query q;
  q.setTransaction(Data->IBTrans1);
  q.sql().add(QStringLiteral("SELECT COUNT(*) FROM QzFej WHERE f_akod = :p1 AND F_BSZAM < :p2"));
  for (auto _ : state) {
    q.paramByName(QStringLiteral("p1")).setString(AtvevoKod);
    q.paramByName(QStringLiteral("p2")).setString(QString::number(25000000 + tickets));
    q.open();
    benchmark::DoNotOptimize(q.field(0).asInteger());
  }
}
BENCHMARK(BM_RankOfLastSerial)->Apply(sizes)->Unit(benchmark::kMillisecond);

// The list window on a serial in the middle of the list (second argument 0)
// and on the newest serial, as after a save (1).
void BM_OpenTicketListWindow(benchmark::State &state) {
  const int tickets = static_cast<int>(state.range(0));
  world(tickets);
  UtolsoBszam = QString::number(25000000 + (state.range(1) == 1 ? tickets : tickets / 2));
  for (auto _ : state) {
    TForm8 list(nullptr);
    list.show();
    QApplication::processEvents();
    list.hide();
  }
}
BENCHMARK(BM_OpenTicketListWindow)->ArgsProduct({{1000, 100000}, {0, 1}})->Unit(benchmark::kMillisecond);

// The whole list wanted while the list stands on the newest serial: read
// from its first row through one cursor.
void BM_WholeTicketListFromTheNewest(benchmark::State &state) {
  const int tickets = static_cast<int>(state.range(0));
  world(tickets);
  const QString last = QString::number(25000000 + tickets);
  for (auto _ : state) {
    state.PauseTiming();
    TicketQueries::openTicketList(QStringLiteral("f_Bszam"), last);
    state.ResumeTiming();
    benchmark::DoNotOptimize(Data->ZQ10->recordCount());
  }
}
BENCHMARK(BM_WholeTicketListFromTheNewest)->Apply(sizes)->Unit(benchmark::kMillisecond);

// The shown list at each step (bench::RunGridSteps), opened on the newest
// serial.
void BM_TicketGridStep(benchmark::State &state) {
  const int tickets = static_cast<int>(state.range(0));
  world(tickets);
  UtolsoBszam = QString::number(25000000 + tickets);
  bench::RunGridSteps(
      state, [] { return std::make_unique<TForm8>(nullptr); }, [](TForm8 &list) { list.Search(); },
      {UtolsoBszam.left(7), UtolsoBszam}, {"2500000", UtolsoBszam.left(7)});
}
BENCHMARK(BM_TicketGridStep)->ArgsProduct({{1000, 100000}, {0, 1, 2, 3, 4}})->Unit(benchmark::kMillisecond);

// The producer's running totals that the entry's checks and recomputation
// read before a save (all of the producer's tickets, of every receiver).
void BM_ProducerTotals(benchmark::State &state) {
  world(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(TicketQueries::readProducerTotals(QStringLiteral("00007")));
}
BENCHMARK(BM_ProducerTotals)->Apply(sizes)->Unit(benchmark::kMillisecond);

// Second argument 1: the first save after start-up, with the six tables open as
// start-up leaves them (the save lets the half-read ones go).
void BM_SaveNewTicket(benchmark::State &state) {
  const int tickets = static_cast<int>(state.range(0));
  world(tickets);
  for (auto _ : state) {
    state.PauseTiming();
    JegyMod = kJegyModUj;
    auto f = std::make_unique<TForm9>(nullptr);
    f->StartNew();
    f->show();
    QApplication::processEvents();
    world(tickets).run(QStringLiteral("INSERT INTO QZSOR (S_BSZAM, S_MEGNEVEZES, S_VTSZ, S_BRUTTO, "
                               "S_MEGY, S_EAR, S_KOMPMERTEKE, S_AKOD, S_LEVONSZAZ) VALUES ('%1', "
                               "'alma', '0808', 10, 'kg', 100, 0, 'B0001', 0)")
                    .arg(f->Edit1->text()));
    f->Edit5->setText(QStringLiteral("00007"));
    f->frissit();
    if (state.range(1) == 1)
      for (db::Table *t :
           {Data->IBTable1, Data->IBTable2, Data->IBTable3, Data->IBTable4, Data->IBTable5, Data->IBTable6})
        t->open();
    state.ResumeTiming();
    f->Button6->click();  // checks, recomputation, save, list reopened
    state.PauseTiming();
    if (f->isVisible()) state.SkipWithError("the save did not go through");
    f.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_SaveNewTicket)->ArgsProduct({{1000, 100000}, {0, 1}})->Unit(benchmark::kMillisecond);

// Cancelling a printed ticket of 50 lines: the dialog's start (the hold on
// the numbering, the serial) and its OK (checks, the document, its lines, the
// link and the counter in one transaction, the list read again and
// positioned on the new document). The closing message box is answered at once.
// Second argument 1: the document's write alone (no list re-read, no message).
void BM_CancelTicketOf50Lines(benchmark::State &state) {
  const int tickets = static_cast<int>(state.range(0));
  world(tickets);
  TipusErvenytelenito = QStringLiteral("4");
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [] {
    if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) box->accept();
  });
  answer.start(0);
  int n = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const QString serial = QStringLiteral("24%1").arg(++n, 6, 10, QLatin1Char('0'));
    world(tickets).run(QStringLiteral("INSERT INTO QZFEJ (F_BSZAM, F_AKOD, F_OSTERMKOD, F_KELT, F_FELVKELT, "
                               "F_FIZKELT, F_UTAL, F_PRN, F_SZJA, F_JARULSZAZ, F_LEVONAS, F_TIPUS, "
                               "F_MUVKTG, F_SUMVAR) VALUES ('%1', 'B0001', '00007', '2025-03-01', "
                               "'2025-03-01', '2025-03-01', ' ', 'I', 15, 0, 0, '1', 42500, 50000)")
                    .arg(serial));
    world(tickets).run(QStringLiteral("INSERT INTO QZSOR (S_BSZAM, S_MEGNEVEZES, S_VTSZ, S_BRUTTO, S_MEGY, "
                               "S_EAR, S_KOMPMERTEKE, S_AKOD, S_LEVONSZAZ) SELECT '%1', 'alma', "
                               "'0808', 10 + a.n, 'kg', 100, 0, 'B0001', 0 FROM DIGITS a, DIGITS b "
                               "WHERE b.n < 5")
                    .arg(serial));
    TicketQueries::openTicketList(QStringLiteral("f_Bszam"), serial);
    ErvenytelenBszam = serial;
    state.ResumeTiming();
    auto f = std::make_unique<TForm39>(nullptr);
    if (!f->Start()) state.SkipWithError("the cancelling did not start");
    f->Edit6->setText(QStringLiteral("2025.03.02"));
    bool written = true;
    if (state.range(1) == 1)
      written = f->WriteDocument();
    else
      f->Button6->click();
    state.PauseTiming();
    if (!written || (state.range(1) == 0 && f->result() != QDialog::Accepted))
      state.SkipWithError("the cancelling did not go through");
    f.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_CancelTicketOf50Lines)->ArgsProduct({{1000, 100000}, {0, 1}})->Unit(benchmark::kMillisecond);

// A ticket modified through the entry dialog's OK while the list stands on
// its first row (Ctrl+Home, or another order just chosen): the UPDATE, the
// commit and the list read again on the ticket.
void BM_ModifyFromTheFirstRow(benchmark::State &state) {
  const int tickets = static_cast<int>(state.range(0));
  world(tickets);
  for (auto _ : state) {
    state.PauseTiming();
    TicketQueries::openTicketList(QStringLiteral("f_Bszam"), QString());
    JegyMod = kJegyModModositas;
    auto f = std::make_unique<TForm9>(nullptr);
    f->LoadTicket();
    f->show();
    QApplication::processEvents();
    state.ResumeTiming();
    f->Button6->click();
    state.PauseTiming();
    if (f->isVisible()) state.SkipWithError("the modification did not go through");
    f.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ModifyFromTheFirstRow)->Apply(sizes)->Unit(benchmark::kMillisecond);

// Ctrl+End in the producer list in an order (second argument: 0 name,
// 1 town, 2 tax number), from its first row; with the rows it then holds.
void BM_ProducerListEnd(benchmark::State &state) {
  world(static_cast<int>(state.range(0)));
  const QString order = QString::fromLatin1(std::array{"o_Nev", "O_HELYSEGNEV", "O_ADOSZAM"}[state.range(1)]);
  for (auto _ : state) {
    state.PauseTiming();
    OpenProducerList(order);
    state.ResumeTiming();
    Data->ZQ30->last();
  }
  state.counters["rows_held"] = Data->ZQ30->fetchedCount();
}
BENCHMARK(BM_ProducerListEnd)->ArgsProduct({{1000, 100000}, {0, 1, 2}})->Unit(benchmark::kMillisecond);

// The Excel export's "Kigyüjtés" of February by purchase date (second
// argument 0) and by payment date (1): the statement opened and read whole.
void BM_ExcelGatherOneMonth(benchmark::State &state) {
  world(static_cast<int>(state.range(0)));
  db::Query q;
  q.setTransaction(Data->IBTrans1);
  for (const QString &l : TicketLineSql(state.range(1) == 1)) q.sql().add(l);
  int rows = 0;
  for (auto _ : state) {
    q.close();
    q.paramByName(QStringLiteral("p1")).setDateTime(QDateTime(QDate(2025, 2, 1), QTime(0, 0)));
    q.paramByName(QStringLiteral("p2")).setDateTime(QDateTime(QDate(2025, 2, 28), QTime(0, 0)));
    q.paramByName(QStringLiteral("p3")).setString(QStringLiteral("B0001"));
    q.open();
    rows = q.recordCount();
  }
  state.counters["rows"] = rows;
}
BENCHMARK(BM_ExcelGatherOneMonth)->ArgsProduct({{1000, 100000}, {0, 1}})->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv) { return bench::RunBenchmarks<QApplication>(argc, argv); }
