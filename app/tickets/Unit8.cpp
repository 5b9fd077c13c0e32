#include "app/tickets/Unit8.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <memory>

#include "app/common/Widgets.h"
#include "app/MenuCommands.h"
#include "app/SharedState.h"
#include "app/Unit2.h"
#include "db/dataset.h"
#include "db/datasetmodel.h"
#include "db/datasource.h"
#include "db/keyset.h"
#include "platform/dialogs.h"

#include "app/common/ListGrid.h"
#include "app/common/Navigator.h"
#include "app/common/Guarded.h"
#include "app/tickets/TicketPrint.h"
#include "app/tickets/TicketQueries.h"
#include "app/tickets/TicketState.h"
#include "app/tickets/TicketModification.h"
#include "app/tickets/Unit9.h"

TForm8 *Form8 = nullptr;

namespace {

using Widgets::makeButton;
using Widgets::makeEdit;

TForm8::Command &printCommand() {
  static TForm8::Command c;
  return c;
}

TForm8::Command &cancelCommand() {
  static TForm8::Command c;
  return c;
}

struct Column {
  const char *title;
  const char *field;
};

// Columns of the "Fejsor" grid; the first five can sort the list.
const Column kHeaderColumns[] = {
    {"Bszám", "F_BSZAM"},          {"Österm.kód", "F_OSTERMKOD"}, {"Név", "O_NEV"},
    {"Dátum", "F_KELT"},           {"Print", "F_PRN"},            {"Megjegyzés", "F_MEGJ"},
    {"Irszám", "O_IRSZAM"},        {"Helységnév", "O_HELYSEGNEV"}, {"Utca", "O_UTCA"},
    {"Adószám", "O_ADOSZAM"},      {"Adóazonositó", "O_ADOAZON"}, {"Szja", "F_SZJA"},
    {"Átvevökód", "F_AKOD"},       {"ID", "ID_QZFEJ"}};

struct Sort {
  const char *orderBy;
  const char *label;
};
const Sort kSorts[] = {
    {"f_Bszam", "Felvásárlási jegy lista, \"Bizonylatszám\" szerint"},
    {"f_ostermkod", "Felvásárlási jegy lista, \"Őstermelőkód\" szerint"},
    {"o_nev", "Felvásárlási jegy lista, név szerint"},
    {"f_kelt", "Felvásárlási jegy lista, dátum szerint"},
    {"f_prn", "Felvásárlási jegy lista, volt-e nyomtatva szerint"}};

const Column kLineColumns[] = {
    {"Bizonylatszám", "S_BSZAM"}, {"Megnevezés", "S_MEGNEVEZES"}, {"Mennyiség", "S_BRUTTO"},
    {"M.egys.", "S_MEGY"},        {"Egységár", "S_EAR"},          {"Komp. %", "S_KOMPMERTEKE"},
    {"Felvásár. ár", "S_FELVAR"}, {"Komp.felár", "S_KOMPFELAR"},  {"Vételár", "S_VETELAR"},
    {"Szja %", "S_SZJA"},         {"VTSZ", "S_VTSZ"},             {"ID", "ID_QZSOR"},
    {"Termékkód", "S_TERMEKKOD"}, {"Átvevő", "S_AKOD"}};

// The current row's header data below the tabs, and the producer tab.
const Column kRowFields[] = {
    {"ID:", "ID_QZFEJ"},        {"Bszám:", "F_BSZAM"},          {"Átvevőkód:", "F_AKOD"},
    {"Őstermelőkód:", "F_OSTERMKOD"}, {"Dátum:", "F_KELT"},     {"Szja:", "F_SZJA"},
    {"Print:", "F_PRN"},        {"Megjegyzés:", "F_MEGJ"},      {"Érvényesitve:", "O_ERVKELT"},
    {"Betétlap:", "O_BETETLAP"}, {"Érvényt. bszám:", "F_ERVENYT"}};

const Column kProducerFields[] = {
    {"Név:", "O_NEV"},           {"Kód:", "O_KOD"},               {"ID:", "ID_OSTERMELO"},
    {"Irányítószám:", "O_IRSZAM"}, {"Helység:", "O_HELYSEGNEV"},  {"Utca:", "O_UTCA"},
    {"Adóazonosító:", "O_ADOAZON"}, {"Adószám:", "O_ADOSZAM"},    {"Igazolvány:", "O_IGSZAM"},
    {"Reg.szám:", "O_REGSZAM"},  {"TAJ:", "O_TAJ"},               {"Bankszámla:", "O_BANKSZLA"},
    {"Szja:", "O_SZJA"},         {"Szül.hely:", "O_SZULHELY"},    {"Szül.idő:", "O_SZIDO"},
    {"Anyja neve:", "O_ANYJA"},  {"Neme:", "O_NEME"},             {"FELIR:", "O_FELIR"},
    {"OCSG:", "O_CSGAZD1"},      {"OCSG érvényes:", "O_ERVKELT1"}, {"NÉBIH:", "O_IGSZAM1"}};

// The ticket grid's model: the producer's columns of a ticket come from the
// producer lookup by the row's F_OSTERMKOD.
class TicketListModel : public db::DataSetModel {
 public:
  TicketListModel(QObject *parent, db::DataSet *list, const TicketQueries::ProducerLookup *producers)
      : db::DataSetModel(parent), list_(list), producers_(producers) {}
  void setFieldNames(const QStringList &names) { names_ = names; }

