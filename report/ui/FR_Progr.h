#pragma once
// The progress window of a build or a print: caption, the progress line and a
// Cancel button that stops the report being built or printed.
#include "report/core/FR_Class_Build.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QPushButton;

namespace report {

class TfrProgressWindow : public TfrProgressForm {
 public:
  // Shows the window (application-modal, the build keeps running) with the
  // caption and the first label. Nothing shows outside a widget application.
  void Start(const QString &caption, const QString &label) override;
  void SetLabel(const QString &label) override;
  void Finish() override;

  // The window while it exists ("frProgressForm": Label1, Button1), for tests.
  QDialog *Window() const { return dialog_; }

 private:
  QPointer<QDialog> dialog_;
  QLabel *label_ = nullptr;
};

// The engine's progress window, installed as frProgressForm. Its window lives
// as long as the application.
TfrProgressWindow *frDefaultProgressWindow();

}  // namespace report
