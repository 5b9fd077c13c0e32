// What XML 1.0 can hold as character data.
#include "platform/xml_text.h"

namespace platform {

int firstNonXmlChar(const QString &text) {
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    const char16_t c = text[i].unicode();
    if (c < 0x20) {
      if (c != 0x9 && c != 0xA && c != 0xD) return c;
    } else if (QChar::isHighSurrogate(c)) {
      if (i + 1 < n && QChar::isLowSurrogate(text[i + 1].unicode())) ++i;
      else return c;
    } else if (QChar::isLowSurrogate(c) || c == 0xFFFE || c == 0xFFFF) {
      return c;
    }
  }
  return -1;
}

}  // namespace platform
