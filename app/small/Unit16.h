#pragma once
// TForm16 "Névjegy": the about box with the version and the distributor's contact lines.
#include <QDialog>

class QPushButton;

class TForm16 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm16(QWidget *parent = nullptr);
  QPushButton *Button1;  // "OK"
};

extern TForm16 *Form16;
