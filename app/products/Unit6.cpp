#include "app/products/Unit6.h"

#include "app/MenuCommands.h"
#include "app/PrintLayout.h"
#include "app/SharedState.h"
#include "app/Unit2.h"
#include "app/common/ListGrid.h"
#include "app/common/ListRows.h"
#include "app/common/Guarded.h"
#include "app/common/Navigator.h"
#include "app/products/Unit7.h"
#include "db/dataset.h"
#include "db/datasetmodel.h"
#include "db/datasource.h"
#include "db/keyset.h"
#include "platform/conv.h"
#include "platform/dialogs.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTableView>
#include <QVBoxLayout>

TForm6 *Form6 = nullptr;

VORIK_MENU_COMMAND(Termk1, TForm6, Form6)

void OpenProductList(const QString &orderBy) {
  db::ListSpec list;
  list.columns = QStringLiteral("*");
  list.from = QStringLiteral("termek");
  // The name in the Hungarian order, through its index in that collation.
  if (orderBy.compare(QLatin1String("t_megnevezes"), Qt::CaseInsensitive) == 0)
    list.order = {{orderBy, QStringLiteral("T_MEGNEVEZES"), true, QStringLiteral("HUN_ABC")}};
  else list.order = {{orderBy, orderBy}};
  list.identity = QStringLiteral("ID_TERMEK");
  Data->ZQ40->setList(list);
  Data->ZQ40->openAt();
}

QString NextProductCode() {
  return NextNumericCode(Data->ZQ41, QStringLiteral("SELECT  t_kod FROM termek    "), QStringLiteral("t_kod"));
}

TForm6::TForm6(QWidget *owner) : QDialog(owner) {
  setObjectName(QStringLiteral("Form6"));
  setWindowTitle(QStringLiteral("Termék"));
  setModal(true);
  resize(820, 600);

  source_ = new db::DataSource(this);
  source_->setObjectName(QStringLiteral("DSQ40"));
  source_->setDataSet(Data->ZQ40);
  model_ = new db::DataSetModel(this);
  model_->setDataSource(source_);
  model_->setColumns({{QStringLiteral("t_kod"), QStringLiteral("Kód")},
                      {QStringLiteral("t_megnevezes"), QStringLiteral("Megnevezés")},
                      {QStringLiteral("t_VTSZ"), QStringLiteral("VTSZ")},
                      {QStringLiteral("t_Ear"), QStringLiteral("Eár")},
                      {QStringLiteral("t_megy"), QStringLiteral("M.egység")},
                      {QStringLiteral("t_Kompmerteke"), QStringLiteral("Komp.mértéke")},
                      {QStringLiteral("ID_Termek"), QStringLiteral("ID")}});

  DBGrid1 = MakeListGrid(this, model_);
  DBGrid1->setToolTip(QStringLiteral("Termék sorrend: klikk az \"kód\" , \"Megnevezés\" vagy \"ID\" oszlop fejlécre"));
  connect(DBGrid1->horizontalHeader(), &QHeaderView::sectionClicked, this,
          [this](int column) { RunGuarded([&] { DBGrid1TitleClick(column); }); });

  DBNavigator1 = MakeNavigator(this, Data->ZQ40);

  Button2 = MakeListButton(this, "Button2", "Új", &TForm6::Button2Click);
  Button3 = MakeListButton(this, "Button3", "Módosít", &TForm6::Button3Click);
  Button4 = MakeListButton(this, "Button4", "Töröl", &TForm6::Button4Click);
  Button6 = MakeListButton(this, "Button6", "Nyomtatás", &TForm6::Button6Click);
  Button5 = MakeListButton(this, "Button5", "Mégsem", &TForm6::Button5Click);
  Button1 = MakeListButton(this, "Button1", "Kiválaszt", &TForm6::Button1Click);

  Label1 = new QLabel(QStringLiteral("Lista sorrend: "), this);
  Label1->setObjectName(QStringLiteral("Label1"));

  Adatok = new QFrame(this);
  Adatok->setObjectName(QStringLiteral("Adatok"));
  Adatok->setFrameShape(QFrame::StyledPanel);
  auto *panel = new QGridLayout(Adatok);
  const struct {
    const char *caption, *field;
  } items[] = {{"Kód:", "T_KOD"},       {"ID", "ID_TERMEK"},        {"Megnevezés:", "T_MEGNEVEZES"},
               {"VTSZ:", "T_VTSZ"},     {"Egységár:", "T_EAR"},     {"M.egység", "T_MEGY"},
               {"Komp.mértéke:", "T_KOMPMERTEKE"}};
  int i = 0;
  for (const auto &item : items) {
    auto *value = new QLabel(Adatok);
    value->setObjectName(QStringLiteral("DB") + QString::fromLatin1(item.field));
    value->setProperty("field", QString::fromLatin1(item.field));
    panel->addWidget(new QLabel(QString::fromUtf8(item.caption), Adatok), i % 4, (i / 4) * 2);
    panel->addWidget(value, i % 4, (i / 4) * 2 + 1);
    panelValues_.append(value);
    ++i;
  }

  auto *buttons = new QHBoxLayout;
  for (QPushButton *b : {Button2, Button3, Button4, Button6}) buttons->addWidget(b);
  buttons->addStretch(1);
  buttons->addWidget(Button5);
  buttons->addWidget(Button1);
  auto *root = new QVBoxLayout(this);
  root->addWidget(Label1);
  root->addWidget(DBGrid1, 1);
  root->addWidget(DBNavigator1);
  root->addWidget(Adatok);
  root->addLayout(buttons);

  connect(source_, &db::DataSource::rowChanged, this, &TForm6::ShowPanel);
  connect(source_, &db::DataSource::dataChanged, this, &TForm6::ShowPanel);

  FormCreate();
}

