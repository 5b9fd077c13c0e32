#include "designer/FR_DsOpt.h"

#include "designer/FR_Desgn.h"
#include "report/ui/FR_Const.h"
#include "report/ui/FR_Utils_Gui.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace designer {

using namespace report;

TfrDesOptionsForm::TfrDesOptionsForm(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frDesOptionsForm"));
  setWindowTitle(frLoadStr(53280));
  PageControl1 = frNamed(new QTabWidget(this), "PageControl1");
  Tab1 = frNamed(new QWidget, "Tab1");
  PageControl1->addTab(Tab1, frLoadStr(53281));
  auto group = [this](const char *name, int text) {
    return frNamed(new QGroupBox(frLoadStr(text), Tab1), name);
  };
  GroupBox1 = group("GroupBox1", 53282);
  GroupBox2 = group("GroupBox2", 53283);
  GroupBox3 = group("GroupBox3", 53284);
  GroupBox4 = group("GroupBox4", 53285);
  GroupBox5 = group("GroupBox5", 53297);
  auto check = [](QGroupBox *g, const char *name, int text) {
    return frNamed(new QCheckBox(frLoadStr(text), g), name);
  };
  auto radio = [](QGroupBox *g, const char *name, int text) {
    return frNamed(new QRadioButton(frLoadStr(text), g), name);
  };
  CB1 = check(GroupBox1, "CB1", 53286);
  CB2 = check(GroupBox1, "CB2", 53287);
  RB4 = radio(GroupBox2, "RB4", 53292);
  RB5 = radio(GroupBox2, "RB5", 53293);
  RB6 = radio(GroupBox3, "RB6", 53294);
  RB7 = radio(GroupBox3, "RB7", 53295);
  RB8 = radio(GroupBox3, "RB8", 53296);
  RB1 = radio(GroupBox4, "RB1", 53289);
  RB2 = radio(GroupBox4, "RB2", 53290);
  RB3 = radio(GroupBox4, "RB3", 53291);
  CB3 = check(GroupBox5, "CB3", 53288);
  CB4 = check(GroupBox5, "CB4", 53298);
  CB5 = check(GroupBox5, "CB5", 53299);
  for (QAbstractButton *b : std::initializer_list<QAbstractButton *>{CB1, CB2, RB4, RB6, RB1, CB3})
    b->setChecked(true);
  QHBoxLayout *buttons = frOkCancelRow(this, Button1, Button2);

  frColumn(GroupBox1, {CB1, CB2}, true);
  frColumn(GroupBox2, {RB4, RB5}, true);
  frColumn(GroupBox3, {RB6, RB7, RB8}, true);
  frColumn(GroupBox4, {RB1, RB2, RB3}, true);
  frColumn(GroupBox5, {CB3, CB4, CB5}, true);
  auto *t = new QGridLayout(Tab1);
  t->addWidget(GroupBox1, 0, 0);
  t->addWidget(GroupBox4, 0, 1);
  t->addWidget(GroupBox2, 1, 0);
  t->addWidget(GroupBox3, 1, 1);
  t->addWidget(GroupBox5, 2, 0, 1, 2);
  auto *lay = new QVBoxLayout(this);
  lay->addWidget(PageControl1);
  lay->addLayout(buttons);
}

void TfrDesOptionsForm::SetOptions(const TfrDesignerOptions &o) {
  CB1->setChecked(o.ShowGrid);
  CB2->setChecked(o.GridAlign);
  (o.GridSize == 4 ? RB1 : o.GridSize == 8 ? RB2 : RB3)->setChecked(true);
  (o.ObjectMoving == 0 ? RB4 : RB5)->setChecked(true);
  (o.Units == 1 ? RB7 : o.Units == 2 ? RB8 : RB6)->setChecked(true);
  CB3->setChecked(o.ColoredButtons);
  CB4->setChecked(o.EditAfterInsert);
  CB5->setChecked(o.ShowBandTitles);
}

void TfrDesOptionsForm::GetOptions(TfrDesignerOptions &o) const {
  o.ShowGrid = CB1->isChecked();
  o.GridAlign = CB2->isChecked();
  o.GridSize = RB1->isChecked() ? 4 : RB2->isChecked() ? 8 : 18;
  o.ObjectMoving = RB4->isChecked() ? 0 : 1;
  o.Units = RB7->isChecked() ? 1 : RB8->isChecked() ? 2 : 0;
  o.ColoredButtons = CB3->isChecked();
  o.EditAfterInsert = CB4->isChecked();
  o.ShowBandTitles = CB5->isChecked();
}

bool EditDesignerOptions(QWidget *parent, TfrDesignerOptions &options) {
  TfrDesOptionsForm dlg(parent);
  dlg.SetOptions(options);
  if (dlg.exec() != QDialog::Accepted) return false;
  dlg.GetOptions(options);
  return true;
}

}  // namespace designer
