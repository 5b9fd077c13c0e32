#include "designer/FR_Var.h"

#include "report/core/FR_Class_Report.h"
#include "report/core/FR_Class_ValueList.h"
#include "report/expr/FR_Intrp.h"
#include "report/ui/FR_Const.h"
#include "report/ui/FR_Utils_Gui.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace designer {

using report::frLoadStr;
using report::frNamed;

namespace {

// The category chosen last, for the whole process.
QString &lastCategory() {
  static QString name;
  return name;
}

// The built-in values offered under "Other": every kind but the expression
// (kind 1), by their shown names 55110 + kind.
constexpr int kOtherKinds[] = {0, 2, 3, 4, 5, 6, 7, 8};

}  // namespace

TfrVarForm::TfrVarForm(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frVarForm"));
  setWindowTitle(frLoadStr(53440));
  Label1 = frNamed(new QLabel(frLoadStr(53441), this), "Label1");
  ValCombo = frNamed(new QComboBox(this), "ValCombo");
  Label1->setBuddy(ValCombo);
  ValList = frNamed(new QListWidget(this), "ValList");
  ValCombo->setMinimumWidth(ValCombo->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 30);
  auto *lay = new QVBoxLayout(this);
  lay->addWidget(Label1);
  lay->addWidget(ValCombo);
  lay->addWidget(ValList, 1);
  connect(ValCombo, &QComboBox::currentIndexChanged, this, [this] { fillList(); });
  connect(ValList, &QListWidget::itemClicked, this, [this] { accept(); });
  ValList->installEventFilter(this);
  resize(sizeHint().width(), 280);
}

void TfrVarForm::showEvent(QShowEvent *e) {
  QDialog::showEvent(e);
  SelectedItem.clear();
  QStringList cats;
  if (report::frCurrentReport) report::frCurrentReport->GetCategoryList(cats);
  categories_ = static_cast<int>(cats.size());
  {
    QSignalBlocker block(ValCombo);
    ValCombo->clear();
    ValCombo->addItems(cats);
    ValCombo->addItem(frLoadStr(55075));
    ValCombo->addItem(frLoadStr(55342));
    const int last = ValCombo->findText(lastCategory(), Qt::MatchFixedString | Qt::MatchCaseSensitive);
    ValCombo->setCurrentIndex(last >= 0 ? last : 0);
  }
  fillList();
  ValList->setFocus();
}

void TfrVarForm::fillList() {
  ValList->clear();
  const int i = ValCombo->currentIndex();
  if (i < 0) return;
  QStringList items;
  if (i < categories_) {
    if (report::frCurrentReport) report::frCurrentReport->GetVarList(i, items);
  } else if (i == categories_) {
    for (int kind : kOtherKinds) items << frLoadStr(55110 + kind);
  } else if (report::frVariables) {
    for (int v = 0; v < report::frVariables->Count(); ++v) items << report::frVariables->GetNameByIndex(v);
  }
  ValList->addItems(items);
}

bool TfrVarForm::eventFilter(QObject *o, QEvent *e) {
  if (o == ValList && e->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent *>(e)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      accept();
      return true;
    }
  }
  return QDialog::eventFilter(o, e);
}

void TfrVarForm::done(int result) {
  const int cat = ValCombo->currentIndex();
  if (cat >= 0) lastCategory() = ValCombo->currentText();
  SelectedItem.clear();
  if (result == Accepted) {
    const QListWidgetItem *item = ValList->currentItem();
    const bool chosen = item && item->isSelected();
    if (cat == categories_) {
      // A built-in goes by its expression name; the first when none is chosen.
      const int row = chosen ? ValList->row(item) : 0;
      SelectedItem = QLatin1String(report::frBuiltInNames[kOtherKinds[row]]);
    } else if (chosen) {
      SelectedItem = item->text();
    }
  }
  QDialog::done(result);
}

}  // namespace designer
