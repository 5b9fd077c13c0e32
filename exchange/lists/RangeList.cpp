#include "exchange/lists/RangeList.h"

#include "app/SharedState.h"
#include "app/Unit2.h"
#include "app/common/ListGrid.h"
#include "app/common/ListRows.h"
#include "app/common/Navigator.h"
#include "app/common/Widgets.h"
#include "db/dataset.h"
#include "db/datasetmodel.h"
#include "platform/conv.h"
#include "report/expr/FR_Intrp.h"

#include <QDateEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

TRangeListForm::TRangeListForm(QWidget *owner, const char *name, const QString &caption) : QDialog(owner) {
  setObjectName(QLatin1String(name));
  setWindowTitle(caption);
  setModal(true);

  DateTimePicker1 = Widgets::makeDatePicker(this, "DateTimePicker1");
  DateTimePicker2 = Widgets::makeDatePicker(this, "DateTimePicker2");
  RadioGroup1 = Widgets::makeDateKindGroup(this, RadioButton1, RadioButton2);

  model_ = new db::DataSetModel(this);
  model_->setDataSource(Data->DSQ20);
  DBGrid1 = MakeListGrid(this, model_);
  DBGrid1->horizontalHeader()->setStretchLastSection(true);
  DBNavigator1 = MakeNavigator(this, Data->ZQ20);
  Button1 = MakeListButton(this, "Button1", "Kigyüjtés", &TRangeListForm::Button1Click);
  Button2 = MakeListButton(this, "Button2", "Nyomtatás", &TRangeListForm::Button2Click);
  Button3 = MakeListButton(this, "Button3", "Mégsem", &TRangeListForm::Button3Click);
  Button2->setEnabled(false);

  auto *dates = new QHBoxLayout;
  dates->addWidget(Widgets::makeLabel(this, "Label1", QStringLiteral("Dátum: ")));
  dates->addWidget(DateTimePicker1);
  dates->addWidget(Widgets::makeLabel(this, "Label2", QStringLiteral("-tól")));
  dates->addSpacing(12);
  dates->addWidget(DateTimePicker2);
  dates->addWidget(Widgets::makeLabel(this, "Label3", QStringLiteral("-ig")));
  dates->addStretch(1);
  auto *options = new QHBoxLayout;
  options->addWidget(RadioGroup1);
  options->addStretch(1);
  auto *buttons = new QHBoxLayout;
  buttons->addWidget(DBNavigator1);
  buttons->addStretch(1);
  for (QPushButton *b : {Button1, Button2, Button3}) buttons->addWidget(b);
  auto *top = new QVBoxLayout(this);
  top->addLayout(dates);
  top->addLayout(options);
  top->addWidget(DBGrid1, 1);
  top->addLayout(buttons);

  connect(DateTimePicker1, &QDateEdit::dateChanged, this, [this] { RangeChanged(); });
  connect(DateTimePicker2, &QDateEdit::dateChanged, this, [this] { RangeChanged(); });
  connect(RadioButton1, &QRadioButton::clicked, this, [this] { RangeChanged(); });
  connect(RadioButton2, &QRadioButton::clicked, this, [this] { RangeChanged(); });
  // A commit elsewhere closes the groups: nothing is left to print.
  connect(Data->ZQ20, &db::DataSet::closed, Button2, [this] { Button2->setEnabled(false); });

  resize(std::max(560, sizeHint().width()), 440);
}

void TRangeListForm::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  if (shown_) return;
  shown_ = true;
  RunGuarded([this] { FormShow(); });
}

void TRangeListForm::FormShow() {
  Data->ZQ20->close();
  const QString year = platform::DateToStr(QDate::currentDate()).left(4);
  DateTimePicker1->setDate(platform::StrToDate(year + QStringLiteral(".01.01")));
  DateTimePicker2->setDate(platform::StrToDate(year + QStringLiteral(".12.31")));
  Button2->setEnabled(false);
}

void TRangeListForm::RangeChanged() {
  Button2->setEnabled(false);
  Data->ZQ20->close();
}

lists::Range TRangeListForm::CurrentRange() const {
  return {RadioButton1->isChecked(), DateTimePicker1->date(), DateTimePicker2->date(), AtvevoKod};
}

void TRangeListForm::Button1Click() {
  Button2->setEnabled(false);
  Osszesen = Gather(CurrentRange());
  Button2->setEnabled(true);
}

void TRangeListForm::Button2Click() {
  if (!Data->ZQ20->active()) return;
  Print();
}

void TRangeListForm::Button3Click() { reject(); }

void TRangeListForm::SetListVariables(const QString &order) {
  const TData::TListaSzuro &s = Data->ListaSzuro;
  report::TfrVariables &v = *report::frVariables;
  v.SetVariable(QStringLiteral("v_datum"),
                s.FizetesiDatum ? QStringLiteral("Fizetési ") : QStringLiteral("Felvásárlási "));
  v.SetVariable(QStringLiteral("v_osszesen"), Osszesen);
  v.SetVariable(QStringLiteral("v_tol"), platform::DateToStr(s.Tol));
  v.SetVariable(QStringLiteral("v_ig"), platform::DateToStr(s.Ig));
  v.SetVariable(QStringLiteral("v_sorrend"), order);
}
