#include "app/common/Widgets.h"

#include "app/common/LimitedEdit.h"

#include <QDateEdit>
#include <QLabel>
#include <QPushButton>

namespace Widgets {

LimitedEdit *makeEdit(QWidget *parent, const char *name, int limit) {
  auto *e = new LimitedEdit(parent);
  e->setObjectName(QLatin1String(name));
  e->setLimit(limit);
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
