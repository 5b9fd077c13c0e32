#include "platform/collation.h"

#include <QCollator>
#include <QLocale>

namespace platform {

namespace {

const QCollator &hungarian() {
  static const QCollator collator = [] {
    QCollator c(QLocale(QLocale::Hungarian, QLocale::Hungary));
    c.setCaseSensitivity(Qt::CaseSensitive);
    c.setNumericMode(false);
    c.setIgnorePunctuation(false);
    (void)c.compare(u"a", u"b");  // set up now, not on a first use from another thread
    return c;
  }();
  return collator;
}

}  // namespace

int CompareStr(QStringView a, QStringView b) {
  if (a == b) return 0;
  const int c = hungarian().compare(a, b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

}  // namespace platform
