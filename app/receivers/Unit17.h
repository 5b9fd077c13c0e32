#pragma once
// Receiver details ("Segédlet" > "Átvevő beállítás"): shows the current
// receiver's row and stores the parts the user may change, as long as the
// receiver has issued no ticket.
#include "app/common/LimitedEdit.h"

#include <QDialog>

class QCheckBox;
class QPushButton;

class TForm17 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm17(QWidget *owner = nullptr);

  // Fills the fields from the current receiver's row (called before the
  // dialog is shown).
  void AtvevoBetoltes();
  // Disables "Letárol" once the receiver has a ticket.
  void FormShow();
  // "Letárol": checks, then the update of the receiver's row.
  void Button2Click();

  // While "Mégsem" has the focus, this letter (either case) enables
  // "Letárol" even for a receiver with tickets.
  static constexpr char16_t ServiceKey = u'Z';

  LimitedEdit *Edit1, *Edit8, *Edit2, *Edit5, *Edit3, *Edit13, *Edit4, *Edit14, *Edit15, *Edit16,
      *Edit17, *Edit18, *Edit19, *Edit6, *Edit11, *Edit12, *Edit10, *Edit7, *Edit21, *Edit9,
      *Edit20;
  QCheckBox *CheckBox1, *CheckBox2;
  QPushButton *Button2;  // "Letárol"
  QPushButton *Button5;  // "Mégsem"

 protected:
  void showEvent(QShowEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

 private:
  void FillFields();
  bool shown_ = false;
};

extern TForm17 *Form17;
