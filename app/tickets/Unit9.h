#pragma once
// TForm9 "Felvásárlási jegy bevitel": enters a new purchase ticket or modifies
// one (JegyMod): header, producer, dates, rates, declaration, payment mode,
// the lines through TForm10, the totals and the payable, and the save.
#include "app/common/LimitedEdit.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

#include "app/tickets/TicketMath.h"

class NumberingHold;
class TicketModification;
class QCheckBox;
class QLabel;
class QPushButton;
class QTableView;
class QTabWidget;

class TForm9 : public QDialog {
  Q_OBJECT

 public:
  // FormCreate: reads form9.ini into the option strings.
  explicit TForm9(QWidget *parent = nullptr);
  ~TForm9() override;

  // Modify mode: loads the current row of ZQ10 (called before the dialog is
  // shown) and opens the modification (TicketModification): what the dialog
  // writes is committed together by OK, or by the close when lines changed.
  void LoadTicket();
  // The modification LoadTicket opened, with the ticket's state as it was
  // read then; null in new mode.
  const TicketModification *Modification() const { return modification_.get(); }
  // Recomputes the totals, the payable and the producer's running totals.
  // False (totals left as they were) when a rate or the deduction is no number.
  bool f_mindosszes();
  // The same from the line sums last read (after a rate or deduction edit).
  bool recalc();
  // Reopens the producer, the ticket list and the lines.
  void frissit();

  // Opens the producer picker; true when a producer was chosen (its row is
  // then current in ZQ30): the producer list TForm4 by default; an empty
  // function restores that.
  using ProducerPicker = std::function<bool(QWidget *parent)>;
  static void setProducerPicker(ProducerPicker picker);
  // For tests: runs in every OK once its checks have passed, just before the
  // header's write, where another instance may act meanwhile.
  static void setBeforeSave(std::function<void()> hook);

  // New mode: holds the receiver's numbering (NumberingHold), takes the
  // serial and deletes the lines an abandoned entry left under it. False when
  // another entry holds the numbering or the receiver has no usable serial
  // (the message was shown, nothing was written); the dialog must not be
  // shown then. FormShow runs it when the caller did not.
  bool StartNew();
  // The hold of a new ticket's numbering while the dialog is open; null in
  // modify mode. The save commits it, closing the dialog releases it.
  NumberingHold *Numbering() const { return hold_.get(); }

  // A new ticket closed without its save deletes the lines it wrote (only
  // while its serial has no header).
  // However the dialog closes (OK, "Mégsem", the window's close, the end of
  // the program), a saved ticket whose lines changed gets its header totals
  // written from its lines, committed with the lines; OK's save has written
  // them itself. A modification that another instance's print or cancelling
  // made refused stores nothing.
  void done(int result) override;

 protected:
  void showEvent(QShowEvent *event) override;  // FormShow
  bool eventFilter(QObject *watched, QEvent *event) override;

 private:
  void buildUi();
  void FormShow();
  void applyOptions();
  void pickProducer();          // Button1 "Őstermelő"
  void declarationClicked();    // CheckBox2
  void transferChanged();       // CheckBox1 left or clicked
  void setTransferPaymentDate();
  void newLine();               // Button2 "Új"
  void modifyLine();            // Button8 "Módosít"
  void deleteLine();            // Button9 "Töröl"
  bool weightDeductionReady();  // the weight-deduction % is a number
  void runLineDialog(bool modify);
  void readSums();
  void showProducer();
  void accept() override;       // Button6 "OK"
  bool checksPass();
  bool save();
  std::optional<int> producerTerm() const;
  std::optional<TicketMath::Amounts> computeAmounts(QLineEdit **badField = nullptr,
                                                    QString *message = nullptr);

  // The modification's writes: a refusal (another instance printed or
  // cancelled the ticket) shows its message and then closes the dialog
  // with nothing of the modification stored.
  bool closeIfRefused();
  void storeTotalsOnClose();

  bool isNew() const;
  bool shown_ = false;
  bool started_ = false;
  bool ready_ = true;
  bool linesChanged_ = false;  // a line was written or deleted while open
  TicketMath::LineSums sums_;            // the ticket's lines
  TicketMath::LineSums producerTotals_;  // the producer's saved tickets
  std::unique_ptr<NumberingHold> hold_;
  std::unique_ptr<TicketModification> modification_;

 public:
  LimitedEdit *Edit1, *Edit2, *Edit3, *Edit4, *Edit5, *Edit6, *Edit7, *Edit8, *Edit9, *Edit10,
      *Edit11, *Edit12, *Edit13, *Edit14, *Edit15, *Edit16, *Edit17, *Edit18, *Edit19;
  QLabel *Label13, *Label14, *Label15;
  QCheckBox *CheckBox1, *CheckBox2;
  QPushButton *Button1, *Button2, *Button4, *Button6, *Button8, *Button9;
  QTableView *DBGrid1;
  QTabWidget *PageControl1;
  QLabel *ProducerLabel;
};

extern TForm9 *Form9;
