#pragma once
// The print dialog of the preview: printer, copies and pages. Choosing a
// printer selects it at once in the printer wrapper; leaving the dialog other
// than with OK selects the first printer again. OK is refused, with a message,
// while the copies or the page list cannot be printed.
#include <QDialog>

#include <array>
#include <functional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace report {

class TfrSpeedButton;

// Checks a typed page list against the pages there are: numbers and ranges
// separated by commas, each page from 1 to pageCount, ranges ascending. An
// empty text is all pages. False, with the message, otherwise.
bool frCheckPageList(const QString &text, int pageCount, QString &error);

// The printer set-up of "Properties": for the printer "PDF" a page set-up of
// paper and orientation, for a CUPS printer the platform's print dialog on
// the printer object its jobs go through; what is chosen is taken over (the
// printer, its paper and orientation, and the copies into the print dialog
// that opened it). Tests replace it.
extern std::function<void(QWidget *parent)> frPrinterSetupDialog;
// The default of frPrinterSetupDialog.
void frDefaultPrinterSetupDialog(QWidget *parent);

class TfrPrintForm : public QDialog {
  Q_OBJECT
 public:
  // pageCount and currentPage (1-based) of the pages to print.
  TfrPrintForm(int pageCount, int currentPage, QWidget *parent = nullptr);

  // After OK: the copies and the page list for PrintPreparedReport ("" all
  // pages, the current page's number, or the typed list).
  int Copies() const;
  QString PageNumbers() const;
  // The printer selected when the dialog opened.
  int OldIndex() const { return oldIndex_; }
  // The paper and orientation chosen through "Properties" (code, size in
  // 0.1 mm in portrait sense, orientation), when they differ from the
  // printer's before; the preview then builds the report on them.
  bool PaperChosen() const { return paperChosen_; }
  int ChosenPaperSize() const { return chosen_[0]; }
  int ChosenPaperWidth() const { return chosen_[1]; }
  int ChosenPaperHeight() const { return chosen_[2]; }
  int ChosenOrientation() const { return chosen_[3]; }

  QGroupBox *GroupBox1, *GroupBox2;
  QComboBox *CB1;
  QPushButton *PropButton;
  QLabel *Label1, *Label2;
  QLineEdit *E1, *E2;
  TfrSpeedButton *frSpeedButton1, *frSpeedButton2;
  QRadioButton *RB1, *RB2, *RB3;
  QPushButton *Button1, *Button2;

  void done(int r) override;

 protected:
  bool eventFilter(QObject *o, QEvent *e) override;
  // Opens centred on the screen, wherever its parent stands.
  void showEvent(QShowEvent *e) override;

 private:
  void printerChosen(int index);
  void stepCopies(int delta);
  void showCurrentPrinter();

  int pageCount_, currentPage_;
  void properties();

  int oldIndex_ = 0;
  int shownIndex_ = 0;
  bool paperChosen_ = false;
  std::array<int, 4> chosen_{};
};

}  // namespace report
