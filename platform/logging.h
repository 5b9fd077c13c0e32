#pragma once
// The logging categories of the program, one per module ("vorik.platform",
// "vorik.db", "vorik.report", "vorik.app", "vorik.exchange"): an error the
// user sees only as a numbered message, or one that is ignored, leaves its
// underlying text (the engine's own, the exception's) here as a warning.
// Each module names its category in its own logging.h with the macro below.
#include <QLoggingCategory>

// An inline function returning the category, so that a header is all a
// module needs (qCWarning(lcDb) calls it).
#define VORIK_LOGGING_CATEGORY(name, text)                 \
  inline const QLoggingCategory &name() {                  \
    static const QLoggingCategory category(text);          \
    return category;                                       \
  }

VORIK_LOGGING_CATEGORY(lcPlatform, "vorik.platform")
