#pragma once
// The logging category of the exchange module, "vorik.exchange" (platform/logging.h).
#include "platform/logging.h"

VORIK_LOGGING_CATEGORY(lcExchange, "vorik.exchange")
