#include "app/options/IniOptions.h"

#include "app/SharedState.h"

#include <QCoreApplication>

QString IniPathBeside(const QString &programPath, const QString &suffix) {
  // The extension starts at the last dot after the last folder separator.
  const qsizetype sep = std::max(programPath.lastIndexOf(QLatin1Char('/')),
                                 programPath.lastIndexOf(QLatin1Char('\\')));
  const qsizetype dot = programPath.lastIndexOf(QLatin1Char('.'));
  const QString stem = dot > sep ? programPath.left(dot) : programPath;
  return stem + suffix;
}

QString ProgramIniPath(const QString &suffix) {
  return IniPathBeside(QCoreApplication::applicationFilePath(), suffix);
}
