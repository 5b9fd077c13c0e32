#pragma once
// Small window helpers of the engine's dialogs, preview and designer.
#include <QList>
#include <QPoint>
#include <QString>

class QDialog;
class QHBoxLayout;
class QPushButton;
class QVBoxLayout;
class QWidget;

namespace report {
class TfrSpeedButton;
}

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

// A row of buttons kept to its right.
QHBoxLayout *frButtonRow(const QList<QWidget *> &buttons);

// The OK (default) and Cancel buttons of a dialog, named Button1 and Button2,
// accepting and rejecting it; returns the row that holds them at its right.
QHBoxLayout *frOkCancelRow(QDialog *dialog, QPushButton *&ok, QPushButton *&cancel);

// Lays controls out one under the other in box (a group box or tab page);
// with stretchBelow they keep to the top when the box grows.
QVBoxLayout *frColumn(QWidget *box, const QList<QWidget *> &controls, bool stretchBelow = false);

// Sets control's minimum width to chars times the width of sample in its font.
void frSetMinWidthInChars(QWidget *control, int chars, char sample = 'x');

// The up and down arrow buttons of a number edit, named upName and downName,
// in parent; returns the column that stacks them without spacing.
QVBoxLayout *frSpinButtons(QWidget *parent, TfrSpeedButton *&up, TfrSpeedButton *&down, const char *upName,
                           const char *downName);

// "32s", "95", "98" or "NT" by platform: the engine runs on an NT-like system.
QString frGetWindowsVersion();

}  // namespace report
