#pragma once
// Small window helpers of the engine's dialogs, preview and designer.
#include <QList>
#include <QPoint>
#include <QString>

class QWidget;

namespace report {

// The topmost visible child of parent under a point (parent coordinates). A
// child that holds children of its own is searched with the point made
// relative to it, and a hit there wins. nullptr when no child is there.
QWidget *frControlAtPos(QWidget *parent, const QPoint &pos);

// Enables or disables dialog controls: labels grey their text and edit boxes
// their background as disabled widgets do.
void frEnableControls(const QList<QWidget *> &controls, bool enable);

// A new control with its component name as objectName.
template <class T>
T *frNamed(T *control, const char *name) {
  control->setObjectName(QLatin1String(name));
  return control;
}

// "32s", "95", "98" or "NT" by platform: the engine runs on an NT-like system.
QString frGetWindowsVersion();

}  // namespace report
