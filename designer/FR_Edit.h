#pragma once
// The text and script editor of a report object: its text lines and its
// script, with buttons that insert a report variable or a database field as a
// bracketed expression at the caret and, for text objects, one that edits the
// display format. OK tells the designer first (its before-change notification,
// one undo step) and then replaces the object's text and script lines; Cancel
// leaves the object as it was.
#include "designer/FR_Insp.h"

#include <QString>

#include <functional>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSplitter;

namespace designer {

class TfrDesignerForm;

class TfrEditorForm : public TPropEditor {
  Q_OBJECT
 public:
  explicit TfrEditorForm(QWidget *parent = nullptr);

  // Cancel at once without an object in View.
  int ShowEditor() override;
  void done(int result) override;

  // The display format dialog: edits the format word and text, true on OK.
  // Unset, the Format button stays hidden.
  std::function<bool(quint32 &format, QString &formatText)> EditFormat;

  // The three insert and format buttons' actions (also the Insert key and Ctrl+F).
  void InsertVariable();
  void InsertField();
  void EditObjectFormat();

  QWidget *MemoPanel, *ScriptPanel;
  QSplitter *Splitter;
  QLabel *Label1, *Label2;
  QPlainTextEdit *M1, *M2;
  QCheckBox *CB1, *CB2, *CB3;
  QPushButton *Button3, *Button4, *Button5, *Button1, *Button2;

 protected:
  void showEvent(QShowEvent *e) override;
  bool eventFilter(QObject *o, QEvent *e) override;

 private:
  void applyChecks();
  void insertName(const QString &name);
  QPlainTextEdit *lastMemo_;  // the memo that last had the focus
};

// Gives the designer its text editor: the object editor of text objects (and
// of add-ins without their own), the inspector's Memo row, and for the first
// instance the tool "Insert DB fields".
void installTextEditors(TfrDesignerForm &form);

}  // namespace designer
