#pragma once
// The logging category of the app module, "vorik.app" (platform/logging.h).
#include "platform/logging.h"

VORIK_LOGGING_CATEGORY(lcApp, "vorik.app")
