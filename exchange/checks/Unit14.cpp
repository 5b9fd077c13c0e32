#include "exchange/checks/Unit14.h"

#include "app/MenuCommands.h"
#include "app/SharedState.h"
#include "app/Unit2.h"
#include "app/common/FieldKeys.h"
#include "app/common/ListGrid.h"
#include "app/common/ListRows.h"
#include "app/common/Navigator.h"
#include "app/common/LimitedEdit.h"
#include "app/common/Widgets.h"
#include "db/dataset.h"
#include "db/datasetmodel.h"
#include "db/datasource.h"
#include "exchange/checks/CheckFindings.h"

#include <QApplication>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <functional>
#include <utility>
#include <vector>

TForm14 *Form14 = nullptr;

VORIK_MENU_COMMAND(Ellenrzs2, TForm14, Form14)

namespace {

using Widgets::makeButton;
using Widgets::makeEdit;
using Widgets::makeLabel;

// The columns a check row takes from the rows, by name.
template <class Row>
using ColumnMap = std::vector<std::pair<QString Row::*, const char *>>;

const ColumnMap<datachecks::ProducerCheckRow> &producerColumns() {
  using R = datachecks::ProducerCheckRow;
  static const ColumnMap<R> map = {
      {&R::oKod, "O_KOD"},         {&R::oAdoszam, "O_ADOSZAM"},   {&R::oAdoazon, "O_ADOAZON"},
      {&R::oTaj, "O_TAJ"},         {&R::oNev, "O_NEV"},           {&R::oIrszam, "O_IRSZAM"},
      {&R::oHelysegnev, "O_HELYSEGNEV"}, {&R::oUtca, "O_UTCA"},   {&R::oIgszam, "O_IGSZAM"},
      {&R::oSzulhely, "O_SZULHELY"}, {&R::oSzido, "O_SZIDO"},     {&R::oAnyja, "O_ANYJA"},
      {&R::oNeme, "O_NEME"},       {&R::oSzulnev, "O_SZULNEV"}};
  return map;
}

// A ticket line's own columns; its producer part takes producerColumns().
const ColumnMap<datachecks::TicketCheckRow> &ticketColumns() {
  using R = datachecks::TicketCheckRow;
  static const ColumnMap<R> map = {
      {&R::fOstermkod, "F_OSTERMKOD"}, {&R::fSzja, "F_SZJA"},     {&R::fPrn, "F_PRN"},
      {&R::sBszam, "S_BSZAM"},         {&R::sTermekkod, "S_TERMEKKOD"}, {&R::sNetto, "S_NETTO"},
      {&R::sEar, "S_EAR"},             {&R::sKompmerteke, "S_KOMPMERTEKE"}};
  return map;
}

// The fields of an open statement bound to where a row keeps them.
template <class Row>
class Columns {
 public:
  Columns(db::DataSet &d, const ColumnMap<Row> &map) {
    for (const auto &[member, name] : map) at_.emplace_back(member, &d.fieldByName(QLatin1String(name)));
  }
  void read(Row &row) const {
    for (const auto &[member, field] : at_) row.*member = field->asString();
  }

