#pragma once
// The engine's about box: a caption, a picture and fixed texts with OK.
#include <QDialog>

class QLabel;
class QPushButton;

namespace designer {

class TfrAboutForm : public QDialog {
  Q_OBJECT
 public:
  explicit TfrAboutForm(QWidget *parent = nullptr);

  QLabel *Image1, *Label1, *Label2, *Label3;
  QPushButton *Button1;
};

void ShowAbout(QWidget *parent);

}  // namespace designer
