#pragma once
// Every dialog of the program, built as its command builds it, for the tests
// that look at all of them (dialog_layout_test). A new dialog adds one entry
// to the list in dialog_factories.cpp.
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

namespace vorik::test {

struct DialogFactory {
  const char *name;  // the dialog's class name
  // Builds the dialog over the data module's database after
  // prepareDialogData(), loaded with the longest content its fields take
  // (a modification where the dialog has one); not shown yet.
  std::function<std::unique_ptr<QWidget>()> make;
};

const std::vector<DialogFactory> &dialogFactories();

// The rows the factories load, each text as long as its column: a receiver
// (made current, with its serial and every ticket option shown), a producer,
// a product, and a ticket of that producer with a line.
void prepareDialogData();

// n characters of realistic text (a Hungarian name and address).
QString longText(int n);

}  // namespace vorik::test
