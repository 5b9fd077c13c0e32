#pragma once
// TForm10 "Felvásárlási jegy tételsor": enters or modifies one line of the
// ticket open in the entry dialog and writes it at once: committed, before a
// new ticket's header exists; in a saved ticket's modification, in its
// transaction (committed with the header). The database derives the line's net quantity and
// prices from the columns written here.
#include "app/common/LimitedEdit.h"

#include <QDialog>
#include <QString>

#include <functional>

class QLabel;
class TicketModification;
class QPushButton;

class TForm10 : public QDialog {
  Q_OBJECT

 public:
  // What the line dialog takes from the ticket entry dialog.
  struct Ticket {
    QString serial;                 // the entry dialog's serial
    QString weightDeductionText;    // the entry dialog's weight-deduction field
    QString producerCode;           // the entry dialog's producer code
    // The entry dialog's modification of a saved ticket: the line is written
    // in its transaction, committed with the header, and refused when
    // another instance has printed, cancelled or changed the ticket since it
    // was opened. Null
    // for a new ticket: the line is committed at once.
    TicketModification *modification = nullptr;
  };

  // FormCreate: reads form10.ini into the option strings.
  explicit TForm10(const Ticket &ticket, QWidget *parent = nullptr);

  // What a number field's text that is no number is refused with: the
  // field's label and the text.
  static QString NotANumberMessage(const QString &label, const QString &text);
  // Empty when the entry dialog's weight-deduction text is a number, else
  // the message that names that field: lines take it as they are written.
  static QString WeightDeductionProblem(const QString &text);

  // Modify mode: fills the fields from the current row of ZQ20.
  void LoadLine();
  // Copies the current product row of ZQ40 into the fields.
  void FillFromProduct();

  // Opens the product picker with a name prefix; true when a product was
  // chosen (its row is then current in ZQ40): the product list TForm6 by
  // default; an empty function restores that.
  using ProductPicker = std::function<bool(QWidget *parent, const QString &namePrefix)>;
  static void setProductPicker(ProductPicker picker);

 protected:
  void showEvent(QShowEvent *event) override;  // FormShow

 private:
  void buildUi();
  void pickProduct();  // Button1 "Termék"
  void accept() override;  // Button3 "OK": checks and the write
  bool save();
  void reopenLines();

  Ticket ticket_;
  bool shown_ = false;

 public:
  LimitedEdit *Edit1, *Edit2, *Edit3, *Edit4, *Edit5, *Edit6, *Edit7, *Edit8, *Edit9, *Edit10;
  QLabel *Label10;
  QPushButton *Button1, *Button3, *Button6;
};

extern TForm10 *Form10;
