#include "exchange/lists/Unit30.h"

#include "app/MenuCommands.h"
#include "app/SharedState.h"
#include "app/Unit2.h"
#include "app/common/LimitedEdit.h"
#include "app/common/ListGrid.h"
#include "app/common/ListRows.h"
#include "app/common/Navigator.h"
#include "app/common/Widgets.h"
#include "app/producers/Unit4.h"
#include "db/dataset.h"
#include "db/datasetmodel.h"
#include "exchange/lists/ListGathers.h"
#include "exchange/lists/ListPrint.h"
#include "platform/conv.h"
#include "report/expr/FR_Intrp.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

TForm30 *Form30 = nullptr;

VORIK_MENU_COMMAND(stermelhavibontsban1, TForm30, Form30)

namespace {

LimitedEdit *readOnly(QWidget *parent, const char *name, int chars) {
  LimitedEdit *e = Widgets::makeEdit(parent, name);
  e->setWidthChars(chars);
  e->setReadOnly(true);
  return e;
}

QString text(db::Query &q, const char *column) { return q.fieldByName(QString::fromLatin1(column)).asString(); }

void setVariable(const char *name, const QString &value) {
  report::frVariables->SetVariable(QString::fromLatin1(name), value);
}

}  // namespace

TForm30::TForm30(QWidget *owner) : QDialog(owner) {
  setObjectName(QStringLiteral("Form30"));
  setWindowTitle(QStringLiteral("Egy östermelö havi bontásban termékenként "));
  setModal(true);

  Edit1 = Widgets::makeEdit(this, "Edit1");
  Edit1->setWidthChars(40);
  Edit1->setToolTip(QStringLiteral("A kezdö betü(k) beírása a gyorsabb kereséshez"));
  Button1 = MakeListButton(this, "Button1", "Őstermelő", &TForm30::Button1Click);
  Button1->setToolTip(QStringLiteral("Személyek megjelenitése"));
  Edit2 = readOnly(this, "Edit2", 60);
  Edit3 = readOnly(this, "Edit3", 60);
  Edit4 = readOnly(this, "Edit4", 10);
  Edit5 = readOnly(this, "Edit5", 16);
  Edit6 = readOnly(this, "Edit6", 16);
  Edit7 = readOnly(this, "Edit7", 16);
  for (LimitedEdit *e : {Edit5, Edit6, Edit7}) {
    e->setText(QStringLiteral("0"));
    e->setAlignment(Qt::AlignRight);
  }
  CheckBox1 = new QCheckBox(QStringLiteral("Részletezö lista"), this);
  CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
  model_ = new db::DataSetModel(this);
  model_->setDataSource(Data->DS11);
  DBGrid1 = MakeListGrid(this, model_);
  DBNavigator1 = MakeNavigator(this, Data->ZQ11);
  Button2 = MakeListButton(this, "Button2", "Kigyüjtés", &TForm30::Button2Click);
  Button3 = MakeListButton(this, "Button3", "Nyomtatás", &TForm30::Button3Click);
  Button4 = MakeListButton(this, "Button4", "Mégsem", &TForm30::Button4Click);
  Button2->setEnabled(false);
  Button3->setEnabled(false);

  auto *producer = new QGridLayout;
  producer->addWidget(Widgets::makeLabel(this, "Label1", QStringLiteral("Név:")), 0, 0);
  producer->addWidget(Edit1, 0, 1);
  producer->addWidget(Button1, 0, 2, Qt::AlignLeft);
  producer->addWidget(Widgets::makeLabel(this, "Label2", QStringLiteral("Cím:")), 1, 0);
  producer->addWidget(Edit2, 1, 1, 1, 2);
  producer->addWidget(Widgets::makeLabel(this, "Label3", QStringLiteral("Adatok:")), 2, 0);
  producer->addWidget(Edit3, 2, 1, 1, 2);
  producer->addWidget(Widgets::makeLabel(this, "Label4", QStringLiteral("Kód:")), 3, 0);
  producer->addWidget(Edit4, 3, 1, Qt::AlignLeft);
  producer->setColumnStretch(3, 1);
  auto *totals = new QHBoxLayout;
  totals->addWidget(Widgets::makeLabel(this, "Label5", QStringLiteral("Felvásárlási ár:")));
  totals->addWidget(Edit5);
  totals->addSpacing(12);
  totals->addWidget(Widgets::makeLabel(this, "Label6", QStringLiteral("Komp.felár:")));
  totals->addWidget(Edit6);
  totals->addSpacing(12);
  totals->addWidget(Widgets::makeLabel(this, "Label7", QStringLiteral("Kifiz.:")));
  totals->addWidget(Edit7);
  totals->addStretch(1);
  auto *notes = new QHBoxLayout;
  auto *fixed = new QVBoxLayout;
  fixed->addWidget(
      Widgets::makeLabel(this, "Label8", QStringLiteral("Csoportositás: A felvásárlás dátum hónapja alapján")));
  fixed->addWidget(Widgets::makeLabel(this, "Label9",
                                      QStringLiteral("Átlagár: nettó felvásárlási ár osztva mennyiséggel")));
  notes->addLayout(fixed);
  notes->addStretch(1);
  notes->addWidget(CheckBox1, 0, Qt::AlignBottom);
  auto *buttons = new QHBoxLayout;
  buttons->addWidget(DBNavigator1);
  buttons->addStretch(1);
  for (QPushButton *b : {Button2, Button3, Button4}) buttons->addWidget(b);
  auto *top = new QVBoxLayout(this);
  top->addLayout(producer);
  top->addLayout(totals);
  top->addLayout(notes);
  top->addWidget(DBGrid1, 1);
  top->addLayout(buttons);

  connect(CheckBox1, &QCheckBox::clicked, this, &TForm30::CheckBox1Click);
  connect(Data->ZQ11, &db::DataSet::closed, Button3, [this] { Button3->setEnabled(false); });
  resize(std::max(760, sizeHint().width()), 520);
}

