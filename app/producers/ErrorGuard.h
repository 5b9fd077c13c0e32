#pragma once
// Runs a dialog handler; an error it does not catch (a failed read of a list,
// a conversion) is shown in an error box with its own message, as the class
// library shows an unhandled error, and the dialog goes on.
#include "platform/dialogs.h"

#include <QString>

#include <exception>

template <class F>
void Guarded(F &&handler) {
  try {
    handler();
  } catch (const std::exception &e) {
    platform::error(QString::fromUtf8(e.what()));
  }
}
