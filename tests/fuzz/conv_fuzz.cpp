// Conversions on untrusted text: number and date-time masks come from layout
// files, numbers and dates from edits and imports. Any text must give a
// result or a ConvertError, and parsed values must survive formatting.
#include "platform/conv.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using namespace platform;
  const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
  for (long double v : {0.0L, 1234.5L, -0.005L, 2.675L, 1e25L, -1e-7L}) (void)FormatFloat(text, v);
  const QDateTime when(QDate(2025, 3, 7), QTime(21, 4, 5, 6));
  (void)FormatDateTime(text, when);

  long double f;
  if (TryStrToFloat(text, f)) {
    long double g;
    if (std::isfinite(f) && !TryStrToFloat(FloatToStr(f), g)) std::abort();
  }
  QDate d;
  if (TryStrToDate(text, d) && StrToDate(DateToStr(d)) != d) std::abort();
  QTime t;
  if (TryStrToTime(text, t) && !t.isValid()) std::abort();
  try {
    (void)StrToDateTime(text);
  } catch (const ConvertError &) {
  }
  (void)StrToIntDef(text, 0);
  try {
    (void)StrToInt64(text);
  } catch (const ConvertError &) {
  }
  return 0;
}
