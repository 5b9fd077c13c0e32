#pragma once
// The preview's search dialog: the text, case sensitivity and where to start.
#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace report {

class TfrPreviewSearchForm : public QDialog {
  Q_OBJECT
 public:
  explicit TfrPreviewSearchForm(QWidget *parent = nullptr);

  QLabel *Label1;
  QLineEdit *Edit1;
  QGroupBox *GroupBox1, *GroupBox2;
  QCheckBox *CB1;             // case sensitive
  QRadioButton *RB1, *RB2;    // from the first page / from the current page
  QPushButton *Button1, *Button2;

 protected:
  void showEvent(QShowEvent *e) override;
};

}  // namespace report
