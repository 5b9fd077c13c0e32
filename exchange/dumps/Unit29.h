#pragma once
// TForm29 "Adat export" ("Segédlet" > "Adat export"): writes the ticked
// tables as text files (exchange/dumps/TableDump.h) into the folder typed in
// Edit1, through the data module's ZQ60.
#include <QDialog>

#include "app/common/LimitedEdit.h"
class QCheckBox;
class QLineEdit;
class QPushButton;

class TForm29 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm29(QWidget *parent = nullptr);
  ~TForm29() override;

  // "Export": one file per ticked table, in the tables' order; then the end
  // message and the dialog closes. The first failure is shown and ends the
  // export: the remaining tables are skipped and the dialog stays open.
  void Button1Click();

  QCheckBox *CheckBox1, *CheckBox2, *CheckBox3, *CheckBox4, *CheckBox5, *CheckBox6;
  LimitedEdit *Edit1;
  QPushButton *Button1, *Button2;
};

extern TForm29 *Form29;
