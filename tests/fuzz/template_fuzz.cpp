// Template reader: description and picture, then the pages body.
#include "report/core/FR_Class_Report.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
  report::TfrReport r;
  for (bool load : {false, true}) {
    try {
      report::TfrStream s(bytes);
      QStringList description;
      report::TfrPicture picture;
      r.LoadTemplateFromStream(s, &description, &picture, load);
    } catch (const report::Exception &) {
    }
  }
  return 0;
}
