#pragma once
// The program's entry after the application object exists: help file, the
// main window (start-up), the message loop. Returns the exit status.
#include <QString>

// The application's help file name, kept as the application's "helpFile"
// property; the preview swaps it while it is active.
extern const QString HelpFileName;

int RunProgram();

// Called first in main, before any thread starts: termination signals are
// then handled by RunProgram's message loop, which closes the open dialogs
// and boxes and ends the program in order (the open transaction is
// committed, as the main window's close does). The mask is inherited by child
// processes: QProcess::start clears it in the child; other ways of starting
// a program (system(), startDetached) should unblock SIGTERM, SIGINT and
// SIGHUP in the child themselves.
void BlockTerminationSignals();
