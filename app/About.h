#pragma once
// The splash window shown once per process while the program starts.
#include <QDialog>

class QLabel;
class QTimer;

class TAboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutBox(QWidget *owner = nullptr);
  ~TAboutBox() override;

  QLabel *Version;
  QTimer *Timer1;

  // The time the splash stays up: 3000 ms, or the number of milliseconds in
  // the environment variable VORIK_SPLASH_MS, or the value set here last.
  static int Interval();
  static void SetInterval(int ms);

 public slots:
  void Timer1Timer();

 protected:
  void showEvent(QShowEvent *event) override;
  // The splash closes itself: Escape does not dismiss it early.
  void keyPressEvent(QKeyEvent *event) override;
};

// The splash instance while it is shown; null before and after.
extern TAboutBox *AboutBox;
// Set once the start-up has shown the splash: it is shown once per process.
extern bool AboutBoxShown;
