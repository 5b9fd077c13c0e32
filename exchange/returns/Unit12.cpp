#include "exchange/returns/Unit12.h"

#include "app/MenuCommands.h"
#include "app/PrintLayout.h"
#include "app/SharedState.h"
#include "app/Unit2.h"
#include "app/common/FieldKeys.h"
#include "app/common/ListGrid.h"
#include "app/common/ListRows.h"
#include "app/common/Navigator.h"
#include "app/common/Widgets.h"
#include "db/datasetmodel.h"
#include "exchange/returns/Gather08M.h"
#include "platform/conv.h"
#include "report/expr/FR_Intrp.h"
#include "report/expr/FR_Values.h"

#include <QDate>
#include <QDateEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

TForm12 *Form12 = nullptr;

VORIK_MENU_COMMAND(Bevallslista1, TForm12, Form12)

namespace {

struct Order {
  const char *button, *caption, *orderBy, *sorrend;
};
const std::array<Order, 5> kOrders = {{
    {"RadioButton1", "Östermelö", "  ORDER BY o_nev COLLATE HUN_ABC, f_fizkelt ", "östermelö"},
    {"RadioButton2", "Fiz.dátum", "  ORDER BY f_fizkelt, o_nev COLLATE HUN_ABC ", "fizetés dátum"},
    {"RadioButton3", "Vorik", "  ORDER BY s_Bszam, s_megnevezes COLLATE HUN_ABC ", "vorik szám"},
    {"RadioButton4", "Termék", "  ORDER BY s_megnevezes COLLATE HUN_ABC, o_nev COLLATE HUN_ABC ", "termék megnevezés"},
    {"RadioButton5", "Felv.dátum", "  ORDER BY f_felvkelt, o_nev COLLATE HUN_ABC ", "felvásárlás dátum"},
}};

}  // namespace

TForm12::TForm12(QWidget *owner) : QDialog(owner) {
  setObjectName(QStringLiteral("Form12"));
  setWindowTitle(QStringLiteral("Tételes lista"));
  setModal(true);

  DateTimePicker1 = Widgets::makeDatePicker(this, "DateTimePicker1");
  DateTimePicker2 = Widgets::makeDatePicker(this, "DateTimePicker2");
  RadioGroup1 = new QGroupBox(QStringLiteral("Sorrend:"), this);
  RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
  auto *radios = new QHBoxLayout(RadioGroup1);
  std::array<QRadioButton **, 5> buttons{&RadioButton1, &RadioButton2, &RadioButton3, &RadioButton4, &RadioButton5};
  for (std::size_t i = 0; i < kOrders.size(); ++i) {
    auto *r = new QRadioButton(QString::fromUtf8(kOrders[i].caption), RadioGroup1);
    r->setObjectName(QLatin1String(kOrders[i].button));
    radios->addWidget(r);
    connect(r, &QRadioButton::clicked, this, &TForm12::RadioGroup1Click);
    *buttons[i] = r;
  }
  RadioButton1->setChecked(true);

  model_ = new db::DataSetModel(this);
  model_->setDataSource(Data->DSQ20);
  model_->setColumns({{QStringLiteral("S_MEGNEVEZES"), QStringLiteral("Megnevezés")},
                      {QStringLiteral("S_EAR"), QStringLiteral("E.ár")},
                      // The line's net quantity: QZSOR has no column of the quantity's own name.
                      {QStringLiteral("S_NETTO"), QStringLiteral("Mennyiség")},
                      {QStringLiteral("S_MEGY"), QStringLiteral("M.egys.")},
                      {QStringLiteral("S_BSZAM"), QStringLiteral("Bszám")},
                      {QStringLiteral("S_VTSZ"), QStringLiteral("VTSZ")},
                      {QStringLiteral("S_KOMPMERTEKE"), QStringLiteral("Komp.%")},
                      {QStringLiteral("S_TERMEKKOD"), QStringLiteral("Termékkód")},
                      {QStringLiteral("ID_QZSOR"), QStringLiteral("ID")}});
  DBGrid1 = MakeListGrid(this, model_);
  DBNavigator1 = MakeNavigator(this, Data->ZQ20);
  Button1 = MakeListButton(this, "Button1", "Kigyüjtés", &TForm12::Button1Click);
  Button2 = MakeListButton(this, "Button2", "Nyomtatás", &TForm12::Button2Click);
  Button3 = MakeListButton(this, "Button3", "Mégsem", &TForm12::Button3Click);
  Button2->setEnabled(false);

  using Widgets::makeLabel;
  auto *dates = new QHBoxLayout;
  dates->addWidget(makeLabel(this, "Label1", QStringLiteral("Bevallási idöszak: ")));
  dates->addWidget(DateTimePicker1);
  dates->addWidget(makeLabel(this, "Label2", QStringLiteral("-tól")));
  dates->addSpacing(12);
  dates->addWidget(DateTimePicker2);
  dates->addWidget(makeLabel(this, "Label3", QStringLiteral("-ig")));
  dates->addSpacing(12);
  dates->addWidget(makeLabel(this, "Label4", QStringLiteral("Fizetési dátum szerint")));
  dates->addStretch(1);
  auto *bottom = new QHBoxLayout;
  bottom->addWidget(DBNavigator1);
  bottom->addStretch(1);
  for (QPushButton *b : {Button1, Button2, Button3}) bottom->addWidget(b);
  auto *top = new QVBoxLayout(this);
  top->addLayout(dates);
  top->addWidget(RadioGroup1);
  top->addWidget(DBGrid1, 1);
  top->addLayout(bottom);

  connect(DateTimePicker1, &QDateEdit::dateChanged, this, &TForm12::DateTimePicker1Change);
  // The listed lines belong to the gathered period: a new end date needs a new gather too.
  connect(DateTimePicker2, &QDateEdit::dateChanged, this, &TForm12::DateTimePicker1Change);
  FieldKeys::installEnterNavigation(this);
  resize(std::max(760, sizeHint().width()), 520);
}

