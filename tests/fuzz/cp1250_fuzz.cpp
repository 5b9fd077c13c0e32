// Windows-1250: decoding any bytes and encoding the text gives the bytes back,
// with no character reported unmapped.
#include "platform/cp1250.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char *>(data), size);
  const QString text = platform::fromCp1250(bytes);
  if (static_cast<size_t>(text.size()) != size) std::abort();
  bool unmapped = true;
  const QByteArray back = platform::toCp1250(text, &unmapped);
  if (unmapped || back.size() != static_cast<qsizetype>(size) ||
      (size > 0 && std::memcmp(back.constData(), data, size) != 0))
    std::abort();
  // Any UTF-16 text encodes without failing; what has a code decodes back.
  const QString utf16(reinterpret_cast<const QChar *>(data), static_cast<qsizetype>(size / 2));
  const QByteArray enc = platform::toCp1250(utf16, &unmapped);
  if (enc.size() != utf16.size()) std::abort();
  const QString dec = platform::fromCp1250(enc);
  for (qsizetype i = 0; i < utf16.size(); ++i) {
    if (platform::cp1250Byte(utf16[i].unicode()) >= 0 ? dec[i] != utf16[i] : enc[i] != '?') std::abort();
  }
  return 0;
}
