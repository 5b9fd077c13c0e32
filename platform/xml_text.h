#pragma once
// What XML 1.0 can hold as character data: the writers of XML files refuse a
// text with anything else before they write.
#include <QString>

namespace platform {

// The first character of text that XML 1.0 cannot hold (control characters
// but tab, line feed and carriage return; a lone half of a surrogate pair;
// U+FFFE and U+FFFF), as its code; -1 when there is none.
int firstNonXmlChar(const QString &text);

}  // namespace platform