  QVariant data(const QModelIndex &index, int role) const override {
    if (index.isValid() && index.column() < names_.size() &&
        names_[index.column()].startsWith(QLatin1String("O_")) &&
        (role == Qt::DisplayRole || role == Qt::EditRole)) {
      db::Field *code = list_->active() ? list_->findField(QStringLiteral("F_OSTERMKOD")) : nullptr;
      if (!code) return QVariant();
      return producers_->value(list_->textAt(index.row(), code->index()), names_[index.column()]);
    }
    return db::DataSetModel::data(index, role);
  }

 private:
  db::DataSet *list_;
  const TicketQueries::ProducerLookup *producers_;
  QStringList names_;
};

template <size_t N>
void bindGrid(QTableView *grid, db::DataSet *dataSet, const Column (&columns)[N],
              const TicketQueries::ProducerLookup *producers = nullptr) {
  grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid->setSelectionMode(QAbstractItemView::SingleSelection);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  auto *source = new db::DataSource(grid);
  source->setDataSet(dataSet);
  db::DataSetModel *model;
  if (producers) {
    auto *list = new TicketListModel(grid, dataSet, producers);
    QStringList names;
    for (const Column &c : columns) names << QLatin1String(c.field);
    list->setFieldNames(names);
    model = list;
  } else {
    model = new db::DataSetModel(grid);
  }
  model->setDataSource(source);
  QList<db::DataSetModel::Column> list;
  for (const Column &c : columns)
    list.append({QLatin1String(c.field), QString::fromUtf8(c.title)});
  model->setColumns(list);
  BindListGrid(grid, model);
}

QString fieldText(db::DataSet &d, const QString &name) {
  if (!d.active() || d.isEmpty()) return QString();
  db::Field *f = d.findField(name);
  return f ? f->asString() : QString();
}

}  // namespace

void TForm8::setPrintTicket(Command command) { printCommand() = std::move(command); }
void TForm8::setCancelTicket(Command command) { cancelCommand() = std::move(command); }

TForm8::TForm8(QWidget *parent) : QDialog(parent) {
  buildUi();
  // FormCreate (the producers are read with it), on the last serial entered
  TicketQueries::openTicketList(QStringLiteral("f_Bszam"), UtolsoBszam);
  showCurrentRow();
}

TForm8::~TForm8() = default;

