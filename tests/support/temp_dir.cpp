#include "support/temp_dir.h"

#include <QDir>
#include <stdexcept>

namespace vorik::test {

TempDir::TempDir() {
  if (!dir_.isValid()) throw std::runtime_error("cannot create a temporary folder");
}

QString sourcePath(const QString &relative) {
  return QDir(QStringLiteral(VORIK_SOURCE_DIR)).filePath(relative);
}

}  // namespace vorik::test
