#pragma once
// Message boxes with the fixed button sets the program uses. Every box is a
// modal QMessageBox; its objectName names its kind ("Message", "Information",
// "Confirmation", "Warning", "Error"), so that tests can tell the kinds apart,
// and its buttons are named after their role ("Yes", "No", "OK", "Cancel").
// A carriage return alone or CR LF in a text breaks the line; the text as
// given is kept in the box's "rawText" property.
#include <QMessageBox>
#include <QString>

class QLoggingCategory;
class QWidget;

namespace platform {

enum class MessageKind { Plain, Information, Confirmation, Warning, Error };

// The general box: kind (icon and default caption), buttons, and an optional
// caption that replaces the kind's one. Returns the button pressed; closing
// the box another way answers the escape button (the only button of a
// one-button box, Cancel or No otherwise).
QMessageBox::StandardButton messageBox(MessageKind kind, const QString &text,
                                       QMessageBox::StandardButtons buttons,
                                       const QString &caption = QString(),
                                       QWidget *parent = nullptr);

// Plain box: no icon, the application's name as caption, one OK button.
void showMessage(const QString &text);
// Inside a catch block: the numbered message of a failed step in a plain
// box, the exception being handled logged beside it in category
// (logCaught, platform/error_text.h). The user sees text only.
void showFailure(const QLoggingCategory &category, const QString &text);

// Information, warning and error boxes with one OK button, captioned
// "Information", "Warning" and "Error".
void information(const QString &text);
void warning(const QString &text);
void error(const QString &text);

// Confirmation boxes (question icon, caption "Confirmation").
// Only Yes: used as a notice.
void confirmYes(const QString &text);
// Yes and No: true for Yes.
bool confirmYesNo(const QString &text);
// Yes, No and Cancel.
QMessageBox::StandardButton confirmYesNoCancel(const QString &text);

// The caption each kind gets when none is given.
QString defaultCaption(MessageKind kind);

}  // namespace platform
