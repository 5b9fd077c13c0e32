#pragma once
#include <QString>
#include <QTemporaryDir>

namespace vorik::test {

// A fresh folder per test that is removed afterwards.
class TempDir {
 public:
  TempDir();
  QString path() const { return dir_.path(); }
  QString file(const QString &name) const { return dir_.filePath(name); }

 private:
  QTemporaryDir dir_;
};

// Path of a file under the source tree (test data, resources).
QString sourcePath(const QString &relative);

}  // namespace vorik::test
