// The data module's report components: the reports, the database data
// sources over the reusable queries, and the event-driven sources of the
// product-wise and producer-wise lists with their handlers.
#include "app/SharedState.h"
#include "app/Unit2.h"
#include "report/core/FR_Class_Build.h"
#include "report/data/FR_DBSet.h"
#include "report/data/FR_DSet.h"

#include <QDateTime>

using namespace report;

QString ListaTermekNev;

namespace {

template <class T>
T *component(QObject *owner, const char *name) {
  auto *o = new T(owner);
  o->setObjectName(QString::fromLatin1(name));
  return o;
}

// The current row's text of a column, or empty past the last row.
QString current(TQuery *q, const char *column) {
  if (!q->active() || q->eof() || q->isEmpty()) return QString();
  return q->fieldByName(QString::fromLatin1(column)).asString();
}

}  // namespace

void TData::createReportComponents() {
  frNyomtat = new TfrReport;
  frNyomtat->Name = QStringLiteral("frNyomtat");
  frNyomtat->ModifyPrepared = false;
  frNyomtat->StoreInDFM = true;
  frNyomtat->PreviewButtons = TfrReport::pbZoom | TfrReport::pbPrint | TfrReport::pbExit;

  frMegtekint = new TfrReport;
  frMegtekint->Name = QStringLiteral("frMegtekint");
  frMegtekint->ModifyPrepared = false;
  frMegtekint->StoreInDFM = true;
  frMegtekint->PreviewButtons = TfrReport::pbZoom | TfrReport::pbExit;

  frCompositeReport1 = new TfrCompositeReport;
  frCompositeReport1->Name = QStringLiteral("frCompositeReport1");
  frCompositeReport1->StoreInDFM = true;

  // Database sources: each reads the query behind its data source. The
  // end-of-data handlers do nothing.
  const TCheckEOFEvent noEndTest = [](QObject *, bool &) {};
  auto db = [&](TfrDBDataSet *&ds, const char *name, TQuery *q, bool endHandler) {
    ds = component<TfrDBDataSet>(this, name);
    ds->SetDataSet(q);
    if (endHandler) ds->OnCheckEOF = noEndTest;
  };
  db(frDBDataSet1, "frDBDataSet1", ZQ20, true);
  db(frDBDataSet2, "frDBDataSet2", ZQ30, true);
  db(frDBDataSet3, "frDBDataSet3", ZQ20, true);
  db(frDBDataSet4, "frDBDataSet4", ZQ20, true);
  db(frDBDataSet5, "frDBDataSet5", ZQ11, false);
  db(frDBDataSet6, "frDBDataSet6", ZQ40, true);

  frUserDataset1 = component<TfrUserDataset>(this, "frUserDataset1");
  frUserDataset2 = component<TfrUserDataset>(this, "frUserDataset2");
  frUserDataset3 = component<TfrUserDataset>(this, "frUserDataset3");
  frUserDataset4 = component<TfrUserDataset>(this, "frUserDataset4");
  frUserDataset1->OnFirst = [this](QObject *s) { frUserDataset1First(s); };
  frUserDataset1->OnNext = [this](QObject *s) { frUserDataset1Next(s); };
  frUserDataset3->OnFirst = [this](QObject *s) { frUserDataset3First(s); };
  frUserDataset3->OnNext = [this](QObject *s) { frUserDataset3Next(s); };
  for (TfrUserDataset *groups : {frUserDataset1, frUserDataset3})
    groups->OnCheckEOF = [this](QObject *, bool &eof) { eof = !ZQ20->active() || ZQ20->eof(); };
  for (TfrUserDataset *lines : {frUserDataset2, frUserDataset4}) {
    lines->OnFirst = [this](QObject *) {
      if (ZQ21->active()) ZQ21->first();
    };
    lines->OnNext = [this](QObject *) {
      if (ZQ21->active()) ZQ21->next();
    };
    lines->OnCheckEOF = [this](QObject *, bool &eof) { eof = !ZQ21->active() || ZQ21->eof(); };
  }
  // Names in layouts resolve among the module's components.
  if (!frReportOwner()) frSetReportOwner(this);
}

void TData::destroyReportComponents() {
  if (frReportOwner() == this) frSetReportOwner(nullptr);
  for (TfrReport *r : {frNyomtat, frMegtekint, static_cast<TfrReport *>(frCompositeReport1)})
    if (frCurrentReport == r) frCurrentReport = nullptr;
  delete frCompositeReport1;
  delete frMegtekint;
  delete frNyomtat;
  frCompositeReport1 = nullptr;
  frMegtekint = frNyomtat = nullptr;
}

void TData::buildLines(const QString &where, const QString &orderBy, const QString &key) {
  ZQ21->close();
  ZQ21->sql().clear();
  ZQ21->sql().add(QStringLiteral("SELECT *                                  "));
  ZQ21->sql().add(QStringLiteral("  FROM qzsor                              "));
  ZQ21->sql().add(QStringLiteral("  JOIN qzfej     ON s_bszam     = f_bszam "));
  ZQ21->sql().add(QStringLiteral("  JOIN ostermelo ON f_ostermkod = o_kod   "));
  ZQ21->sql().add(where);
  if (!orderBy.isEmpty()) ZQ21->sql().add(orderBy);
  ZQ21->paramByName(QStringLiteral("p0")).setString(key);
  ZQ21->paramByName(QStringLiteral("p1")).setDateTime(QDateTime(ListaSzuro.Tol, QTime(0, 0)));
  ZQ21->paramByName(QStringLiteral("p2")).setDateTime(QDateTime(ListaSzuro.Ig, QTime(0, 0)));
  ZQ21->paramByName(QStringLiteral("p3")).setString(ListaSzuro.AtvevoKod);
  ZQ21->open();
}

