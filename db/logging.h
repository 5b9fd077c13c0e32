#pragma once
// The logging category of the db module, "vorik.db" (platform/logging.h).
#include "platform/logging.h"

VORIK_LOGGING_CATEGORY(lcDb, "vorik.db")
