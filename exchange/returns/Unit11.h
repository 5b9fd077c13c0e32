#pragma once
// The 08M return dialog ("Bevallás" > "2508M-hoz export"): for one month of
// payment dates of the current receiver it writes one import file per tax
// identification number and the list file into the month folder, and prints
// the month's per-producer totals with "QzLista3.frf".
//
// The period check compares year and month. A failed check or any change of
// a picker disables both action buttons; the gather and the print use the
// period of the last passed check.
#include "exchange/returns/ReturnFiles.h"

#include <QDialog>
#include <QString>

class QDateEdit;
class QFrame;
class QLabel;
class LimitedEdit;
class QPushButton;
class QTableView;

namespace db {
class DataSetModel;
}

class TForm11 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm11(QWidget *owner = nullptr);
  ~TForm11() override;

  QDateEdit *DateTimePicker1, *DateTimePicker2;
  QPushButton *Button5;  // "OK"
  LimitedEdit *Edit1;    // the month folder
  QTableView *DBGrid1;
  QFrame *DBNavigator1;
  QPushButton *Button1;  // "Kigyüjtés"
  QPushButton *Button2;  // "Nyomtatás"
  QPushButton *Button3;  // "Mégsem"

  void FormCreate();
  void FormShow();

  // The period of the last passed check and the receiver total of the last gather.
  returns::Period period() const { return period_; }
  QString receiverTotal() const { return osszesen_; }

 public slots:
  void DateTimePicker1Change();
  void DateTimePicker2Exit();
  void Button5Click();
  void Button1Click();
  void Button2Click();
  void Button3Click();

 protected:
  void showEvent(QShowEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

 private:
  // The period check; message is shown when the two dates are not in one month.
  void CheckPeriod(const QString &message);
  void DisableActions();

  db::DataSetModel *model_;
  returns::Period period_;
  QString osszesen_;
  bool checked_ = false;
  bool shown_ = false;
};

extern TForm11 *Form11;
