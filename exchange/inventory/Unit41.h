#pragma once
// The inventory hand-over ("Segédlet" > "Adatátadás készlethez"): the ticket
// lines of the current receiver for a purchase-date range, written as
// "vorik_keszlethez.xml" in the working folder ("Kigyüjtés") and copied to
// the path the inventory program reads ("Adatátadás"). A failed save or copy
// is reported and leaves the files as they were; "Adatátadás" is enabled
// only after a successful save in this dialog. One program instance at a
// time collects and hands over: another's collection is refused with a
// message while this dialog is open after its own.
#include <QDialog>

#include "app/common/LimitedEdit.h"

#include <memory>

class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace db {
class DataSetModel;
}
namespace platform {
class ProcessLock;
}

// "C:\keszlet2025\vorik_keszlethez.xml"
extern const QString kInventoryTarget;

class TForm41 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm41(QWidget *owner = nullptr);
  ~TForm41() override;

  QDateEdit *DateTimePicker1, *DateTimePicker2;
  QTableView *DBGrid1;  // ZQ21 through DS21
  QLabel *Label1, *Label2, *Label3, *Label4;
  LimitedEdit *Edit1;
  QPushButton *Button4;  // "Kigyüjtés"
  QPushButton *Button2;  // "Adatátadás"
  QPushButton *Button3;  // "Mégsem"

  void FormShow();

 public slots:
  void Button4Click();
  void Button2Click();
  void Button3Click();

 protected:
  void showEvent(QShowEvent *event) override;

 private:
  db::DataSetModel *model_;
  bool shown_ = false;
  // From a collection until the dialog closes: another instance's collection
  // would replace the file this one hands over.
  std::unique_ptr<platform::ProcessLock> hold_;
};

extern TForm41 *Form41;
