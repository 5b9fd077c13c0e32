#pragma once
// Year opening ("Segédlet" > "Évnyitás"): the receiver's start serial while it
// has no ticket yet, and a read-only view of the ticket options of the ini
// files.
#include "app/common/LimitedEdit.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTabWidget;

class TForm38 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm38(QWidget *owner = nullptr);

  // Reads form9.ini and form10.ini into the shared option strings.
  void FormCreate();
  // Offers storing only while the receiver has no ticket; fills the settings tab.
  void FormShow();
  // "Letárol": checks the new serial and stores it in the receiver's SORSZAM row.
  void Button4Click();

  QTabWidget *PageControl1;
  // Tab "Biz.sorszám"
  LimitedEdit *DBEdit11;  // current serial (a_QzBszam of ZQ50), read-only
  LimitedEdit *Edit2;     // new serial: digits only, from any source
  QPushButton *Button4; // "Letárol"
  QPushButton *Button3; // "Bezárás"
  // Tab "Beállítás": read-only views of the option strings.
  LimitedEdit *Edit1, *Edit3, *Edit4, *Edit5, *Edit6, *Edit7, *Edit9, *Edit8;
  QLabel *Label19;  // the note label

 protected:
  void showEvent(QShowEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

 private:
  bool shown_ = false;
};

extern TForm38 *Form38;
