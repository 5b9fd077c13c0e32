#pragma once
// The display format dialog of a text object: category and type of the
// format word, decimals and fraction symbol of numbers, the custom format
// text. The word's bits are the engine's (frFormatCategory ... frMakeFormat),
// so what the dialog shows is what the engine applies.
//
// Also the entry point that puts this unit's dialogs and those of its
// siblings (page, designer and report options, about box, colour selector,
// highlight) into the designer window's hooks.
#include <QDialog>
#include <QString>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace designer {

class TfrDesignerForm;

class TfrFmtForm : public QDialog {
  Q_OBJECT
 public:
  explicit TfrFmtForm(QWidget *parent = nullptr);

  // The word being edited; SetFormat fills the controls from it.
  void SetFormat(quint32 format, const QString &formatText);
  quint32 Format() const { return format_; }
  QString FormatText() const;

  QGroupBox *GroupBox1;
  QComboBox *ComboBox1, *ComboBox2;
  QWidget *Panel1, *Panel2;
  QLabel *Label1, *Label2, *Label3;
  QLineEdit *Edit3, *SplEdit, *Edit1;
  QPushButton *Button1, *Button2;

  // OK is refused (message, focus on the edit) while the decimal digits are
  // not a number from 0 to 255.
  void done(int r) override;

 protected:
  bool eventFilter(QObject *o, QEvent *e) override;

 private:
  void fillTypes(int category);
  void categoryChosen(int index);
  void typeChosen(int index);
  void showPanels();
  void setBits(int category, int type, int decimals, char separator);

  quint32 format_ = 0;
  bool filling_ = false;
};

// The dialog on a format word and text; on OK both take the edited values
// (true), on Cancel both are left as they were.
bool EditDisplayFormat(QWidget *parent, quint32 &format, QString &formatText);

// Sets the window's dialog hooks: page options, designer options, report
// options, about box, the colour selector under the colour buttons and the
// highlight dialog.
void installFormatDialogs(TfrDesignerForm &form);

}  // namespace designer
