#pragma once
// Runs an event handler of a dialog so that a failed read (an open of a
// query) is reported in an error box with the engine's message instead of
// escaping into the event loop; the dialog stays as it was. The error is
// logged too.
#include "app/logging.h"
#include "platform/dialogs.h"
#include "platform/error_text.h"

#include <exception>

template <class F>
void RunGuarded(F &&handler) {
  try {
    handler();
  } catch (const std::exception &e) {
    platform::logCaught(lcApp(), QStringLiteral("event handler"));
    platform::error(platform::exceptionText(e));
  }
}
