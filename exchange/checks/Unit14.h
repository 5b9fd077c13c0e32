#pragma once
// TForm14 "Ellenörzés" ("Segédlet" > "Ellenörzés"): the data checks.
// - "Felvásárlási jegy": gathers the current receiver's ticket lines of a
//   payment-date range (Button1) and checks them into Memo1 (Button2);
// - "Adatok": single checks of a tax number (Edit1, Button4), a tax
//   identification number (Edit2, Button5), a TAJ (Edit3, Button8), and a
//   tax identification number against a date of birth (Edit4,
//   DateTimePicker3, Button10), each verdict in its label;
// - "Östermelö": gathers all producers (Button12) and checks them into Memo2
//   (Button13).
// Each list tab gathers into a query of its own, so a check sees only its
// tab's rows, and none before the tab's gather; a check reads the gathered
// rows again with the columns it needs. The checks change nothing.
#include <QDate>
#include <QDialog>
#include <QString>

#include "app/common/LimitedEdit.h"
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTableView;

namespace db {
class Query;
}

class TForm14 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm14(QWidget *parent = nullptr);
  ~TForm14() override;

  void Button1Click();   // "Kigyüjtés" of the tickets
  void Button2Click();   // "Ellenörzés" of the tickets
  void Button12Click();  // "Kigyüjtés" of the producers
  void Button13Click();  // "Ellenörzés" of the producers
  void Button4Click();   // tax number
  void Button5Click();   // tax identification number
  void Button8Click();   // TAJ
  void Button10Click();  // tax identification number against date of birth

  // The gathered rows of each list tab (every column, for the grids), and
  // the forward-only walk of the checks over them.
  db::Query *Jegyek, *Termelok, *Ellenorzes;

  QTabWidget *PageControl1, *PageControl2;
  QDateEdit *DateTimePicker1, *DateTimePicker2, *DateTimePicker3;
  QTableView *DBGrid1, *DBGrid2;
  QPlainTextEdit *Memo1, *Memo2;
  LimitedEdit *Edit1, *Edit2, *Edit3, *Edit4;
  // Verdicts of the single checks, and the two values of "Napok".
  QLabel *Label6, *Label8, *Label10, *Label14, *Label16, *Label18;
  QPushButton *Button1, *Button2, *Button3, *Button4, *Button5, *Button6, *Button7, *Button8, *Button9,
      *Button10, *Button11, *Button12, *Button13, *Button14;

 protected:
  void showEvent(QShowEvent *event) override;  // FormShow

 private:
  void FormShow();
  static void bindTicketRange(db::Query &q, const QDate &from, const QDate &to, const QString &receiver);
  bool shown_ = false;
  // The range and receiver of the last ticket gather.
  struct TicketGather {
    QDate from, to;
    QString receiver;
  } gathered_;
};

extern TForm14 *Form14;
