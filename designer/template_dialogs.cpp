#include "designer/template_dialogs.h"

#include "designer/FR_Desgn.h"
#include "designer/FR_GEdit.h"
#include "designer/FR_Newrp.h"
#include "designer/FR_Templ.h"

#include <QCheckBox>

namespace designer {

using namespace report;

void installTemplateDialogs(TfrDesignerForm &form) {
  form.AskTemplateInfo = [&form](QStringList &description, TfrPicture &picture) {
    TfrTemplNewForm dlg(&form);
    if (dlg.exec() != QDialog::Accepted) return false;
    description = dlg.Description();
    picture = dlg.Image1->Picture();
    return true;
  };
  form.ChooseTemplate = [&form] {
    TfrTemplForm dlg(&form);
    return dlg.exec() == QDialog::Accepted ? dlg.FileName() : QString();
  };
  form.EditPicture = [&form](TfrView &view) {
    auto *pv = dynamic_cast<TfrPictureView *>(&view);
    if (!pv) return false;
    TfrGEditorForm dlg(&form);
    dlg.Image1->SetPicture(pv->Picture);
    dlg.CB1->setChecked((pv->Flags & flStretched) != 0);
    if (form.EditMemo) dlg.OnMemo = [&form, pv] { form.EditMemo(*pv); };
    if (dlg.exec() != QDialog::Accepted) return false;
    const TfrPicture picture = dlg.Image1->Picture();
    const bool stretched = dlg.CB1->isChecked();
    // OK records an edit step even when nothing changed, as every object editor does.
    form.BeforeChange();
    pv->Picture = picture;
    pv->Flags = static_cast<quint16>(stretched ? (pv->Flags | flStretched) : (pv->Flags & ~flStretched));
    form.AfterChange();
    return true;
  };
}

}  // namespace designer
