#pragma once
// Ticket options kept in two ini files beside the program file
// ("<program path without extension>form9.ini" and "...form10.ini"). The
// program only reads them. Each key is read with the shared string's current
// value as its default, so a missing file or key leaves the value as it was.
#include <QString>

// The program path with its extension replaced by suffix; a file name without
// an extension (the usual case on Linux) gets the suffix appended.
QString IniPathBeside(const QString &programPath, const QString &suffix);

// IniPathBeside for the running program's own file.
QString ProgramIniPath(const QString &suffix);

// form9.ini, section Form9: Edit14Visible, Edit15Visible, Edit13Visible,
// Edit14Text, Edit15Text, Edit13Text into Edit14Option ... Edit13Default.
void ReadForm9Options(const QString &path = ProgramIniPath(QStringLiteral("form9.ini")));
// form10.ini, section Form10: Edit10Visible, Edit8Text into Edit10Option and
// Edit8Default.
void ReadForm10Options(const QString &path = ProgramIniPath(QStringLiteral("form10.ini")));
// Only form9.ini's Edit15Visible (the 08M return needs no more).
void ReadEdit15Visible(const QString &path = ProgramIniPath(QStringLiteral("form9.ini")));