TForm6::~TForm6() = default;

bool TForm6::Pick() { return PickFromList(Form6); }

void TForm6::FormCreate() { OpenProductList(); }

void TForm6::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  if (!shown_) {
    shown_ = true;
    RunGuarded([this] { FormShow(); });
  }
}

void TForm6::FormShow() {
  OpenProductList();
  Data->ZQ40->locate(QStringLiteral("t_megnevezes"), AktTermek, {true, true});
  Label1->setText(kProductSortByName);
  openingId_ = CurrentFieldText(Data->ZQ40, QStringLiteral("ID_TERMEK"));
}

void TForm6::ShowPanel() {
  if (printing_) return;
  for (QLabel *value : panelValues_) value->setText(CurrentFieldText(Data->ZQ40, value->property("field").toString()));
}

void TForm6::Button1Click() { accept(); }

void TForm6::Button5Click() { reject(); }

void TForm6::reject() {
  // A cancelled pick leaves the caller the row it started with.
  RunGuarded([this] {
    db::Query *q = Data->ZQ40;
    if (openingId_.isEmpty()) return;
    if (q->active() && CurrentFieldText(q, QStringLiteral("ID_TERMEK")) == openingId_) return;
    OpenProductList();
    q->locate(QStringLiteral("ID_Termek"), openingId_, {});
  });
  QDialog::reject();
}

void TForm6::AfterEntry() {
  if (!Data->ZQ40->active()) {
    // A failed save rolled back and so closed the list.
    OpenProductList();
    Data->ZQ40->locate(QStringLiteral("t_megnevezes"), AktTermek, {true, true});
  }
}

void TForm6::Button2Click() {
  TermekMod = QStringLiteral("Új termék");
  ShowModalDialog<TForm7>(Form7, [&](TForm7 *f) { f->onSaved = [this] { Label1->setText(kProductSortByName); }; });
  AfterEntry();
}

void TForm6::Button3Click() {
  TermekMod = QStringLiteral("Termék módositás");
  ShowModalDialog<TForm7>(Form7, [&](TForm7 *f) {
    f->onSaved = [this] { Label1->setText(kProductSortByName); };
    f->LoadProduct();
  });
  AfterEntry();
}

void TForm6::Button4Click() {
  db::Query *list = Data->ZQ40;
  if (!list->active() || list->isEmpty()) return;
  const QString id = CurrentFieldText(list, QStringLiteral("ID_termek"));
  DeleteUnlessLast(Data->ZQ41, QStringLiteral("SELECT count(*) AS db FROM termek  "),
                   QStringLiteral("Hiba61: termék DELETE törlésekor"),
                   {QStringLiteral("DELETE FROM termek      "), QStringLiteral("  WHERE ID_termek = :p1 ")}, id,
                   QStringLiteral("Az termék sor törlölve!"), QStringLiteral("Az utolsó terméksor nem törölhető ki."));
  OpenProductList();
  Data->ZQ40->locate(QStringLiteral("t_megnevezes"), AktTermek, {true, true});
  Label1->setText(kProductSortByName);
}

void TForm6::Button6Click() {
  // The whole table in Hungarian name order on the landscape layout "QzLista6.frf".
  if (!OpenReceiverRow()) return;
  ReopenWith(Data->ZQ40, {QStringLiteral("SELECT * FROM termek ORDER BY t_megnevezes COLLATE HUN_ABC")});
  {
    // The panel would be filled for every row the report passes.
    QScopedValueRollback<bool> quiet(printing_, true);
    ShowLayout(*Data->frNyomtat, QStringLiteral("QzLista6.frf"), QStringLiteral("Termékek listája"),
               PrintOrientation::Landscape);
  }
  ShowPanel();
}

void TForm6::DBGrid1TitleClick(int column) {
  switch (column) {
    case 0:
      OpenProductList(QStringLiteral("t_kod"));
      Label1->setText(QStringLiteral("Termék lista, \"Kód\" szerint"));
      break;
    case 1:
      OpenProductList();
      Label1->setText(kProductSortByName);
      break;
    case 6:
      OpenProductList(QStringLiteral("ID_Termek"));
      Label1->setText(QStringLiteral("Termék lista a beviteli sorrend szerint"));
      break;
    default:
      break;
  }
}
