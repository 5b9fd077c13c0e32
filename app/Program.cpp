#include "app/Program.h"

#include "app/Unit1.h"

#include <QApplication>

#include <memory>

const QString HelpFileName = QStringLiteral("VORIK2009.HLP");

int RunProgram() {
  qApp->setProperty("helpFile", HelpFileName);
  auto form = std::make_unique<TForm1>();
  // A failed start-up was answered in its box: the program ends without
  // showing the main window.
  if (form->StartupFailed()) return 0;
  form->show();
  return QApplication::exec();
}
