#pragma once
// The report options dialog: the report's printer, whether that printer is
// selected when the report is loaded, and the two-pass switch.
#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;

namespace report {
class TfrReport;
}

namespace designer {

class TfrDocOptForm : public QDialog {
  Q_OBJECT
 public:
  explicit TfrDocOptForm(QWidget *parent = nullptr);

  QGroupBox *GroupBox1, *GroupBox2;
  QComboBox *ComB1;
  QCheckBox *CB1, *CB2;
  QPushButton *Button1, *Button2;

 protected:
  // The printer wrapper's list ("Default printer" last; only that entry
  // without a wrapper) with its current printer selected.
  void showEvent(QShowEvent *e) override;
};

// Fills the dialog from the report, shows it and, on OK, takes the switches
// (print-to-default is the opposite of "Select when report loaded") and
// changes to the chosen printer. True on OK: the designer marks the report modified.
bool EditReportOptions(QWidget *parent, report::TfrReport &report);

}  // namespace designer
