#include "support/temp_dir.h"

#include <QDir>
#include <QFile>
#include <stdexcept>

namespace vorik::test {

TempDir::TempDir() {
  if (!dir_.isValid()) throw std::runtime_error("cannot create a temporary folder");
}

QString sourcePath(const QString &relative) {
  return QDir(QStringLiteral(VORIK_SOURCE_DIR)).filePath(relative);
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
