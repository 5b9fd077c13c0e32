#pragma once
// The variables editor: binds the report's variables to a database field, a
// built-in value, a global report variable or nothing; copy and paste of the
// whole value and variable lists through a clipboard kept for the process.
#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;

namespace report {
class TfrReport;
}

namespace designer {

// The values clipboard: the value list in its stream form and the variable
// list, kept while the process lives.
void CopyValues(const report::TfrReport &report);
// Replaces the report's value and variable lists by the clipboard's; an
// empty clipboard (nothing copied yet) leaves both lists empty.
void PasteValues(report::TfrReport &report);
bool ValuesClipboardFilled();
void ClearValuesClipboard();

class TfrEvForm : public QDialog {
  Q_OBJECT
 public:
  explicit TfrEvForm(report::TfrReport &report, QWidget *parent = nullptr);

  QLabel *Label1, *Label2, *Label3;
  QComboBox *VarCombo;   // categories
  QListWidget *VarList;  // variables of the category
  QComboBox *ValCombo;   // data sets, "Other", the global variables
  QListWidget *ValList;  // "[None]" and the values of the source
  QLineEdit *Edit1;      // the text of the built-in "Expression"
  QToolButton *SB1, *SB2;
  QPushButton *Button3, *Button1, *Button2;

 private:
  void fillCategories();
  void categoryChosen();
  void variableChosen();
  void fillValues(int source);
  void valueChosen();
  void expressionEdited();
  void paste();
  void editList();
  QString currentVariable() const;
  int otherIndex() const;      // "Other" in ValCombo
  int variablesIndex() const;  // the global variables in ValCombo

  report::TfrReport &report_;
  bool updating_ = false;
};

// Shows the variables editor on the report. The value list and the variable
// list are restored as they were, record for record, unless the dialog ends
// with OK; true on OK.
bool ShowEvEditor(report::TfrReport &report, QWidget *parent = nullptr);

// Empties the values clipboard (a fresh process's state).
void frClearValuesClipboard();

}  // namespace designer
