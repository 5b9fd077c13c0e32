#pragma once
// The program's entry after the application object exists: help file, the
// main window (start-up), the message loop. Returns the exit status.
#include <QString>

// The application's help file name, kept as the application's "helpFile"
// property; the preview swaps it while it is active.
extern const QString HelpFileName;

int RunProgram();

class QTranslator;
// Qt's own texts (file dialogs, standard buttons) in Hungarian: Qt's
// translation "qtbase_hu" from its translations folder, installed on the
// application, which owns it. Null when it cannot be loaded (the texts stay
// English). The engine's string table and the program's box captions are
// not Qt's texts and do not change.
QTranslator *InstallQtTranslation();

// Called first in main, before any thread starts: termination signals are
// then handled by RunProgram's message loop, which closes the open dialogs
// and boxes and ends the program in order (the open transaction is
// committed, as the main window's close does). The mask is inherited by child
// processes: QProcess::start clears it in the child; other ways of starting
// a program (system(), startDetached) should unblock SIGTERM, SIGINT and
// SIGHUP in the child themselves.
void BlockTerminationSignals();
