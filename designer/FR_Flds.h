#pragma once
// The pickers' common form, and the database field picker: a data set
// reachable from the report's owner and one of its fields, returned as the
// name an expression uses (DataSet."Field"). The data set chosen last is kept
// for the whole process and preselected the next time while that name still
// exists.
#include <QDialog>
#include <QString>

class QComboBox;
class QLabel;
class QListWidget;

namespace db {
class DataSet;
}

namespace designer {

// The pickers' common form: a label over a combo box of groups (ValCombo)
// and the entries of the chosen group (ValList). Enter in the list or a click
// on it closes with OK, Esc with Cancel.
class TfrListPickerForm : public QDialog {
  Q_OBJECT
 public:
  TfrListPickerForm(const QString &name, int captionId, int labelId, QWidget *parent);

  QLabel *Label1;
  QComboBox *ValCombo;
  QListWidget *ValList;

 protected:
  // Fills ValList with the entries of the group chosen in ValCombo.
  virtual void fillList() = 0;
  // Puts the groups in ValCombo, selects the remembered one (else the first)
  // and fills the list.
  void fillGroups(const QStringList &groups, const QString &remembered);
  bool eventFilter(QObject *o, QEvent *e) override;
};

class TfrFieldsForm : public TfrListPickerForm {
  Q_OBJECT
 public:
  explicit TfrFieldsForm(QWidget *parent = nullptr);

  // The chosen field after OK: data set name, ".", the field name in double
  // quotes; empty when no field was chosen or the dialog was cancelled.
  QString DBField;

  void done(int result) override;

 protected:
  void showEvent(QShowEvent *e) override;
  void fillList() override;
};

// The data set names of the database dataset class reachable from the
// report's owner (its own by name, other containers' as Container.Name), sorted.
QStringList frDataSetNames();
// The database dataset of such a name; nullptr when it names none.
db::DataSet *frDataSetByName(const QString &name);
// Its field names (none for an unknown name).
QStringList frDataSetFields(const QString &name);

}  // namespace designer
