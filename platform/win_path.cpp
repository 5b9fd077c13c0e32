#include "platform/win_path.h"

#include "platform/whole_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <optional>

#include <pwd.h>
#include <unistd.h>

namespace platform {
namespace {

QString mountTableFile, mediaRootFolder;  // set by tests

QString mediaRoot() {
  if (!mediaRootFolder.isEmpty()) return mediaRootFolder;
  const passwd *pw = ::getpwuid(::geteuid());
  const QString user = pw ? QString::fromLocal8Bit(pw->pw_name) : qEnvironmentVariable("USER");
  return QStringLiteral("/media/") + user;
}

// A mount point as the mount table writes it: blank, tab, newline and
// backslash as three-digit octal escapes.
QString unescapeMountPoint(const QByteArray &field) {
  QByteArray out;
  for (qsizetype i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      bool ok = false;
      const int code = field.mid(i + 1, 3).toInt(&ok, 8);
      if (ok) {
        out += static_cast<char>(code);
        i += 3;
        continue;
      }
    }
    out += field[i];
  }
  return QFile::decodeName(out);
}

// The folders mounted directly under the media folder, in mount order.
QStringList removableMedia() {
  const Result<QByteArray> table =
      readFileWhole(mountTableFile.isEmpty() ? QStringLiteral("/proc/self/mounts") : mountTableFile);
  if (!table) return {};
  const QString root = QDir::cleanPath(mediaRoot());
  QStringList media;
  for (const QByteArray &line : table->split('\n')) {
    const QList<QByteArray> fields = line.simplified().split(' ');
    if (fields.size() < 2) continue;
    const QString point = QDir::cleanPath(unescapeMountPoint(fields[1]));
    if (QFileInfo(point).path() == root && !media.contains(point)) media << point;
  }
  return media;
}

// The drive a letter names without the removable media.
QString fixedRoot(QChar upper) {
  const QString fromEnv = qEnvironmentVariable(("VORIK_DRIVE_" + QString(upper)).toLatin1().constData());
  if (!fromEnv.isEmpty()) return fromEnv;
  if (upper == u'C') return QDir::homePath();
  return QStringLiteral("/mnt/") + upper.toLower();
}

bool fixedDriveExists(QChar upper) {
  return upper == u'C' || qEnvironmentVariableIsSet(("VORIK_DRIVE_" + QString(upper)).toLatin1().constData()) ||
         QFileInfo(fixedRoot(upper)).isDir();
}

// The removable media on the letters from D: that no fixed drive takes.
QList<Drive> mediaDrives() {
  QList<Drive> result;
  const QStringList media = removableMedia();
  qsizetype next = 0;
  for (char16_t c = u'D'; c <= u'Z' && next < media.size(); ++c)
    if (!fixedDriveExists(QChar(c))) result.append({QChar(c), media[next++]});
  return result;
}

QString driveRoot(QChar letter) {
  const QChar upper = letter.toUpper();
  if (upper.unicode() >= u'D' && !fixedDriveExists(upper))
    for (const Drive &d : mediaDrives())
      if (d.letter == upper) return d.root;
  return fixedRoot(upper);
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

QList<Drive> drives() {
  QList<Drive> result;
  for (char16_t c = u'A'; c <= u'Z'; ++c)
    if (fixedDriveExists(QChar(c))) result.append({QChar(c), fixedRoot(QChar(c))});
  for (const Drive &d : mediaDrives()) result.append(d);
  std::sort(result.begin(), result.end(), [](const Drive &a, const Drive &b) { return a.letter < b.letter; });
  return result;
}

void setRemovableMediaSource(const QString &mountTable, const QString &mediaRoot) {
  mountTableFile = mountTable;
  mediaRootFolder = mediaRoot;
}

}  // namespace platform
