// Entry point of the purchase-ticket register.
#include <QApplication>

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Vorik"));
  return 0;
}
