#include "exchange/lists/ListGathers.h"

#include "app/SharedState.h"
#include "app/Unit2.h"
#include "db/dataset.h"
#include "platform/conv.h"

#include <QDateTime>
#include <QStringList>

namespace lists {

namespace {

// Names are ordered as Hungarian orders them: "Ábel" beside "Abel", "Öreg"
// after every "O", lower case beside upper case. The groups stay those of the
// exact texts ("Búza" and "búza" apart).
const QString kHungarian = QStringLiteral("COLLATE PXW_HUN");

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
  prepare(q, {QStringLiteral("select QZFEJ.f_ostermkod, sum(QZSOR.s_felvar) as v_felvar, sum(QZSOR.s_kompfelar) as "
                             "v_felar, sum(QZSOR.s_vetelar) as v_vetelar"),
              QStringLiteral("from QZFEJ left join QZSOR on QZFEJ.f_bszam = QZSOR.s_bszam"),
              QStringLiteral("WHERE (QZFEJ.f_ostermkod = :p1) AND (f_akod = :p2)"),
              QStringLiteral("group by QZFEJ.f_ostermkod")});
  setText(q, "p1", producerCode);
  setText(q, "p2", receiver);
  q->open();
  ProducerTotals totals{firstValue(q, "V_FELVAR"), firstValue(q, "V_FELAR"), firstValue(q, "V_VETELAR")};

  const QString line = detailed ? QStringLiteral("QZSOR.id_QZSOR, ") : QString();
  prepare(q, {QStringLiteral("select ") + line +
                  QStringLiteral("QZFEJ.f_ostermkod, OSTERMELO.o_nev, extract(month from QZFEJ.f_felvkelt) as ho, "
                                 "QZSOR.s_megnevezes,"),
              QStringLiteral("sum(QZSOR.s_netto) as v_menny, sum(QZSOR.s_felvar) as v_felvar,"),
              // A quantity summing to 0 (a ticket and its cancelling
              // document) leaves the average empty instead of failing.
              QStringLiteral("sum(QZSOR.s_felvar)/NULLIF(sum(QZSOR.s_netto), 0) as v_atlar,"),
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
  q->last();
  return totals;
}

void GatherCash(const QString &receiver, bool detailed) {
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
  q->last();
}

StatisticsTotals GatherStatistics(const QString &receiver, bool overall) {
  db::Query *q = Data->ZQ11;
  const QString month = overall ? QString() : QStringLiteral(" extract(month from QZFEJ.f_felvkelt) as ho,");
  prepare(q, {QStringLiteral("select QZSOR.s_megnevezes,") + month,
              QStringLiteral("sum(QZSOR.s_netto) as v_menny,"),
              QStringLiteral("sum(QZSOR.s_felvar)/NULLIF(sum(QZSOR.s_netto), 0) as v_atlar,"),
              QStringLiteral("sum(QZSOR.s_felvar) as v_felvar, sum(QZSOR.s_vetelar) as v_kifiz"),
              QStringLiteral("from QZFEJ join QZSOR on QZFEJ.f_bszam = QZSOR.s_bszam"),
              QStringLiteral("where QZFEJ.f_akod = :p1"),
              overall ? QStringLiteral("group by QZSOR.s_megnevezes")
                      : QStringLiteral("group by QZSOR.s_megnevezes, extract(month from QZFEJ.f_felvkelt)"),
              QStringLiteral("order by QZSOR.s_megnevezes ") + kHungarian +
                  (overall ? QString() : QStringLiteral(", extract(month from QZFEJ.f_felvkelt)"))});
  setText(q, "p1", receiver);
  q->open();
  // The receiver's totals are the sums of the breakdown's groups: the same
  // lines, read once instead of twice (every line's amounts are computed
  // columns, and the read of all lines is what the gather costs).
  StatisticsTotals totals;
  db::Field &felvar = q->fieldByName(QStringLiteral("V_FELVAR"));
  db::Field &kifiz = q->fieldByName(QStringLiteral("V_KIFIZ"));
  for (q->first(); !q->eof(); q->next()) {
    totals.felvar += felvar.asFloat();
    totals.kifiz += kifiz.asFloat();
  }
  q->last();
  return totals;
}

}  // namespace lists
