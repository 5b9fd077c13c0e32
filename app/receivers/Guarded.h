#pragma once
// RunGuarded lives in app/common/Guarded.h; this name stays for the exchange
// module's dialogs that include it from here.
#include "app/common/Guarded.h"
