#include "app/small/PasswordDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/common/Widgets.h"

TPasswordDlg *PasswordDlg = nullptr;
bool PasswordDlgCreated = false;

TPasswordDlg::TPasswordDlg(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("PasswordDlg"));
  setWindowTitle(QStringLiteral("Jelszó"));
  setModal(true);
  Password = Widgets::makeEdit(this, "Password");
  Password->setWidthChars(12);
  Password->setEchoMode(QLineEdit::Password);
  Password->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));  // "*"
  OKBtn = Widgets::makeButton(this, "OKBtn", QStringLiteral("OK"));
  CancelBtn = Widgets::makeButton(this, "CancelBtn", QStringLiteral("Mégsem"));
  OKBtn->setDefault(true);  // Enter after the code confirms it
  auto *top = new QVBoxLayout(this);
  top->addWidget(Widgets::makeLabel(this, "Label1", QStringLiteral("Kérem adja meg a jelszót")));
  top->addWidget(Password);
  auto *row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(OKBtn);
  row->addWidget(CancelBtn);
  top->addLayout(row);
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}
