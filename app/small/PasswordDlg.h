#pragma once
// TPasswordDlg "Jelszó": asks the raw table grids' access code; the edit
// Password shows "*" for each character. Both buttons close it.
#include "app/common/LimitedEdit.h"

#include <QDialog>

class QPushButton;

class TPasswordDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TPasswordDlg(QWidget *parent = nullptr);
  LimitedEdit *Password;
  QPushButton *OKBtn, *CancelBtn;
};

// The dialog while it is shown, null otherwise.
extern TPasswordDlg *PasswordDlg;
// Set when the dialog was first created: the code is asked once per process.
extern bool PasswordDlgCreated;