 private:
  std::vector<std::pair<QString Row::*, db::Field *>> at_;
};

// The select list of the columns of maps.
template <class... Maps>
QString selectList(const Maps &...maps) {
  QStringList names;
  (..., [&](const auto &map) {
    for (const auto &column : map) names << QLatin1String(column.second);
  }(maps));
  return QStringLiteral("SELECT ") + names.join(QStringLiteral(", "));
}

// What follows the select list in each tab's gather.
const QStringList &ticketRows() {
  static const QStringList lines = {
      QStringLiteral("  FROM qzsor                              "),
      QStringLiteral("  LEFT JOIN qzfej     ON s_bszam     = f_bszam "),
      QStringLiteral("  LEFT JOIN ostermelo ON f_ostermkod = o_kod   "),
      QStringLiteral("  WHERE (f_fizkelt >= :p1 AND f_fizkelt <= :p2)AND (f_akod = :p3) ")};
  return lines;
}
const QStringList &producerRows() {
  static const QStringList lines = {QStringLiteral("  FROM ostermelo ")};
  return lines;
}

// The report of checks over the rows of a tab's gather, in their order; no
// rows when the tab has not gathered. The grid's query holds every column;
// the checks read the same rows again through walk (forward only), with
// just the columns they need (select, its parameters set by bind; fill gives
// what reads the current row),
// so that a large gather is checked quickly and in constant memory and the
// grid keeps its place.
template <class Row>
QStringList checkGathered(db::Query &walk, const db::Query &gathered, const QString &select, const QStringList &rows,
                          const std::function<void(db::Query &)> &bind,
                          const std::function<std::function<void(Row &)>(db::Query &)> &fill,
                          QStringList (*report)(const datachecks::RowReader<Row> &)) {
  if (!gathered.active()) return report({});
  walk.setSql(QStringList{select} + rows);
  bind(walk);
  walk.open();
  const std::function<void(Row &)> read = fill(walk);
  QStringList lines = report([&](Row &row) {
    if (walk.eof()) return false;
    read(row);
    walk.next();
    return true;
  });
  walk.close();
  return lines;
}

QDateEdit *makeDatePicker(QWidget *parent, const char *name) {
  auto *d = new QDateEdit(parent);
  d->setObjectName(QLatin1String(name));
  d->setCalendarPopup(true);
  d->setDisplayFormat(QStringLiteral("yyyy.MM.dd"));
  d->setDate(QDate::currentDate());
  return d;
}

QPlainTextEdit *makeMemo(QWidget *parent, const char *name) {
  auto *m = new QPlainTextEdit(parent);
  m->setObjectName(QLatin1String(name));
  m->setReadOnly(true);
  m->setLineWrapMode(QPlainTextEdit::NoWrap);
  return m;
}

// A grid over every column of the dataset, with its navigator below.
QTableView *makeGrid(QWidget *parent, QVBoxLayout *layout, db::Query *rows, const char *name, const char *navigator) {
  auto *source = new db::DataSource(parent);
  source->setDataSet(rows);
  auto *model = new db::DataSetModel(parent);
  model->setDataSource(source);
  QTableView *grid = MakeListGrid(parent, model);
  grid->setObjectName(QLatin1String(name));
  grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  layout->addWidget(grid, 2);
  layout->addWidget(MakeNavigator(parent, rows, QLatin1String(navigator)));
  return grid;
}

// "Kigyüjtés", "Ellenörzés", "Mégsem" at the right of a list tab.
QHBoxLayout *buttonRow(std::initializer_list<QPushButton *> buttons) {
  auto *row = new QHBoxLayout;
  row->addStretch(1);
  for (QPushButton *b : buttons) row->addWidget(b);
  return row;
}

// The line of a single check: the edit, its "Ellenörzés" and "Bezárás".
QLabel *singleCheckTab(QTabWidget *tabs, const char *sheet, const char *title, QLineEdit *edit, QPushButton *check,
                       QPushButton *close, const char *caption, const char *verdict) {
  auto *page = tabs->widget(tabs->addTab(new QWidget, QString::fromUtf8(title)));
  page->setObjectName(QLatin1String(sheet));
  edit->setParent(page);
  check->setParent(page);
  close->setParent(page);
  auto *grid = new QGridLayout(page);
  grid->addWidget(edit, 0, 0, 1, 2);
  grid->addWidget(check, 0, 2);
  grid->addWidget(close, 0, 3);
  grid->addWidget(makeLabel(page, caption, QStringLiteral("Üzenet:")), 1, 0);
  QLabel *result = makeLabel(page, verdict, QString());
  grid->addWidget(result, 1, 1, 1, 3);
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(2, 1);
  return result;
}

// Shows a single check's verdict; a failure verdict comes with a beep.
void showVerdict(QLabel *label, const std::function<QString(bool *)> &verdict) {
  bool failed = false;
  const QString v = verdict(&failed);
  if (failed) QApplication::beep();
  label->setText(v);
}

}  // namespace

