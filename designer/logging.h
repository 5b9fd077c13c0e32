#pragma once
// The logging category of the designer module, "vorik.designer" (platform/logging.h).
#include "platform/logging.h"

VORIK_LOGGING_CATEGORY(lcDesigner, "vorik.designer")
