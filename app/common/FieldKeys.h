#pragma once
// Keyboard conventions of the register core's dialogs:
// - a field's key filter accepts exactly the characters it lists (Backspace
//   and the editing keys always work); text pasted or dropped into it is held
//   to the same characters (LimitedEdit);
// - the dialog previews Enter: Enter moves the focus to the next control and
//   Shift+Enter to the previous one, and Enter never reaches a field or the
//   dialog's default button;
// - an entry dialog ignores Escape: typed input is not lost to a stray key,
//   its "Mégsem" closes it (list and picker dialogs keep Escape).
#include <QString>

class LimitedEdit;
class QWidget;

namespace FieldKeys {

// Digits "0" to "9" and the characters of extra ("." for dates, "," for
// decimals, "-" for a sign).
void acceptOnly(LimitedEdit *edit, const QString &extra = QString());

// Puts a default read from an ini file into a numeric field as if it had been
// typed: a text the field's key filter or limit would refuse, or one that is
// no number, is not put in. The field is then left empty, so the save stops
// at it with the field's own message.
void setNumberDefault(LimitedEdit *edit, const QString &text);

// Installs the Enter / Shift+Enter navigation on dialog and every widget in it
// (also ones added later).
void installEnterNavigation(QWidget *dialog);

// Escape that reaches dialog (no control of it used the key) does nothing.
void ignoreEscape(QWidget *dialog);

}  // namespace FieldKeys
