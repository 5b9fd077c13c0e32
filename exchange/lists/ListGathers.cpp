#include "exchange/lists/ListGathers.h"

#include "app/SharedState.h"
#include "app/Unit2.h"
#include "db/dataset.h"
#include "platform/conv.h"
#include "report/expr/FR_Values.h"

#include <QDateTime>
#include <QStringList>

namespace lists {

namespace {

// Names are ordered as Hungarian orders them: "Ábel" beside "Abel", "Öreg"
// after every "O", lower case beside upper case. The groups stay those of the
// exact texts ("Búza" and "búza" apart).
const QString kHungarian = QStringLiteral("COLLATE HUN_ABC");

// Closes q and puts the statement lines into it.
void prepare(db::Query *q, const QStringList &lines) {
  q->setSql(lines);
}

void setText(db::Query *q, const char *name, const QString &value) {
  q->paramByName(QString::fromLatin1(name)).setString(value);
}

// The date range and the receiver are conditions on the header, so a line
// without one never counts: the statements join the lines to their headers
// (not the headers to the lines left-outer), which lets the date index of
// the headers choose the tickets of the range instead of every line being
// read. A line whose producer is missing still counts (left join).
void setRange(db::Query *q, const Range &range) {
  q->paramByName(QStringLiteral("p1")).setDateTime(QDateTime(range.from, QTime(0, 0)));
  q->paramByName(QStringLiteral("p2")).setDateTime(QDateTime(range.to, QTime(0, 0)));
  setText(q, "p3", range.receiver);
}

// Whether a column's trimmed text is digits only. Each digit is replaced
// away: the engine's pattern match costs more than the grouping it orders.
QString digitsOnly(const QString &column) {
  QString rest = QStringLiteral("TRIM(%1)").arg(column);
  for (char d = '0'; d <= '9'; ++d)
    rest = QStringLiteral("REPLACE(%1, '%2', '')").arg(rest).arg(QLatin1Char(d));
  return QStringLiteral("(TRIM(%1) <> '' AND %2 = '')").arg(column, rest);
}

QString dateRange(const Range &range) {
  return range.byPayment ? QStringLiteral("(f_fizkelt >= :p1) AND (f_fizkelt <= :p2)")
                         : QStringLiteral("(f_felvkelt >= :p1) AND (f_felvkelt <= :p2)");
}

// The first row's column as a number; 0 without rows or for null.
double firstValue(db::Query *q, const char *column) {
  q->first();
  if (q->isEmpty()) return 0;
  const db::Field &f = q->fieldByName(QString::fromLatin1(column));
  return f.isNull() ? 0 : f.asFloat();
}

// The total of the range in ZQ80, as text; receiverColumn names the column
// the receiver filter applies to.
QString rangeTotal(const Range &range, const QString &receiverColumn) {
  db::Query *q = Data->ZQ80;
  prepare(q, {QStringLiteral("SELECT s_akod, SUM(s_vetelar) AS m_osszesen FROM QZFEJ JOIN QZSOR ON s_bszam = f_bszam"),
              QStringLiteral("WHERE %1 AND (%2 = :p3) GROUP BY s_akod").arg(dateRange(range), receiverColumn)});
  setRange(q, range);
  q->open();
  return NumberText(firstValue(q, "M_OSSZESEN"));
}

// A list's average price: the purchase prices over the quantities, as the
// decimal of the unit price's four places (halves away from zero), the same
// in every month; empty when the quantities sum to 0. The quotient's first
// six places are taken before the four, so no binary digit decides a half.
const QString kAveragePrice = QStringLiteral(
    "CAST(CAST(sum(QZSOR.s_felvar)/NULLIF(sum(QZSOR.s_netto), 0) AS NUMERIC(18,6)) AS NUMERIC(18,4)) as v_atlar,");

// An amount as its row prints it (to the fillér), for a total that equals
// the sum of its printed rows.
long double printed(const db::Field &f) { return f.isNull() ? 0 : report::frRoundDecimal(f.asFloat(), 2); }

// The list sources take the range as it was at the gather.
void keepRange(const Range &range) { Data->ListaSzuro = {range.byPayment, range.from, range.to, range.receiver}; }

}  // namespace

QString NumberText(double value) { return platform::FloatToStr(value); }

QString GatherProducts(const Range &range) {
  const QString total = rangeTotal(range, QStringLiteral("f_akod"));
  db::Query *q = Data->ZQ20;
  prepare(q, {QStringLiteral("SELECT s_megnevezes, SUM(s_netto) AS mennyiseg, SUM(s_vetelar) AS kifizetett"),
              QStringLiteral("FROM QZFEJ JOIN QZSOR ON s_bszam = f_bszam LEFT JOIN OSTERMELO ON f_ostermkod = o_kod"),
              QStringLiteral("WHERE %1 AND (f_akod = :p3)").arg(dateRange(range)),
              QStringLiteral("GROUP BY s_megnevezes ORDER BY s_megnevezes ") + kHungarian});
  setRange(q, range);
  q->open();
  keepRange(range);
  // The first product's name and lines, as the list's first group. The
  // print reads every line of the range when it builds the list; the gather
  // reads only these.
  q->first();
  ListaTermekNev = q->eof() ? QString() : q->fieldByName(QStringLiteral("S_MEGNEVEZES")).asString();
  db::Query *lines = Data->ZQ21;
  prepare(lines, {QStringLiteral("SELECT * FROM QZSOR JOIN QZFEJ ON s_bszam = f_bszam LEFT JOIN OSTERMELO ON "
                                 "f_ostermkod = o_kod"),
                  QStringLiteral("WHERE (s_megnevezes = :p0) AND %1 AND (f_akod = :p3)").arg(dateRange(range)),
                  QStringLiteral("ORDER BY s_bszam")});
  setText(lines, "p0", ListaTermekNev);
  setRange(lines, range);
  lines->open();
  return total;
}

QString GatherProducers(const Range &range) {
  const QString total = rangeTotal(range, QStringLiteral("s_akod"));
  db::Query *q = Data->ZQ20;
  prepare(q, {QStringLiteral("SELECT o_kod, o_nev, SUM(s_vetelar) AS nevosszesen"),
              QStringLiteral("FROM QZFEJ JOIN QZSOR ON s_bszam = f_bszam LEFT JOIN OSTERMELO ON f_ostermkod = o_kod"),
              QStringLiteral("WHERE %1 AND (s_akod = :p3)").arg(dateRange(range)),
              QStringLiteral("GROUP BY o_kod, o_nev"),
              // Codes of digits by their numbers ("2" before "10"), others after them.
              QStringLiteral("ORDER BY IIF(%1, 0, 1), IIF(%1, CAST(TRIM(o_kod) AS BIGINT), NULL), o_kod ")
                      .arg(digitsOnly(QStringLiteral("o_kod"))) +
                  kHungarian});
  setRange(q, range);
  q->open();
  keepRange(range);
  return total;
}

void SeedProducerGroup() { Data->frUserDataset3First(nullptr); }

ProducerTotals GatherProducerMonths(const QString &producerCode, const QString &receiver, bool detailed) {
  db::Query *q = Data->ZQ11;
  const QString line = detailed ? QStringLiteral("QZSOR.id_QZSOR, ") : QString();
  prepare(q, {QStringLiteral("select ") + line +
                  QStringLiteral("QZFEJ.f_ostermkod, OSTERMELO.o_nev, extract(month from QZFEJ.f_felvkelt) as ho, "
                                 "QZSOR.s_megnevezes,"),
              QStringLiteral("sum(QZSOR.s_netto) as v_menny, sum(QZSOR.s_felvar) as v_felvar,"),
              kAveragePrice,
              QStringLiteral("sum(QZSOR.s_kompfelar) as v_felar, sum(QZSOR.s_vetelar) as v_vetelar"),
              QStringLiteral("from QZFEJ left join QZSOR on QZFEJ.f_bszam = QZSOR.s_bszam left join OSTERMELO on "
                             "QZFEJ.f_ostermkod = OSTERMELO.o_kod"),
              QStringLiteral("WHERE (QZFEJ.f_ostermkod = :p1) AND (f_akod = :p2)"),
              QStringLiteral("group by ") + line +
                  QStringLiteral("QZFEJ.f_ostermkod, OSTERMELO.o_nev, extract(month from QZFEJ.f_felvkelt), "
                                 "QZSOR.s_megnevezes"),
              QStringLiteral("order by extract(month from QZFEJ.f_felvkelt), QZSOR.s_megnevezes ") + kHungarian +
                  (detailed ? QStringLiteral(", QZSOR.id_QZSOR") : QString())});
  setText(q, "p1", producerCode);
  setText(q, "p2", receiver);
  q->open();
  // The producer's totals are the sums of the rows as they print.
  long double felvar = 0, felar = 0, vetelar = 0;
  const db::Field &f1 = q->fieldByName(QStringLiteral("V_FELVAR"));
  const db::Field &f2 = q->fieldByName(QStringLiteral("V_FELAR"));
  const db::Field &f3 = q->fieldByName(QStringLiteral("V_VETELAR"));
  for (q->first(); !q->eof(); q->next()) {
    felvar += printed(f1);
    felar += printed(f2);
    vetelar += printed(f3);
  }
  q->first();  // shown from the first row, as every list
  return {static_cast<double>(felvar), static_cast<double>(felar), static_cast<double>(vetelar)};
}

QString GatherCash(const QString &receiver, bool detailed) {
  db::Query *q = Data->ZQ11;
  if (detailed)
    prepare(q, {QStringLiteral("select QZFEJ.f_fizkelt, QZSOR.s_megnevezes, sum(QZSOR.s_vetelar) as v_kifiz2"),
                QStringLiteral("from QZFEJ left join QZSOR on QZFEJ.f_bszam = QZSOR.s_bszam"),
                QStringLiteral("where (QZFEJ.f_utal <> :p2) AND (f_akod = :p1)"),
                QStringLiteral("group by QZFEJ.f_fizkelt, QZSOR.s_megnevezes"),
                QStringLiteral("order by QZFEJ.f_fizkelt, QZSOR.s_megnevezes ") + kHungarian});
  else
    prepare(q, {QStringLiteral("select QZFEJ.f_fizkelt, sum(QZFEJ.f_muvktg) as v_kifiz1"), QStringLiteral("from QZFEJ"),
                QStringLiteral("where (QZFEJ.f_utal <> :p2) AND (f_akod = :p1)"),
                QStringLiteral("group by QZFEJ.f_fizkelt")});
  setText(q, "p1", receiver);
  setText(q, "p2", QStringLiteral("x"));
  q->open();
  long double total = 0;
  const db::Field &amount = q->fieldByName(detailed ? QStringLiteral("V_KIFIZ2") : QStringLiteral("V_KIFIZ1"));
  for (q->first(); !q->eof(); q->next()) total += printed(amount);
  q->first();  // shown from the first row, as every list
  return NumberText(static_cast<double>(total));
}

StatisticsTotals GatherStatistics(const QString &receiver, bool overall) {
  db::Query *q = Data->ZQ11;
  const QString month = overall ? QString() : QStringLiteral(" extract(month from QZFEJ.f_felvkelt) as ho,");
  prepare(q, {QStringLiteral("select QZSOR.s_megnevezes,") + month,
              QStringLiteral("sum(QZSOR.s_netto) as v_menny,"), kAveragePrice,
              QStringLiteral("sum(QZSOR.s_felvar) as v_felvar, sum(QZSOR.s_vetelar) as v_kifiz"),
              QStringLiteral("from QZFEJ join QZSOR on QZFEJ.f_bszam = QZSOR.s_bszam"),
              QStringLiteral("where QZFEJ.f_akod = :p1"),
              overall ? QStringLiteral("group by QZSOR.s_megnevezes")
                      : QStringLiteral("group by QZSOR.s_megnevezes, extract(month from QZFEJ.f_felvkelt)"),
              QStringLiteral("order by QZSOR.s_megnevezes ") + kHungarian +
                  (overall ? QString() : QStringLiteral(", extract(month from QZFEJ.f_felvkelt)"))});
  setText(q, "p1", receiver);
  q->open();
  // The receiver's totals are the sums of the breakdown's groups as they
  // print: the same lines, read once instead of twice (every line's amounts
  // are computed columns, and the read of all lines is what the gather costs).
  long double felvar = 0, kifiz = 0;
  const db::Field &f1 = q->fieldByName(QStringLiteral("V_FELVAR"));
  const db::Field &f2 = q->fieldByName(QStringLiteral("V_KIFIZ"));
  for (q->first(); !q->eof(); q->next()) {
    felvar += printed(f1);
    kifiz += printed(f2);
  }
  q->first();  // shown from the first row, as every list
  return {static_cast<double>(felvar), static_cast<double>(kifiz)};
}

}  // namespace lists
