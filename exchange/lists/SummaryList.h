#pragma once
// The common form of the cash and statistics lists: a check box choosing
// the breakdown, "Kigyüjtés" gathering into ZQ11 (the grid), "Nyomtatás"
// building the layout the box chooses at print time, "Mégsem". A click on
// the box disables "Nyomtatás" until the next gather.
#include <QDialog>
#include <QString>
#include <QStringList>

class QCheckBox;
class QFrame;
class QPushButton;
class QTableView;

namespace db {
class DataSetModel;
}

class TSummaryListForm : public QDialog {
  Q_OBJECT
 public:
  QCheckBox *CheckBox1;
  QTableView *DBGrid1;
  QFrame *DBNavigator1;
  QPushButton *Button1;  // "Kigyüjtés"
  QPushButton *Button2;  // "Nyomtatás"
  QPushButton *Button3;  // "Mégsem"

  void FormShow();

 public slots:
  void Button1Click();
  void Button2Click();
  void Button3Click();
  void CheckBox1Click();

 protected:
  // The dialog's name, caption, check box text and its fixed labels.
  TSummaryListForm(QWidget *owner, const char *name, const QString &caption, const QString &boxText,
                   const QStringList &labels);
  void showEvent(QShowEvent *event) override;
  // The gather, and the layout printed for the box's state.
  virtual void Gather(bool boxTicked) = 0;
  virtual QString LayoutFile(bool boxTicked) const = 0;

 private:
  db::DataSetModel *model_;
  bool shown_ = false;
};
