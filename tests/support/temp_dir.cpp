#include "support/temp_dir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <stdexcept>

#include <sys/stat.h>
#include <unistd.h>

namespace vorik::test {

TempDir::TempDir() {
  if (!dir_.isValid()) throw std::runtime_error("cannot create a temporary folder");
}

QString sourcePath(const QString &relative) {
  return QDir(QStringLiteral(VORIK_SOURCE_DIR)).filePath(relative);
}

bool writeFile(const QString &path, const QByteArray &bytes) {
  QFile f(path);
  if (f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size()) return true;
  ADD_FAILURE() << "cannot write " << path.toStdString();
  return false;
}

QByteArray readFile(const QString &path, const QByteArray &ifUnreadable) {
  QFile f(path);
  // Never a FIFO or a device: a test's read must not wait or run on for good.
  return QFileInfo(path).isFile() && f.open(QIODevice::ReadOnly) ? f.readAll() : ifUnreadable;
}

QList<UnreadableFile> unreadableFiles() {
  const QString special = QStringLiteral("nem közönséges fájl, hanem csővezeték, eszköz vagy foglalat");
  return {{UnreadableFile::Missing, QStringLiteral("a fájl vagy a mappa nem létezik")},
          {UnreadableFile::Folder, QStringLiteral("ilyen nevű mappa van")}, {UnreadableFile::Fifo, special},
          {UnreadableFile::DeviceLink, special}, {UnreadableFile::FarTooLarge, QStringLiteral("a fájl túl nagy")}};
}

bool makeUnreadable(const QString &path, const UnreadableFile &c) {
  QFile::remove(path);
  QDir().rmdir(path);
  const QByteArray name = QFile::encodeName(path);
  if (c.kind == UnreadableFile::Fifo) return ::mkfifo(name.constData(), 0644) == 0;
  if (c.kind == UnreadableFile::DeviceLink) return QFile::link(QStringLiteral("/dev/zero"), path);
  if (c.kind == UnreadableFile::FarTooLarge) return writeFile(path, {}) && ::truncate(name.constData(), 300 << 20) == 0;
  return c.kind == UnreadableFile::Folder ? QDir().mkdir(path) : !QFileInfo::exists(path);
}

ProgramOnPath::ProgramOnPath(const QString &name, const QByteArray &body) : path_(qgetenv("PATH")) {
  QFile f(dir_.file(name));
  if (!f.open(QIODevice::WriteOnly) || f.write("#!/bin/sh\n" + body) < 0)
    throw std::runtime_error("cannot write a program");
  f.close();
  f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
  qputenv("PATH", QFile::encodeName(dir_.path()) + ':' + path_);
}

ProgramOnPath::~ProgramOnPath() { qputenv("PATH", path_); }

}  // namespace vorik::test
