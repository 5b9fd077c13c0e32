#include "report/ui/FR_Srch.h"

#include "report/ui/FR_Const.h"
#include "report/ui/FR_Utils_Gui.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace report {

TfrPreviewSearchForm::TfrPreviewSearchForm(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frPreviewSearchForm"));
  setWindowTitle(frLoadStr(53000));
  Label1 = frNamed(new QLabel(frLoadStr(53001), this), "Label1");
  Edit1 = frNamed(new QLineEdit(this), "Edit1");
  Label1->setBuddy(Edit1);
  frSetMinWidthInChars(Edit1, 36);
  GroupBox1 = frNamed(new QGroupBox(frLoadStr(53002), this), "GroupBox1");
  CB1 = frNamed(new QCheckBox(frLoadStr(53003), GroupBox1), "CB1");
  GroupBox2 = frNamed(new QGroupBox(frLoadStr(53004), this), "GroupBox2");
  RB1 = frNamed(new QRadioButton(frLoadStr(53005), GroupBox2), "RB1");
  RB2 = frNamed(new QRadioButton(frLoadStr(53006), GroupBox2), "RB2");
  RB1->setChecked(true);
  QHBoxLayout *buttons = frOkCancelRow(this, Button1, Button2);

  frColumn(GroupBox1, {CB1}, true);
  frColumn(GroupBox2, {RB1, RB2});
  auto *groups = new QHBoxLayout;
  groups->addWidget(GroupBox1);
  groups->addWidget(GroupBox2);
  auto *lay = new QVBoxLayout(this);
  lay->addWidget(Label1);
  lay->addWidget(Edit1);
  lay->addLayout(groups);
  lay->addLayout(buttons);
}

void TfrPreviewSearchForm::showEvent(QShowEvent *e) {
  QDialog::showEvent(e);
  Edit1->setFocus();
}

}  // namespace report
