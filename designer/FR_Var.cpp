#include "designer/FR_Var.h"

#include "report/core/FR_Class_Report.h"
#include "report/core/FR_Class_ValueList.h"
#include "report/expr/FR_Intrp.h"
#include "report/ui/FR_Const.h"

#include <QComboBox>
#include <QListWidget>

namespace designer {

using report::frLoadStr;

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

TfrVarForm::TfrVarForm(QWidget *parent)
    : TfrListPickerForm(QStringLiteral("frVarForm"), 53440, 53441, parent) {}

void TfrVarForm::showEvent(QShowEvent *e) {
  QDialog::showEvent(e);
  SelectedItem.clear();
  QStringList groups;
  if (report::frCurrentReport) report::frCurrentReport->GetCategoryList(groups);
  categories_ = static_cast<int>(groups.size());
  groups << frLoadStr(55075) << frLoadStr(55342);
  fillGroups(groups, lastCategory());
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
