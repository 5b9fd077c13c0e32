#pragma once
// One producer's purchases by month of purchase and product ("Listák" >
// "Östermelö havi bontásban"), or line by line: the producer is picked from
// the producer list, the gather fills ZQ11 and the totals, the print builds
// "QzLista9.frf". A new pick or a click on the check box disables
// "Nyomtatás" until the next gather, so the figures printed are always the
// picked producer's.
#include <QDialog>
#include <QString>

class LimitedEdit;
class QCheckBox;
class QFrame;
class QPushButton;
class QTableView;

namespace db {
class DataSetModel;
}

class TForm30 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm30(QWidget *owner = nullptr);

  LimitedEdit *Edit1;                // start of the name; the picked name
  QPushButton *Button1;              // "Őstermelő"
  LimitedEdit *Edit2, *Edit3, *Edit4;  // address, birth data, code
  LimitedEdit *Edit5, *Edit6, *Edit7;  // price, compensation, paid
  QCheckBox *CheckBox1;              // "Részletezö lista"
  QTableView *DBGrid1;
  QFrame *DBNavigator1;
  QPushButton *Button2;  // "Kigyüjtés"
  QPushButton *Button3;  // "Nyomtatás"
  QPushButton *Button4;  // "Mégsem"

  void FormShow();

 public slots:
  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Button4Click();
  void CheckBox1Click();

 protected:
  void showEvent(QShowEvent *event) override;

 private:
  db::DataSetModel *model_;
  bool shown_ = false;
};

extern TForm30 *Form30;
