#pragma once
// TForm21 "Sugó": opens the user manual "sugo.pdf" of the working directory
// in the desktop's PDF viewer; a missing manual, or one nothing could open,
// is said in a message box.
#include <QDialog>

class QPushButton;

class TForm21 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm21(QWidget *parent = nullptr);
  void Button1Click();  // "Leírás (pdf)"
  QPushButton *Button1, *Button2;
};

extern TForm21 *Form21;
