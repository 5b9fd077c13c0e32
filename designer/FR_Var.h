#pragma once
// The variables picker: a variable of one of the report's categories, a
// built-in value ("Other") or a name of the global variable list, returned as
// the name an expression uses. The category chosen last is kept for the whole
// process and preselected the next time while the report has it.
#include "designer/FR_Flds.h"

#include <QString>

namespace designer {

class TfrVarForm : public TfrListPickerForm {
  Q_OBJECT
 public:
  explicit TfrVarForm(QWidget *parent = nullptr);

  // The chosen name after OK; empty when nothing was chosen or the dialog was
  // cancelled. Under "Other" the built-in's expression name (PAGE#, DATE, ...).
  QString SelectedItem;

  void done(int result) override;

 protected:
  void showEvent(QShowEvent *e) override;
  void fillList() override;

 private:
  int categories_ = 0;  // the report's own categories lead the list
};

}  // namespace designer
