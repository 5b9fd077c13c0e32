#include "app/producers/Unit4.h"

#include "app/common/Widgets.h"
#include "app/MenuCommands.h"
#include "app/PrintLayout.h"
#include "app/SharedState.h"
#include "app/Unit2.h"
#include "app/common/ListGrid.h"
#include "app/common/ListRows.h"
#include "app/common/Guarded.h"
#include "app/common/Navigator.h"
#include "app/producers/Unit5.h"
#include "db/dataset.h"
#include "db/datasetmodel.h"
#include "db/datasource.h"
#include "db/keyset.h"
#include "platform/conv.h"
#include "platform/dialogs.h"
#include "report/core/FR_Class_Band.h"
#include "report/core/FR_Class_Report.h"
#include "report/expr/FR_Intrp.h"

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

TForm4 *Form4 = nullptr;

VORIK_MENU_COMMAND(stermel1, TForm4, Form4)

namespace {

// The columns of the list statement, in its order: the first line, then the
// second.
const QStringList kListLine1 = {
    "o_kod",     "o_Nev",   "o_Irszam",   "o_Helysegnev", "o_Utca",     "o_Adoazon", "o_Igszam",  "o_Regszam",
    "o_Adoszam", "o_Szulhely", "o_Szido", "o_Anyja",      "o_Csgazd",   "o_Szulnev", "o_Neme",    "o_Bankszla",
    "O_ERVKELT", "O_BETETLAP", "O_MUVKTG", "O_MNYPTAG",   "o_Szja",     "o_TAJ",     "O_AKOD"};
const QStringList kListLine2 = {"ID_ostermelo", "o_kamara",  "o_felir",      "O_KERULET",  "O_JELLEG",
                                "O_HAZSZAM",    "O_EPULET",  "O_LEPCSO",     "O_SZINT",    "O_AJTO",
                                "O_FHAT",       "O_KOZADOSZAM", "O_FELJEGYZ", "O_ERVKELT1", "o_Csgazd1",
                                "o_Igszam1"};

// Grid columns, in order.
const QStringList kGridColumns = {
    "O_KOD",      "O_NEV",      "O_IRSZAM",  "O_HELYSEGNEV", "O_UTCA",   "O_ADOAZON", "O_IGSZAM",
    "O_REGSZAM",  "O_ADOSZAM",  "O_SZULHELY", "O_SZIDO",     "O_ANYJA",  "O_CSGAZD",  "O_SZULNEV",
    "O_NEME",     "O_BANKSZLA", "O_ERVKELT", "O_BETETLAP",   "O_MUVKTG", "O_MNYPTAG", "O_SZJA",
    "O_TAJ",      "O_AKOD",     "ID_OSTERMELO", "O_KAMARA",  "O_IGSZAM1", "O_ERVKELT1", "O_CSGAZD1"};

// The panel: caption and column of each value shown.
struct PanelItem {
  const char *caption;
  const char *field;
};
const PanelItem kPanel[] = {
    {"Név:", "O_NEV"},
    {"ID", "ID_OSTERMELO"},
    {"Kód", "O_KOD"},
    {"Ir.szám", "O_IRSZAM"},
    {"Helységnév", "O_HELYSEGNEV"},
    {"Utcanév", "O_UTCA"},
    {"Közterület", "O_JELLEG"},
    {"Házszám", "O_HAZSZAM"},
    {"Adóazonositó", "O_ADOAZON"},
    {"Igazolvány", "O_IGSZAM"},
    {"Reg.szám", "O_REGSZAM"},
    {"2020.12.31 -ig:", "O_CSGAZD"},
    {"TAJ", "O_TAJ"},
    {"Adószám", "O_ADOSZAM"},
    {"Bank szla", "O_BANKSZLA"},
    {"Érvényesitve:", "O_ERVKELT"},
    {"Születési név", "O_SZULNEV"},
    {"Születési hely", "O_SZULHELY"},
    {"Születési idő", "O_SZIDO"},
    {"Anyja neve", "O_ANYJA"},
    {"Neme", "O_NEME"},
    {"Kamarai reg.:", "O_KAMARA"},
    {"FELIR:", "O_FELIR"},
    {"Nap:", "O_FHAT"},
    {"Nébih tevékenységazonosító: ", "O_IGSZAM1"},
    {"érvényesség kezdete:", "O_ERVKELT1"},
    {"családi gazd.nyilv.száma:", "O_CSGAZD1"},
};

}  // namespace