void TForm30::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  if (shown_) return;
  shown_ = true;
  RunGuarded([this] { FormShow(); });
}

void TForm30::FormShow() { Data->ZQ11->close(); }

void TForm30::Button1Click() {
  db::Query &p = *Data->ZQ30;
  ReopenWith(&p, {QStringLiteral("SELECT * FROM OSTERMELO ORDER BY o_Nev COLLATE HUN_ABC")});
  if (!p.locate(QStringLiteral("o_Nev"), Edit1->text(), {true, true})) p.first();
  AktOstermeloKod = p.isEmpty() ? QString() : text(p, "O_KOD");
  // A cancelled pick changes nothing.
  if (!TForm4::Pick()) return;
  if (p.isEmpty() || p.eof()) return;
  const QString address =
      text(p, "O_IRSZAM") + QStringLiteral("  ") + text(p, "O_HELYSEGNEV") + QStringLiteral("  ") + text(p, "O_UTCA");
  const db::Field &born = p.fieldByName(QStringLiteral("O_SZIDO"));
  const QString birth = QStringLiteral("Szül.idö: ") + (born.isNull() ? QString() : platform::DateToStr(born.asDate())) +
                        QStringLiteral("  Anyja neve: ") + text(p, "O_ANYJA");
  Edit1->setText(text(p, "O_NEV"));
  Edit2->setText(address);
  Edit3->setText(birth);
  Edit4->setText(text(p, "O_KOD"));
  setVariable("v_nev", text(p, "O_NEV"));
  setVariable("v_cim", address);
  setVariable("v_szido", birth);
  // The figures gathered so far belong to the previous producer.
  Button3->setEnabled(false);
  Button2->setEnabled(true);
}

void TForm30::Button2Click() {
  Button3->setEnabled(false);
  const lists::ProducerTotals t = lists::GatherProducerMonths(Edit4->text(), AtvevoKod, CheckBox1->isChecked());
  const QString far = lists::NumberText(t.felvar), kar = lists::NumberText(t.felar),
                var = lists::NumberText(t.vetelar);
  setVariable("v_far", far);
  setVariable("v_kar", kar);
  setVariable("v_var", var);
  Edit5->setText(far);
  Edit6->setText(kar);
  Edit7->setText(var);
  Button3->setEnabled(true);
}

void TForm30::Button3Click() {
  if (!Data->ZQ11->active()) return;
  PrintList(QStringLiteral("QzLista9.frf"));
}

void TForm30::Button4Click() { reject(); }

void TForm30::CheckBox1Click() { Button3->setEnabled(false); }
