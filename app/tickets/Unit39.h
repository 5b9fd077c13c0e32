#pragma once
// TForm39 "Érvénytelenitő bizonylat létrehozása": the cancelling document of a
// printed ticket (ErvenytelenBszam) under the receiver's next serial, and the
// ticket list's guard in front of it ("Érvénytelenit").
#include "app/common/LimitedEdit.h"

#include <QDialog>
#include <QString>

#include <memory>

class NumberingHold;
class QPushButton;
class TForm8;

class TForm39 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm39(QWidget *parent = nullptr);
  ~TForm39() override;

  // The guard of the ticket list's "Érvénytelenit" on its current row: the
  // refusals, the question, then this dialog for ErvenytelenBszam.
  static void CancelGuard(TForm8 *list);

  // Holds the receiver's numbering, takes the new serial and deletes the
  // lines an abandoned document left under it. False when the numbering is
  // held elsewhere or the receiver has no usable serial (the message was
  // shown, nothing was written): the dialog is not shown then. FormShow runs
  // it when the caller did not.
  bool Start();
  // "OK": the checks, then the document in one transaction.
  void Button6Click();
  // The document of OK after its checks: the header and lines with their
  // final values, the link and the counter, committed together; on failure
  // the failing step's message and nothing stored. The list is not touched.
  bool WriteDocument();
  void done(int result) override;

  LimitedEdit *Edit1;  // new serial (disabled)
  LimitedEdit *Edit6;  // issue date
  QPushButton *Button6, *Button1;  // "OK", "Mégsem"

 protected:
  void showEvent(QShowEvent *event) override;  // FormShow

 private:
  bool checksPass();
  bool create();

  std::unique_ptr<NumberingHold> hold_;
  bool started_ = false;
  bool ready_ = true;
  bool shown_ = false;
};

extern TForm39 *Form39;