QSet<QString> ProducerColumns() {
  // Only the metadata is needed: the statement is prepared (once, while
  // ZQ32 keeps it), not run.
  db::Query *q = Data->ZQ32;
  const QStringList lines = {QStringLiteral("SELECT * FROM ostermelo   "), QStringLiteral("  WHERE 1 = 0 ")};
  if (q->sql().lines() != lines) {
    q->setSql(lines);
  }
  QSet<QString> names;
  for (const QString &n : q->columnNames()) names.insert(n.toUpper());
  return names;
}

db::ListSpec ProducerList(const QString &orderBy, const QSet<QString> &present) {
  QStringList columns;
  for (const QStringList *line : {&kListLine1, &kListLine2})
    for (const QString &c : *line)
      if (present.isEmpty() || present.contains(c.toUpper())) columns << c;
  db::ListSpec list;
  list.columns = columns.join(QStringLiteral(", "));
  list.from = QStringLiteral("ostermelo");
  // The name in the Hungarian order, through its index in that collation;
  // rows of one name keep together. Other columns in their own order, rows
  // of one value (a town) in the order they were added, so that the list's
  // last row is one row, not every producer of the last town.
  if (orderBy.compare(QLatin1String("o_Nev"), Qt::CaseInsensitive) == 0)
    list.order = {{QStringLiteral("o_Nev"), QStringLiteral("O_NEV"), true, QStringLiteral("HUN_ABC")}};
  else if (orderBy.compare(QLatin1String("ID_OSTERMELO"), Qt::CaseInsensitive) == 0)
    list.order = {{orderBy, orderBy, false}};
  else
    list.order = {{orderBy, orderBy},
                  {QStringLiteral("ID_OSTERMELO"), QStringLiteral("ID_OSTERMELO"), false}};
  list.identity = QStringLiteral("ID_OSTERMELO");
  return list;
}

void OpenProducerList(const QString &orderBy) {
  Data->ZQ30->setList(ProducerList(orderBy, ProducerColumns()));
  Data->ZQ30->openAt();
}

QString NextProducerCode() {
  return NextNumericCode(Data->ZQ31, QStringLiteral("SELECT o_kod FROM ostermelo "), QStringLiteral("o_kod"));
}