TForm14::TForm14(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Form14"));
  setWindowTitle(QStringLiteral("Ellenörzés"));
  setModal(true);

  Jegyek = new db::Query(this);
  Jegyek->setObjectName(QStringLiteral("Jegyek"));
  Jegyek->setTransaction(Data->IBTrans1);
  Termelok = new db::Query(this);
  Termelok->setObjectName(QStringLiteral("Termelok"));
  Termelok->setTransaction(Data->IBTrans1);
  Ellenorzes = new db::Query(this);
  Ellenorzes->setObjectName(QStringLiteral("Ellenorzes"));
  Ellenorzes->setTransaction(Data->IBTrans1);
  Ellenorzes->setForwardOnly(true);

  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName(QStringLiteral("PageControl1"));

  // "Felvásárlási jegy"
  auto *tickets = new QWidget;
  tickets->setObjectName(QStringLiteral("TabSheet1"));
  PageControl1->addTab(tickets, QStringLiteral("Felvásárlási jegy"));
  auto *tl = new QVBoxLayout(tickets);
  tl->addWidget(makeLabel(tickets, "Label1", QStringLiteral("Adat ellenörzés az felvásárlási jegyen adatain:")));
  DateTimePicker1 = makeDatePicker(tickets, "DateTimePicker1");
  DateTimePicker2 = makeDatePicker(tickets, "DateTimePicker2");
  auto *range = new QHBoxLayout;
  range->addWidget(makeLabel(tickets, "Label2", QStringLiteral("Fizetési határidő:")));
  range->addWidget(DateTimePicker1);
  range->addWidget(makeLabel(tickets, "Label3", QStringLiteral("-tól")));
  range->addWidget(DateTimePicker2);
  range->addWidget(makeLabel(tickets, "Label4", QStringLiteral("-ig")));
  range->addStretch(1);
  tl->addLayout(range);
  DBGrid1 = makeGrid(tickets, tl, Jegyek, "DBGrid1", "DBNavigator1");
  Memo1 = makeMemo(tickets, "Memo1");
  tl->addWidget(Memo1, 3);
  Button1 = MakeListButton(this, "Button1", "Kigyüjtés", &TForm14::Button1Click);
  Button2 = MakeListButton(this, "Button2", "Ellenörzés", &TForm14::Button2Click);
  Button3 = makeButton(this, "Button3", QStringLiteral("Mégsem"));
  tl->addLayout(buttonRow({Button1, Button2, Button3}));

  // "Adatok" with its four inner tabs.
  auto *data = new QWidget;
  data->setObjectName(QStringLiteral("TabSheet2"));
  PageControl1->addTab(data, QStringLiteral("Adatok"));
  PageControl2 = new QTabWidget(data);
  PageControl2->setObjectName(QStringLiteral("PageControl2"));
  (new QVBoxLayout(data))->addWidget(PageControl2);
  Edit1 = makeEdit(this, "Edit1");
  Edit2 = makeEdit(this, "Edit2");
  Edit3 = makeEdit(this, "Edit3");
  Button4 = MakeListButton(this, "Button4", "Ellenörzés", &TForm14::Button4Click);
  Button5 = MakeListButton(this, "Button5", "Ellenörzés", &TForm14::Button5Click);
  Button8 = MakeListButton(this, "Button8", "Ellenörzés", &TForm14::Button8Click);
  Button6 = makeButton(this, "Button6", QStringLiteral("Bezárás"));
  Button7 = makeButton(this, "Button7", QStringLiteral("Bezárás"));
  Button9 = makeButton(this, "Button9", QStringLiteral("Bezárás"));
  Label6 = singleCheckTab(PageControl2, "TabSheet4", "Adószám", Edit1, Button4, Button6, "Label5", "Label6");
  Label8 = singleCheckTab(PageControl2, "TabSheet5", "Adóazonositó", Edit2, Button5, Button7, "Label7", "Label8");
  Label10 = singleCheckTab(PageControl2, "TabSheet6", "TAJ", Edit3, Button8, Button9, "Label9", "Label10");

  auto *days = new QWidget;
  days->setObjectName(QStringLiteral("TabSheet7"));
  PageControl2->addTab(days, QStringLiteral("Napok"));
  Edit4 = makeEdit(days, "Edit4");
  DateTimePicker3 = makeDatePicker(days, "DateTimePicker3");
  Label14 = makeLabel(days, "Label14", QString());
  Label16 = makeLabel(days, "Label16", QString());
  Label18 = makeLabel(days, "Label18", QString());
  Button10 = MakeListButton(this, "Button10", "Ellenörzés", &TForm14::Button10Click);
  Button10->setParent(days);
  Button11 = makeButton(days, "Button11", QStringLiteral("Bezárás"));
  auto *dg = new QGridLayout(days);
  dg->addWidget(makeLabel(days, "Label11", QStringLiteral("Adóazonositója:")), 0, 0);
  dg->addWidget(Edit4, 0, 1);
  dg->addWidget(makeLabel(days, "Label12", QStringLiteral("Születési ideje: ")), 1, 0);
  dg->addWidget(DateTimePicker3, 1, 1);
  dg->addWidget(makeLabel(days, "Label13", QStringLiteral("Eltelt napok száma 1867.01.01-től: ")), 2, 0);
  dg->addWidget(Label14, 2, 1);
  dg->addWidget(makeLabel(days, "Label15", QStringLiteral("Adóazonositó alapján: ")), 3, 0);
  dg->addWidget(Label16, 3, 1);
  dg->addWidget(makeLabel(days, "Label17", QStringLiteral("Üzenet:")), 4, 0);
  dg->addWidget(Label18, 4, 1, 1, 3);
  dg->addWidget(Button10, 0, 2);
  dg->addWidget(Button11, 0, 3);
  dg->setColumnStretch(1, 1);
  dg->setRowStretch(5, 1);

  // "Östermelö"
  auto *producers = new QWidget;
  producers->setObjectName(QStringLiteral("TabSheet3"));
  PageControl1->addTab(producers, QStringLiteral("Östermelö"));
  auto *pl = new QVBoxLayout(producers);
  DBGrid2 = makeGrid(producers, pl, Termelok, "DBGrid2", "DBNavigator2");
  Memo2 = makeMemo(producers, "Memo2");
  pl->addWidget(Memo2, 3);
  Button12 = MakeListButton(this, "Button12", "Kigyüjtés", &TForm14::Button12Click);
  Button13 = MakeListButton(this, "Button13", "Ellenörzés", &TForm14::Button13Click);
  Button14 = makeButton(this, "Button14", QStringLiteral("Mégsem"));
  pl->addLayout(buttonRow({Button12, Button13, Button14}));

  // "Mégsem" of both list tabs closes; so do the single-check tabs' "Bezárás".
  for (QPushButton *b : {Button3, Button14, Button6, Button7, Button9, Button11})
    connect(b, &QPushButton::clicked, this, &QDialog::reject);

  (new QVBoxLayout(this))->addWidget(PageControl1);
  FieldKeys::installEnterNavigation(this);
  resize(900, 640);
}

