#include "support/temp_dir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <stdexcept>

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
  return f.open(QIODevice::ReadOnly) ? f.readAll() : ifUnreadable;
}

QList<UnreadableFile> unreadableFiles() {
  return {{false, QStringLiteral("a fájl vagy a mappa nem létezik")}, {true, QStringLiteral("ilyen nevű mappa van")}};
}

bool makeUnreadable(const QString &path, const UnreadableFile &c) {
  QFile::remove(path);
  QDir().rmdir(path);
  return c.folder ? QDir().mkdir(path) : !QFileInfo::exists(path);
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
