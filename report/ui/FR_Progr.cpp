#include "report/ui/FR_Progr.h"

#include "report/ui/FR_Const.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace report {

void TfrProgressWindow::Start(const QString &caption, const QString &label) {
  if (!qobject_cast<QApplication *>(QCoreApplication::instance())) return;
  if (!dialog_) {
    dialog_ = new QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    dialog_->setObjectName(QStringLiteral("frProgressForm"));
    auto *lay = new QVBoxLayout(dialog_);
    label_ = new QLabel(dialog_);
    label_->setObjectName(QStringLiteral("Label1"));
    label_->setAlignment(Qt::AlignCenter);
    label_->setMinimumWidth(label_->fontMetrics().horizontalAdvance(QStringLiteral("Performing 1st pass:  00000 from 00000")) + 20);
    auto *cancel = new QPushButton(frLoadStr(55001), dialog_);
    cancel->setObjectName(QStringLiteral("Button1"));
    lay->addWidget(label_);
    lay->addWidget(cancel, 0, Qt::AlignHCenter);
    // Cancel stops the report at its next check; the build closes the window.
    QObject::connect(cancel, &QPushButton::clicked, [] {
      if (frCurrentReport) frCurrentReport->Terminated = true;
    });
    dialog_->setWindowModality(Qt::ApplicationModal);
  }
  dialog_->setWindowTitle(caption);
  label_->setText(label);
  dialog_->adjustSize();
  dialog_->show();
  QCoreApplication::processEvents();
}

void TfrProgressWindow::SetLabel(const QString &label) {
  if (dialog_) label_->setText(label);
}

void TfrProgressWindow::Finish() {
  if (dialog_) dialog_->hide();
}

TfrProgressWindow *frDefaultProgressWindow() {
  static TfrProgressWindow w;
  return &w;
}

}  // namespace report
