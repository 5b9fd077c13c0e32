#pragma once
// Runs an event handler of a dialog so that a failed read (an open of a
// query) is reported in an error box with the engine's message instead of
// escaping into the event loop; the dialog stays as it was.
#include "db/error.h"
#include "platform/dialogs.h"

#include <exception>

template <class F>
void RunGuarded(F &&handler) {
  try {
    handler();
  } catch (const db::Error &e) {
    platform::error(e.message());
  } catch (const std::exception &e) {
    platform::error(QString::fromLocal8Bit(e.what()));
  }
}
