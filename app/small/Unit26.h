#pragma once
// TForm26 "Távsegítség": starts the remote-support program. Where it is not
// installed (it is a Windows program) the user is told so.
#include <QDialog>

class QPushButton;

class TForm26 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm26(QWidget *parent = nullptr);
  void Button1Click();  // "Távsegítség indítása"
  QPushButton *Button1, *Button2;

  // The program looked for on the PATH, and what is shown without it.
  static QString programName();
  static QString notAvailableMessage();
};

extern TForm26 *Form26;
