#pragma once
// The open and save dialogs of the program: Qt's own file dialog (never the
// desktop's), so that tests can find it as the active modal window, pick a
// file with selectFile() and accept it.
#include <QString>

class QFileDialog;
class QWidget;

namespace platform {

enum class FileDialogKind { Open, Save };

// A dialog named name with a Windows-style filter "description|pattern"
// ("*.fdb|Qz2025.fdb"; several patterns separated by ";"), a title and a
// default extension ("csv", "*.fdb" or empty). An open dialog only accepts
// an existing file.
QFileDialog *makeFileDialog(QWidget *parent, const char *name, FileDialogKind kind, const QString &title,
                            const QString &filter, const QString &defaultExt);

// Starts the dialog in folder with file name (either may be empty), shows it
// modally and returns the chosen file's path, or an empty text when cancelled.
QString execFileDialog(QFileDialog *dialog, const QString &folder = QString(), const QString &file = QString());

}  // namespace platform
