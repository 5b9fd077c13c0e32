#pragma once
// Text comparison under the fixed Hungarian settings, as the class library's
// locale-aware comparison does it: letters before case and accents ('a' < 'B',
// 'á' < 'b'), lower case before upper case of the same letter, and the
// Hungarian double letters ("cs", "gy", "sz", ...) as letters of their own.
// The order comes from the Hungarian collation of Qt's ICU, never from the
// machine's locale.
#include <QStringView>

namespace platform {

// -1, 0 or 1; 0 only for texts the collation cannot tell apart.
int CompareStr(QStringView a, QStringView b);

}  // namespace platform
