#pragma once
// Named controls of the dialogs: the objectName is the component name that
// tests and handlers find them by.
#include <QString>

class QDateEdit;
class QGroupBox;
class QLabel;
class LimitedEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace Widgets {

// An edit field (LimitedEdit); limit 0 leaves the length free.
LimitedEdit *makeEdit(QWidget *parent, const char *name, int limit = 0);
QLabel *makeLabel(QWidget *parent, const char *name, const QString &text);
// A button that Enter never presses as a default button.
QPushButton *makeButton(QWidget *parent, const char *name, const QString &text);
// A date picker showing "yyyy.MM.dd" with a calendar, wide enough for its date.
QDateEdit *makeDatePicker(QWidget *parent, const char *name);
// The date kind of the range dialogs: "Dátum ?" (RadioGroup1) with
// "Fizetési dátum" (RadioButton1, checked) and "Felvásárlási dátum" (RadioButton2).
QGroupBox *makeDateKindGroup(QWidget *parent, QRadioButton *&payment, QRadioButton *&purchase);

}  // namespace Widgets
