#pragma once
// TForm8 "Felvásárlási jegy": the current receiver's purchase tickets and
// cancelling documents (ZQ10), with search, sorting and the ticket commands:
// new, modify, preview, print, cancel.
#include "app/common/LimitedEdit.h"

#include <QDialog>
#include <QString>

#include <functional>

#include "app/tickets/TicketQueries.h"

class QLabel;
class QPushButton;
class QTabWidget;
class QTableView;

class TForm8 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm8(QWidget *parent = nullptr);  // FormCreate: opens the list
  ~TForm8() override;

  // The letter that, pressed while "Módosít" has the focus, opens the current
  // ticket even when it is printed or a cancelling document.
  static constexpr char kHiddenModifyKey = 'M';

  // Printing (preview and print, by NyomtatMod) and cancelling act on the
  // current row; their units install them. Without a print command of its
  // own the list prints through TicketPrint.
  using Command = std::function<void(TForm8 *)>;
  static void setPrintTicket(Command command);
  static void setCancelTicket(Command command);
  // Preview or print of the current row by NyomtatMod.
  void PrintTicket();  // afterwards the list stands on the ticket just shown

  void NewTicket();      // "Új"
  void ModifyTicket();   // "Módosít"
  // Step 3 of "Módosít"; guarded: after steps 1 and 2 (the button), not
  // (the hidden key).
  void OpenForModify(bool guarded = false);
  void Search();         // search field and "Keres"
  void SortBy(int column);
  void TabChanged();

 protected:
  void showEvent(QShowEvent *event) override;  // FormShow
  bool eventFilter(QObject *watched, QEvent *event) override;

 private:
  void buildUi();
  void FormShow();
  void showCurrentRow();

  TicketQueries::ProducerLookup producers_;  // the producer columns of the list

 public:
  LimitedEdit *Edit1;
  QPushButton *Button1, *Button2, *Button3, *Button4, *Button5, *Button6, *Button7;
  QLabel *Label9;
  QTabWidget *PageControl1;
  QTableView *DBGrid1, *DBGrid2;
};

extern TForm8 *Form8;
