#pragma once
// The backup ("Segédlet" > "Adatok mentése"): copies the database file to a
// time-stamped file "yyyy_mm_dd_hh_nn.FDB", consistently while the program
// holds it open (DatabaseCopy), never over an existing file; a failed copy
// is reported and never confirmed.
#include <QDateTime>
#include <QDialog>

#include "app/common/LimitedEdit.h"
#include <QString>

class QFileDialog;
class QLabel;
class QLineEdit;
class QPushButton;

// The backup file's name for the minute of when: "2025_03_07_14_05.FDB".
QString BackupFileName(const QDateTime &when);
// "c:\qz2025\ment\"
extern const QString kBackupFolder;

class TForm35 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm35(QWidget *owner = nullptr);
  ~TForm35() override;

  QLabel *Label1, *Label2, *Label3;
  LimitedEdit *Edit1;  // source ("Honnan")
  LimitedEdit *Edit2;  // target ("Hová")
  QPushButton *Button1;  // "Mentés"
  QPushButton *Button2;  // "Honnan"
  QPushButton *Button3;  // "Hová"
  QFileDialog *OpenDialog1, *SaveDialog1;

  // The source and target paths that "Mentés" takes from the fields.
  QString Honnan, Hova;

  void FormShow();

 public slots:
  void Button1Click();
  void Button2Click();
  void Button3Click();

 protected:
  void showEvent(QShowEvent *event) override;

 private:
  bool shown_ = false;
};

extern TForm35 *Form35;
