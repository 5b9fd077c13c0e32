#pragma once
// The logging category of the report module, "vorik.report" (platform/logging.h).
#include "platform/logging.h"

VORIK_LOGGING_CATEGORY(lcReport, "vorik.report")
