#include "designer/FR_GrpEd.h"

#include "designer/FR_BndEd.h"
#include "designer/FR_Hilit.h"
#include "report/core/FR_Class_View.h"
#include "report/ui/FR_Const.h"
#include "report/ui/FR_Desgn_Intf.h"
#include "report/ui/FR_Utils_Gui.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace designer {

using namespace report;

TfrGroupEditorForm::TfrGroupEditorForm(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frGroupEditorForm"));
  setWindowTitle(frLoadStr(53490));
  Label1 = frNamed(new QLabel(frLoadStr(53491), this), "Label1");
  Edit1 = frNamed(new QLineEdit(this), "Edit1");
  frSetMinWidthInChars(Edit1, 40);
  Label1->setBuddy(Edit1);
  SB1 = frNamed(new QToolButton(this), "SB1");
  SB1->setText(QStringLiteral("..."));
  SB1->setToolTip(frLoadStr(53492));
  connect(SB1, &QToolButton::clicked, this, [this] {
    QString field;
    if (PickField && PickField(field)) Edit1->setText(field);
  });

  auto *edit = new QHBoxLayout;
  edit->addWidget(Edit1, 1);
  edit->addWidget(SB1);
  QHBoxLayout *buttons = frOkCancelRow(this, Button1, Button2);
  auto *lay = new QVBoxLayout(this);
  lay->addWidget(Label1);
  lay->addLayout(edit);
  lay->addStretch();
  lay->addLayout(buttons);
}

void TfrGroupEditorForm::showEvent(QShowEvent *e) {
  SB1->setEnabled(static_cast<bool>(PickField));
  QDialog::showEvent(e);
  Edit1->setFocus();
}

void TfrGroupEditorForm::done(int result) {
  if (result == Accepted && !frConditionAccepted(Edit1)) return;
  QDialog::done(result);
}

bool TfrGroupEditorForm::ShowEditor(TfrBandView &band, TfrReportDesigner *designer) {
  Edit1->setText(band.FormatStr);
  if (exec() != QDialog::Accepted) return false;
  if (designer) designer->BeforeChange();
  band.FormatStr = Edit1->text();
  return true;
}

}  // namespace designer