void TForm8::buildUi() {
  setObjectName(QStringLiteral("Form8"));
  setWindowTitle(QStringLiteral("Felvásárlási jegy"));
  setModal(true);

  Edit1 = Widgets::makeEdit(this, "Edit1");
  Edit1->setWidthChars(10);  // a serial
  Edit1->setToolTip(QStringLiteral("Kezdö betükre rákeres"));
  Button7 = makeButton(this, "Button7", QStringLiteral("Keres"));
  auto *search = new QHBoxLayout;
  search->addWidget(new QLabel(QStringLiteral("Bizonylat:"), this));
  search->addWidget(Edit1);
  search->addWidget(Button7);
  search->addStretch();

  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  auto *headerPage = new QWidget;
  headerPage->setObjectName(QStringLiteral("TabSheet1"));
  Label9 = new QLabel(QStringLiteral("Fejsor rendezettsége:"), headerPage);
  Label9->setObjectName(QStringLiteral("Label9"));
  DBGrid1 = new QTableView(headerPage);
  DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
  auto *headerLayout = new QVBoxLayout(headerPage);
  headerLayout->addWidget(Label9);
  headerLayout->addWidget(DBGrid1);
  headerLayout->addWidget(MakeNavigator(headerPage, Data->ZQ10));
  PageControl1->addTab(headerPage, QStringLiteral("Fejsor"));

  auto *linesPage = new QWidget;
  linesPage->setObjectName(QStringLiteral("TabSheet2"));
  DBGrid2 = new QTableView(linesPage);
  DBGrid2->setObjectName(QStringLiteral("DBGrid2"));
  (new QVBoxLayout(linesPage))->addWidget(DBGrid2);
  PageControl1->addTab(linesPage, QStringLiteral("Tételsor"));

  auto *producerPage = new QWidget;
  producerPage->setObjectName(QStringLiteral("TabSheet3"));
  auto *producerForm = new QFormLayout(producerPage);
  for (const Column &c : kProducerFields) {
    auto *value = new QLabel(producerPage);
    value->setObjectName(QStringLiteral("P_") + QLatin1String(c.field));
    producerForm->addRow(QString::fromUtf8(c.title), value);
  }
  PageControl1->addTab(producerPage, QStringLiteral("Östermelő"));

  auto *rowBox = new QGroupBox(QStringLiteral("Felvásárlási jegy fejsor adata"), this);
  auto *rowGrid = new QGridLayout(rowBox);
  int i = 0;
  for (const Column &c : kRowFields) {
    // The remark (up to 200 characters) gets a row of its own, in a field
    // that scrolls rather than widening the window.
    const bool remark = qstrcmp(c.field, "F_MEGJ") == 0;
    QWidget *value = remark ? static_cast<QWidget *>(makeEdit(rowBox, "R_F_MEGJ", 200)) : new QLabel(rowBox);
    value->setObjectName(QStringLiteral("R_") + QLatin1String(c.field));
    const int row = remark ? 3 : i / 4, column = remark ? 0 : (i % 4) * 2;
    rowGrid->addWidget(new QLabel(QString::fromUtf8(c.title), rowBox), row, column);
    rowGrid->addWidget(value, row, column + 1, 1, remark ? 7 : 1);
    if (auto *edit = qobject_cast<QLineEdit *>(value)) edit->setReadOnly(true);
    if (!remark) ++i;
  }

  Button1 = makeButton(this, "Button1", QStringLiteral("Új"));
  Button2 = makeButton(this, "Button2", QStringLiteral("Módosít"));
  Button3 = makeButton(this, "Button3", QStringLiteral("Megtekint"));
  // The cancelling command's guard is Button4's handler; printing is Button5.
  Button5 = makeButton(this, "Button5", QStringLiteral("Nyomtat"));
  Button4 = makeButton(this, "Button4", QStringLiteral("Érvénytelenit"));
  Button4->setToolTip(QStringLiteral(
      "Stornó. A kiválasztott bizonylat mennyiség minusz eggyel szorzása és új "
      "bizonylatszámon létrehozva."));
  Button6 = makeButton(this, "Button6", QStringLiteral("Mégsem"));
  auto *buttons = new QHBoxLayout;
  for (QPushButton *b : {Button1, Button2, Button3, Button5, Button4}) buttons->addWidget(b);
  buttons->addStretch();
  buttons->addWidget(Button6);

  auto *top = new QVBoxLayout(this);
  top->addLayout(search);
  top->addWidget(PageControl1, 1);
  top->addWidget(rowBox);
  top->addLayout(buttons);

  connect(Edit1, &QLineEdit::textEdited, this, [this] { RunGuarded([this] { Search(); }); });
  connect(Button7, &QPushButton::clicked, this, [this] { RunGuarded([this] { Search(); }); });
  connect(Button1, &QPushButton::clicked, this, [this] { RunGuarded([this] { NewTicket(); }); });
  connect(Button2, &QPushButton::clicked, this, [this] { RunGuarded([this] { ModifyTicket(); }); });
  connect(Button3, &QPushButton::clicked, this, [this] {
    NyomtatMod = QStringLiteral("Megtekint");
    RunGuarded([this] { PrintTicket(); });
  });
  connect(Button5, &QPushButton::clicked, this, [this] {
    NyomtatMod = QStringLiteral("Nyomtat");
    RunGuarded([this] { PrintTicket(); });
  });
  connect(Button4, &QPushButton::clicked, this, [this] {
    RunGuarded([this] {
      if (cancelCommand()) cancelCommand()(this);
    });
  });
  connect(Button6, &QPushButton::clicked, this, &TForm8::reject);
  connect(PageControl1, &QTabWidget::currentChanged, this, [this] { RunGuarded([this] { TabChanged(); }); });
  bindGrid(DBGrid1, Data->ZQ10, kHeaderColumns, &producers_);
  bindGrid(DBGrid2, Data->ZQ20, kLineColumns);
  connect(DBGrid1->horizontalHeader(), &QHeaderView::sectionClicked, this,
          [this](int column) { RunGuarded([this, column] { SortBy(column); }); });
  Button2->installEventFilter(this);
  connect(Data->ZQ10, &db::DataSet::currentRowChanged, this, [this] { showCurrentRow(); });
  // Producers can be added or changed through the entry dialog's picker:
  // read them again whenever the list is read.
  connect(Data->ZQ10, &db::DataSet::opened, this,
          [this] { RunGuarded([this] { producers_.reload(); }); });
}