TForm4::TForm4(QWidget *owner) : QDialog(owner) {
  setObjectName(QStringLiteral("Form4"));
  setWindowTitle(QStringLiteral("Őstermelő"));
  setModal(true);
  resize(1000, 680);

  source_ = new db::DataSource(this);
  source_->setObjectName(QStringLiteral("DSQ30"));
  source_->setDataSet(Data->ZQ30);
  model_ = new db::DataSetModel(this);
  model_->setDataSource(source_);
  QList<db::DataSetModel::Column> cols;
  for (const QString &c : kGridColumns) cols.append({c, QString()});  // the list grid's titles
  model_->setColumns(cols);

  DBGrid1 = MakeListGrid(this, model_);
  // Single cells are marked: a header click does not mark its column, it
  // only sorts by the marked one.
  DBGrid1->horizontalHeader()->setSectionsClickable(true);
  connect(DBGrid1->horizontalHeader(), &QHeaderView::sectionClicked, this,
          [this](int section) { RunGuarded([&] { DBGrid1TitleClick(section); }); });
  connect(DBGrid1, &QTableView::clicked, this, &TForm4::DBGrid1CellClick);
  connect(DBGrid1, &QTableView::doubleClicked, this, &TForm4::DBGrid1CellClick);
  DBGrid1->installEventFilter(this);

  DBNavigator1 = MakeNavigator(this, Data->ZQ30);
  // Leaving a navigator button copies the FELIR id, as leaving the grid does.
  for (QToolButton *b : DBNavigator1->findChildren<QToolButton *>()) {
    b->setFocusPolicy(Qt::StrongFocus);
    b->installEventFilter(this);
  }

  auto *nameLabel = new QLabel(QStringLiteral("Név:"), this);
  nameLabel->setObjectName(QStringLiteral("Label2"));
  Edit1 = Widgets::makeEdit(this, "Edit1");
  Edit1->setToolTip(QStringLiteral("Kezdö betükre rákeres"));
  Edit1->installEventFilter(this);

  Button6 = MakeListButton(this, "Button6", "Keres", &TForm4::Button6Click);
  Button2 = MakeListButton(this, "Button2", "Új", &TForm4::Button2Click);
  Button3 = MakeListButton(this, "Button3", "Módosít", &TForm4::Button3Click);
  Button3->installEventFilter(this);
  Button4 = MakeListButton(this, "Button4", "Töröl", &TForm4::Button4Click);
  Button7 = MakeListButton(this, "Button7", "Nyomtat", &TForm4::Button7Click);
  Button5 = MakeListButton(this, "Button5", "Mégsem", &TForm4::Button5Click);
  Button1 = MakeListButton(this, "Button1", "Kiválaszt", &TForm4::Button1Click);

  Label1 = new QLabel(kProducerSortHint, this);
  Label1->setObjectName(QStringLiteral("Label1"));
  auto *felirHint = new QLabel(QStringLiteral("FELIR másolás vágólapra (Ctrl C) : Klikk a név sorra"), this);
  felirHint->setObjectName(QStringLiteral("Label3"));

  Adata = new QFrame(this);
  Adata->setObjectName(QStringLiteral("Adata"));
  Adata->setFrameShape(QFrame::StyledPanel);
  auto *panel = new QGridLayout(Adata);
  int i = 0;
  for (const PanelItem &item : kPanel) {
    auto *caption = new QLabel(QString::fromUtf8(item.caption), Adata);
    auto *value = new QLabel(Adata);
    value->setObjectName(QStringLiteral("DB") + QString::fromLatin1(item.field));
    value->setProperty("field", QString::fromLatin1(item.field));
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    panel->addWidget(caption, i % 14, (i / 14) * 2);
    panel->addWidget(value, i % 14, (i / 14) * 2 + 1);
    panelValues_.append(value);
    ++i;
  }

  auto *search = new QHBoxLayout;
  search->addWidget(nameLabel);
  search->addWidget(Edit1, 1);
  search->addWidget(Button6);
  search->addWidget(DBNavigator1);
  auto *buttons = new QHBoxLayout;
  for (QPushButton *b : {Button2, Button3, Button4, Button7}) buttons->addWidget(b);
  buttons->addStretch(1);
  buttons->addWidget(Button5);
  buttons->addWidget(Button1);
  auto *root = new QVBoxLayout(this);
  root->addWidget(Label1);
  root->addWidget(DBGrid1, 1);
  root->addWidget(felirHint);
  root->addLayout(search);
  root->addWidget(Adata);
  root->addLayout(buttons);

  connect(source_, &db::DataSource::rowChanged, this, &TForm4::ShowPanel);
  connect(source_, &db::DataSource::dataChanged, this, &TForm4::ShowPanel);

  FormCreate();
}

TForm4::~TForm4() = default;

bool TForm4::Pick() { return PickFromList(Form4); }

void TForm4::FormCreate() {
  columns_ = ProducerColumns();
  OpenProducerList();
  ShowPanel();
}

void TForm4::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  if (!shown_) {
    shown_ = true;
    RunGuarded([this] { FormShow(); });
  }
}

void TForm4::FormShow() {
  columns_ = ProducerColumns();
  if (!columns_.contains(QStringLiteral("O_IGSZAM1"))) {
    platform::confirmYes(QStringLiteral("Frissítés. Menü->Segédlet->Nébih azon. felvétele menüpont végrehajtása!"));
    RememberOpeningRow();
    return;
  }
  // The list FormCreate has just opened is not fetched a second time.
  if (!ListInNameOrder()) OpenProducerList();
  Reposition();
  Label1->setText(kProducerSortHint);
  RememberOpeningRow();
}

