#pragma once
// The product entry: a new product ("Új termék") or the modification of the
// product list's current row ("Termék módositás", after LoadProduct), chosen
// by TermekMod.
#include "app/common/LimitedEdit.h"

#include <QDialog>

#include <functional>

class QPushButton;

class TForm7 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm7(QWidget *owner = nullptr);
  ~TForm7() override;

  // Edit1 (ID) is read-only.
  LimitedEdit *Edit1, *Edit2, *Edit3, *Edit4, *Edit5, *Edit6, *Edit7, *Edit8;
  QPushButton *Button2;  // "OK"
  QPushButton *Button3;  // "Mégsem"

  // Called after a successful save, before the dialog closes.
  std::function<void()> onSaved;

  // Fills the fields from Data->ZQ40's current row.
  void LoadProduct();
  void FormShow();

 public slots:
  void Button2Click();
  void Button3Click();

 protected:
  void showEvent(QShowEvent *event) override;

 private:
  bool Stop(const QString &message, QWidget *field);
  bool Validate();
  bool CodeIsFree();
  bool Save();
  bool shown_ = false;
};

extern TForm7 *Form7;
