// Bracket texts of layouts with their display-format suffixes: any text must
// split into an expression and a format, and formatting values under that
// format gives text or a conversion error.
#include "report/core/FR_Utils.h"
#include "report/expr/FR_Values.h"
#include "platform/conv.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using namespace report;
  const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
  for (quint32 start : {0x0000022Cu, 0x0103022Cu, 0x0204002Eu, 0x04010000u, 0xFFFFFFFFu}) {
    quint32 format = start;
    QString formatStr = text;
    const QString expr = frSplitFormat(text, format, formatStr);
    if (expr.size() > text.size()) __builtin_trap();
    for (const Variant &v : {Variant(1234.5), Variant(-1), Variant(text), Variant::DateTime(45723.5L),
                             Variant::DateTime(1e300L), Variant(true), Variant::Null()}) {
      try {
        (void)frFormatValue(v, format, formatStr);
      } catch (const platform::ConvertError &) {
      } catch (const Exception &) {
      }
    }
  }
  return 0;
}
