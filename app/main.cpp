// Entry point of the purchase-ticket register.
#include "app/Program.h"

#include <QApplication>

int main(int argc, char **argv) {
  BlockTerminationSignals();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Vorik"));
  InstallQtTranslation();
  return RunProgram();
}
