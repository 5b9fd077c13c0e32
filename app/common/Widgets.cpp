#include "app/common/Widgets.h"

#include "app/common/LimitedEdit.h"

#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

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

QGroupBox *makeDateKindGroup(QWidget *parent, QRadioButton *&payment, QRadioButton *&purchase) {
  auto *group = new QGroupBox(QStringLiteral("Dátum ?"), parent);
  group->setObjectName(QStringLiteral("RadioGroup1"));
  payment = new QRadioButton(QStringLiteral("Fizetési dátum"), group);
  payment->setObjectName(QStringLiteral("RadioButton1"));
  payment->setChecked(true);
  purchase = new QRadioButton(QStringLiteral("Felvásárlási dátum"), group);
  purchase->setObjectName(QStringLiteral("RadioButton2"));
  auto *radios = new QVBoxLayout(group);
  radios->addWidget(payment);
  radios->addWidget(purchase);
  return group;
}

}  // namespace Widgets
