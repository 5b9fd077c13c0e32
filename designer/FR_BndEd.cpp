#include "designer/FR_BndEd.h"

#include "designer/FR_BTyp.h"
#include "designer/FR_Desgn.h"
#include "designer/FR_Ev_ed.h"
#include "designer/FR_Flds.h"
#include "designer/FR_GrpEd.h"
#include "designer/FR_VBnd.h"
#include "report/core/FR_Class_View.h"
#include "report/data/FR_DSet.h"
#include "report/ui/FR_Const.h"
#include "report/ui/FR_Desgn_Intf.h"
#include "report/ui/FR_Utils_Gui.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace designer {

using namespace report;

namespace {

constexpr int kNoneId = 55076;
constexpr int kVirtualId = 55333;

}  // namespace

bool frIsVirtualSource(const QString &name) { return !name.isEmpty() && name[0] >= u'1' && name[0] <= u'9'; }

void frFillDataSources(QComboBox *list) {
  list->clear();
  list->addItem(frLoadStr(kNoneId));
  list->addItem(frLoadStr(kVirtualId));
  QStringList names;
  frGetComponents(frReportOwner(), TfrDataset::staticMetaObject, names);
  list->addItems(names);
}

void frShowDataSource(const QString &stored, QComboBox *list, QLineEdit *count) {
  if (frIsVirtualSource(stored)) {
    list->setCurrentIndex(1);
    count->setText(stored);
    return;
  }
  count->clear();
  // Names compare as components do: without regard to case; never the two
  // fixed entries for a stored name that merely equals their text.
  int found = 0;
  for (int i = 2; i < list->count(); ++i)
    if (list->itemText(i).compare(stored, Qt::CaseInsensitive) == 0) {
      found = i;
      break;
    }
  list->setCurrentIndex(found);
}

QString frDataSourceChoice(const QComboBox *list, const QLineEdit *count) {
  if (list->currentIndex() == 1) return count->hasAcceptableInput() ? count->text() : QString();
  return list->currentText();
}

void frEnableRecordCount(const QComboBox *list, QLabel *label, QLineEdit *count) {
  const bool virt = list->currentIndex() == 1;
  label->setEnabled(virt);
  count->setEnabled(virt);
}

void frSetRecordCountInput(QLineEdit *count) {
  count->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[1-9][0-9]{0,8}")), count));
}

// ---------------------------------------------------------------- band data source

TfrBandEditorForm::TfrBandEditorForm(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frBandEditorForm"));
  setWindowTitle(frLoadStr(53480));
  Label1 = frNamed(new QLabel(frLoadStr(53481), this), "Label1");
  CB1 = frNamed(new QComboBox(this), "CB1");
  frSetMinWidthInChars(CB1, 30);
  Label1->setBuddy(CB1);
  Label2 = frNamed(new QLabel(frLoadStr(53482), this), "Label2");
  E1 = frNamed(new QLineEdit(this), "E1");
  frSetRecordCountInput(E1);
  Label2->setBuddy(E1);
  connect(CB1, &QComboBox::currentIndexChanged, this, [this] { updateControls(); });
  connect(E1, &QLineEdit::textChanged, this, [this] { updateControls(); });

  auto *grid = new QGridLayout;
  grid->addWidget(Label1, 0, 0);
  grid->addWidget(CB1, 0, 1);
  grid->addWidget(Label2, 1, 0);
  grid->addWidget(E1, 1, 1);
  QHBoxLayout *buttons = frOkCancelRow(this, Button1, Button2);
  auto *lay = new QVBoxLayout(this);
  lay->addLayout(grid);
  lay->addStretch();
  lay->addLayout(buttons);
  frFillDataSources(CB1);
  updateControls();
}

void TfrBandEditorForm::updateControls() {
  frEnableRecordCount(CB1, Label2, E1);
  Button1->setEnabled(!frDataSourceChoice(CB1, E1).isEmpty());
}

bool TfrBandEditorForm::ShowEditor(TfrBandView &band, TfrReportDesigner *designer) {
  frFillDataSources(CB1);
  frShowDataSource(band.FormatStr, CB1, E1);
  updateControls();
  const QString shown = frDataSourceChoice(CB1, E1);
  if (exec() != QDialog::Accepted) return false;
  const QString choice = frDataSourceChoice(CB1, E1);
  if (choice.isEmpty()) return false;
  // A name no component has shows as "[None]"; OK without a new choice keeps it.
  if (choice == shown) return true;
  if (designer) designer->BeforeChange();
  band.FormatStr = choice;
  return true;
}

// ---------------------------------------------------------------- wiring

void installBandEditors(TfrDesignerForm &form) {
  form.ChooseBandType = [&form] {
    TfrBandTypesForm dlg(&form);
    return dlg.ShowEditor([&form](int type) { return form.BandTypeExists(type); });
  };
  form.EditBand = [&form](TfrBandView &band, int kind) {
    switch (kind) {
      case 0: {
        TfrBandEditorForm dlg(&form);
        return dlg.ShowEditor(band, &form);
      }
      case 1: {
        TfrGroupEditorForm dlg(&form);
        // The condition's "Insert DB field" button: the database field picker.
        dlg.PickField = [&dlg](QString &field) {
          TfrFieldsForm picker(&dlg);
          if (picker.exec() != QDialog::Accepted || picker.DBField.isEmpty()) return false;
          field = picker.DBField;
          return true;
        };
        return dlg.ShowEditor(band, &form);
      }
      case 2: {
        if (!form.CurPageObj()) return false;
        TfrVBandEditorForm dlg(&form);
        return dlg.ShowEditor(band, *form.CurPageObj(), &form);
      }
      default: return false;
    }
  };
  form.EditVariables = [&form] {
    TfrReport *r = form.Report();
    if (!r || !ShowEvEditor(*r, &form)) return;
    form.MarkChanged();
  };
}

}  // namespace designer