bool TForm4::ListInNameOrder() const {
  const db::KeysetList &q = *Data->ZQ30;
  return q.active() && q.listActive() && q.list() == ProducerList(QStringLiteral("o_Nev"), columns_);
}

// Positions ZQ30 on the producer whose code is AktOstermeloKod. The code is
// matched whole (case-insensitive): a partial match of "1" would land on "12".
void TForm4::Reposition() {
  if (!AktOstermeloKod.isEmpty())
    Data->ZQ30->locate(QStringLiteral("o_kod"), AktOstermeloKod, {true, false});
}

void TForm4::RememberOpeningRow() {
  openingId_ = CurrentFieldText(Data->ZQ30, QStringLiteral("ID_OSTERMELO"));
}

void TForm4::RestoreOpeningRow() {
  db::Query *q = Data->ZQ30;
  if (openingId_.isEmpty()) return;
  if (q->active() && CurrentFieldText(q, QStringLiteral("ID_OSTERMELO")) == openingId_) return;
  OpenProducerList();
  q->locate(QStringLiteral("ID_ostermelo"), openingId_, {});
}

void TForm4::ShowPanel() {
  if (printing_) return;
  for (QLabel *value : panelValues_)
    value->setText(CurrentFieldText(Data->ZQ30, value->property("field").toString()));
}

void TForm4::CopyFelir() {
  QGuiApplication::clipboard()->setText(CurrentFieldText(Data->ZQ30, QStringLiteral("o_felir")));
}

void TForm4::Button1Click() { accept(); }

void TForm4::Button5Click() { reject(); }

void TForm4::reject() {
  // A cancelled pick leaves the caller the row it started with.
  RunGuarded([this] { RestoreOpeningRow(); });
  QDialog::reject();
}

void TForm4::Button2Click() {
  OstermeloMod = QStringLiteral("Új őstermelő");
  ShowModalDialog<TForm5>(Form5, [&](TForm5 *f) { f->onSaved = [this] { Label1->setText(kProducerSortByName); }; });
  if (!Data->ZQ30->active()) {
    // A failed save rolled back and so closed the list.
    OpenProducerList();
    Reposition();
  }
}

void TForm4::Button3Click() {
  OstermeloMod = QStringLiteral("Őstermelő módositás");
  ShowModalDialog<TForm5>(Form5, [&](TForm5 *f) {
    f->onSaved = [this] { Label1->setText(kProducerSortByName); };
    f->LoadProducer();
  });
  if (!Data->ZQ30->active()) {
    OpenProducerList();
    Reposition();
  }
}

void TForm4::Button4Click() {
  db::Query *list = Data->ZQ30;
  if (!list->active() || list->isEmpty()) return;
  const QString kod = CurrentFieldText(list, QStringLiteral("o_kod"));
  const QString id = CurrentFieldText(list, QStringLiteral("ID_ostermelo"));
  db::Query *q = Data->ZQ31;

  // Tickets name their producer by code: a producer on any ticket stays, or
  // that ticket would lose its producer.
  auto tickets = [&](bool printedOnly) {
    q->setSql({QStringLiteral("SELECT f_ostermkod, count(f_ostermkod) as db  "),
               QStringLiteral("  FROM  QzFej                                 ")});
    if (printedOnly) {
      q->sql().add(QStringLiteral("  WHERE (f_ostermkod = :p1) AND (f_prn = :p2) "));
    } else {
      q->sql().add(QStringLiteral("  WHERE (f_ostermkod = :p1) "));
    }
    q->sql().add(QStringLiteral("  GROUP BY f_ostermkod                        "));
    q->paramByName(QStringLiteral("p1")).setString(kod);
    if (printedOnly) q->paramByName(QStringLiteral("p2")).setString(QStringLiteral("I"));
    q->open();
    const qint64 n = q->isEmpty() ? 0 : q->fieldByName(QStringLiteral("db")).asInteger();
    q->close();
    return n;
  };
  if (tickets(true) >= 1) {
    platform::confirmYes(QStringLiteral("Az őstermelő már szerepel a nyomtatott felvásárlási jegyen !"));
  } else if (tickets(false) >= 1) {
    platform::confirmYes(QStringLiteral("Az őstermelő már szerepel felvásárlási jegyen !"));
  } else {
    DeleteUnlessLast(q, QStringLiteral("SELECT count(*) AS db FROM ostermelo      "),
                     QStringLiteral("Hiba41: östermelö DELETE törlésekor"),
                     {QStringLiteral("DELETE FROM ostermelo      "), QStringLiteral("  WHERE ID_ostermelo = :p1 ")},
                     id, QStringLiteral("Az őstermelő sor törlölve!"),
                     QStringLiteral("Az utolsó őstermelősor nem törölhető ki."));
  }
  OpenProducerList();
  Label1->setText(kProducerSortHint);
}

