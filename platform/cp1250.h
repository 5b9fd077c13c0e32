#pragma once
// Windows-1250 (Central European) code page: the text encoding of the
// database connection, the layout files and the files the program writes.
#include <QByteArray>
#include <QString>

#include <string_view>

namespace platform {

// Every byte decodes to one UTF-16 code unit. The five bytes the code page
// leaves undefined (0x81, 0x83, 0x88, 0x90, 0x98) decode to U+0081 and so on,
// as the Windows conversion does, so that any byte string round-trips.
QString fromCp1250(std::string_view bytes);
inline QString fromCp1250(const QByteArray &bytes) {
  return fromCp1250(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

// Characters without a code in Windows-1250 become '?'. When unmapped is
// given it is set to true if any character was replaced.
QByteArray toCp1250(const QString &text, bool *unmapped = nullptr);

// The byte of one character, or -1 when it has none.
int cp1250Byte(char16_t ch);

}  // namespace platform