void TForm8::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  RunGuarded([this] { FormShow(); });
}

void TForm8::FormShow() {
  // The constructor opened the list in serial order on the last serial a
  // moment ago.
  if (!Data->ZQ10->active()) TicketQueries::openTicketList(QStringLiteral("f_Bszam"), UtolsoBszam);
  Label9->setText(QStringLiteral("A lista, \"Bszám\" szerint"));
  showCurrentRow();
}

void TForm8::showCurrentRow() {
  db::DataSet &list = *Data->ZQ10;
  const QString producer = fieldText(list, QStringLiteral("F_OSTERMKOD"));
  for (const Column &c : kRowFields) {
    const QString field = QLatin1String(c.field);
    const QString text = field.startsWith(QLatin1String("O_")) ? producers_.value(producer, field)
                                                                : fieldText(list, field);
    if (auto *l = findChild<QLabel *>(QStringLiteral("R_") + field)) l->setText(text);
    if (auto *e = findChild<QLineEdit *>(QStringLiteral("R_") + field)) {
      e->setText(text);
      e->setCursorPosition(0);  // also when the text is the same again
    }
  }
}

void TForm8::TabChanged() {
  db::DataSet &list = *Data->ZQ10;
  TicketQueries::openLines(fieldText(list, QStringLiteral("F_BSZAM")));
  TicketQueries::openProducer(fieldText(list, QStringLiteral("F_OSTERMKOD")));
  for (const Column &c : kProducerFields) {
    if (auto *l = findChild<QLabel *>(QStringLiteral("P_") + QLatin1String(c.field)))
      l->setText(fieldText(*Data->ZQ31, QLatin1String(c.field)));
  }
}