TForm14::~TForm14() = default;

void TForm14::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  if (!shown_) {
    shown_ = true;
    FormShow();
  }
}

void TForm14::FormShow() {
  const int year = QDate::currentDate().year();
  DateTimePicker1->setDate(QDate(year, 1, 1));
  DateTimePicker2->setDate(QDate(year, 12, 31));
}

void TForm14::Button1Click() {
  Jegyek->setSql(QStringList{QStringLiteral("SELECT *                                  ")} + ticketRows());
  bindTicketRange(*Jegyek, DateTimePicker1->date(), DateTimePicker2->date(), AtvevoKod);
  Jegyek->open();
  gathered_ = {DateTimePicker1->date(), DateTimePicker2->date(), AtvevoKod};
}

void TForm14::bindTicketRange(db::Query &q, const QDate &from, const QDate &to, const QString &receiver) {
  q.paramByName(QStringLiteral("p1")).setDate(from);
  q.paramByName(QStringLiteral("p2")).setDate(to);
  q.paramByName(QStringLiteral("p3")).setString(receiver);
}

void TForm14::Button2Click() {
  Memo1->clear();
  const TicketGather g = gathered_;
  const QStringList lines = checkGathered<datachecks::TicketCheckRow>(
      *Ellenorzes, *Jegyek, selectList(producerColumns(), ticketColumns()), ticketRows(),
      [&g](db::Query &q) { bindTicketRange(q, g.from, g.to, g.receiver); },
      [](db::Query &q) {
        return [producer = Columns(q, producerColumns()), line = Columns(q, ticketColumns())](
                   datachecks::TicketCheckRow &row) {
          producer.read(row.o);
          line.read(row);
        };
      },
      &datachecks::ticketCheckLines);
  Memo1->setPlainText(lines.join(QLatin1Char('\n')));
}

void TForm14::Button12Click() {
  Termelok->setSql(QStringList{QStringLiteral("SELECT *         ")} + producerRows());
  Termelok->open();
}

void TForm14::Button13Click() {
  Memo2->clear();
  const QStringList lines = checkGathered<datachecks::ProducerCheckRow>(
      *Ellenorzes, *Termelok, selectList(producerColumns()), producerRows(), [](db::Query &) {},
      [](db::Query &q) {
        return [producer = Columns(q, producerColumns())](datachecks::ProducerCheckRow &row) {
          producer.read(row);
        };
      },
      &datachecks::producerCheckLines);
  Memo2->setPlainText(lines.join(QLatin1Char('\n')));
}

void TForm14::Button4Click() {
  showVerdict(Label6, [this](bool *failed) { return datachecks::adoszamVerdict(Edit1->text(), failed); });
}

void TForm14::Button5Click() {
  showVerdict(Label8, [this](bool *failed) { return datachecks::adoazonVerdict(Edit2->text(), failed); });
}

void TForm14::Button8Click() {
  showVerdict(Label10, [this](bool *failed) { return datachecks::tajVerdict(Edit3->text(), failed); });
}

void TForm14::Button10Click() {
  const QString text = Edit4->text();
  const QDate birth = DateTimePicker3->date();
  Label16->setText(text.mid(1, 5));
  Label14->setText(QString::number(datachecks::daysSince1867(birth)));
  showVerdict(Label18, [&](bool *failed) { return datachecks::napokVerdict(text, birth, failed); });
}
