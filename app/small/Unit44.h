#pragma once
// TForm44 "Windows dátum formátunának módosítása": the instructions for the
// regional date format. The program keeps its own fixed Hungarian formats,
// so "Módosítás" only says that there is no such panel here.
#include <QDialog>

class QPushButton;

class TForm44 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm44(QWidget *parent = nullptr);
  void Button6Click();  // "Módosítás"
  QPushButton *Button6;

  static QString notAvailableMessage();
};

extern TForm44 *Form44;
