#pragma once
// TForm36 ("Ostermelo egyesites"): marks the producers whose tax
// identification number repeats: every producer of a number but the first
// (by code) gets o_szja 1.
#include <QDialog>

class QPushButton;

class TForm36 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm36(QWidget *parent = nullptr);
  void Button1Click();
  QPushButton *Button1;
};

extern TForm36 *Form36;
