#include "exchange/lists/SummaryList.h"

#include "app/Unit2.h"
#include "app/common/ListGrid.h"
#include "app/common/ListRows.h"
#include "app/common/Navigator.h"
#include "app/common/Widgets.h"
#include "db/dataset.h"
#include "db/datasetmodel.h"
#include "exchange/lists/ListPrint.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

TSummaryListForm::TSummaryListForm(QWidget *owner, const char *name, const QString &caption,
                                   const QString &boxText, const QStringList &labels)
    : QDialog(owner) {
  setObjectName(QLatin1String(name));
  setWindowTitle(caption);
  setModal(true);

  CheckBox1 = new QCheckBox(boxText, this);
  CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
  model_ = new db::DataSetModel(this);
  model_->setDataSource(Data->DS11);
  DBGrid1 = MakeListGrid(this, model_);
  DBNavigator1 = MakeNavigator(this, Data->ZQ11);
  Button1 = MakeListButton(this, "Button1", "Kigyüjtés", &TSummaryListForm::Button1Click);
  Button2 = MakeListButton(this, "Button2", "Nyomtatás", &TSummaryListForm::Button2Click);
  Button3 = MakeListButton(this, "Button3", "Mégsem", &TSummaryListForm::Button3Click);
  Button2->setEnabled(false);

  auto *top = new QVBoxLayout(this);
  for (int i = 0; i < labels.size(); ++i)
    top->addWidget(Widgets::makeLabel(this, QStringLiteral("Label%1").arg(i + 1).toLatin1().constData(), labels[i]));
  top->addWidget(CheckBox1);
  top->addWidget(DBGrid1, 1);
  auto *buttons = new QHBoxLayout;
  buttons->addWidget(DBNavigator1);
  buttons->addStretch(1);
  for (QPushButton *b : {Button1, Button2, Button3}) buttons->addWidget(b);
  top->addLayout(buttons);

  connect(CheckBox1, &QCheckBox::clicked, this, &TSummaryListForm::CheckBox1Click);
  connect(Data->ZQ11, &db::DataSet::closed, Button2, [this] { Button2->setEnabled(false); });
  resize(std::max(600, sizeHint().width()), 480);
}

void TSummaryListForm::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  if (shown_) return;
  shown_ = true;
  RunGuarded([this] { FormShow(); });
}

void TSummaryListForm::FormShow() { Data->ZQ11->close(); }

void TSummaryListForm::Button1Click() {
  Button2->setEnabled(false);
  Gather(CheckBox1->isChecked());
  Button2->setEnabled(true);
}

void TSummaryListForm::Button2Click() {
  if (!Data->ZQ11->active()) return;
  PrintList(LayoutFile(CheckBox1->isChecked()));
}

void TSummaryListForm::Button3Click() { reject(); }

void TSummaryListForm::CheckBox1Click() { Button2->setEnabled(false); }
