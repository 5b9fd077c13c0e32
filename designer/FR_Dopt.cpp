#include "designer/FR_Dopt.h"

#include "report/core/FR_Class_Report.h"
#include "report/output/FR_Prntr.h"
#include "report/ui/FR_Const.h"
#include "report/ui/FR_Utils_Gui.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace designer {

using namespace report;

namespace {

QStringList printerList() { return frPrinter ? frPrinter->Printers : QStringList{frDefaultPrinterName()}; }
int currentPrinter() { return frPrinter ? frPrinter->PrinterIndex() : 0; }

}  // namespace

TfrDocOptForm::TfrDocOptForm(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frDocOptForm"));
  setWindowTitle(frLoadStr(53370));
  GroupBox1 = frNamed(new QGroupBox(frLoadStr(53371), this), "GroupBox1");
  ComB1 = frNamed(new QComboBox(GroupBox1), "ComB1");
  ComB1->setMinimumContentsLength(28);
  ComB1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  CB1 = frNamed(new QCheckBox(frLoadStr(53372), GroupBox1), "CB1");
  GroupBox2 = frNamed(new QGroupBox(frLoadStr(53373), this), "GroupBox2");
  CB2 = frNamed(new QCheckBox(frLoadStr(53374), GroupBox2), "CB2");
  QHBoxLayout *buttons = frOkCancelRow(this, Button1, Button2);
  frColumn(GroupBox1, {ComB1, CB1});
  frColumn(GroupBox2, {CB2});
  auto *lay = new QVBoxLayout(this);
  lay->addWidget(GroupBox1);
  lay->addWidget(GroupBox2);
  lay->addLayout(buttons);
  ComB1->addItems(printerList());
  ComB1->setCurrentIndex(currentPrinter());
}

void TfrDocOptForm::showEvent(QShowEvent *e) {
  ComB1->clear();
  ComB1->addItems(printerList());
  ComB1->setCurrentIndex(currentPrinter());
  QDialog::showEvent(e);
}

bool EditReportOptions(QWidget *parent, TfrReport &report) {
  TfrDocOptForm dlg(parent);
  dlg.CB1->setChecked(!report.PrintToDefault);
  dlg.CB2->setChecked(report.DoublePass);
  const int oldPrinter = currentPrinter();
  if (dlg.exec() != QDialog::Accepted) return false;
  report.PrintToDefault = !dlg.CB1->isChecked();
  report.DoublePass = dlg.CB2->isChecked();
  const int chosen = dlg.ComB1->currentIndex();
  // A printer that cannot be used is reported and the old one kept.
  if (frPrinter && chosen >= 0 && chosen != oldPrinter) report.ChangePrinter(oldPrinter, chosen);
  return true;
}

}  // namespace designer
