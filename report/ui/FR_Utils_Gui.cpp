#include "report/ui/FR_Utils_Gui.h"

#include <QWidget>

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

QString frGetWindowsVersion() { return QStringLiteral("NT"); }

}  // namespace report
