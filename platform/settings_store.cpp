#include "platform/settings_store.h"

#include <QSettings>

namespace platform {

namespace {

QString settingsKey(const QString &keyPath, const QString &name) {
  QString path = keyPath;
  path.replace(QLatin1Char('\\'), QLatin1Char('/'));
  while (path.endsWith(QLatin1Char('/'))) path.chop(1);
  return path.isEmpty() ? name : path + QLatin1Char('/') + name;
}

QSettings store() { return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Quorvane"), QStringLiteral("Vorik")); }

}  // namespace

QVariant readRegistry(const QString &keyPath, const QString &name, const QVariant &def) {
  return store().value(settingsKey(keyPath, name), def);
}

void writeRegistry(const QString &keyPath, const QString &name, const QVariant &value) {
  QSettings s = store();
  s.setValue(settingsKey(keyPath, name), value);
}

}  // namespace platform