TForm12::~TForm12() = default;

void TForm12::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  if (shown_) return;
  shown_ = true;
  FormShow();
}

void TForm12::FormShow() {
  const QString year = platform::DateToStr(QDate::currentDate()).left(4);
  DateTimePicker1->setDate(platform::StrToDate(year + QStringLiteral(".01.01")));
  DateTimePicker2->setDate(platform::StrToDate(year + QStringLiteral(".12.31")));
  Button2->setEnabled(false);
}

void TForm12::DateTimePicker1Change() { Button2->setEnabled(false); }
void TForm12::RadioGroup1Click() { Button2->setEnabled(false); }

int TForm12::order() const {
  const QRadioButton *r[] = {RadioButton1, RadioButton2, RadioButton3, RadioButton4, RadioButton5};
  for (int i = 0; i < 5; ++i)
    if (r[i]->isChecked()) return i;
  return 0;
}

void TForm12::Button1Click() {
  Button2->setEnabled(false);
  const returns::Period p{platform::DateToStr(DateTimePicker1->date()), platform::DateToStr(DateTimePicker2->date())};
  db::Query *q = Data->ZQ20;
  returns::OpenForPeriod(q,
                         {QStringLiteral("SELECT * FROM QZSOR LEFT JOIN QZFEJ ON s_bszam = f_bszam "),
                          QStringLiteral("  LEFT JOIN OSTERMELO ON f_ostermkod = o_kod "),
                          QStringLiteral("  WHERE (f_fizkelt >= :p1 AND f_fizkelt <= :p2) AND (f_akod = :p3) "),
                          QString::fromUtf8(kOrders[static_cast<std::size_t>(order())].orderBy)},
                         p, AtvevoKod);
  // The total is the sum of the lines' amounts as they print.
  long double total = 0;
  const db::Field &amount = q->fieldByName(QStringLiteral("S_VETELAR"));
  for (q->first(); !q->eof(); q->next())
    if (!amount.isNull()) total += report::frRoundDecimal(amount.asFloat(), 2);
  q->first();
  osszesen_ = platform::FloatToStr(total);
  Button2->setEnabled(true);
}

void TForm12::Button2Click() {
  if (!OpenReceiverRow()) return;
  ShowLayout(*Data->frNyomtat, QStringLiteral("QzLista4.frf"), QStringLiteral("Bevallás tételes lista"), PrintOrientation::Landscape, [this] {
    report::frVariables->SetVariable(QStringLiteral("v_osszesen"), osszesen_);
    report::frVariables->SetVariable(QStringLiteral("v_tol"), platform::DateToStr(DateTimePicker1->date()));
    report::frVariables->SetVariable(QStringLiteral("v_ig"), platform::DateToStr(DateTimePicker2->date()));
    report::frVariables->SetVariable(QStringLiteral("v_sorrend"),
                                     QString::fromUtf8(kOrders[static_cast<std::size_t>(order())].sorrend));
  });
}

void TForm12::Button3Click() { reject(); }
