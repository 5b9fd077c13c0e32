#include "report/ui/FR_Utils_Gui.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

#include "report/ui/FR_Const.h"
#include "report/ui/FR_Ctrls.h"

namespace report {

QWidget *frControlAtPos(QWidget *parent, const QPoint &pos) {
  if (!parent) return nullptr;
  const QList<QWidget *> children = parent->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
  // Later children are drawn above earlier ones.
  for (auto it = children.crbegin(); it != children.crend(); ++it) {
    QWidget *c = *it;
    if (!c->isVisible() || c->isWindow() || !c->geometry().contains(pos)) continue;
    if (QWidget *inner = frControlAtPos(c, pos - c->pos())) return inner;
    return c;
  }
  return nullptr;
}

void frEnableControls(const QList<QWidget *> &controls, bool enable) {
  for (QWidget *w : controls)
    if (w) w->setEnabled(enable);
}

QHBoxLayout *frButtonRow(const QList<QWidget *> &buttons) {
  auto *row = new QHBoxLayout;
  row->addStretch();
  for (QWidget *b : buttons) row->addWidget(b);
  return row;
}

QHBoxLayout *frOkCancelRow(QDialog *dialog, QPushButton *&ok, QPushButton *&cancel) {
  ok = frNamed(new QPushButton(frLoadStr(55000), dialog), "Button1");
  cancel = frNamed(new QPushButton(frLoadStr(55001), dialog), "Button2");
  ok->setDefault(true);
  QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  return frButtonRow({ok, cancel});
}

QVBoxLayout *frColumn(QWidget *box, const QList<QWidget *> &controls, bool stretchBelow) {
  auto *column = new QVBoxLayout(box);
  for (QWidget *c : controls) column->addWidget(c);
  if (stretchBelow) column->addStretch();
  return column;
}

void frSetMinWidthInChars(QWidget *control, int chars, char sample) {
  control->setMinimumWidth(control->fontMetrics().horizontalAdvance(QLatin1Char(sample)) * chars);
}

QVBoxLayout *frSpinButtons(QWidget *parent, TfrSpeedButton *&up, TfrSpeedButton *&down, const char *upName,
                           const char *downName) {
  up = frNamed(new TfrSpeedButton(parent), upName);
  down = frNamed(new TfrSpeedButton(parent), downName);
  up->SetGlyph(frGlyph(QStringLiteral("arrow_up")));
  down->SetGlyph(frGlyph(QStringLiteral("arrow_down")));
  auto *column = new QVBoxLayout;
  column->setSpacing(0);
  for (TfrSpeedButton *b : {up, down}) {
    b->setFixedSize(15, 11);
    column->addWidget(b);
  }
  return column;
}

QString frGetWindowsVersion() { return QStringLiteral("NT"); }

}  // namespace report
