#pragma once
// The common form of the two range lists (per product, per producer): a
// date range by payment or purchase date, "Kigyüjtés" gathering the groups
// into ZQ20 (the grid), "Nyomtatás" building the list from them, "Mégsem".
// Any change of the range or the date kind disables "Nyomtatás" and closes
// ZQ20, so a list is always built on the groups the grid shows.
#include "exchange/lists/ListGathers.h"

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

class TRangeListForm : public QDialog {
  Q_OBJECT
 public:
  QDateEdit *DateTimePicker1, *DateTimePicker2;
  QGroupBox *RadioGroup1;
  QRadioButton *RadioButton1;  // "Fizetési dátum"
  QRadioButton *RadioButton2;  // "Felvásárlási dátum"
  QTableView *DBGrid1;
  QFrame *DBNavigator1;
  QPushButton *Button1;  // "Kigyüjtés"
  QPushButton *Button2;  // "Nyomtatás"
  QPushButton *Button3;  // "Mégsem"

  // The grand total of the last gather, as the list prints it.
  QString Osszesen;

  void FormShow();
  // A change of the range or the date kind.
  void RangeChanged();
  // The range and date kind the controls show, for the current receiver.
  lists::Range CurrentRange() const;

 public slots:
  void Button1Click();
  void Button2Click();
  void Button3Click();

 protected:
  TRangeListForm(QWidget *owner, const char *name, const QString &caption);
  void showEvent(QShowEvent *event) override;
  // The gather of the list (answers the total's text) and its print.
  virtual QString Gather(const lists::Range &range) = 0;
  virtual void Print() = 0;
  // The report variables of the gathered range: v_datum (the date kind,
  // "Fizetési " or "Felvásárlási "), v_osszesen, v_tol, v_ig and v_sorrend.
  void SetListVariables(const QString &order);

 private:
  db::DataSetModel *model_;
  bool shown_ = false;
};
