#include "platform/settings_store.h"

#include "platform/logging.h"
#include "platform/whole_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSettings>

#include <cerrno>

#include <unistd.h>

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
  // QSettings would replace its file after a flush it does not check (a full
  // disk leaves it empty): the whole new content goes to a temporary beside
  // it, is read back complete, and only then takes the file's place.
  QSettings current = store();
  const QString path = current.fileName();
  QMap<QString, QVariant> all;
  for (const QString &key : current.allKeys()) all.insert(key, current.value(key));
  all.insert(settingsKey(keyPath, name), value);
  QDir().mkpath(QFileInfo(path).absolutePath());
  QString temp;
  const int fd = createTemporaryBeside(path, &temp);
  QString reason;
  if (fd < 0) {
    reason = systemReason(errno);
  } else {
    ::close(fd);
    {
      QSettings out(temp, QSettings::IniFormat);
      for (auto it = all.cbegin(); it != all.cend(); ++it) out.setValue(it.key(), it.value());
      out.sync();
      if (out.status() != QSettings::NoError) reason = QStringLiteral("the settings could not be written");
    }
    if (reason.isEmpty()) {
      QSettings back(temp, QSettings::IniFormat);
      for (auto it = all.cbegin(); it != all.cend() && reason.isEmpty(); ++it)
        if (back.value(it.key()) != it.value()) reason = QStringLiteral("the settings did not reach the disk whole");
    }
    if (reason.isEmpty() && ::rename(QFile::encodeName(temp).constData(), QFile::encodeName(path).constData()) != 0)
      reason = systemReason(errno);
    if (!reason.isEmpty()) QFile::remove(temp);
  }
  // Settings of the windows are not worth a box; the old file stays.
  if (!reason.isEmpty()) qCWarning(lcPlatform) << "registry value not written to" << path << "--" << reason;
}

}  // namespace platform