void TForm8::SortBy(int column) {
  if (column < 0 || column >= static_cast<int>(std::size(kSorts))) return;
  TicketQueries::openTicketList(QLatin1String(kSorts[column].orderBy));
  Label9->setText(QString::fromUtf8(kSorts[column].label));
  showCurrentRow();
}

void TForm8::Search() {
  // A list already open in serial order is only positioned (the database
  // finds the row): the search runs at every key.
  db::KeysetList &list = *Data->ZQ10;
  if (list.active() && list.listActive() && list.list() == TicketQueries::ticketList(QStringLiteral("f_Bszam"))) {
    if (!list.isEmpty() &&
        !list.locate(QStringLiteral("F_BSZAM"), Edit1->text(), db::LocateOptions{true, true}))
      list.first();  // no match: the first row, as a fresh read would leave it
  } else {
    TicketQueries::openTicketList(QStringLiteral("f_Bszam"), Edit1->text());
  }
  Label9->setText(QString::fromUtf8(kSorts[0].label));
  showCurrentRow();
}

void TForm8::NewTicket() {
  JegyMod = kJegyModUj;
  std::unique_ptr<TForm9> dialog(new TForm9(nullptr));
  Form9 = dialog.get();
  if (dialog->StartNew()) dialog->exec();
  Form9 = nullptr;
  showCurrentRow();
}

void TForm8::ModifyTicket() { OpenForModify(true); }

void TForm8::OpenForModify(bool guarded) {
  db::DataSet &list = *Data->ZQ10;
  if (!list.active() || list.isEmpty()) return;  // no ticket to modify
  JegyMod = kJegyModModositas;
  std::unique_ptr<TForm9> dialog(new TForm9(nullptr));
  // The rules read the ticket as the modification opens it: a print or a
  // cancelling by another instance after this is refused at its writes.
  dialog->LoadTicket();
  if (guarded) {
    const TicketModification &m = *dialog->Modification();
    const char *refusal = nullptr;
    if (m.printed()) refusal = "A felvásárlási jegy már nyomtatva volt!";
    else if (m.type() != QLatin1String("1")) refusal = "Az érvénytelenített felvásárlási jegy nem módosítható!";
    if (refusal) {
      dialog.reset();
      TabChanged();  // the modification's end closed the row's lines
      platform::confirmYes(QString::fromUtf8(refusal));
      return;
    }
  }
  Form9 = dialog.get();
  dialog->exec();
  Form9 = nullptr;
  dialog.reset();
  TabChanged();
  showCurrentRow();
}

void TForm8::PrintTicket() {
  const QString serial = fieldText(*Data->ZQ10, QStringLiteral("F_BSZAM"));
  if (printCommand()) printCommand()(this);
  else TicketPrint::PrintTicket(this);
  // The print reads the list again; it stands on the ticket just shown, so
  // that the next command acts on that ticket rather than on the row the
  // reading left current.
  db::KeysetList &list = *Data->ZQ10;
  if (!serial.isEmpty() && list.active() && !list.isEmpty() &&
      fieldText(list, QStringLiteral("F_BSZAM")) != serial)
    list.locate(QStringLiteral("F_BSZAM"), serial);
  showCurrentRow();
}

bool TForm8::eventFilter(QObject *watched, QEvent *event) {
  if (watched == Button2 && event->type() == QEvent::KeyPress) {
    auto *ke = static_cast<QKeyEvent *>(event);
    if (ke->key() == Qt::Key_M && !(ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
      RunGuarded([this] { OpenForModify(); });
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

// Main menu "Felvásárlási jegy".
VORIK_MENU_COMMAND(Felvsrlsijegy1, TForm8, Form8)
