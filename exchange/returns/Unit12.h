#pragma once
// The return line list ("Bevallás" > "Bevallás lista"): every ticket line of
// the current receiver whose ticket is paid in a period, in one of five
// orders, with the grand total of the lines' amounts; printed in landscape
// with "QzLista4.frf". A change of either date or of the order disables
// "Nyomtatás" until the next gather.
#include <QDialog>
#include <QString>

class QDateEdit;
class QFrame;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QTableView;

namespace db {
class DataSetModel;
}

class TForm12 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm12(QWidget *owner = nullptr);
  ~TForm12() override;

  QDateEdit *DateTimePicker1, *DateTimePicker2;
  QGroupBox *RadioGroup1;
  QRadioButton *RadioButton1, *RadioButton2, *RadioButton3, *RadioButton4, *RadioButton5;
  QTableView *DBGrid1;
  QFrame *DBNavigator1;
  QPushButton *Button1;  // "Kigyüjtés"
  QPushButton *Button2;  // "Nyomtatás"
  QPushButton *Button3;  // "Mégsem"

  void FormShow();
  // The grand total of the last gather, in the general number format.
  QString totalText() const { return osszesen_; }

 public slots:
  void DateTimePicker1Change();
  void RadioGroup1Click();
  void Button1Click();
  void Button2Click();
  void Button3Click();

 protected:
  void showEvent(QShowEvent *event) override;

 private:
  int order() const;

  db::DataSetModel *model_;
  QString osszesen_;
  bool shown_ = false;
};

extern TForm12 *Form12;
