#include "platform/win_path.h"

#include <QDir>
#include <QFileInfo>

namespace platform {
namespace {

QString driveRoot(QChar letter) {
  const QChar upper = letter.toUpper();
  const QString fromEnv = qEnvironmentVariable(("VORIK_DRIVE_" + QString(upper)).toLatin1().constData());
  if (!fromEnv.isEmpty()) return fromEnv;
  if (upper == u'C') return QDir::homePath();
  return QStringLiteral("/mnt/") + letter.toLower();
}

// The entry of folder that is named like name without regard to case.
QString matchEntry(const QString &folder, const QString &name) {
  if (QFileInfo::exists(folder + u'/' + name)) return name;
  const QStringList entries =
      QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
  for (const QString &entry : entries) {
    if (entry.compare(name, Qt::CaseInsensitive) == 0) return entry;
  }
  return {};
}

// root followed by the components of rest, each matched to an existing entry
// without regard to case until one matches nothing.
QString appendMatched(QString result, const QString &rest) {
  while (result.size() > 1 && result.endsWith(u'/')) result.chop(1);
  const QStringList parts = rest.split(u'/', Qt::SkipEmptyParts);
  bool matching = true;
  for (const QString &part : parts) {
    QString name = part;
    if (matching && part != u"." && part != u"..") {
      const QString found = matchEntry(result, part);
      if (found.isEmpty()) matching = false;
      else name = found;
    }
    if (!result.endsWith(u'/')) result += u'/';
    result += name;
  }
  if (rest.endsWith(u'/') && !result.endsWith(u'/')) result += u'/';
  return result;
}

}  // namespace

QString mapWindowsPath(const QString &winPath) {
  QString path = winPath;
  path.replace(u'\\', u'/');
  const bool hasDrive = path.size() >= 2 && path[1] == u':' && path[0].unicode() < 128 && path[0].isLetter();
  if (!hasDrive) return path;
  return appendMatched(driveRoot(path[0]), path.mid(2));
}

QString matchCase(const QString &path) {
  if (path.isEmpty() || QFileInfo::exists(path)) return path;
  if (path.startsWith(u'/')) return appendMatched(QStringLiteral("/"), path);
  const QString base = QDir::currentPath();
  const QString matched = appendMatched(base, path);
  return matched.mid(base.size() + (base.endsWith(u'/') ? 0 : 1));
}

}  // namespace platform
