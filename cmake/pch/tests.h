// Precompiled for every unit of the test programs: the widget set and
// GoogleTest (cmake/Vorik.cmake).
#include "widgets.h"

#include <gtest/gtest.h>
