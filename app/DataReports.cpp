// The data module's report components: the reports, the database data
// sources over the reusable queries, and the event-driven sources of the
// product-wise and producer-wise lists with their handlers.
#include "app/SharedState.h"
#include "app/Unit2.h"
#include "platform/collation.h"
#include "report/core/FR_Class_Build.h"
#include "report/core/FR_Class_View.h"
#include "report/data/FR_DBSet.h"
#include "report/data/FR_DSet.h"
#include "report/expr/FR_Intrp.h"
#include "report/expr/FR_Values.h"
#include "platform/conv.h"

#include <QDateTime>
#include <QHash>
#include <QSet>

#include <algorithm>

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
QString current(db::Query *q, const char *column) {
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
  auto db = [&](TfrDBDataSet *&ds, const char *name, db::Query *q, bool endHandler) {
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
  // The lines of the current group: the rows of ZQ21 noted for its key, in
  // ZQ21's order.
  for (TfrUserDataset *lines : {frUserDataset2, frUserDataset4}) {
    lines->OnFirst = [this](QObject *) {
      groupLine_ = 0;
      showGroupLine();
    };
    lines->OnNext = [this](QObject *) {
      ++groupLine_;
      showGroupLine();
    };
    lines->OnCheckEOF = [this](QObject *, bool &eof) { eof = !groupLines_ || groupLine_ >= groupLines_->size(); };
  }
  // Groups gathered anew need their lines and the producers' totals read
  // anew, and so does ZQ21 or ZQ80 opened or closed by anyone else.
  connect(ZQ20, &db::DataSet::opened, this, [this] { linesFresh_ = producerTotalsOpen_ = false; });
  for (auto signal : {&db::DataSet::opened, &db::DataSet::closed}) {
    connect(ZQ21, signal, this, [this] { linesFresh_ = false; });
    connect(ZQ80, signal, this, [this] { producerTotalsOpen_ = false; });
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

namespace {

// The group key of a row: the key columns' texts without trailing blanks
// (the database compares texts so), joined by a separator.
QString groupKey(db::Query *q, const QStringList &columns) {
  QStringList parts;
  for (const QString &c : columns) {
    db::Field *f = q->findField(c);
    QString t = f && !f->isNull() ? f->asString() : QString();
    while (t.endsWith(QLatin1Char(' '))) t.chop(1);
    parts << t;
  }
  return parts.join(QChar(0x1F));
}

const QStringList kProductKey{QStringLiteral("S_MEGNEVEZES")};
const QStringList kProducerKey{QStringLiteral("O_KOD")};

// Every name a layout may refer to a column by, upper case: the words of its
// objects' texts, scripts, formats and highlights, of its value list and of
// its variable list.
QSet<QString> layoutWords(const TfrReport &r) {
  QSet<QString> words;
  auto add = [&](const QString &text) {
    qsizetype start = -1;
    for (qsizetype i = 0; i <= text.size(); ++i) {
      const bool part = i < text.size() && (text[i].isLetterOrNumber() || text[i] == u'_' || text[i] == u'$');
      if (part && start < 0) start = i;
      if (!part && start >= 0) {
        words.insert(text.mid(start, i - start).toUpper());
        start = -1;
      }
    }
  };
  for (int p = 0; p < r.Pages.Count(); ++p)
    for (const auto &v : r.Pages[p]->Objects) {
      for (const QStringList *lines : {&v->Memo, &v->Script})
        for (const QString &l : *lines) add(l);
      add(v->FormatStr);
      if (const auto *m = dynamic_cast<const TfrMemoView *>(v.get())) add(m->HighlightStr);
    }
  for (int i = 0; i < r.Values.Count(); ++i) {
    add(r.Values.Name(i));
    if (const TfrValue *v = r.Values.GetValue(i)) {
      add(v->DataSet);
      add(v->Field);
    }
  }
  for (const QString &l : r.Variables) add(l);
  return words;
}

}  // namespace

// The columns of the lines' three tables, each as table.column, read once:
// the schema does not change while the program runs.
const QList<std::pair<QString, QString>> &TData::tableColumns() {
  if (tableColumns_.isEmpty()) {
    db::Query q;
    q.setTransaction(IBTrans1);
    q.sql().add(QStringLiteral(
        "SELECT TRIM(rdb$relation_name) AS t, TRIM(rdb$field_name) AS c FROM rdb$relation_fields "
        "WHERE rdb$relation_name IN ('QZSOR', 'QZFEJ', 'OSTERMELO') "
        "ORDER BY rdb$relation_name DESCENDING, rdb$field_position"));
    q.open();
    for (q.first(); !q.eof(); q.next())
      tableColumns_.append(
          {q.fieldByName(QStringLiteral("T")).asString(), q.fieldByName(QStringLiteral("C")).asString()});
  }
  return tableColumns_;
}

// Every line of the range is read in one statement, and each group's lines
// are its rows with the group's key: one read per build instead of one per
// group, which on a year's tickets is what the list would wait for. The
// statement has no ORDER BY: the engine would sort whole rows of three
// tables, on a year's lines through temporary files; each group's row
// numbers are put in order here instead, by product name in Hungarian
// order when asked (names the order cannot tell apart by their exact text),
// then by serial. Only the columns the layout being built names are read
// (with the keys the walk needs): a user may edit the layout, and the lines'
// other columns would be most of what is read.
void TData::openLines(const QString &where, bool byProductName, const QStringList &keyColumns) {
  QSet<QString> named = layoutNames_;
  for (const QString &c : keyColumns) named.insert(c);
  named.insert(QStringLiteral("S_MEGNEVEZES"));
  named.insert(QStringLiteral("S_BSZAM"));
  named.insert(QStringLiteral("S_VETELAR"));
  named.insert(QStringLiteral("O_KOD"));
  QStringList columns;
  for (const auto &[table, column] : tableColumns())
    if (named.contains(column)) columns << table + QLatin1Char('.') + column;
  // The gather has just read these lines, and a two-pass build reads them
  // again in its second pass: while the groups have not been gathered anew
  // and nothing else has opened ZQ21, the lines read for them are still the
  // ones, when they hold every column now named.
  const QString signature = where + (byProductName ? QStringLiteral("N") : QStringLiteral("S")) +
                            ListaSzuro.Tol.toString() + ListaSzuro.Ig.toString() + ListaSzuro.AtvevoKod;
  const QSet<QString> wanted(columns.begin(), columns.end());
  if (linesFresh_ && ZQ21->active() && signature == linesSignature_ && linesColumns_.contains(wanted)) {
    enterGroup();
    return;
  }
  ZQ21->setSql({QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")),
                QStringLiteral("  FROM qzsor                              "),
                QStringLiteral("  JOIN qzfej     ON s_bszam     = f_bszam "),
                QStringLiteral("  LEFT JOIN ostermelo ON f_ostermkod = o_kod "), where});
  ZQ21->paramByName(QStringLiteral("p1")).setDateTime(QDateTime(ListaSzuro.Tol, QTime(0, 0)));
  ZQ21->paramByName(QStringLiteral("p2")).setDateTime(QDateTime(ListaSzuro.Ig, QTime(0, 0)));
  ZQ21->paramByName(QStringLiteral("p3")).setString(ListaSzuro.AtvevoKod);
  ZQ21->open();
  linesSignature_ = signature;
  linesColumns_ = wanted;
  linesFresh_ = true;
  listLines_.clear();
  listSums_.clear();
  listKey_ = keyColumns;
  // Per row (by its number): its product name and its serial.
  std::vector<QString> nameOf(1), serialOf(1);
  db::Field *name = ZQ21->findField(QStringLiteral("S_MEGNEVEZES"));
  db::Field *serial = ZQ21->findField(QStringLiteral("S_BSZAM"));
  // A line whose producer is missing is not listed, but its group's total
  // counts it as it prints elsewhere.
  db::Field *amount = ZQ21->findField(QStringLiteral("S_VETELAR"));
  db::Field *producer = ZQ21->findField(QStringLiteral("O_KOD"));
  for (ZQ21->first(); !ZQ21->eof(); ZQ21->next()) {
    const QString key = groupKey(ZQ21, keyColumns);
    if (!producer || !producer->isNull()) listLines_[key].push_back(ZQ21->recNo());
    if (amount && !amount->isNull()) listSums_[key] += report::frRoundDecimal(amount->asFloat(), 2);
    nameOf.push_back(name && !name->isNull() ? name->asString() : QString());
    serialOf.push_back(serial && !serial->isNull() ? serial->asString() : QString());
  }
  // Each name's place in Hungarian order, the few names compared once.
  QHash<QString, int> place;
  if (byProductName) {
    for (std::size_t row = 1; row < nameOf.size(); ++row) place.insert(nameOf[row], 0);
    QStringList sorted = place.keys();
    std::sort(sorted.begin(), sorted.end(), [](const QString &a, const QString &b) {
      const int c = platform::CompareStr(a, b);
      return c != 0 ? c < 0 : a < b;
    });
    for (int i = 0; i < sorted.size(); ++i) place[sorted[i]] = i;
  }
  for (auto &[key, rows] : listLines_)
    std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
      if (byProductName) {
        const int pa = place.value(nameOf[a]), pb = place.value(nameOf[b]);
        if (pa != pb) return pa < pb;
      }
      return serialOf[a] < serialOf[b];
    });
  enterGroup();
}

void TData::enterGroup() {
  const auto it = listLines_.find(groupKey(ZQ20, listKey_));
  groupLines_ = it == listLines_.end() ? nullptr : &it->second;
  groupLine_ = 0;
  showGroupLine();
  report::frVariables->SetVariable(QStringLiteral("v_csoportosszeg"), platform::FloatToStr(groupTotal()));
}

long double TData::groupTotal() {
  // A group without lines read here keeps the total it was gathered with.
  const auto sum = listSums_.find(groupKey(ZQ20, listKey_));
  if (sum != listSums_.end()) return sum->second;
  db::Field *f = ZQ20->findField(listKey_ == kProductKey ? QStringLiteral("KIFIZETETT") : QStringLiteral("NEVOSSZESEN"));
  return f && !f->isNull() ? report::frRoundDecimal(f->asFloat(), 2) : 0;
}

void TData::listTotal() {
  long double total = 0;
  for (ZQ20->first(); !ZQ20->eof(); ZQ20->next()) total += groupTotal();
  ZQ20->first();
  enterGroup();
  report::frVariables->SetVariable(QStringLiteral("v_osszesen"), platform::FloatToStr(total));
}

void TData::showGroupLine() {
  if (groupLines_ && groupLine_ < groupLines_->size()) ZQ21->setRecNo((*groupLines_)[groupLine_]);
}

void TData::frUserDataset1First(QObject *) {
  layoutNames_ = frCurrentReport ? layoutWords(*frCurrentReport) : QSet<QString>();
  ZQ20->first();
  groupLines_ = nullptr;
  if (ZQ20->eof()) return;  // no groups: the source reports its end at once
  ListaTermekNev = current(ZQ20, "S_MEGNEVEZES");
  openLines(ListaSzuro.FizetesiDatum
                ? QStringLiteral("  WHERE ( f_fizkelt >= :p1)  AND (f_fizkelt <= :p2) AND (f_akod = :p3) ")
                : QStringLiteral("  WHERE ( f_felvkelt >= :p1) AND (f_felvkelt <= :p2) AND (f_akod = :p3) "),
            false, kProductKey);
  listTotal();
}

void TData::frUserDataset1Next(QObject *) {
  ZQ20->next();
  if (ZQ20->eof()) return;  // past the last group: the engine stops on the end test
  ListaTermekNev = current(ZQ20, "S_MEGNEVEZES");
  enterGroup();
}

void TData::frUserDataset3First(QObject *) {
  layoutNames_ = frCurrentReport ? layoutWords(*frCurrentReport) : QSet<QString>();
  ZQ20->first();
  groupLines_ = nullptr;
  if (ZQ20->eof()) return;
  ListaOstermeloKod = current(ZQ20, "O_KOD");
  producerTotal();
  // Every producer's lines by product name; each product's lines by serial.
  openLines(ListaSzuro.FizetesiDatum
                ? QStringLiteral("  WHERE ( f_fizkelt >= :p1) AND (f_fizkelt <= :p2) AND (f_akod = :p3) ")
                : QStringLiteral("  WHERE ( f_felvkelt >= :p1) AND (f_felvkelt <= :p2) AND (f_akod = :p3) "),
            true, kProducerKey);
  listTotal();
}

void TData::frUserDataset3Next(QObject *) {
  ZQ20->next();
  if (ZQ20->eof()) return;
  ListaOstermeloKod = current(ZQ20, "O_KOD");
  producerTotal();
  enterGroup();
}

namespace {

// The producer's total over the range, for the statement's WHERE line:
// grouped per producer code.
void prepareProducerTotal(db::Query *q, const TData::TListaSzuro &range, const QString &where) {
  q->setSql({QStringLiteral("SELECT o_kod,                             "),
             QStringLiteral("  SUM(s_vetelar) AS  nevosszesen          "),
             QStringLiteral("  FROM qzsor                              "),
             QStringLiteral("  JOIN qzfej     ON s_bszam     = f_bszam "),
             QStringLiteral("  JOIN ostermelo ON f_ostermkod = o_kod   "), where,
             QStringLiteral("  GROUP BY o_kod ")});
  q->paramByName(QStringLiteral("p1")).setDateTime(QDateTime(range.Tol, QTime(0, 0)));
  q->paramByName(QStringLiteral("p2")).setDateTime(QDateTime(range.Ig, QTime(0, 0)));
  q->paramByName(QStringLiteral("p3")).setString(range.AtvevoKod);
}

QString trimmedKey(QString t) {
  while (t.endsWith(QLatin1Char(' '))) t.chop(1);
  return t;
}

}  // namespace

// The producer's total for the report: ZQ80 on the current producer's row.
// Every producer's total of the range is read by one statement at the first
// group, and each group only moves to its row: one statement per group was
// what a year's list waited for. A group whose code has no total (a code
// without a producer row) finds ZQ80 empty, as its own statement would.
void TData::producerTotal() {
  // Read only for a layout that names it: the program's own take the
  // producer's total from the groups.
  if (!layoutNames_.contains(QStringLiteral("ZQ80"))) return;
  const QString key = trimmedKey(ListaOstermeloKod);
  if (!producerTotalsOpen_) {
    prepareProducerTotal(ZQ80, ListaSzuro,
                         ListaSzuro.FizetesiDatum
                             ? QStringLiteral("  WHERE ( f_fizkelt >= :p1 AND f_fizkelt <= :p2 ) AND (f_akod = :p3) ")
                             : QStringLiteral("  WHERE ( f_felvkelt >= :p1 AND f_felvkelt <= :p2 ) AND (f_akod = :p3) "));
    ZQ80->open();
    producerTotalRows_.clear();
    for (ZQ80->first(); !ZQ80->eof(); ZQ80->next()) producerTotalRows_.insert(trimmedKey(current(ZQ80, "O_KOD")), ZQ80->recNo());
    producerTotalsOpen_ = true;
  }
  const auto row = producerTotalRows_.constFind(key);
  if (row != producerTotalRows_.constEnd()) {
    ZQ80->setRecNo(*row);
    return;
  }
  prepareProducerTotal(ZQ80, ListaSzuro,
                       ListaSzuro.FizetesiDatum
                           ? QStringLiteral("  WHERE ( o_kod = :p0 ) AND ( f_fizkelt >= :p1 AND f_fizkelt <= :p2 ) AND (f_akod = :p3) ")
                           : QStringLiteral("  WHERE ( o_kod = :p0 ) AND ( f_felvkelt >= :p1 AND f_felvkelt <= :p2 ) AND (f_akod = :p3) "));
  ZQ80->paramByName(QStringLiteral("p0")).setString(ListaOstermeloKod);
  ZQ80->open();
  producerTotalsOpen_ = false;
}
