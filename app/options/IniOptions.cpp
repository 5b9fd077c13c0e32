#include "app/options/IniOptions.h"

#include "app/SharedState.h"

#include "platform/ini_file.h"

#include <QCoreApplication>

#include <algorithm>

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

namespace {

// Reads one key into its shared string, the current value being the default.
void readInto(const platform::IniFile &ini, const QString &section, const char *key,
              QString &target) {
  target = ini.ReadString(section, QLatin1String(key), target);
}

}  // namespace

void ReadForm9Options(const QString &path) {
  const platform::IniFile ini(path);
  const QString section = QStringLiteral("Form9");
  readInto(ini, section, "Edit14Visible", Edit14Option);
  readInto(ini, section, "Edit15Visible", Edit15Option);
  readInto(ini, section, "Edit13Visible", Edit13Option);
  readInto(ini, section, "Edit14Text", Edit14Default);
  readInto(ini, section, "Edit15Text", Edit15Default);
  readInto(ini, section, "Edit13Text", Edit13Default);
}

void ReadForm10Options(const QString &path) {
  const platform::IniFile ini(path);
  const QString section = QStringLiteral("Form10");
  readInto(ini, section, "Edit10Visible", Edit10Option);
  readInto(ini, section, "Edit8Text", Edit8Default);
}

void ReadEdit15Visible(const QString &path) {
  readInto(platform::IniFile(path), QStringLiteral("Form9"), "Edit15Visible", Edit15Option);
}
