#include "app/common/Widgets.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace Widgets {

QLineEdit *makeEdit(QWidget *parent, const char *name, int maxLength) {
  auto *e = new QLineEdit(parent);
  e->setObjectName(QLatin1String(name));
  if (maxLength > 0) e->setMaxLength(maxLength);
  return e;
}

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text) {
  auto *l = new QLabel(text, parent);
  l->setObjectName(QLatin1String(name));
  return l;
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &text) {
  auto *b = new QPushButton(text, parent);
  b->setObjectName(QLatin1String(name));
  b->setAutoDefault(false);
  return b;
}

QDateEdit *makeDatePicker(QWidget *parent, const char *name) {
  auto *d = new QDateEdit(parent);
  d->setObjectName(QLatin1String(name));
  d->setDisplayFormat(QStringLiteral("yyyy.MM.dd"));
  d->setCalendarPopup(true);
  d->setMinimumWidth(d->fontMetrics().horizontalAdvance(QStringLiteral("0000.00.00")) + 48);
  return d;
}

}  // namespace Widgets