void TData::frUserDataset1First(QObject *) {
  ZQ20->first();
  if (ZQ20->eof()) return;  // no groups: the source reports its end at once
  ListaTermekNev = current(ZQ20, "S_MEGNEVEZES");
  buildLines(ListaSzuro.FizetesiDatum
                 ? QStringLiteral("  WHERE ( s_megnevezes = :p0 ) AND ( f_fizkelt >= :p1)  AND (f_fizkelt <= :p2) AND (f_akod = :p3) ")
                 : QStringLiteral("  WHERE ( s_megnevezes = :p0 ) AND ( f_felvkelt >= :p1) AND (f_felvkelt <= :p2) AND (f_akod = :p3) "),
             QString(), ListaTermekNev);
}

void TData::frUserDataset1Next(QObject *) {
  ZQ20->next();
  if (ZQ20->eof()) return;  // past the last group: the engine stops on the end test
  ListaTermekNev = current(ZQ20, "S_MEGNEVEZES");
  buildLines(ListaSzuro.FizetesiDatum
                 ? QStringLiteral("  WHERE ( s_megnevezes = :p0 ) AND ( f_fizkelt >= :p1)  AND (f_fizkelt <= :p2) AND (f_akod = :p3) ")
                 : QStringLiteral("  WHERE ( s_megnevezes = :p0 ) AND ( f_felvkelt >= :p1) AND (f_felvkelt <= :p2) AND (f_akod = :p3) "),
             QString(), ListaTermekNev);
}

void TData::frUserDataset3First(QObject *) {
  ZQ20->first();
  if (ZQ20->eof()) return;
  ListaOstermeloKod = current(ZQ20, "O_KOD");
  buildLines(ListaSzuro.FizetesiDatum
                 ? QStringLiteral("  WHERE ( o_kod = :p0 ) AND ( f_fizkelt >= :p1) AND (f_fizkelt <= :p2) AND (f_akod = :p3) ")
                 : QStringLiteral("  WHERE ( o_kod = :p0 ) AND ( f_felvkelt >= :p1) AND (f_felvkelt <= :p2) AND (f_akod = :p3) "),
             QStringLiteral("  ORDER BY s_megnevezes "), ListaOstermeloKod);
}

void TData::frUserDataset3Next(QObject *) {
  ZQ20->next();
  if (ZQ20->eof()) return;
  ListaOstermeloKod = current(ZQ20, "O_KOD");
  // The producer's total for the report.
  ZQ80->close();
  ZQ80->sql().clear();
  ZQ80->sql().add(QStringLiteral("SELECT o_kod,                             "));
  ZQ80->sql().add(QStringLiteral("  SUM(s_vetelar) AS  nevosszesen          "));
  ZQ80->sql().add(QStringLiteral("  FROM qzsor                              "));
  ZQ80->sql().add(QStringLiteral("  JOIN qzfej     ON s_bszam     = f_bszam "));
  ZQ80->sql().add(QStringLiteral("  JOIN ostermelo ON f_ostermkod = o_kod   "));
  ZQ80->sql().add(ListaSzuro.FizetesiDatum
                      ? QStringLiteral("  WHERE ( o_kod = :p0 ) AND ( f_fizkelt >= :p1 AND f_fizkelt <= :p2 ) AND (f_akod = :p3) ")
                      : QStringLiteral("  WHERE ( o_kod = :p0 ) AND ( f_felvkelt >= :p1 AND f_felvkelt <= :p2 ) AND (f_akod = :p3) "));
  ZQ80->sql().add(QStringLiteral("  GROUP BY o_kod "));
  ZQ80->paramByName(QStringLiteral("p0")).setString(ListaOstermeloKod);
  ZQ80->paramByName(QStringLiteral("p1")).setDateTime(QDateTime(ListaSzuro.Tol, QTime(0, 0)));
  ZQ80->paramByName(QStringLiteral("p2")).setDateTime(QDateTime(ListaSzuro.Ig, QTime(0, 0)));
  ZQ80->paramByName(QStringLiteral("p3")).setString(ListaSzuro.AtvevoKod);
  ZQ80->open();
  buildLines(ListaSzuro.FizetesiDatum
                 ? QStringLiteral("  WHERE ( o_kod = :p0 ) AND ( f_fizkelt >= :p1 AND f_fizkelt <= :p2) AND (f_akod = :p3) ")
                 : QStringLiteral("  WHERE ( o_kod = :p0 ) AND ( f_felvkelt >= :p1 AND f_felvkelt <= :p2) AND (f_akod = :p3) "),
             QStringLiteral("  ORDER BY s_megnevezes "), ListaOstermeloKod);
}