void TForm4::Button7Click() {
  // The whole table in Hungarian name order on the landscape layout
  // "QzLista2.frf"; ZQ30 keeps the print statement until the list is next
  // reopened.
  if (!OpenReceiverRow()) return;
  ReopenWith(Data->ZQ30, {QStringLiteral("SELECT * FROM ostermelo ORDER BY o_Nev COLLATE HUN_ABC, o_Szido")});
  {
    // The panel would be filled for every row the report passes.
    QScopedValueRollback<bool> quiet(printing_, true);
    // Each row prints its whole address: the street part as the ticket has
    // it, in v_ostermeloutca.
    report::TfrReport &r = *Data->frNyomtat;
    QScopedValueRollback<std::function<void(report::TfrBand *)>> street(
        r.OnBeginBand, [](report::TfrBand *band) {
          if (band->Typ == report::btMasterData)
            report::frVariables->SetVariable(QStringLiteral("v_ostermeloutca"),
                                             TData::streetOf(*Data->ZQ30, QStringLiteral("O_")));
        });
    ShowLayout(*Data->frNyomtat, QStringLiteral("QzLista2.frf"), QStringLiteral("Őstermelők listája"),
               PrintOrientation::Landscape);
  }
  ShowPanel();
}

void TForm4::Button6Click() { Edit1KeyUp(); }

void TForm4::Edit1KeyUp() {
  db::Query *q = Data->ZQ30;
  // The list in name order is reopened only when it is not what ZQ30 holds;
  // each key release then costs one locate.
  if (!ListInNameOrder()) OpenProducerList();
  q->locate(QStringLiteral("o_Nev"), Edit1->text(), {true, true});
}

void TForm4::DBGrid1TitleClick(int) {
  const QModelIndex current = DBGrid1->currentIndex();
  const int column = current.isValid() ? current.column() : 0;
  const QString field = kGridColumns.value(column, QStringLiteral("O_NEV"));
  if (!columns_.contains(field)) return;  // a column an older database lacks
  OpenProducerList(field);
  // The marked column stays marked for the next sort.
  DBGrid1->setCurrentIndex(model_->index(qMax(0, Data->ZQ30->recNo() - 1), column));
}

void TForm4::DBGrid1CellClick() { CopyFelir(); }

bool TForm4::eventFilter(QObject *watched, QEvent *event) {
  if (watched == Edit1 && event->type() == QEvent::KeyRelease) {
    RunGuarded([this] { Edit1KeyUp(); });
  } else if (watched == Button3 && event->type() == QEvent::KeyPress) {
    const QString t = static_cast<QKeyEvent *>(event)->text();
    if (t == QLatin1String("J") || t == QLatin1String("j") || t == QLatin1String("M") || t == QLatin1String("m")) {
      RunGuarded([this] { Button3Click(); });
      return true;
    }
  } else if (event->type() == QEvent::FocusOut &&
             (watched == DBGrid1 || watched->parent() == DBNavigator1)) {
    CopyFelir();
  }
  return QDialog::eventFilter(watched, event);
}
