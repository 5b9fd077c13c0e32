#pragma once
// The producer entry: a new producer ("Új őstermelő") or the modification of
// the producer list's current row ("Őstermelő módositás", after LoadProducer),
// chosen by OstermeloMod. Validates the fields in a fixed order and writes the
// 36 data columns of OSTERMELO in one statement.
#include "app/common/LimitedEdit.h"

#include <QDialog>
#include <QString>

#include <functional>

class QPlainTextEdit;
class QPushButton;
class QTabWidget;

class TForm5 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm5(QWidget *owner = nullptr);
  ~TForm5() override;

  QTabWidget *PageControl1;
  // Edit1 (ID) and Edit2 (code) are read-only.
  LimitedEdit *Edit1, *Edit2, *Edit3, *Edit4, *Edit5, *Edit6, *Edit7, *Edit8, *Edit9, *Edit10, *Edit11, *Edit12,
      *Edit13, *Edit14, *Edit15, *Edit16, *Edit17, *Edit18, *Edit19, *Edit20, *Edit21, *Edit22, *Edit23, *Edit24,
      *Edit25, *Edit26, *Edit27, *Edit28, *Edit29, *Edit30, *Edit31, *Edit32, *Edit33, *Edit34, *Edit35, *Edit36;
  QPlainTextEdit *Memo1;
  QPushButton *Button2;  // "OK"
  QPushButton *Button3;  // "Mégsem"

  // Called after a successful save, before the dialog closes.
  std::function<void()> onSaved;

  // Fills every field from Data->ZQ30's current row.
  void LoadProducer();
  void FormShow();

 public slots:
  void Button2Click();
  void Button3Click();
  void Edit16Exit();

 protected:
  void showEvent(QShowEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

 private:
  // Shows message in a plain box and puts the focus on field; answers false.
  bool Stop(const QString &message, QWidget *field);
  bool Validate();
  bool CodeIsFree();
  bool Save();
  bool shown_ = false;
};

extern TForm5 *Form5;
