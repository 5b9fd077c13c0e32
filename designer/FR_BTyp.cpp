#include "designer/FR_BTyp.h"

#include "designer/FR_BndEd.h"
#include "report/core/FR_Class_View.h"
#include "report/ui/FR_Const.h"
#include "report/ui/FR_Utils_Gui.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace designer {

using namespace report;

bool frRepeatableBand(int t) {
  return (t >= btMasterHeader && t <= btSubDetailFooter) || t == btGroupHeader || t == btGroupFooter;
}

namespace {

constexpr int kFirstColumn = 11;  // types 0 to 10 in the first column
constexpr int kLeft = 8, kSecondLeft = 130, kTop = 20, kRow = 20;

}  // namespace

TfrBandTypesForm::TfrBandTypesForm(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frBandTypesForm"));
  setWindowTitle(frLoadStr(53510));
  GB1 = frNamed(new QGroupBox(frLoadStr(53511), this), "GB1");
  // Two columns at fixed places, the second moved right when a caption of
  // the first would not fit in the platform font; rows never less than a
  // button's height.
  int firstWidth = 0, secondWidth = 0, rowHeight = kRow;
  for (int t = btReportTitle; t < btNone; ++t) {
    RB[t] = new QRadioButton(frLoadStr(55077 + t), GB1);
    RB[t]->setObjectName(QStringLiteral("RB%1").arg(t + 1));
    const QSize hint = RB[t]->sizeHint();
    int &width = t < kFirstColumn ? firstWidth : secondWidth;
    width = std::max(width, hint.width());
    rowHeight = std::max(rowHeight, hint.height());
  }
  const int secondLeft = std::max(kSecondLeft, kLeft + firstWidth + 8);
  for (int t = btReportTitle; t < btNone; ++t) {
    const int row = t < kFirstColumn ? t : t - kFirstColumn;
    const int w = t < kFirstColumn ? firstWidth : secondWidth;
    RB[t]->setGeometry(t < kFirstColumn ? kLeft : secondLeft, kTop + row * rowHeight, w,
                       RB[t]->sizeHint().height());
  }
  GB1->setMinimumSize(secondLeft + secondWidth + kLeft, kTop + kFirstColumn * rowHeight + 8);
  QHBoxLayout *buttons = frOkCancelRow(this, Button1, Button2);
  auto *lay = new QVBoxLayout(this);
  lay->addWidget(GB1);
  lay->addLayout(buttons);
}

int TfrBandTypesForm::ShowEditor(const std::function<bool(int type)> &exists) {
  bool checked = false;
  for (int t = btReportTitle; t < btNone; ++t) {
    RB[t]->setEnabled(frRepeatableBand(t) || !exists || !exists(t));
    if (RB[t]->isEnabled() && !checked) RB[t]->setChecked(true), checked = true;
  }
  if (exec() != QDialog::Accepted) return -1;
  for (int t = btReportTitle; t < btNone; ++t)
    if (RB[t]->isChecked() && RB[t]->isEnabled()) return t;
  return -1;
}

}  // namespace designer
