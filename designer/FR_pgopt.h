#pragma once
// The page options dialog: paper, orientation, margins, columns and printing
// to the previous page of a design page, and the designer's transfer between
// the dialog and the page.
#include <QDialog>

#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace report {
class TfrPage;
class TfrSpeedButton;
}  // namespace report

namespace designer {

class TfrPgoptForm : public QDialog {
  Q_OBJECT
 public:
  explicit TfrPgoptForm(QWidget *parent = nullptr);

  // The paper list: names and their paper codes (parallel).
  void SetPapers(const QStringList &names, const std::vector<int> &codes);
  int PaperCode(int index) const;
  // Takes the edits' texts as the values shown; Changed tells an edit whose
  // text the user has altered since.
  void MarkShown();
  bool Changed(const QLineEdit *edit) const;
  // Brings the picture, the size and the margin controls into line with the
  // current choices (also done when the dialog shows).
  void UpdateControls();

  QTabWidget *PageControl1;
  QWidget *TabSheet1, *TabSheet2, *TabSheet3;
  QGroupBox *GroupBox1, *GroupBox2, *GroupBox3, *GroupBox4, *GroupBox5;
  QRadioButton *RB1, *RB2;
  QLabel *imgPortrait, *imgLandScape;
  QComboBox *ComB1;
  QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8;
  QLineEdit *E1, *E2, *E3, *E4, *E5, *E6, *E7, *Edit1;
  QCheckBox *CB1, *CB5;
  report::TfrSpeedButton *SB1, *SB2;
  QPushButton *Button1, *Button2;

  // OK is refused while a changed edit in effect (the size only for the
  // custom paper, the margins only while used) holds no whole number in its
  // range: a message names the field, which gets the focus; nothing is taken.
  void done(int r) override;

 protected:
  void showEvent(QShowEvent *e) override;

 private:
  void stepColumns(int delta);

  QList<QLineEdit *> numberEdits() const { return {E1, E2, E3, E4, E5, E6, E7, Edit1}; }
  std::vector<int> codes_;
  QStringList shown_;
};

// Fills the dialog from the page and the printer wrapper's paper list, shows
// it and, on OK, writes back the fields the user changed (an unchanged field
// keeps the page's exact value, not its millimetre rounding), then applies
// the paper. True on OK; on Cancel the page is untouched.
bool EditPageOptions(QWidget *parent, report::TfrPage &page);

}  // namespace designer
