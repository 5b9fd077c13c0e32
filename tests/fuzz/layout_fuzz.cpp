// Layout stream reader: any bytes load or fail with the engine's errors.
#include "report/core/FR_Class_Report.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  report::TfrReport r;
  try {
    r.LoadFromBytes(QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    r.SaveToBytes();
  } catch (const report::Exception &) {
  }
  return 0;
}
